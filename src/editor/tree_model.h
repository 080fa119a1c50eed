#pragma once
// The configuration tree as plain data: root items per DeviceKind,
// node items below the subnet roots, command items below the nodes. No widgets:
// a front end mirrors these items one to one.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/project.h"

namespace korvex {

// Identifies a tree item: the 0-based child positions from the roots down, so
// {1, 0, 2} is the third child of the first child of the second root. Empty = no
// item. A path stays valid until the tree changes (Changes::tree).
using ItemPath = std::vector<int>;

// Kind of a tree item (NodeKind); None when no item is selected.
enum class NodeKind { None, Fieldbus, Subnet, Node, Command };

struct TreeItem {
    // The text to display, UTF-8. Node names are decoded from windows-1252; the two
    // Roman-numeral subnet labels of DeviceKind 4 read " Subnet\u2160" and "Subnet\u2161".
    std::string text;
    // The item's text in the program's own bytes: the node name as stored in the
    // project (windows-1252), or for the kind-4 labels their GB2312 form
    // (" Subnet\xA2\xF1", "Subnet\xA2\xF2"). The rules compare this.
    std::string raw;
    // Item data: 1-based node index for node items, 1-based command index for
    // command items, 0 for roots.
    std::int32_t data = 0;
    // The item's children are shown expanded (set where an operation opens the
    // item, for example after adding a node or a command under it).
    bool expanded = false;
    std::vector<TreeItem> children;

    bool operator==(const TreeItem&) const = default;
};

using Tree = std::vector<TreeItem>;  // the root items in order

// The root labels (raw form) and their subnet index.
struct SubnetLabel {
    std::string_view raw;   // as compared by the rules
    std::string_view utf8;  // as displayed
    int subnet;             // 0..3
};
// Every subnet label, subnet 1 labels first.
const std::vector<SubnetLabel>& subnetLabels();
// Subnet index of a label, or -1 when the text is not a subnet label.
int subnetOfLabel(std::string_view raw);
bool isSubnetLabel(std::string_view raw);
// "Fieldbus" or "Ethernet".
bool isFieldbusLabel(std::string_view raw);

// The roots of createRoots for a DeviceKind (no children).
Tree makeRoots(std::int32_t deviceKind);
// The full tree of rebuildTree (roots, nodes, commands).
Tree buildTree(const Project& project);
// The branch of one subnet as buildTree makes it: its node items, in table
// order, each with its command items, appended to subnetItem's children.
void appendNodeItems(const SubnetConfig& subnet, TreeItem& subnetItem);

// The item at path, or nullptr when the path names none.
const TreeItem* itemAt(const Tree& tree, const ItemPath& path);
TreeItem* itemAt(Tree& tree, const ItemPath& path);

// An item text as korvex-cli prints it, one item a line: a backslash as "\\",
// a line feed as "\n", a carriage return as "\r", a tab as "\t" and every other
// control character (U+0000 to U+001F, U+007F to U+009F) as "\xHH".
std::string escapedItemText(std::string_view utf8);

// PATH as korvex-cli takes it: UTF-8 item texts from the root joined by "/", a
// text followed by "[k]" picks the k-th sibling (1-based) with that text. When no
// text matches exactly, texts are compared without leading and trailing blanks.
// The escapes of escapedItemText are read back, and "\/" is a slash inside a
// text; a backslash followed by anything else names no item, nor does an empty PATH.
std::optional<ItemPath> findItemPath(const Tree& tree, std::string_view utf8Path);
// The PATH text of an item (with "[k]" where an earlier sibling has the same text,
// texts escaped as findItemPath reads them).
std::string itemPathText(const Tree& tree, const ItemPath& path);

// NodeKind of an item from its own, its parent's and its grandparent's raw texts.
NodeKind classifyItem(const Tree& tree, const ItemPath& path);
// Selected subnet of an item: 0..3, 0 when no label matches.
int subnetOfItem(const Tree& tree, const ItemPath& path);
// The item, its parent or its grandparent is "Fieldbus" or "Ethernet".
bool isInFieldbusBranch(const Tree& tree, const ItemPath& path);

}  // namespace korvex
