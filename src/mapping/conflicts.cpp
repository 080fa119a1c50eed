#include "mapping/conflicts.h"

#include <algorithm>
#include <cstdio>

#include "mapping/command_area.h"
#include "model/operator.h"
#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex {

namespace {

constexpr std::int64_t kOutputStart = 0x4000;
constexpr int kWriteTableSize = 0x8000;
// Gateway offsets beyond this are far outside every table; capping them keeps
// 8 x offset inside 64 bits.
constexpr std::int64_t kOffsetCap = std::int64_t{1} << 40;

std::uint8_t planeMask(std::int64_t lowBit, std::int64_t highBit) {
    std::uint8_t m = 0;
    for (std::int64_t k = lowBit; k <= highBit; ++k) m = static_cast<std::uint8_t>(m | (1u << k));
    return m;
}

// Cell of every offset below kPlcCells (offsets past the last block continue
// after its row padding).
std::vector<int> cellOfOffsetTable(const BlockList& list) {
    std::vector<int> cells(kPlcCells, kPlcCells);
    int shift = 0;
    int s = 0;
    for (int j = 0; j < list.count(); ++j) {
        const int e = s + list.at(j).byteCount;
        for (int offset = s; offset < e && offset < kPlcCells; ++offset) cells[static_cast<size_t>(offset)] = offset + shift;
        if (e % kGridColumns != 0) shift += kGridColumns;
        s = e;
    }
    for (int offset = s; offset < kPlcCells; ++offset) cells[static_cast<size_t>(offset)] = offset + shift;
    return cells;
}

}  // namespace

Rgb rgbOf(CellColour colour) {
    switch (colour) {
        case CellColour::Green: return {0, 255, 0};
        case CellColour::Yellow: return {255, 255, 0};
        case CellColour::Red: return {255, 0, 0};
        case CellColour::Blue: return {0, 0, 255};
        case CellColour::Grey: return {200, 200, 200};
        case CellColour::Standard: break;
    }
    return {255, 255, 255};
}

const char* colourName(CellColour colour) {
    switch (colour) {
        case CellColour::Green: return "green";
        case CellColour::Yellow: return "yellow";
        case CellColour::Red: return "red";
        case CellColour::Blue: return "blue";
        case CellColour::Grey: return "grey";
        case CellColour::Standard: break;
    }
    return "standard";
}

ConflictCounter::ConflictCounter(const Project& project, const PlcBlocks* blocks) : blocks_(blocks) {
    read_.assign(static_cast<size_t>(cellCount()), Planes{});
    write_.assign(static_cast<size_t>(plcLayout() ? kPlcCells : kWriteTableSize), Planes{});
    if (plcLayout()) {
        local_.assign(static_cast<size_t>(kPlcCells), Planes{});
        inputCellOffsets_ = blocks_->inputBlocks.cellOffsets(kPlcColouredCells);
        outputCellOffsets_ = blocks_->outputBlocks.cellOffsets(kPlcColouredCells);
        inputLabels_ = blocks_->inputBlocks.rowLabels();
        outputLabels_ = blocks_->outputBlocks.rowLabels();
        inputCellOfOffset_ = cellOfOffsetTable(blocks_->inputBlocks);
        outputCellOfOffset_ = cellOfOffsetTable(blocks_->outputBlocks);
    }

    const std::int64_t status = statusByteCountAnyMode(project);
    if (status > 0) {
        std::vector<ByteBits> fp;
        addBits(fp, Table::Read, 0, 0, 8 * status, plcLayout() ? &blocks_->inputBlocks : nullptr);
        lines_.push_back({texts::ConflictStatusLine.str(), kStatusEntry, -1, -1});
        footprints_.push_back(std::move(fp));
    }
    for (int i = 0; i < kSubnetCount; ++i) {
        const SubnetConfig& c = project.subnet(i);
        const int n = std::clamp(c.commandCount, 0, kMaxCommands);
        for (int k = 0; k < n; ++k) {
            const ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
            const int fc = functionCodeNumber(cmd.functionCode);
            if (!isReadCode(fc) && !isWriteCode(fc)) continue;
            lines_.push_back({std::string(functionText(cmd.functionCode)), fc, i, k});
            footprints_.push_back(footprintOf(project, cmd));
        }
    }
    for (const auto& fp : footprints_) addFootprint(fp, +1);
}

std::vector<ConflictCounter::Planes>& ConflictCounter::table(Table t) {
    return t == Table::Read ? read_ : t == Table::Write ? write_ : local_;
}
const std::vector<ConflictCounter::Planes>& ConflictCounter::table(Table t) const {
    return t == Table::Read ? read_ : t == Table::Write ? write_ : local_;
}
int ConflictCounter::tableSize(Table t) const { return static_cast<int>(table(t).size()); }

int ConflictCounter::cellOf(const BlockList* list, std::int64_t offset) const {
    if (!list) return offset < kWriteTableSize ? static_cast<int>(offset) : kWriteTableSize;
    if (offset >= kPlcCells) return kPlcCells;
    const auto& cells = list == &blocks_->inputBlocks ? inputCellOfOffset_ : outputCellOfOffset_;
    return cells[static_cast<size_t>(offset)];
}

void ConflictCounter::addBits(std::vector<ByteBits>& out, Table t, std::int64_t start, std::int64_t bitOffset,
                              std::int64_t bitCount, const BlockList* list) const {
    if (bitCount <= 0 || start < 0) return;
    const std::int64_t lastBit = bitOffset + bitCount - 1;
    const int size = tableSize(t);
    for (std::int64_t r = bitOffset / 8; r <= lastBit / 8; ++r) {
        // Positions grow with r in both layouts: stop at the end of the table.
        if (start + r >= size) break;
        const int position = cellOf(list, start + r);
        if (position >= size) break;
        const std::int64_t low = r == bitOffset / 8 ? bitOffset % 8 : 0;
        const std::int64_t high = r == lastBit / 8 ? lastBit % 8 : 7;
        out.push_back({t, position, planeMask(low, high)});
    }
}

std::vector<ConflictCounter::ByteBits> ConflictCounter::footprintOf(const Project& project,
                                                                   const ModbusCommand& cmd) const {
    std::vector<ByteBits> fp;
    const int fc = functionCodeNumber(cmd.functionCode);
    if (isUnassigned(cmd.mappingAddress)) return fp;

    Table t = isReadCode(fc) ? Table::Read : Table::Write;
    const BlockList* list = nullptr;
    std::int64_t start = 0;
    if (plcLayout()) {
        const auto g = blocks_->gatewayOffsetValue(cmd);
        if (!g) return fp;  // a PLC address in no data block has no place in the grids
        if (isWriteCode(fc) && hasInputSuffix(cmd.mappingAddress)) {
            t = Table::Local;
            list = &blocks_->inputBlocks;
            start = *g;
        } else if (isWriteCode(fc)) {
            list = &blocks_->outputBlocks;
            start = *g - kOutputStart;
        } else {
            list = &blocks_->inputBlocks;
            start = *g;
        }
    } else {
        const auto g = parseHex(cmd.mappingAddress);
        if (!g) return fp;  // not a hex address: no place in the grids
        start = std::min(*g, kOffsetCap);
    }

    const std::int64_t n = decimalOrZero(cmd.dataCount);
    if (isBitCode(fc)) {
        addBits(fp, t, start, decimalOrZero(cmd.bitOffset), n, list);
    } else if (fc == 3 || fc == 4) {
        const bool oneByte = cmd.dataFilter == texts::LowByte.text ||
                             (cmd.dataFilter == texts::HighByte.text &&
                              (project.flags.legacyFlag233a || project.deviceKind == 3));
        addBits(fp, t, start, 0, 8 * (oneByte ? 1 : 2) * n, list);
    } else {
        addBits(fp, t, start, 0, 16 * n, list);
    }
    return fp;
}

void ConflictCounter::addFootprint(const std::vector<ByteBits>& footprint, int delta) {
    for (const ByteBits& b : footprint) {
        Planes& planes = table(b.table)[static_cast<size_t>(b.position)];
        for (int k = 0; k < 8; ++k)
            if (b.mask & (1u << k)) planes[static_cast<size_t>(k)] += delta;
    }
}

std::vector<CellRef> ConflictCounter::toggle(size_t line) {
    std::vector<CellRef> touched;
    if (line >= lines_.size()) return touched;
    Line& l = lines_[line];
    l.code = -l.code;
    const auto& fp = footprints_[line];
    addFootprint(fp, l.code > 0 ? +1 : -1);
    touched.reserve(fp.size());
    for (const ByteBits& b : fp) {
        if (b.table != Table::Write) {
            touched.push_back({Grid::Input, b.position});
        } else if (plcLayout()) {
            touched.push_back({Grid::Output, b.position});
        } else if (b.position < kOutputStart) {
            touched.push_back({Grid::Input, b.position});
        } else {
            touched.push_back({Grid::Output, b.position - static_cast<int>(kOutputStart)});
        }
    }
    return touched;
}

ConflictCounter::BitCounts ConflictCounter::counts(Grid grid, int position, int bit) const {
    BitCounts c;
    if (position < 0 || position >= cellCount() || bit < 0 || bit > 7) return c;
    const auto p = static_cast<size_t>(position);
    const auto k = static_cast<size_t>(bit);
    if (grid == Grid::Input) {
        c.read = read_[p][k];
        c.local = plcLayout() ? local_[p][k] : write_[p][k];
    } else {
        c.write = plcLayout() ? write_[p][k] : write_[p + static_cast<size_t>(kOutputStart)][k];
    }
    return c;
}

CellColour ConflictCounter::ruleColour(Grid grid, int position, int bitMask) const {
    bool red = false, yellow = false, green = false, blue = false;
    for (int k = 0; k < 8; ++k) {
        if (!(bitMask & (1 << k))) continue;
        const BitCounts c = counts(grid, position, k);
        if (grid == Grid::Input) {
            red = red || c.read >= 2 || c.local >= 2;
            yellow = yellow || c.local == 1;
            green = green || c.read == 1;
        } else {
            red = red || c.write >= 2;
            blue = blue || c.write == 1;
        }
    }
    if (red) return CellColour::Red;
    if (yellow) return CellColour::Yellow;
    if (green) return CellColour::Green;
    if (blue) return CellColour::Blue;
    if (plcLayout() && !cellInBlock(grid, position)) return CellColour::Grey;
    return CellColour::Standard;
}

CellColour ConflictCounter::colour(Grid grid, int position) const {
    if (position < 0 || position >= cellCount()) return CellColour::Standard;
    if (plcLayout() && position >= kPlcColouredCells) return CellColour::Standard;
    return ruleColour(grid, position, 0xFF);
}

CellColour ConflictCounter::bitColour(Grid grid, int position, int bit) const {
    if (position < 0 || position >= cellCount() || bit < 0 || bit > 7) return CellColour::Standard;
    return ruleColour(grid, position, 1 << bit);
}

bool ConflictCounter::cellInBlock(Grid grid, int position) const {
    if (!plcLayout()) return position >= 0 && position < kPlainCells;
    const auto& offsets = grid == Grid::Input ? inputCellOffsets_ : outputCellOffsets_;
    return position >= 0 && position < static_cast<int>(offsets.size()) && offsets[static_cast<size_t>(position)] >= 0;
}

std::string ConflictCounter::rowLabel(Grid grid, int row) const {
    char buf[24];
    if (!plcLayout()) {
        if (row < 0 || row >= kPlainCells / 16) return {};
        const int first = row * 16 + (grid == Grid::Output ? static_cast<int>(kOutputStart) : 0);
        std::snprintf(buf, sizeof buf, "%4.4X", static_cast<unsigned>(first));
        return buf;
    }
    const auto& labels = grid == Grid::Input ? inputLabels_ : outputLabels_;
    if (row < 0 || row >= static_cast<int>(labels.size())) return {};
    std::snprintf(buf, sizeof buf, "%4.4d", labels[static_cast<size_t>(row)]);
    return buf;
}

void applyEmptyAddressDefaults(Project& project, const PlcBlocks& blocks) {
    const std::string base = std::to_string(blocks.inputBlocks.at(0).base);
    for (int i = 0; i < kSubnetCount; ++i) {
        SubnetConfig& c = project.subnet(i);
        const int n = std::clamp(c.commandCount, 0, kMaxCommands);
        for (int k = 0; k < n; ++k) {
            ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
            if (!cmd.mappingAddress.empty()) continue;
            const int fc = functionCodeNumber(cmd.functionCode);
            if (fc == 3 || fc == 4) cmd.mappingAddress = base;
            if (fc == 6 || fc == 16) cmd.mappingAddress = base + "(input)";
        }
    }
}

namespace {

struct BitInterval {
    std::int64_t start;
    std::int64_t length;
};

bool overlaps(const std::vector<BitInterval>& list) {
    for (size_t c = 0; c < list.size(); ++c) {
        for (size_t i = 0; i < list.size(); ++i) {
            if (c == i) continue;
            if (list[c].start <= list[i].start && list[i].start < list[c].start + list[c].length) return true;
        }
    }
    return false;
}

}  // namespace

bool hasMappingConflict(const Project& project, const PlcBlocks* plc) {
    std::vector<BitInterval> reads, writes;
    const std::int64_t status = statusByteCountAnyMode(project);
    if (status > 0) reads.push_back({0, 8 * status});
    for (int i = 0; i < kSubnetCount; ++i) {
        const SubnetConfig& c = project.subnet(i);
        const int n = std::clamp(c.commandCount, 0, kMaxCommands);
        for (int k = 0; k < n; ++k) {
            const ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
            if (isUnassigned(cmd.mappingAddress)) return true;
            const int fc = functionCodeNumber(cmd.functionCode);
            if (!isReadCode(fc) && !isWriteCode(fc)) continue;
            // An address that cannot be placed in the gateway memory is as bad as
            // no address: the download must not go on with it.
            const auto g = plc ? plc->gatewayOffsetValue(cmd) : parseHex(cmd.mappingAddress);
            if (!g) return true;
            const std::int64_t start = 8 * std::min(*g, kOffsetCap) + decimalOrZero(cmd.bitOffset);
            const std::int64_t count = decimalOrZero(cmd.dataCount);
            const BitInterval iv{start, isBitCode(fc) ? count : 16 * count};
            (isReadCode(fc) ? reads : writes).push_back(iv);
        }
        if (overlaps(reads) || overlaps(writes)) return true;
    }
    return false;
}

ConflictViewKind chooseConflictView(const PlcState& state, bool baseQuestionDone, Operator& op,
                                    const std::function<bool()>& editBase) {
    if (state.plcAddressMode) return ConflictViewKind::PlcAddress;
    if (baseQuestionDone) return ConflictViewKind::Plain;
    if (op.ask({texts::ConflictEditBaseQuestion, {}}, Buttons::OkCancel, Icon::Question) != Answer::Ok)
        return ConflictViewKind::Plain;
    return editBase && editBase() ? ConflictViewKind::PlcAddress : ConflictViewKind::Plain;
}

}  // namespace korvex
