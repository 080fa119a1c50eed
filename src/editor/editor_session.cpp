#include "editor/editor_session.h"

// EditorSession: the view state, the selection, grid clicks and the flow of a
// commit (which rule runs, what the cell shows afterwards, the modified flag).
// The rules themselves live beside it, one file per job:
//   grid_layout.cpp          the rows of each kind of tree item
//   cell_editors.cpp         which cells open an editor, and the lists' entries
//   help_text_choice.cpp     the help text of a clicked row
//   commit_edit_settings.cpp typed values on the Fieldbus and subnet items
//   commit_edit_command.cpp  typed values on node and command items
//   commit_list.cpp          list choices
//   node_operations.cpp      add, delete, copy, paste and rename nodes and commands
#include "editor/editor_session.h"

#include <algorithm>

#include "editor/help_text_choice.h"
#include "editor/session_helpers.h"
#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex {

using namespace editor;
namespace T = texts;

namespace {

bool sameProject(const Project& a, const Project& b) {
    return sameValues(a, b) && a.modified == b.modified && a.loadedFromFile == b.loadedFromFile;
}

}  // namespace

// ---- Changes ------------------------------------------------------------------

Changes& Changes::operator|=(const Changes& o) {
    tree |= o.tree;
    grid |= o.grid;
    selection |= o.selection;
    editor |= o.editor;
    prompt |= o.prompt;
    project |= o.project;
    state |= o.state;
    if (o.refusal) refusal = o.refusal;
    return *this;
}

// ---- Snapshots: what a call changed ----------------------------------------

EditorSession::Snapshot EditorSession::snapshot() const {
    return Snapshot{tree_, selected_, state_, grid_, editor_, prompt_, project_, selectionSerial_};
}

Changes EditorSession::finish(const Snapshot& before, bool selectionSet) {
    Changes c;
    c.tree = tree_ != before.tree;
    c.selection = selectionSet || selected_ != before.selected || selectionSerial_ != before.selectionSerial;
    c.grid = grid_ != before.grid;
    c.editor = editor_ != before.editor;
    c.prompt = prompt_ != before.prompt;
    c.project = !sameProject(project_, before.project);
    c.state = state_ != before.state;
    c.refusal = std::move(refusal_);
    refusal_.reset();
    if (c.tree) ++treeRev_;
    if (c.selection) ++selectionRev_;
    if (c.grid) ++gridRev_;
    if (c.editor) ++editorRev_;
    if (c.prompt) ++promptRev_;
    if (c.project) ++projectRev_;
    return c;
}

EditorSession::EditorSession(Project& project, Operator& op) : project_(project), op_(&op) {}

// ---- Lifecycle and tree ---------------------------------------------------

Changes EditorSession::initialUpdate() {
    const Snapshot before = snapshot();
    closeEditors();
    state_ = ViewState{};
    copiedSubnet_ = -1;
    copiedAddress_.clear();
    prompt_.clear();
    rebuildAndSelectFirst();
    return finish(before, true);
}

Changes EditorSession::createRoots() {
    const Snapshot before = snapshot();
    closeEditors();
    tree_ = makeRoots(project_.deviceKind);
    selected_.clear();
    state_ = ViewState{};
    clearGrid();
    return finish(before, true);
}

Changes EditorSession::rebuildTree() {
    const Snapshot before = snapshot();
    closeEditors();
    rebuildAndSelectFirst();
    return finish(before, true);
}

void EditorSession::rebuildAndSelectFirst() {
    state_.treeSelectionMade = false;
    tree_ = buildTree(project_);
    selected_.clear();
    clearGrid();
    if (!tree_.empty()) {
        selected_ = {0};
        showSelection();
    }
}

Changes EditorSession::selectItem(const ItemPath& path) {
    if (!itemAt(tree_, path)) return {};
    const Snapshot before = snapshot();
    if (editor_.kind == EditorKind::Edit) commitOpenEditBox();
    closeEditors();
    if (!itemAt(tree_, path)) return finish(before);
    selected_ = path;
    showSelection();
    return finish(before, true);
}

int EditorSession::subnetRootIndex(int subnet) const {
    for (size_t i = 0; i < tree_.size(); ++i) {
        if (subnetOfLabel(tree_[i].raw) == subnet) return static_cast<int>(i);
    }
    return -1;
}

void EditorSession::rebuildSubnetBranch(int subnet, bool withNodes) {
    const int r = subnetRootIndex(subnet);
    if (r < 0) return;
    TreeItem& root = tree_[static_cast<size_t>(r)];
    root.children.clear();
    if (withNodes) appendNodeItems(project_.subnet(subnet), root);
}

void EditorSession::clearGrid() {
    grid_ = GridRows{};
    rowHasField_.fill(false);
}

void EditorSession::setRow(int r, std::string_view label, std::string value, bool grey, bool field) {
    if (r < 0 || r >= kGridRowCount) return;
    GridRow& row = grid_[static_cast<size_t>(r)];
    row.label = std::string(label);
    row.value = std::move(value);
    row.grey = grey;
    rowHasField_[static_cast<size_t>(r)] = field;
}

const GridRow& EditorSession::row(int r) const {
    static const GridRow kEmpty;
    if (r < 0 || r >= kGridRowCount) return kEmpty;
    return grid_[static_cast<size_t>(r)];
}

void EditorSession::closeEditors() { editor_ = CellEditor{}; }

void EditorSession::setSelectionEnableFlags() {
    const SubnetConfig& c = project_.subnet(state_.selectedSubnet);
    // Gateways with legacyFlag244 take a single node per subnet.
    const bool roomForNode = !project_.flags.legacyFlag244 || c.nodeCount == 0;
    state_.canAddNode = state_.canDeleteNode = state_.canAddCommand = state_.canDeleteCommand = false;
    switch (state_.nodeKind) {
        case NodeKind::Subnet:
            state_.canAddNode = isMaster(c) && roomForNode;
            break;
        case NodeKind::Node:
            state_.canAddNode = roomForNode;
            state_.canDeleteNode = true;
            state_.canAddCommand = true;
            break;
        case NodeKind::Command:
            state_.canDeleteCommand = true;
            break;
        default:
            break;
    }
}

void EditorSession::showSelection() {
    // Editors hidden, selection made, prompt cleared, subnet and branch found.
    closeEditors();
    state_.treeSelectionMade = true;
    prompt_.clear();
    ++selectionSerial_;
    state_.selectedSubnet = subnetOfItem(tree_, selected_);
    state_.fieldbusBranchSelected = isInFieldbusBranch(tree_, selected_);
    // The item's kind, an empty grid, the enable states of the operations.
    state_.nodeKind = classifyItem(tree_, selected_);
    clearGrid();
    setSelectionEnableFlags();
    // The rows of the kind.
    const TreeItem* item = itemAt(tree_, selected_);
    switch (state_.nodeKind) {
        case NodeKind::Fieldbus:
            fillFieldbusRows();
            break;
        case NodeKind::Subnet:
            fillSubnetRows();
            break;
        case NodeKind::Node:
            state_.currentNodeIndex = item ? item->data : 0;
            fillNodeRows();
            break;
        case NodeKind::Command:
            state_.currentCommandIndex = item ? item->data : 0;
            fillCommandRows();
            break;
        default:
            break;
    }
}

// ---- The item a grid click was made on ------------------------------------------

SubnetConfig* EditorSession::clickedSubnet() {
    if (clickSubnet_ < 0 || clickSubnet_ >= kSubnetCount) return nullptr;
    return &project_.subnet(clickSubnet_);
}

SlaveNode* EditorSession::clickedNode() {
    SubnetConfig* c = clickedSubnet();
    if (!c || clickNode_ < 1 || clickNode_ > usedCount(c->nodeCount, kMaxNodes)) return nullptr;
    return &c->nodes[static_cast<size_t>(clickNode_ - 1)];
}

ModbusCommand* EditorSession::clickedCommand() {
    SubnetConfig* c = clickedSubnet();
    if (!c || clickCommand_ < 1 || clickCommand_ > usedCount(c->commandCount, kMaxCommands)) return nullptr;
    return &c->commands[static_cast<size_t>(clickCommand_ - 1)];
}

// ---- Clicking ---------------------------------------------------------------

CellClick EditorSession::clickCell(int r, int column) {
    const Snapshot before = snapshot();
    if (editor_.kind == EditorKind::Edit) commitOpenEditBox();
    closeEditors();
    CellClick result;
    if (!state_.treeSelectionMade || r < 0 || r >= kGridRowCount || column < 0 || column >= kGridColumnCount) {
        result.promptText = prompt_;
        result.changes = finish(before);
        return result;
    }
    result.accepted = true;
    clickKind_ = state_.nodeKind;
    currentRow_ = r;
    currentColumn_ = column;
    clickSubnet_ = state_.selectedSubnet;
    clickNode_ = state_.currentNodeIndex;
    clickCommand_ = state_.currentCommandIndex;
    clickLabel_ = grid_[static_cast<size_t>(r)].label;
    clickSelectionSerial_ = selectionSerial_;

    const HelpChoice help = chooseHelpText(project_, plc_ != nullptr, clickKind_, r);
    result.prompt = help.update;
    if (help.update == PromptUpdate::Text) prompt_ = help.text->str();
    else if (help.update == PromptUpdate::Empty) prompt_.clear();

    if (column == 1 && cellEditable(r)) {
        auto list = choiceList(r);
        if (!list.empty()) {
            editor_ = CellEditor{EditorKind::List, r, column, {}, std::move(list)};
        } else {
            editor_ = CellEditor{EditorKind::Edit, r, column, grid_[static_cast<size_t>(r)].value, {}};
        }
    }
    result.editor = editor_;
    result.promptText = prompt_;
    result.changes = finish(before);
    return result;
}

// ---- Edit box commit --------------------------------------------------------

Changes EditorSession::commitEdit(std::string_view text) {
    if (editor_.kind != EditorKind::Edit) return {};
    const Snapshot before = snapshot();
    editor_.text = std::string(text);
    commitOpenEditBox();
    return finish(before);
}

void EditorSession::commitOpenEditBox() {
    if (editor_.kind != EditorKind::Edit) return;
    std::string text = editor_.text;
    const int r = currentRow_;
    closeEditors();
    if (r < 0 || r >= kGridRowCount) return;
    typed_ = text;
    refusal_.reset();
    const Project before = project_;
    bool rangeEnding = false;
    bool blankCell = false;
    switch (clickKind_) {
        case NodeKind::Fieldbus:
            commitFieldbusEdit(text, rangeEnding);
            break;
        case NodeKind::Subnet:
            commitSubnetEdit(text, rangeEnding, blankCell);
            break;
        case NodeKind::Node:
            commitNodeEdit(text);
            break;
        case NodeKind::Command:
            commitCommandEdit(text);
            break;
        default:
            break;
    }
    (void)blankCell;  // the out-of-range pulse text is already empty
    const bool shown = selectionUnchanged();
    GridRow& cell = grid_[static_cast<size_t>(r)];
    if (rangeEnding) {
        if (shown) cell.value = text;  // the model value, set by the rule
    } else if (shown) {
        if (clickKind_ == NodeKind::Command && r == 4) {
            cell.value = (text.empty() || text == "-1") ? std::string() : (plc_ ? text : text + "H");
        } else {
            cell.value = text == "-1" ? std::string() : text;
        }
    }
    // Modified only when a stored value changed: a refused or repeated value
    // leaves the flag as it was.
    if (!sameValues(before, project_)) project_.modified = true;
}

void EditorSession::refuse(const Text& reason, std::vector<std::string> args) {
    args.insert(args.begin(), typed_);
    refusal_ = Message{reason, std::move(args)};
}

bool EditorSession::checkInteger(const std::string& text, std::int64_t min, std::int64_t max, const Text& label) {
    if (text.empty()) {
        refuse(T::RefusedEmpty);
        return false;
    }
    return checkIntegerField(*op_, text, min, max, label.text);
}

// ---- List commit ------------------------------------------------------------

Changes EditorSession::commitChoiceIndex(int index) {
    if (editor_.kind != EditorKind::List || index < 0 || static_cast<size_t>(index) >= editor_.entries.size())
        return {};
    const std::string entry = editor_.entries[static_cast<size_t>(index)];
    return commitChoice(entry);
}

Changes EditorSession::commitChoice(std::string_view entryView) {
    if (editor_.kind != EditorKind::List) return {};
    const std::string entry(entryView);
    if (std::find(editor_.entries.begin(), editor_.entries.end(), entry) == editor_.entries.end()) return {};
    const Snapshot before = snapshot();
    const int r = currentRow_;
    refusal_.reset();
    // The cell shows the choice and the list closes; then the row's rule stores it.
    if (selectionUnchanged() && r >= 0 && r < kGridRowCount) grid_[static_cast<size_t>(r)].value = entry;
    closeEditors();
    switch (clickKind_) {
        case NodeKind::Fieldbus:
            commitFieldbusChoice(entry);
            break;
        case NodeKind::Subnet:
            commitSubnetChoice(entry);
            break;
        case NodeKind::Command:
            commitCommandChoice(entry);
            break;
        default:
            break;
    }
    if (!sameValues(before.project, project_)) project_.modified = true;
    return finish(before);
}

Changes EditorSession::closeList() {
    if (editor_.kind != EditorKind::List) return {};
    const Snapshot before = snapshot();
    closeEditors();
    return finish(before);
}

Changes EditorSession::hideEditors() {
    if (editor_.kind == EditorKind::None) return {};
    const Snapshot before = snapshot();
    closeEditors();
    return finish(before);
}

}  // namespace korvex
