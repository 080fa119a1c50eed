// The node and command operations: Add and Delete Node, Add and Delete Command,
// Copy and Paste Node, renaming a node in the tree, and the enabling of the
// tree's context menu after a right click.
#include "editor/editor_session.h"

#include "editor/session_helpers.h"
#include "model/encoding.h"
#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex {

using namespace editor;
namespace T = texts;

namespace {

// The node a node item stands for; nullptr for other items.
const SlaveNode* nodeOfItem(const Project& project, const Tree& tree, const ItemPath& path) {
    const TreeItem* item = itemAt(tree, path);
    if (!item || classifyItem(tree, path) != NodeKind::Node) return nullptr;
    const SubnetConfig& c = project.subnet(subnetOfItem(tree, path));
    if (item->data < 1 || item->data > usedCount(c.nodeCount, kMaxNodes)) return nullptr;
    return &c.nodes[static_cast<size_t>(item->data - 1)];
}

bool hasAddress(const SlaveNode& node) { return !node.address.empty() && node.address != "-1"; }

}  // namespace

const std::vector<SelectCommandEntry>& selectCommandEntries() {
    static const std::vector<SelectCommandEntry> entries = [] {
        std::vector<SelectCommandEntry> e;
        const std::pair<const char*, int> codes[] = {{"01 ", 1}, {"02 ", 2}, {"03 ", 3},  {"04 ", 4},
                                                     {"05 ", 5}, {"06 ", 6}, {"15 ", 15}, {"16 ", 16}};
        for (const auto& [prefix, code] : codes)
            e.push_back({std::string(prefix) + std::string(functionText(std::to_string(code))), code});
        return e;
    }();
    return entries;
}

bool EditorSession::canCopyNode() const {
    const SlaveNode* node = nodeOfItem(project_, tree_, selected_);
    return node && hasAddress(*node);
}

bool EditorSession::canPasteNode() const {
    const TreeItem* item = itemAt(tree_, selected_);
    return hasCopy() && item && isSubnetLabel(item->raw);
}

Changes EditorSession::renameNode(const ItemPath& path, std::string_view newLabel) {
    TreeItem* item = itemAt(tree_, path);
    if (!item) return {};
    const Snapshot before = snapshot();
    if (classifyItem(tree_, path) != NodeKind::Node || newLabel.empty()) return finish(before);
    const int s = subnetOfItem(tree_, path);
    SubnetConfig& c = project_.subnet(s);
    const int n = item->data;
    if (n < 1 || n > usedCount(c.nodeCount, kMaxNodes)) return finish(before);
    std::string& name = c.nodes[static_cast<size_t>(n - 1)].name;
    if (name != newLabel) project_.modified = true;
    name = std::string(newLabel);
    item->raw = std::string(newLabel);
    item->text = windows1252ToUtf8(item->raw);
    state_.currentNodeIndex = n;
    return finish(before);
}

ContextMenu EditorSession::rightClick(const ItemPath& path) {
    ContextMenu menu;
    if (!itemAt(tree_, path)) return menu;
    const Snapshot before = snapshot();
    if (editor_.kind == EditorKind::Edit) commitOpenEditBox();
    closeEditors();
    if (itemAt(tree_, path)) {
        selected_ = path;
        showSelection();
        const NodeKind kind = classifyItem(tree_, path);
        const SubnetConfig& c = project_.subnet(subnetOfItem(tree_, path));
        state_.canAddNode = state_.canDeleteNode = state_.canAddCommand = state_.canDeleteCommand = false;
        if (kind != NodeKind::Fieldbus && kind != NodeKind::None && isMaster(c)) {
            // Gateways with legacyFlag244 take a single node per subnet.
            const bool roomForNode = !(project_.flags.legacyFlag244 && c.nodeCount >= 1);
            if (kind == NodeKind::Subnet) {
                state_.canAddNode = roomForNode;
            } else if (kind == NodeKind::Node) {
                state_.canAddNode = roomForNode;
                state_.canAddCommand = true;
                state_.canDeleteNode = true;
            } else if (kind == NodeKind::Command) {
                state_.canDeleteCommand = true;
            }
            menu.shown = true;
            menu.addNode = state_.canAddNode;
            menu.deleteNode = state_.canDeleteNode;
            menu.addCommand = state_.canAddCommand;
            menu.deleteCommand = state_.canDeleteCommand;
            menu.copyNode = canCopyNode();
            menu.pasteNode = canPasteNode();
        }
    }
    menu.changes = finish(before, true);
    return menu;
}

Changes EditorSession::addNode(CommandSource source) {
    if (!state_.canAddNode) return {};
    const NodeKind kind = state_.nodeKind;
    if (kind != NodeKind::Subnet && kind != NodeKind::Node) return {};
    const Snapshot before = snapshot();
    closeEditors();
    const int s = state_.selectedSubnet;
    SubnetConfig& c = project_.subnet(s);
    ItemPath subnetPath = selected_;
    if (kind == NodeKind::Node) subnetPath.pop_back();
    TreeItem* subnetItem = itemAt(tree_, subnetPath);
    const int count = usedCount(c.nodeCount, kMaxNodes);
    if (count >= kMaxNodes) {
        op_->showMessage({T::NodeLimit, {}});
        return finish(before);
    }
    c.nodes[static_cast<size_t>(count)] = SlaveNode{"-1", T::NewNodeName.str()};
    c.nodeCount = count + 1;
    if (subnetItem) {
        TreeItem item;
        item.raw = T::NewNodeName.str();
        item.text = item.raw;
        item.data = c.nodeCount;
        subnetItem->children.push_back(std::move(item));
    }
    if (TreeItem* sel = itemAt(tree_, selected_)) sel->expanded = true;
    project_.modified = true;
    if (source == CommandSource::ContextMenu && project_.flags.legacyFlag244 && project_.subnet(0).nodeCount >= 1)
        state_.canAddNode = false;
    return finish(before);
}

Changes EditorSession::addCommandAt(int position) {
    const auto& entries = selectCommandEntries();
    if (position < 0 || static_cast<size_t>(position) >= entries.size()) return {};
    return addCommand(entries[static_cast<size_t>(position)].functionCode);
}

Changes EditorSession::addCommand(int functionCode) {
    if (!state_.canAddCommand || state_.nodeKind != NodeKind::Node) return {};
    const std::string code = std::to_string(functionCode);
    if (functionText(code).empty()) return {};
    TreeItem* nodeItem = itemAt(tree_, selected_);
    if (!nodeItem) return {};
    const Snapshot before = snapshot();
    closeEditors();
    SubnetConfig& c = project_.subnet(state_.selectedSubnet);
    const int count = usedCount(c.commandCount, kMaxCommands);
    if (count >= kMaxCommands) {
        op_->showMessage({T::CommandLimit, {}});
        return finish(before);
    }
    ModbusCommand cmd;
    cmd.nodeIndex = nodeItem->data;
    state_.currentNodeIndex = nodeItem->data;
    if (cmd.nodeIndex >= 1 && cmd.nodeIndex <= kMaxNodes)
        cmd.slaveAddress = c.nodes[static_cast<size_t>(cmd.nodeIndex - 1)].address;
    cmd.dataFilter = std::string(defaultDataFilter(project_));
    cmd.scanType = T::FastScan.str();
    cmd.byteSwap = T::NoSwap.str();
    if (c.masterTransmissionMode == T::Rtu.text) cmd.checkType = T::Crc.str();
    else if (c.masterTransmissionMode == T::Ascii.text) cmd.checkType = T::Lrc.str();
    cmd.functionCode = code;
    if (functionCode == 5 || functionCode == 6) cmd.dataCount = "1";
    c.commands[static_cast<size_t>(count)] = cmd;
    c.commandCount = count + 1;
    TreeItem item;
    item.raw = std::string(functionText(code));
    item.text = item.raw;
    item.data = c.commandCount;
    nodeItem->children.push_back(std::move(item));
    nodeItem->expanded = true;
    project_.modified = true;
    return finish(before);
}

void EditorSession::selectAfterDelete(const ItemPath& removed) {
    // The tree control selects the next sibling of a deleted selected item, else
    // the previous one, else the parent.
    ItemPath next = removed;
    if (!itemAt(tree_, next)) {
        if (next.back() > 0) {
            --next.back();
        } else {
            next.pop_back();
        }
    }
    if (!itemAt(tree_, next)) next = tree_.empty() ? ItemPath{} : ItemPath{0};
    selected_ = next;
    if (!selected_.empty()) showSelection();
}

Changes EditorSession::deleteNode(CommandSource source) {
    if (!state_.canDeleteNode || state_.nodeKind != NodeKind::Node) return {};
    const TreeItem* nodeItem = itemAt(tree_, selected_);
    if (!nodeItem) return {};
    const int s = state_.selectedSubnet;
    SubnetConfig& c = project_.subnet(s);
    const int d = nodeItem->data;
    const int nodes = usedCount(c.nodeCount, kMaxNodes);
    if (d < 1 || d > nodes) return {};
    const Snapshot before = snapshot();
    closeEditors();
    c.nodeCount = nodes - 1;
    // The node's commands leave the table; the later ones move up.
    int commands = usedCount(c.commandCount, kMaxCommands);
    for (int k = 0; k < commands;) {
        if (c.commands[static_cast<size_t>(k)].nodeIndex == d) {
            for (int j = k; j + 1 < commands; ++j) c.commands[static_cast<size_t>(j)] = c.commands[static_cast<size_t>(j + 1)];
            --commands;
        } else {
            ++k;
        }
    }
    c.commandCount = commands;
    // Commands of the later nodes follow their node, which moves up by one.
    for (int k = 0; k < commands; ++k) {
        auto& cmd = c.commands[static_cast<size_t>(k)];
        if (cmd.nodeIndex > d) --cmd.nodeIndex;
    }
    for (int j = d - 1; j + 1 < nodes; ++j) c.nodes[static_cast<size_t>(j)] = c.nodes[static_cast<size_t>(j + 1)];
    // The Edit menu redraws the whole tree with the first subnet expanded; the
    // context menu redraws only this subnet's branch and selects a neighbour.
    if (source == CommandSource::EditMenu) {
        rebuildAndSelectFirst();
        for (auto& root : tree_) {
            if (isSubnetLabel(root.raw)) {
                root.expanded = true;
                break;
            }
        }
        state_.canDeleteNode = false;
    } else {
        const ItemPath removed = selected_;
        TreeItem& root = tree_[static_cast<size_t>(removed[0])];
        // Keep the expansion of the remaining node items.
        std::vector<bool> expanded;
        for (const auto& child : root.children) {
            if (child.data != d) expanded.push_back(child.expanded);
        }
        root.children.clear();
        appendNodeItems(c, root);
        for (size_t i = 0; i < root.children.size() && i < expanded.size(); ++i) root.children[i].expanded = expanded[i];
        selectAfterDelete(removed);
    }
    project_.modified = true;
    return finish(before, true);
}

Changes EditorSession::deleteCommand() {
    if (!state_.canDeleteCommand || state_.nodeKind != NodeKind::Command) return {};
    const TreeItem* item = itemAt(tree_, selected_);
    if (!item || selected_.size() < 3) return {};
    SubnetConfig& c = project_.subnet(state_.selectedSubnet);
    const int k = item->data;
    const int commands = usedCount(c.commandCount, kMaxCommands);
    if (k < 1 || k > commands) return {};
    const Snapshot before = snapshot();
    closeEditors();
    for (int j = k - 1; j + 1 < commands; ++j) c.commands[static_cast<size_t>(j)] = c.commands[static_cast<size_t>(j + 1)];
    c.commandCount = commands - 1;
    // Tree: the item goes, the later command items of the subnet count one less.
    const ItemPath removed = selected_;
    TreeItem* nodeItem = itemAt(tree_, ItemPath(removed.begin(), removed.end() - 1));
    nodeItem->children.erase(nodeItem->children.begin() + removed.back());
    for (auto& node : tree_[static_cast<size_t>(removed[0])].children) {
        for (auto& cmdItem : node.children) {
            if (cmdItem.data > k) --cmdItem.data;
        }
    }
    selectAfterDelete(removed);
    project_.modified = true;
    return finish(before, true);
}

// The copy remembers the node's subnet and slave address; a paste copies the
// commands that carry that address, whatever the node is called.
Changes EditorSession::copyNode() {
    if (!canCopyNode()) return {};
    const Snapshot before = snapshot();
    copiedSubnet_ = subnetOfItem(tree_, selected_);
    copiedAddress_ = nodeOfItem(project_, tree_, selected_)->address;
    return finish(before);
}

Changes EditorSession::pasteNode() {
    if (!canPasteNode()) return {};
    const TreeItem* target = itemAt(tree_, selected_);
    const int s = subnetOfLabel(target->raw);
    if (s < 0 || !isMaster(project_.subnet(s))) return {};  // no context menu for other protocols
    const Snapshot before = snapshot();
    closeEditors();
    SubnetConfig& c = project_.subnet(s);
    // A new node under the subnet, as Add Node from the context menu makes it.
    if (usedCount(c.nodeCount, kMaxNodes) >= kMaxNodes) {
        op_->showMessage({T::NodeLimit, {}});
        return finish(before);  // nothing to paste into: the paste stops here
    }
    const int nodeIndex = usedCount(c.nodeCount, kMaxNodes) + 1;
    c.nodes[static_cast<size_t>(nodeIndex - 1)] = SlaveNode{"-1", T::NewNodeName.str()};
    c.nodeCount = nodeIndex;
    TreeItem* subnetItem = itemAt(tree_, selected_);
    {
        TreeItem item;
        item.raw = T::NewNodeName.str();
        item.text = item.raw;
        item.data = nodeIndex;
        subnetItem->children.push_back(std::move(item));
    }
    subnetItem->expanded = true;
    project_.modified = true;
    if (project_.flags.legacyFlag244 && project_.subnet(0).nodeCount >= 1) state_.canAddNode = false;
    // The target node: the last node item under the subnet item.
    TreeItem& nodeItem = subnetItem->children.back();
    const int targetIndex = nodeItem.data;
    const std::string targetAddress = c.nodes[static_cast<size_t>(targetIndex - 1)].address;
    // Copies of the commands that carry the copied address; the copies keep
    // their mapping addresses (the conflict view shows the overlap).
    const SubnetConfig& source = project_.subnet(copiedSubnet_);
    const int sourceCount = usedCount(source.commandCount, kMaxCommands);
    const std::string& address = copiedAddress_;
    for (int k = 0; k < sourceCount; ++k) {
        if (source.commands[static_cast<size_t>(k)].slaveAddress != address) continue;
        const int count = usedCount(c.commandCount, kMaxCommands);
        if (count >= kMaxCommands) {
            op_->showMessage({T::CommandLimit, {}});  // the copies made so far stay
            break;
        }
        ModbusCommand copy = source.commands[static_cast<size_t>(k)];
        copy.nodeIndex = targetIndex;
        copy.slaveAddress = targetAddress;
        c.commands[static_cast<size_t>(count)] = copy;
        c.commandCount = count + 1;
        TreeItem item;
        item.raw = std::string(functionText(copy.functionCode));
        item.text = item.raw;
        item.data = c.commandCount;
        if (!item.raw.empty()) nodeItem.children.push_back(std::move(item));
        nodeItem.expanded = true;
    }
    return finish(before);
}

}  // namespace korvex
