#include "mapping/edit_base.h"

#include <algorithm>
#include <optional>

#include "mapping/command_area.h"
#include "model/operator.h"
#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex {

namespace {

constexpr std::int64_t kOutputStart = 0x4000;

// Empty counts as 0; anything but digits is refused (nullopt).
std::optional<std::int64_t> editNumber(std::string_view text) {
    if (text.empty()) return 0;
    return parseDecimal(text);
}

}  // namespace

EditBaseSession::EditBaseSession(const PlcState& state)
    : opening_(state.blocks), modeAtOpening_(state.plcAddressMode) {
    sides_[0].list = state.blocks.inputBlocks;
    sides_[1].list = state.blocks.outputBlocks;
    for (auto& s : sides_) s.pendingCount = s.list.count();
}

void EditBaseSession::clickCountBox(Side side) {
    SideState& s = sides_[index(side)];
    ++s.clicks;
    if (s.clicks % 2 == 1) return;
    if (s.pendingCount != s.list.count()) {
        s.list.resetEntries();
        s.list.setCount(s.pendingCount);
    }
    s.selected = 0;
}

EditBaseSession::Controls EditBaseSession::controls(Side side) const {
    const int clicks = sides_[index(side)].clicks;
    if (clicks == 0) return Controls{};
    if (clicks % 2 == 1) return Controls{true, false, false, false, false};
    return Controls{false, true, true, true, true};
}

bool EditBaseSession::commitCount(Side side, std::string_view text, Operator& op) {
    const auto v = editNumber(text);
    if (!v || *v < 1 || *v > kMaxBlocks) {
        op.showMessage({texts::EditIqCountRange, {}});
        return false;
    }
    sides_[index(side)].pendingCount = static_cast<int>(*v);
    return true;
}

bool EditBaseSession::commitBase(Side side, std::string_view text, Operator& op) {
    const auto v = editNumber(text);
    if (!v || *v > kMaxBlockBase) {
        op.showMessage({texts::EditIqBaseRange, {}});
        return false;
    }
    SideState& s = sides_[index(side)];
    s.list.at(s.selected).base = static_cast<std::int32_t>(*v);
    return true;
}

bool EditBaseSession::commitByteCount(Side side, std::string_view text, Operator& op) {
    const auto v = editNumber(text);
    if (!v || *v < 1 || *v > kMaxAreaBytes) {
        op.showMessage({texts::EditIqBytesRange, {}});
        return false;
    }
    SideState& s = sides_[index(side)];
    std::int64_t others = 0;
    for (int j = 0; j < s.list.count(); ++j)
        if (j != s.selected) others += s.list.at(j).byteCount;
    if (others + *v > kMaxAreaBytes) {
        op.showMessage({texts::EditIqBytesTotal, {}});
        return false;
    }
    s.list.at(s.selected).byteCount = static_cast<std::int32_t>(*v);
    return true;
}

std::vector<std::string> EditBaseSession::blockChoices(Side side) const {
    std::vector<std::string> out;
    for (int j = 0; j < list(side).count(); ++j)
        out.push_back(formatText(texts::EditIqDataBlockItem.text, {std::to_string(j + 1)}));
    return out;
}

void EditBaseSession::select(Side side, int block) {
    SideState& s = sides_[index(side)];
    s.selected = std::clamp(block, 0, s.list.count() - 1);
}

std::string EditBaseSession::countText(Side side) const { return std::to_string(list(side).count()); }
std::string EditBaseSession::baseText(Side side) const {
    return std::to_string(list(side).at(selected(side)).base);
}
std::string EditBaseSession::bytesText(Side side) const {
    return std::to_string(list(side).at(selected(side)).byteCount);
}

std::vector<std::array<std::string, 3>> EditBaseSession::displayRows(Side side) {
    for (auto& s : sides_) s.list.sortByBase();
    std::vector<std::array<std::string, 3>> rows;
    const BlockList& l = list(side);
    for (int j = 0; j < l.count(); ++j) {
        rows.push_back({formatText(texts::EditIqDataBlockItem.text, {std::to_string(j + 1)}),
                        std::to_string(l.at(j).base), std::to_string(l.at(j).byteCount)});
    }
    return rows;
}

bool EditBaseSession::ok(PlcState& state, Project& project, Operator& op) {
    for (auto& s : sides_) s.list.sortByBase();
    if (sides_[0].list.hasOverlap()) {
        op.showMessage({texts::EditIqInputBlockConflict, {}});
        return false;
    }
    if (sides_[1].list.hasOverlap()) {
        op.showMessage({texts::EditIqOutputBlockConflict, {}});
        return false;
    }

    // Gateway offsets of every command: converted back through the lists of the
    // opening while PLC mode is on. A PLC address in no block has no offset; such
    // a command is left out of the size check and keeps its text.
    struct Pending {
        ModbusCommand* command;
        std::string offset;
    };
    std::vector<Pending> pending;
    std::int64_t inputEnd = 0, outputEnd = 0;
    for (int i = 0; i < kSubnetCount; ++i) {
        SubnetConfig& c = project.subnet(i);
        const int n = std::clamp(c.commandCount, 0, kMaxCommands);
        for (int k = 0; k < n; ++k) {
            ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
            std::optional<std::string> offset;
            if (modeAtOpening_) offset = opening_.plcToGatewayOffset(cmd);
            else offset = cmd.mappingAddress;
            if (!offset || isUnassigned(*offset)) continue;
            const auto g = parseHex(*offset);
            if (!g) continue;
            const std::int64_t bytes = decimalOrZero(cmd.byteCount);
            if (*g >= kOutputStart) outputEnd = std::max(outputEnd, *g - kOutputStart + bytes);
            else inputEnd = std::max(inputEnd, *g + bytes);
            pending.push_back({&cmd, std::move(*offset)});
        }
    }
    if (inputEnd > sides_[0].list.total()) {
        op.showMessage({texts::EditIqInputShortage, {}});
        return false;
    }
    if (outputEnd > sides_[1].list.total()) {
        op.showMessage({texts::EditIqOutputShortage, {}});
        return false;
    }

    PlcBlocks fresh;
    fresh.inputBlocks = sides_[0].list;
    fresh.outputBlocks = sides_[1].list;
    for (auto& p : pending) p.command->mappingAddress = fresh.gatewayOffsetToPlc(*p.command, p.offset);
    state.blocks.inputBlocks = fresh.inputBlocks;
    state.blocks.outputBlocks = fresh.outputBlocks;
    state.plcAddressMode = true;
    state.cancelBaseEnabled = true;
    return true;
}

}  // namespace korvex
