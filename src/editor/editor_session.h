#pragma once
// EditorSession: the configuration editor without widgets.
// It owns the view state (selection, grid contents, open in-place editor, prompt
// text, enable flags, node copy buffer) over a Project owned elsewhere, and is the
// only thing a front end talks to. Every call runs on the caller's thread.
//
// Texts: every string crossing this interface is in the project's own bytes
// (windows-1252; the program's texts are ASCII), except TreeItem::text, which is
// UTF-8 for display. Front ends convert at their boundary (model/encoding.h).
//
// After any call a front end learns what to redraw from the returned Changes, or
// by comparing the revision counters, and re-reads tree(), rows(), editor(),
// promptText(), state() and selectedItem() as needed.
//
// Messages and questions go to the Operator (model/operator.h) with text-table
// entries (model/texts.h), so tests assert which entry was shown.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "editor/grid_rows.h"
#include "editor/help_text_choice.h"
#include "editor/tree_model.h"
#include "model/operator.h"
#include "model/plc_addressing.h"
#include "model/project.h"

namespace korvex {

// The view state a selection sets.
struct ViewState {
    NodeKind nodeKind = NodeKind::None;  // kind of the selected item
    int selectedSubnet = 0;              // 0..3
    bool canAddNode = false;
    bool canDeleteNode = false;
    bool canAddCommand = false;
    bool canDeleteCommand = false;
    int currentNodeIndex = 0;            // 1-based, 0 = none yet
    int currentCommandIndex = 0;         // 1-based, 0 = none yet
    bool pulseOutputActive = false;
    bool fieldbusBranchSelected = false;
    bool treeSelectionMade = false;      // the grid ignores clicks while clear

    bool operator==(const ViewState&) const = default;
};

// What a call changed. The revision counters of the session count the same events.
struct Changes {
    bool tree = false;       // items were added, removed, renamed or rebuilt: re-read tree()
    bool grid = false;       // rows() changed (texts or colours)
    bool selection = false;  // selectedItem() changed (or was set again)
    bool editor = false;     // editor() opened, closed or changed
    bool prompt = false;     // promptText() changed
    bool project = false;    // the Project was changed (modified flag or any value)
    bool state = false;      // state() (enable flags, indexes, ...) changed
    // A typed value was not stored (or the node lost its address) and no message
    // box said why: the reason, for the status bar. Empty otherwise.
    std::optional<Message> refusal;

    Changes& operator|=(const Changes& o);
    bool any() const { return tree || grid || selection || editor || prompt || project || state; }
};

struct CellClick {
    // False when the click was ignored (no tree item selected since the last tree
    // rebuild): nothing opened, prompt unchanged.
    bool accepted = false;
    PromptUpdate prompt = PromptUpdate::Unchanged;
    std::string promptText;  // the pane's text after the click
    CellEditor editor;       // what opened (kind None: nothing)
    Changes changes;
};

// The tree's context menu after a right click: whether it opens, and which of
// its entries are enabled.
struct ContextMenu {
    bool shown = false;  // false: no item under the cursor, or no menu for this item
    bool addNode = false;
    bool deleteNode = false;
    bool addCommand = false;
    bool deleteCommand = false;
    bool copyNode = false;
    bool pasteNode = false;
    Changes changes;  // the right click selects the item
};

// Where Add Node or Delete Node came from: the Edit menu (or tool bar) or the
// tree's context menu. The two differ in how the tree is redrawn and what is
// selected afterwards.
enum class CommandSource { EditMenu, ContextMenu };

// One entry of the "Select Command" dialog.
struct SelectCommandEntry {
    std::string text;        // "03 Read Holding Registers"
    int functionCode = 0;    // 1, 2, 3, 4, 5, 6, 15, 16
};
// The eight entries in list order (position 0..7 gives codes 1..6, 15, 16).
const std::vector<SelectCommandEntry>& selectCommandEntries();

class EditorSession {
public:
    EditorSession(Project& project, Operator& op);
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    Project& project() { return project_; }
    const Project& project() const { return project_; }
    void setOperator(Operator& op) { op_ = &op; }
    // PLC base-address mode: nullptr = mode off. Re-select or rebuild to
    // show the rows in the other form.
    void setPlcAddressing(const PlcAddressing* plc) { plc_ = plc; }
    const PlcAddressing* plcAddressing() const { return plc_; }

    // ---- Document lifecycle ---------------
    // After every New and Open (the caller has reset or loaded the Project): the
    // enable flags cleared, the tree rebuilt with its first item selected, the node
    // copy buffer emptied.
    Changes initialUpdate();
    // createRoots: only the roots, no selection, treeSelectionMade cleared.
    Changes createRoots();
    // rebuildTree: the whole tree from the Project, first root selected and shown.
    Changes rebuildTree();

    // ---- Tree ---------------
    const Tree& tree() const { return tree_; }
    const TreeItem* item(const ItemPath& path) const { return itemAt(tree_, path); }
    // korvex-cli PATH syntax (tree_model.h); nullopt when no item matches.
    std::optional<ItemPath> findItem(std::string_view utf8Path) const { return findItemPath(tree_, utf8Path); }
    std::string pathText(const ItemPath& path) const { return itemPathText(tree_, path); }
    // The selected item (empty path: none).
    const ItemPath& selectedItem() const { return selected_; }
    // Select an item and show it (showSelection): also used for every left click on
    // the tree. An open edit box is committed first with editor().text (as its focus
    // loss would; a front end commits the typed text with commitEdit before), an
    // open list is closed. A path naming no item changes nothing.
    Changes selectItem(const ItemPath& path);

    // ---- View state ----
    const ViewState& state() const { return state_; }
    NodeKind nodeKind() const { return state_.nodeKind; }
    int selectedSubnet() const { return state_.selectedSubnet; }
    bool canAddNode() const { return state_.canAddNode; }
    bool canDeleteNode() const { return state_.canDeleteNode; }
    bool canAddCommand() const { return state_.canAddCommand; }
    bool canDeleteCommand() const { return state_.canDeleteCommand; }
    // Copy Node: the selected item is a node with a slave address.
    bool canCopyNode() const;
    // Paste Node: a node was copied and the selected item is a subnet item.
    bool canPasteNode() const;
    bool hasCopy() const { return copiedSubnet_ >= 0 && !copiedAddress_.empty(); }

    // ---- Grid ---------------------
    const GridRows& rows() const { return grid_; }
    const GridRow& row(int r) const;  // an empty row for r out of 0..39
    // Whether the value cell opens an editor (cellEditable), and the choice list of
    // a cell (empty: it opens the edit box). For any row of the shown item.
    bool cellEditable(int row) const;
    std::vector<std::string> choiceList(int row) const;

    // ---- Clicking and committing ---------------------
    // Click on grid cell (row, column): records the click, updates the prompt pane
    // and opens the editor of an editable value cell. An editor still open is
    // committed (edit box, with editor().text) or closed (list) first.
    CellClick clickCell(int row, int column);
    // The in-place editor open now (kind None: none).
    const CellEditor& editor() const { return editor_; }
    // The edit box loses focus (or Enter is pressed): commit the text by the
    // row's rule. Does nothing when no edit box is open.
    Changes commitEdit(std::string_view text);
    // An entry of the open list is chosen: commit it (it must be one of the
    // open list's entries; otherwise nothing happens). May open the edit box (the
    // "Enter Address Value" choice): see editor() afterwards.
    Changes commitChoice(std::string_view entry);
    Changes commitChoiceIndex(int index);
    // The list loses focus: hide it, nothing committed.
    Changes closeList();
    // View resize: both editors hidden, edit box emptied, list cleared; nothing committed.
    Changes hideEditors();

    // ---- Prompt pane ---------------
    const std::string& promptText() const { return prompt_; }

    // ---- Tree label edit and context menu ---------------
    // The user renamed the item at path in the tree (the typed label, project
    // bytes). Applied to node items only; an empty label restores the text.
    // Returns the changes (tree when the text changed). The name stays when the
    // node's slave address changes later.
    Changes renameNode(const ItemPath& path, std::string_view newLabel);
    // A right click on the item at path: selects it and tells which entries of
    // the context menu are enabled. An empty or unknown path: nothing happens,
    // no menu.
    ContextMenu rightClick(const ItemPath& path);

    // ---- Node and command operations ---------------
    // Each does nothing (empty Changes) when its enable flag is off.
    Changes addNode(CommandSource source = CommandSource::EditMenu);
    // Adds a command with function code 1..6, 15 or 16 to the selected node (the
    // "Select Command" dialog; it stays open, so this may be called repeatedly).
    Changes addCommand(int functionCode);
    Changes addCommandAt(int listPosition);  // 0..7 of selectCommandEntries()
    Changes deleteNode(CommandSource source = CommandSource::EditMenu);
    Changes deleteCommand();
    Changes copyNode();
    Changes pasteNode();

    // ---- Revisions: each grows when the matching Changes flag is set ----
    std::uint64_t treeRevision() const { return treeRev_; }
    std::uint64_t gridRevision() const { return gridRev_; }
    std::uint64_t selectionRevision() const { return selectionRev_; }
    std::uint64_t editorRevision() const { return editorRev_; }
    std::uint64_t promptRevision() const { return promptRev_; }
    std::uint64_t projectRevision() const { return projectRev_; }

    bool modified() const { return project_.modified; }

private:
    // What a call changed: the state before it, compared by finish().
    struct Snapshot {
        Tree tree;
        ItemPath selected;
        ViewState state;
        GridRows grid;
        CellEditor editor;
        std::string prompt;
        Project project;
        std::uint64_t selectionSerial = 0;
    };
    Snapshot snapshot() const;
    Changes finish(const Snapshot& before, bool selectionSet = false);

    // Selection and tree (editor_session.cpp).
    void showSelection();
    void setSelectionEnableFlags();
    void rebuildAndSelectFirst();  // the tree built anew from the project, its first item selected
    int subnetRootIndex(int subnet) const;
    void rebuildSubnetBranch(int subnet, bool withNodes);
    void selectAfterDelete(const ItemPath& removed);

    // The grid rows of each item kind (grid_layout.cpp).
    void clearGrid();
    void setRow(int r, std::string_view label, std::string value, bool grey, bool field);
    void fillFieldbusRows();
    void fillSubnetRows();
    void fillNodeRows();
    void fillCommandRows();

    // The open editor and the item the last grid click was made on.
    void closeEditors();
    void commitOpenEditBox();
    bool selectionUnchanged() const { return selectionSerial_ == clickSelectionSerial_; }
    SubnetConfig* clickedSubnet();
    SlaveNode* clickedNode();
    ModbusCommand* clickedCommand();

    // The rules of a typed value (commit_edit_settings.cpp, commit_edit_command.cpp).
    // A rule leaves in text what the cell shows; rangeEnding: the row checks a range
    // (the cell gets the stored value).
    // A rule that puts the old value back without a message box gives the reason;
    // %1 of the reason is the typed text.
    void refuse(const Text& reason, std::vector<std::string> args = {});
    // checkIntegerField, with an empty text refused by a reason.
    bool checkInteger(const std::string& text, std::int64_t min, std::int64_t max, const Text& label);
    void commitFieldbusEdit(std::string& text, bool& rangeEnding);
    void commitSubnetEdit(std::string& text, bool& rangeEnding, bool& blankCell);
    void commitNodeEdit(std::string& text);
    void commitCommandEdit(std::string& text);

    // The rules of a chosen list entry (commit_list.cpp).
    void commitFieldbusChoice(const std::string& entry);
    void commitSubnetChoice(const std::string& entry);
    void commitCommandChoice(const std::string& entry);

    Project& project_;
    Operator* op_;
    const PlcAddressing* plc_ = nullptr;

    Tree tree_;
    ItemPath selected_;
    ViewState state_;
    GridRows grid_{};
    std::array<bool, kGridRowCount> rowHasField_{};  // the row shows a model field
    CellEditor editor_;
    std::string prompt_;

    // Counts showSelection runs, so a commit knows whether the rows it was opened
    // on are still shown.
    std::uint64_t selectionSerial_ = 0;
    // The last grid click (NodeKind, currentRow, currentColumn) and the
    // item it was made on.
    NodeKind clickKind_ = NodeKind::None;
    int currentRow_ = -1;
    int currentColumn_ = -1;
    int clickSubnet_ = 0;
    int clickNode_ = 0;     // 1-based
    int clickCommand_ = 0;  // 1-based
    std::string clickLabel_;
    std::uint64_t clickSelectionSerial_ = 0;
    // The commit under way: the text as typed, and why it was not stored.
    std::string typed_;
    std::optional<Message> refusal_;

    // Copy Node buffer: the copied node's subnet and slave address.
    int copiedSubnet_ = -1;
    std::string copiedAddress_;

    std::uint64_t treeRev_ = 0, gridRev_ = 0, selectionRev_ = 0, editorRev_ = 0, promptRev_ = 0,
                  projectRev_ = 0;
};

}  // namespace korvex
