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

namespace {

char hexDigit(unsigned v) { return "0123456789ABCDEF"[v & 0xF]; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The texts of a PATH, split at the slashes and with the escapes read; nullopt
// for an escape that is not one of escapedItemText's or "\/".
std::optional<std::vector<std::string>> pathTexts(std::string_view path) {
    std::vector<std::string> texts(1);
    for (size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '/') {
            texts.emplace_back();
            continue;
        }
        if (c != '\\') {
            texts.back() += c;
            continue;
        }
        if (++i >= path.size()) return std::nullopt;
        switch (path[i]) {
            case '\\': texts.back() += '\\'; break;
            case '/': texts.back() += '/'; break;
            case 'n': texts.back() += '\n'; break;
            case 'r': texts.back() += '\r'; break;
            case 't': texts.back() += '\t'; break;
            case 'x': {
                if (i + 2 >= path.size()) return std::nullopt;
                const int hi = hexValue(path[i + 1]);
                const int lo = hexValue(path[i + 2]);
                if (hi < 0 || lo < 0) return std::nullopt;
                i += 2;
                const unsigned v = static_cast<unsigned>(hi * 16 + lo);
                // The code point U+00HH, as UTF-8.
                if (v < 0x80) {
                    texts.back() += static_cast<char>(v);
                } else {
                    texts.back() += static_cast<char>(0xC0 | (v >> 6));
                    texts.back() += static_cast<char>(0x80 | (v & 0x3F));
                }
                break;
            }
            default: return std::nullopt;
        }
    }
    return texts;
}

}  // namespace

std::string escapedItemText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        unsigned control = 0x100;  // none
        if (b < 0x20 || b == 0x7F) {
            control = b;
        } else if (b == 0xC2 && i + 1 < utf8.size()) {
            // U+0080 to U+009F: C2 80 to C2 9F.
            const auto next = static_cast<unsigned char>(utf8[i + 1]);
            if (next >= 0x80 && next <= 0x9F) {
                control = next;
                ++i;
            }
        }
        if (b == '\\') out += "\\\\";
        else if (control == '\n') out += "\\n";
        else if (control == '\r') out += "\\r";
        else if (control == '\t') out += "\\t";
        else if (control < 0x100) (out += "\\x") += {hexDigit(control >> 4), hexDigit(control)};
        else out += static_cast<char>(b);
    }
    return out;
}

std::optional<ItemPath> findItemPath(const Tree& tree, std::string_view utf8Path) {
    if (utf8Path.empty()) return std::nullopt;
    const auto segments = pathTexts(utf8Path);
    if (!segments) return std::nullopt;
    ItemPath path;
    const std::vector<TreeItem>* level = &tree;
    for (const std::string& segment : *segments) {
        const std::string_view seg = segment;
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
        // "text[k]": the k-th sibling with that text; a literal match is tried when
        // the suffix form finds nothing.
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
        for (char c : escapedItemText(item.text)) {
            if (c == '/') out += '\\';
            out += c;
        }
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
