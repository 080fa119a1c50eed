#include "editor/editor_session.h"

#include "model/texts.h"

namespace korvex {

Changes& Changes::operator|=(const Changes& o) {
    tree |= o.tree;
    grid |= o.grid;
    selection |= o.selection;
    editor |= o.editor;
    prompt |= o.prompt;
    project |= o.project;
    state |= o.state;
    return *this;
}

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

EditorSession::EditorSession(Project& project, Operator& op) : project_(project), op_(&op) {}

Changes EditorSession::initialUpdate() { return {}; }
Changes EditorSession::createRoots() { return {}; }
Changes EditorSession::rebuildTree() { return {}; }
Changes EditorSession::selectItem(const ItemPath&) { return {}; }
bool EditorSession::canCopyNode() const { return false; }
bool EditorSession::canPasteNode() const { return false; }
const GridRow& EditorSession::row(int r) const {
    static const GridRow kEmpty;
    if (r < 0 || r >= kGridRowCount) return kEmpty;
    return grid_[static_cast<size_t>(r)];
}
bool EditorSession::cellEditable(int) const { return false; }
std::vector<std::string> EditorSession::choiceList(int) const { return {}; }
CellClick EditorSession::clickCell(int, int) { return {}; }
Changes EditorSession::commitEdit(std::string_view) { return {}; }
Changes EditorSession::commitChoice(std::string_view) { return {}; }
Changes EditorSession::commitChoiceIndex(int) { return {}; }
Changes EditorSession::closeList() { return {}; }
Changes EditorSession::hideEditors() { return {}; }
Changes EditorSession::renameNode(const ItemPath&, std::string_view) { return {}; }
ContextMenu EditorSession::rightClick(const ItemPath&) { return {}; }
Changes EditorSession::addNode(CommandSource) { return {}; }
Changes EditorSession::addCommand(int) { return {}; }
Changes EditorSession::addCommandAt(int) { return {}; }
Changes EditorSession::deleteNode(CommandSource) { return {}; }
Changes EditorSession::deleteCommand() { return {}; }
Changes EditorSession::copyNode() { return {}; }
Changes EditorSession::pasteNode() { return {}; }

}  // namespace korvex
