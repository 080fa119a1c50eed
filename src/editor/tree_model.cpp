#include "editor/tree_model.h"

#include <algorithm>

#include "model/encoding.h"
#include "model/texts.h"

namespace korvex {

namespace {

TreeItem root(const Text& raw, const Text& utf8) {
    TreeItem item;
    item.raw = raw.str();
    item.text = utf8.str();
    return item;
}

TreeItem root(const Text& t) { return root(t, t); }

int clampCount(std::int32_t count, int max) { return std::clamp<std::int32_t>(count, 0, max); }

void insertNodesAndCommands(const SubnetConfig& c, TreeItem& subnetItem) {
    const int nodes = clampCount(c.nodeCount, kMaxNodes);
    for (int i = 0; i < nodes; ++i) {
        TreeItem node;
        node.raw = c.nodes[static_cast<size_t>(i)].name;
        node.text = windows1252ToUtf8(node.raw);
        node.data = i + 1;
        subnetItem.children.push_back(std::move(node));
    }
    const int commands = clampCount(c.commandCount, kMaxCommands);
    for (int k = 0; k < commands; ++k) {
        const ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
        const std::string_view name = functionText(cmd.functionCode);
        if (name.empty()) continue;
        for (auto& node : subnetItem.children) {
            if (node.data == cmd.nodeIndex) {
                TreeItem item;
                item.raw = std::string(name);
                item.text = item.raw;
                item.data = k + 1;
                node.children.push_back(std::move(item));
                break;
            }
        }
    }
}

bool isMaster(const SubnetConfig& c) { return c.protocolMode == texts::ModbusMaster.text; }

// Texts of the item, its parent and its grandparent (empty when absent).
struct Lineage {
    const TreeItem* self = nullptr;
    const TreeItem* parent = nullptr;
    const TreeItem* grandparent = nullptr;
};

Lineage lineage(const Tree& tree, const ItemPath& path) {
    Lineage l;
    l.self = itemAt(tree, path);
    if (!l.self) return l;
    if (path.size() >= 2) l.parent = itemAt(tree, ItemPath(path.begin(), path.end() - 1));
    if (path.size() >= 3) l.grandparent = itemAt(tree, ItemPath(path.begin(), path.end() - 2));
    return l;
}

}  // namespace

void appendNodeItems(const SubnetConfig& c, TreeItem& subnetItem) { insertNodesAndCommands(c, subnetItem); }

const std::vector<SubnetLabel>& subnetLabels() {
    static const std::vector<SubnetLabel> labels = {
        {texts::RootSubnet.text, texts::RootSubnet.text, 0},
        {texts::RootSubnetRomanOneRaw.text, texts::RootSubnetRomanOne.text, 0},
        {texts::RootSubnet2.text, texts::RootSubnet2.text, 1},
        {texts::RootSubnetRomanTwoRaw.text, texts::RootSubnetRomanTwo.text, 1},
        {texts::RootSubnet3.text, texts::RootSubnet3.text, 2},
        {texts::RootSubnet4.text, texts::RootSubnet4.text, 3},
    };
    return labels;
}

int subnetOfLabel(std::string_view raw) {
    for (const auto& l : subnetLabels()) {
        if (l.raw == raw) return l.subnet;
    }
    return -1;
}

bool isSubnetLabel(std::string_view raw) { return subnetOfLabel(raw) >= 0; }

bool isFieldbusLabel(std::string_view raw) {
    return raw == texts::RootFieldbus.text || raw == texts::RootEthernet.text;
}

Tree makeRoots(std::int32_t kind) {
    Tree t;
    if (kind == 2) {
        t.push_back(root(texts::RootSubnet));
        t.push_back(root(texts::RootSubnet2));
        t.push_back(root(texts::RootSubnet3));
        t.push_back(root(texts::RootSubnet4));
    } else if (kind == 4) {
        t.push_back(root(texts::RootEthernet));
        t.push_back(root(texts::RootSubnetRomanOneRaw, texts::RootSubnetRomanOne));
        t.push_back(root(texts::RootSubnetRomanTwoRaw, texts::RootSubnetRomanTwo));
    } else {
        t.push_back(root(texts::RootFieldbus));
        t.push_back(root(texts::RootSubnet));
    }
    return t;
}

Tree buildTree(const Project& p) {
    Tree t = makeRoots(p.deviceKind);
    if (p.deviceKind == 2) {
        for (int s = 0; s < 4; ++s) {
            if (isMaster(p.subnet(s))) insertNodesAndCommands(p.subnet(s), t[static_cast<size_t>(s)]);
        }
    } else if (p.deviceKind == 4) {
        if (isMaster(p.subnet(0))) {
            insertNodesAndCommands(p.subnet(0), t[1]);
            insertNodesAndCommands(p.subnet(1), t[2]);
        }
    } else {
        if (isMaster(p.subnet(0))) insertNodesAndCommands(p.subnet(0), t[1]);
    }
    return t;
}

const TreeItem* itemAt(const Tree& tree, const ItemPath& path) {
    if (path.empty()) return nullptr;
    const std::vector<TreeItem>* level = &tree;
    const TreeItem* item = nullptr;
    for (int i : path) {
        if (i < 0 || static_cast<size_t>(i) >= level->size()) return nullptr;
        item = &(*level)[static_cast<size_t>(i)];
        level = &item->children;
    }
    return item;
}

TreeItem* itemAt(Tree& tree, const ItemPath& path) {
    return const_cast<TreeItem*>(itemAt(static_cast<const Tree&>(tree), path));
}

std::optional<ItemPath> findItemPath(const Tree& tree, std::string_view utf8Path) {
    if (utf8Path.empty()) return std::nullopt;
    ItemPath path;
    const std::vector<TreeItem>* level = &tree;
    size_t pos = 0;
    while (true) {
        const size_t slash = utf8Path.find('/', pos);
        const std::string_view seg =
            utf8Path.substr(pos, slash == std::string_view::npos ? std::string_view::npos : slash - pos);
        // "text[k]": the k-th sibling with that text; a literal match is tried when
        // the suffix form finds nothing.
        // Exact texts first; then texts compared without leading and trailing
        // blanks, so " Subnet\u2160" (kind 4) is also found as "Subnet\u2160".
        auto trim = [](std::string_view t) {
            while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
            while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
            return t;
        };
        auto pick = [&](std::string_view text, long k) -> int {
            for (bool trimmed : {false, true}) {
                long seen = 0;
                for (size_t i = 0; i < level->size(); ++i) {
                    const std::string_view t = (*level)[i].text;
                    const bool same = trimmed ? trim(t) == trim(text) : t == text;
                    if (same && ++seen == k) return static_cast<int>(i);
                }
            }
            return -1;
        };
        int index = -1;
        if (seg.size() >= 3 && seg.back() == ']') {
            const size_t open = seg.rfind('[');
            if (open != std::string_view::npos && open + 2 < seg.size()) {
                const std::string_view digits = seg.substr(open + 1, seg.size() - open - 2);
                long k = 0;
                bool ok = digits.size() <= 6;
                for (char ch : digits) {
                    if (ch < '0' || ch > '9') ok = false;
                    else k = k * 10 + (ch - '0');
                }
                if (ok && k >= 1) index = pick(seg.substr(0, open), k);
            }
        }
        if (index < 0) index = pick(seg, 1);
        if (index < 0) return std::nullopt;
        path.push_back(index);
        level = &(*level)[static_cast<size_t>(index)].children;
        if (slash == std::string_view::npos) break;
        pos = slash + 1;
    }
    return path;
}

std::string itemPathText(const Tree& tree, const ItemPath& path) {
    std::string out;
    const std::vector<TreeItem>* level = &tree;
    for (int i : path) {
        if (i < 0 || static_cast<size_t>(i) >= level->size()) return {};
        const TreeItem& item = (*level)[static_cast<size_t>(i)];
        int k = 1;
        for (int j = 0; j < i; ++j) {
            if ((*level)[static_cast<size_t>(j)].text == item.text) ++k;
        }
        if (!out.empty()) out += '/';
        out += item.text;
        if (k > 1) out += "[" + std::to_string(k) + "]";
        level = &item.children;
    }
    return out;
}

NodeKind classifyItem(const Tree& tree, const ItemPath& path) {
    const Lineage l = lineage(tree, path);
    if (!l.self) return NodeKind::None;
    if (isFieldbusLabel(l.self->raw)) return NodeKind::Fieldbus;
    if (isSubnetLabel(l.self->raw)) return NodeKind::Subnet;
    if (l.parent && isSubnetLabel(l.parent->raw)) return NodeKind::Node;
    if (l.grandparent && isSubnetLabel(l.grandparent->raw)) return NodeKind::Command;
    return NodeKind::None;
}

int subnetOfItem(const Tree& tree, const ItemPath& path) {
    const Lineage l = lineage(tree, path);
    if (!l.self) return 0;
    for (int s = 0; s < kSubnetCount; ++s) {
        for (const TreeItem* t : {l.self, l.parent, l.grandparent}) {
            if (t && subnetOfLabel(t->raw) == s) return s;
        }
    }
    return 0;
}

bool isInFieldbusBranch(const Tree& tree, const ItemPath& path) {
    const Lineage l = lineage(tree, path);
    for (const TreeItem* t : {l.self, l.parent, l.grandparent}) {
        if (t && isFieldbusLabel(t->raw)) return true;
    }
    return false;
}

}  // namespace korvex
