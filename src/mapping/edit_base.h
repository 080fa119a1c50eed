#pragma once
// The rules of the "Edit the PLC memory address (PROFIBUS)" dialog, without the
// dialog: the session holds working copies of both block lists; the dialog shows
// them and forwards clicks and edits. Nothing reaches the program-wide lists or
// the project before OK succeeds; Cancel simply drops the session.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "mapping/plc_blocks.h"
#include "model/project.h"

namespace korvex {

class Operator;

class EditBaseSession {
public:
    enum class Side { Input, Output };

    explicit EditBaseSession(const PlcState& state);

    const BlockList& list(Side side) const { return sides_[index(side)].list; }

    // The check box "Change the number of ... data blocks:". Odd clicks enable the
    // count edit (and disable the block controls); even clicks take the count that
    // was entered: a count other than the used one resets every entry ({0, 244}
    // first, {0, 1} the others) and selects block 1.
    void clickCountBox(Side side);
    // True between an odd and an even click: the count edit is enabled, the block
    // list, base and byte-count edits and the display button are not.
    bool countEditing(Side side) const { return sides_[index(side)].clicks % 2 == 1; }
    // Which controls of a side are enabled: at opening only the base edit; after
    // odd clicks only the count edit; after even clicks all but the count edit.
    struct Controls {
        bool count = false, blocks = false, base = true, bytes = false, display = false;
        bool operator==(const Controls&) const = default;
    };
    Controls controls(Side side) const;

    // Edits, checked when they lose the focus. An empty edit counts as 0; any
    // character other than 0-9 fails. On failure the message is shown, nothing is
    // stored and the dialog shows the stored value again (countText, baseText,
    // bytesText).
    bool commitCount(Side side, std::string_view text, Operator& op);
    bool commitBase(Side side, std::string_view text, Operator& op);
    bool commitByteCount(Side side, std::string_view text, Operator& op);

    // The drop-down list of blocks: "Data block 1" ... and the selected one.
    std::vector<std::string> blockChoices(Side side) const;
    int selected(Side side) const { return sides_[index(side)].selected; }
    void select(Side side, int block);

    // What the edits show.
    std::string countText(Side side) const;
    std::string baseText(Side side) const;
    std::string bytesText(Side side) const;

    // "Display all the inputs/outputs": sorts both lists, then the rows of "Show
    // all the base address": "Data block N", base, byte count.
    std::vector<std::array<std::string, 3>> displayRows(Side side);

    // OK: sorts both lists, refuses overlapping blocks and blocks too small for
    // the commands (the message is shown and false returned; nothing changes),
    // otherwise converts every command's address to PLC form over the new lists,
    // stores the lists and turns PLC mode and "Cancel Base Address" on.
    bool ok(PlcState& state, Project& project, Operator& op);

private:
    struct SideState {
        BlockList list;
        int clicks = 0;
        int pendingCount = 1;
        int selected = 0;
    };
    static size_t index(Side side) { return side == Side::Input ? 0 : 1; }

    std::array<SideState, 2> sides_;
    PlcBlocks opening_;  // the lists as they were when the dialog opened
    bool modeAtOpening_ = false;
};

}  // namespace korvex
