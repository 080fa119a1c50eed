#include "compare/project_compare.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include "editor/editor_session.h"
#include "model/operator.h"
#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex {

namespace {

// One side of the comparison: the project whose grid is read (the project
// itself, or its gateway image) in a session of its own, and how its items are
// named in the project as given.
struct Side {
    Project shown;
    ScriptedOperator op;
    std::unique_ptr<EditorSession> session;
    // Gateway scope: the given project's tree, and for each item of the shown
    // tree the matching item there (missing: the given project has none).
    const Tree* namingTree = nullptr;
    std::map<ItemPath, ItemPath> toNaming;
    bool mapped = false;

    Side(Project p, const PlcAddressing* plc) : shown(std::move(p)) {
        session = std::make_unique<EditorSession>(shown, op);
        session->setPlcAddressing(plc);
        session->initialUpdate();
    }
    const Tree& tree() const { return session->tree(); }

    // The item in the given project's tree (empty when it has none).
    ItemPath namingPath(const ItemPath& path) const {
        if (!mapped) return path;
        const auto it = toNaming.find(path);
        return it == toNaming.end() ? ItemPath{} : it->second;
    }
    // The PATH text naming the item: in the given project when it has it there.
    std::string pathText(const ItemPath& path) const {
        const ItemPath naming = namingPath(path);
        if (mapped && !naming.empty()) return itemPathText(*namingTree, naming);
        return itemPathText(tree(), path);
    }
    GridRows rowsOf(const ItemPath& path) {
        session->selectItem(path);
        return session->rows();
    }
};

// The key an item is matched by among its siblings: the root's role, the node's
// slave address, the command's position under its node.
std::string rootKey(const TreeItem& item) {
    if (isFieldbusLabel(item.raw)) return "fieldbus";
    const int s = subnetOfLabel(item.raw);
    if (s >= 0) return "subnet" + std::to_string(s);
    return "text:" + item.raw;
}

std::string nodeKey(const Project& project, int subnet, const TreeItem& node) {
    const SubnetConfig& c = project.subnet(subnet);
    if (node.data < 1 || node.data > c.nodeCount || node.data > kMaxNodes) return "none";
    const std::string& address = c.nodes[static_cast<size_t>(node.data - 1)].address;
    // "5" and "05" are the same slave.
    if (const auto v = parseDecimal(address)) return "address:" + std::to_string(*v);
    return "text:" + address;
}

std::vector<std::string> childKeys(const Project& project, const Tree& tree, const ItemPath& parent) {
    std::vector<std::string> keys;
    if (parent.empty()) {
        for (const TreeItem& root : tree) keys.push_back(rootKey(root));
    } else if (parent.size() == 1) {
        const TreeItem* root = itemAt(tree, parent);
        const int subnet = root ? subnetOfLabel(root->raw) : -1;
        if (!root) return keys;
        for (const TreeItem& child : root->children) {
            keys.push_back(subnet >= 0 ? nodeKey(project, subnet, child) : "text:" + child.raw);
        }
    } else {
        const TreeItem* item = itemAt(tree, parent);
        if (!item) return keys;
        for (size_t i = 0; i < item->children.size(); ++i) keys.push_back(std::to_string(i));
    }
    // The k-th sibling with a key matches the k-th with that key on the other side.
    std::map<std::string, int> seen;
    for (auto& key : keys) key += "#" + std::to_string(seen[key]++);
    return keys;
}

// Child positions matched: A's children in order (with their match in B, or
// -1), then B's children that have none (with -1 for A).
std::vector<std::pair<int, int>> matchChildren(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::map<std::string, int> inB;
    for (size_t j = 0; j < b.size(); ++j) inB.emplace(b[j], static_cast<int>(j));
    std::vector<bool> used(b.size(), false);
    std::vector<std::pair<int, int>> pairs;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto it = inB.find(a[i]);
        const int j = it == inB.end() ? -1 : it->second;
        if (j >= 0) used[static_cast<size_t>(j)] = true;
        pairs.emplace_back(static_cast<int>(i), j);
    }
    for (size_t j = 0; j < b.size(); ++j) {
        if (!used[j]) pairs.emplace_back(-1, static_cast<int>(j));
    }
    return pairs;
}

ItemPath child(const ItemPath& parent, int index) {
    ItemPath p = parent;
    p.push_back(index);
    return p;
}

// Maps every item of the shown tree to the matching item of the given tree.
void mapItems(const Project& given, const Tree& givenTree, const Project& shown, const Tree& shownTree,
              const ItemPath& givenParent, const ItemPath& shownParent, std::map<ItemPath, ItemPath>& out) {
    const auto pairs = matchChildren(childKeys(shown, shownTree, shownParent), childKeys(given, givenTree, givenParent));
    for (const auto& [s, g] : pairs) {
        if (s < 0 || g < 0) continue;
        const ItemPath sp = child(shownParent, s);
        const ItemPath gp = child(givenParent, g);
        out.emplace(sp, gp);
        mapItems(given, givenTree, shown, shownTree, gp, sp, out);
    }
}

struct RowKey {
    std::string label;
    int occurrence;
    auto operator<=>(const RowKey&) const = default;
};

std::vector<std::pair<RowKey, int>> keyedRows(const GridRows& rows) {
    std::vector<std::pair<RowKey, int>> out;
    std::map<std::string, int> seen;
    for (int r = 0; r < kGridRowCount; ++r) {
        const GridRow& row = rows[static_cast<size_t>(r)];
        if (row.empty()) continue;
        out.push_back({{row.label, seen[row.label]++}, r});
    }
    return out;
}

class Comparison {
public:
    Comparison(Side& a, Side& b, std::vector<Difference>& out) : a_(a), b_(b), out_(out) {}

    void walk(const ItemPath& parentA, const ItemPath& parentB, bool hasA, bool hasB) {
        const auto keysA = hasA ? childKeys(a_.shown, a_.tree(), parentA) : std::vector<std::string>{};
        const auto keysB = hasB ? childKeys(b_.shown, b_.tree(), parentB) : std::vector<std::string>{};
        for (const auto& [i, j] : matchChildren(keysA, keysB)) {
            if (i >= 0 && j >= 0) {
                const ItemPath pa = child(parentA, i);
                const ItemPath pb = child(parentB, j);
                compareRows(pa, pb);
                walk(pa, pb, true, true);
            } else {
                Difference d;
                d.wholeItem = true;
                if (i >= 0) {
                    const ItemPath pa = child(parentA, i);
                    d.itemA = a_.namingPath(pa);
                    d.path = a_.pathText(pa);
                    d.presentA = true;
                } else {
                    const ItemPath pb = child(parentB, j);
                    d.itemB = b_.namingPath(pb);
                    d.path = b_.pathText(pb);
                    d.presentB = true;
                }
                out_.push_back(std::move(d));
            }
        }
    }

private:
    // Whether everything a grid shows besides the node and command tables is
    // the same on both sides: then a node or command whose own record (and
    // node address) is the same shows the same rows, and selecting it (which
    // costs a copy of the project and the tree) can be skipped.
    bool sameContext() {
        if (!sameContext_) {
            const Project& a = a_.shown;
            const Project& b = b_.shown;
            bool same = a.deviceKind == b.deviceKind && a.flags == b.flags && a.fieldbus == b.fieldbus &&
                        a.fileVersion == b.fileVersion;
            for (int s = 0; same && s < kSubnetCount; ++s) {
                for (const auto& field : subnetTextFields())
                    same = same && a.subnet(s).*field.member == b.subnet(s).*field.member;
            }
            sameContext_ = same;
        }
        return *sameContext_;
    }

    static const SlaveNode* nodeOf(const Side& side, const ItemPath& path) {
        const TreeItem* item = itemAt(side.tree(), path);
        const int subnet = subnetOfLabel(side.tree()[static_cast<size_t>(path[0])].raw);
        if (!item || subnet < 0) return nullptr;
        const SubnetConfig& c = side.shown.subnet(subnet);
        if (item->data < 1 || item->data > std::min(c.nodeCount, kMaxNodes)) return nullptr;
        return &c.nodes[static_cast<size_t>(item->data - 1)];
    }

    static const ModbusCommand* commandOf(const Side& side, const ItemPath& path) {
        const TreeItem* item = itemAt(side.tree(), path);
        const int subnet = subnetOfLabel(side.tree()[static_cast<size_t>(path[0])].raw);
        if (!item || subnet < 0) return nullptr;
        const SubnetConfig& c = side.shown.subnet(subnet);
        if (item->data < 1 || item->data > std::min(c.commandCount, kMaxCommands)) return nullptr;
        return &c.commands[static_cast<size_t>(item->data - 1)];
    }

    bool sameRowsKnown(const ItemPath& pa, const ItemPath& pb) {
        if (pa.size() < 2 || !sameContext()) return false;
        const ItemPath nodeA(pa.begin(), pa.begin() + 2);
        const ItemPath nodeB(pb.begin(), pb.begin() + 2);
        const SlaveNode* na = nodeOf(a_, nodeA);
        const SlaveNode* nb = nodeOf(b_, nodeB);
        if (!na || !nb || na->address != nb->address) return false;
        if (pa.size() == 2) return true;
        const ModbusCommand* ca = commandOf(a_, pa);
        const ModbusCommand* cb = commandOf(b_, pb);
        if (!ca || !cb) return false;
        // The node index may differ (nodes in another order): the node's address counts.
        ModbusCommand x = *ca;
        x.nodeIndex = cb->nodeIndex;
        return x == *cb;
    }

    void compareRows(const ItemPath& pa, const ItemPath& pb) {
        auto difference = [&](std::string label, int ra, int rb) {
            Difference d;
            d.path = a_.pathText(pa);
            d.itemA = a_.namingPath(pa);
            d.itemB = b_.namingPath(pb);
            d.label = std::move(label);
            d.rowA = ra;
            d.rowB = rb;
            d.presentA = d.presentB = true;
            return d;
        };
        // A node's name is its tree text, edited in the tree rather than the grid.
        if (pa.size() == 2) {
            const TreeItem* ia = itemAt(a_.tree(), pa);
            const TreeItem* ib = itemAt(b_.tree(), pb);
            if (ia && ib && ia->raw != ib->raw) {
                Difference d = difference(std::string(texts::CompareNodeName.text), -1, -1);
                d.valueA = ia->raw;
                d.valueB = ib->raw;
                out_.push_back(std::move(d));
            }
        }
        if (sameRowsKnown(pa, pb)) return;
        const GridRows rowsA = a_.rowsOf(pa);
        const GridRows rowsB = b_.rowsOf(pb);
        if (rowsA == rowsB) return;
        const auto keyedA = keyedRows(rowsA);
        const auto keyedB = keyedRows(rowsB);
        std::map<RowKey, int> rowOfB;
        for (const auto& [key, r] : keyedB) rowOfB.emplace(key, r);
        std::vector<bool> usedB(kGridRowCount, false);
        auto add = [&](const std::string& label, int ra, int rb) {
            Difference d = difference(label, ra, rb);
            if (ra >= 0) d.valueA = rowsA[static_cast<size_t>(ra)].value;
            if (rb >= 0) d.valueB = rowsB[static_cast<size_t>(rb)].value;
            out_.push_back(std::move(d));
        };
        for (const auto& [key, ra] : keyedA) {
            const auto it = rowOfB.find(key);
            const int rb = it == rowOfB.end() ? -1 : it->second;
            if (rb >= 0) usedB[static_cast<size_t>(rb)] = true;
            if (rb < 0 || rowsA[static_cast<size_t>(ra)].value != rowsB[static_cast<size_t>(rb)].value)
                add(key.label, ra, rb);
        }
        for (const auto& [key, rb] : keyedB) {
            if (!usedB[static_cast<size_t>(rb)]) add(key.label, -1, rb);
        }
    }

    Side& a_;
    Side& b_;
    std::vector<Difference>& out_;
    std::optional<bool> sameContext_;
};

// A side as compared in the scope: in gateway scope its gateway image, with
// every image item mapped back to the given project's items for naming.
std::unique_ptr<Side> makeSide(const Project& given, const Tree& givenTree, const CompareOptions& options) {
    if (options.scope == CompareScope::Offline) return std::make_unique<Side>(given, options.plc);
    if (!options.gatewayImage) return nullptr;
    std::optional<Project> image = options.gatewayImage(given);
    if (!image) return nullptr;
    auto side = std::make_unique<Side>(std::move(*image), options.plc);
    side->mapped = true;
    side->namingTree = &givenTree;
    mapItems(given, givenTree, side->shown, side->tree(), {}, {}, side->toNaming);
    return side;
}

}  // namespace

CompareResult compareProjects(const Project& a, const Project& b, const CompareOptions& options) {
    CompareResult result;
    // The given projects' trees, for naming items in gateway scope.
    const Tree treeA = options.scope == CompareScope::Gateway ? buildTree(a) : Tree{};
    const Tree treeB = options.scope == CompareScope::Gateway ? buildTree(b) : Tree{};
    auto sideA = makeSide(a, treeA, options);
    auto sideB = makeSide(b, treeB, options);
    if (!sideA || !sideB) {
        result.ok = false;
        return result;
    }
    Comparison(*sideA, *sideB, result.differences).walk({}, {}, true, true);
    return result;
}

}  // namespace korvex
