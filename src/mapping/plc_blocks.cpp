#include "mapping/plc_blocks.h"

#include <algorithm>
#include <utility>

#include "mapping/command_area.h"
#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex {

namespace {

constexpr std::int64_t kOutputAreaStart = 0x4000;

}  // namespace

// ---- BlockList ---------------------------------------------------------------

void BlockList::resetEntries() {
    entries_.fill(DataBlock{0, 1});
    entries_[0] = DataBlock{0, kMaxAreaBytes};
}

void BlockList::setCount(int n) { count_ = std::clamp(n, 1, kMaxBlocks); }

DataBlock& BlockList::at(int j) { return entries_[static_cast<size_t>(std::clamp(j, 0, kBlockRoom - 1))]; }
const DataBlock& BlockList::at(int j) const {
    return entries_[static_cast<size_t>(std::clamp(j, 0, kBlockRoom - 1))];
}

int BlockList::start(int j) const {
    int s = 0;
    for (int m = 0; m < j && m < count_; ++m) s += entries_[static_cast<size_t>(m)].byteCount;
    return s;
}

int BlockList::total() const { return start(count_); }

int BlockList::blockOfOffset(std::int64_t offset) const {
    std::int64_t s = 0;
    for (int j = 0; j < count_; ++j) {
        const std::int64_t e = s + entries_[static_cast<size_t>(j)].byteCount;
        if (s <= offset && offset < e) return j;
        s = e;
    }
    return -1;
}

int BlockList::blockOfAddress(std::int64_t address) const {
    int found = -1;
    for (int j = 0; j < count_; ++j) {
        const auto& b = entries_[static_cast<size_t>(j)];
        if (b.base <= address && address < std::int64_t{b.base} + b.byteCount) found = j;
    }
    return found;
}

std::optional<std::int64_t> BlockList::plcAddressOfOffset(std::int64_t offset) const {
    const int j = blockOfOffset(offset);
    if (j < 0) return std::nullopt;
    return at(j).base + offset - start(j);
}

std::optional<std::int64_t> BlockList::offsetOfPlcAddress(std::int64_t address) const {
    const int j = blockOfAddress(address);
    if (j < 0) return std::nullopt;
    return address - at(j).base + start(j);
}

std::optional<std::int64_t> BlockList::bytesToEnd(std::int64_t address) const {
    const int j = blockOfAddress(address);
    if (j < 0) return std::nullopt;
    std::int64_t remaining = std::int64_t{at(j).base} + at(j).byteCount - address;
    for (int m = j + 1; m < count_; ++m) remaining += at(m).byteCount;
    return remaining;
}

int BlockList::cellIndex(int offset) const {
    int cell = offset;
    int e = 0;
    for (int m = 0; m < count_; ++m) {
        e += entries_[static_cast<size_t>(m)].byteCount;
        if (e <= offset && e % kGridColumns != 0) cell += kGridColumns;
    }
    return cell;
}

std::vector<int> BlockList::cellOffsets(int cells) const {
    std::vector<int> out(static_cast<size_t>(std::max(cells, 0)), -1);
    const int t = total();
    for (int offset = 0; offset < t; ++offset) {
        const int c = cellIndex(offset);
        if (c >= 0 && c < cells) out[static_cast<size_t>(c)] = offset;
    }
    return out;
}

std::vector<int> BlockList::rowLabels() const {
    std::vector<int> labels;
    int s = 0;
    for (int j = 0; j < count_; ++j) {
        const auto& b = entries_[static_cast<size_t>(j)];
        const int e = s + b.byteCount;
        const int firstRow = s / kGridColumns;
        const int lastRow = e % kGridColumns == 0 ? e / kGridColumns - 1 : e / kGridColumns;
        for (int k = 0; k <= lastRow - firstRow; ++k) labels.push_back(b.base - s % kGridColumns + kGridColumns * k);
        s = e;
    }
    return labels;
}

void BlockList::sortByBase() {
    for (int i = 0; i < count_; ++i) {
        for (int r = i; r < count_; ++r) {
            if (entries_[static_cast<size_t>(r)].base < entries_[static_cast<size_t>(i)].base)
                std::swap(entries_[static_cast<size_t>(i)], entries_[static_cast<size_t>(r)]);
        }
    }
}

bool BlockList::hasOverlap() const {
    for (int j = 0; j < count_; ++j) {
        const auto& a = entries_[static_cast<size_t>(j)];
        for (int k = j + 1; k < count_; ++k) {
            const auto& b = entries_[static_cast<size_t>(k)];
            if (a.byteCount <= 0 || b.byteCount <= 0) continue;
            if (a.base < std::int64_t{b.base} + b.byteCount && b.base < std::int64_t{a.base} + a.byteCount)
                return true;
        }
    }
    return false;
}

bool BlockList::operator==(const BlockList& o) const {
    return count_ == o.count_ && std::equal(used().begin(), used().end(), o.used().begin());
}

// ---- PlcBlocks ---------------------------------------------------------------

const BlockList& PlcBlocks::listOf(const ModbusCommand& command) const {
    const int fc = functionCodeNumber(command.functionCode);
    if (isWriteCode(fc) && !hasInputSuffix(command.mappingAddress)) return outputBlocks;
    return inputBlocks;
}

std::optional<std::int64_t> PlcBlocks::gatewayOffsetValue(const ModbusCommand& command) const {
    if (isUnassigned(command.mappingAddress)) return std::nullopt;
    const auto address = leadingDecimal(command.mappingAddress);
    if (!address) return std::nullopt;
    const BlockList& list = listOf(command);
    const auto offset = list.offsetOfPlcAddress(*address);
    if (!offset) return std::nullopt;
    return &list == &outputBlocks ? *offset + kOutputAreaStart : *offset;
}

std::optional<std::string> PlcBlocks::plcToGatewayOffset(const ModbusCommand& command) const {
    const auto value = gatewayOffsetValue(command);
    if (!value) return std::nullopt;
    if (*value >= kOutputAreaStart) {
        const std::string low = byteToHexText(static_cast<std::uint32_t>(*value - kOutputAreaStart));
        return (low.size() == 1 ? "400" : "40") + low;
    }
    return byteToHexText(static_cast<std::uint32_t>(*value));
}

std::string PlcBlocks::gatewayOffsetToPlc(const ModbusCommand& command, std::string_view offsetText) const {
    if (isUnassigned(offsetText)) return command.mappingAddress;
    const auto g = parseHex(offsetText);
    if (!g) return command.mappingAddress;
    const int fc = functionCodeNumber(command.functionCode);
    if (isWriteCode(fc)) {
        if (*g >= kOutputAreaStart) {
            const auto plc = outputBlocks.plcAddressOfOffset(*g - kOutputAreaStart);
            return plc ? std::to_string(*plc) : command.mappingAddress;
        }
        const auto plc = inputBlocks.plcAddressOfOffset(*g);
        return plc ? std::to_string(*plc) + "(input)" : command.mappingAddress;
    }
    if (*g >= kOutputAreaStart) return command.mappingAddress;  // a read has no data in the output area
    const auto plc = inputBlocks.plcAddressOfOffset(*g);
    return plc ? std::to_string(*plc) : command.mappingAddress;
}

std::string PlcBlocks::toModuleAddress(const ModbusCommand& command) const {
    auto offset = plcToGatewayOffset(command);
    return offset ? std::move(*offset) : command.mappingAddress;
}

std::string PlcBlocks::toShownAddress(const ModbusCommand& command) const {
    return gatewayOffsetToPlc(command, command.mappingAddress);
}

// ---- Project-wide conversions --------------------------------------------------

namespace {

template <class Fn>
void forEachCommand(Project& project, Fn fn) {
    for (int i = 0; i < kSubnetCount; ++i) {
        SubnetConfig& c = project.subnet(i);
        const int n = std::clamp(c.commandCount, 0, kMaxCommands);
        for (int k = 0; k < n; ++k) fn(c.commands[static_cast<size_t>(k)]);
    }
}

}  // namespace

void convertProjectToPlc(Project& project, const PlcBlocks& blocks) {
    forEachCommand(project, [&](ModbusCommand& cmd) { cmd.mappingAddress = blocks.toShownAddress(cmd); });
}

void convertProjectToOffsets(Project& project, const PlcBlocks& blocks) {
    forEachCommand(project, [&](ModbusCommand& cmd) { cmd.mappingAddress = blocks.toModuleAddress(cmd); });
}

void cancelBaseAddress(PlcState& state, Project& project) {
    state.plcAddressMode = false;
    state.cancelBaseEnabled = false;
    convertProjectToOffsets(project, state.blocks);
}

std::optional<Message> plcRangeCheck(const Project& project, const PlcBlocks& blocks) {
    const SubnetConfig& c = project.subnet(0);
    const int n = std::clamp(c.commandCount, 0, kMaxCommands);
    for (int k = 0; k < n; ++k) {
        const ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
        const int fc = functionCodeNumber(cmd.functionCode);
        if (!isReadCode(fc) && !isWriteCode(fc)) continue;
        const auto address = leadingDecimal(cmd.mappingAddress);
        if (!address) continue;
        const BlockList& list = blocks.listOf(cmd);
        const auto remaining = list.bytesToEnd(*address);
        if (!remaining) continue;
        if (decimalOrZero(cmd.byteCount) > *remaining) {
            const bool input = &list == &blocks.inputBlocks;
            return Message{input ? texts::InputMappingOutOfRange : texts::OutputMappingOutOfRange, {cmd.slaveAddress}};
        }
    }
    return std::nullopt;
}

// ---- --plc-blocks text -----------------------------------------------------------

namespace {

std::vector<std::string_view> split(std::string_view text, char sep) {
    std::vector<std::string_view> parts;
    size_t from = 0;
    while (true) {
        const size_t at = text.find(sep, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos) break;
        from = at + 1;
    }
    return parts;
}

bool parseList(std::string_view name, std::string_view body, BlockList& list, std::string& error) {
    const auto items = split(body, ',');
    if (items.size() > static_cast<size_t>(kMaxBlocks)) {
        error = std::string(name) + ": at most 64 data blocks";
        return false;
    }
    list.resetEntries();
    list.setCount(static_cast<int>(items.size()));
    int sum = 0;
    for (size_t j = 0; j < items.size(); ++j) {
        const auto fields = split(items[j], ':');
        const auto base = fields.size() == 2 ? parseDecimal(fields[0]) : std::nullopt;
        const auto count = fields.size() == 2 ? parseDecimal(fields[1]) : std::nullopt;
        if (!base || !count) {
            error = std::string(name) + ": a data block is written base:count, not \"" + std::string(items[j]) + "\"";
            return false;
        }
        if (*base > kMaxBlockBase) {
            error = std::string(name) + ": a base address lies from 0 to 1024";
            return false;
        }
        if (*count < 1 || *count > kMaxAreaBytes) {
            error = std::string(name) + ": a data block holds 1 to 244 bytes";
            return false;
        }
        sum += static_cast<int>(*count);
        if (sum > kMaxAreaBytes) {
            error = std::string(name) + ": the data blocks hold more than 244 bytes together";
            return false;
        }
        list.at(static_cast<int>(j)) = DataBlock{static_cast<std::int32_t>(*base), static_cast<std::int32_t>(*count)};
    }
    list.sortByBase();
    if (list.hasOverlap()) {
        error = std::string(name) + ": two data blocks overlap";
        return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<PlcBlocks> parsePlcBlocks(std::string_view text, std::string& error) {
    auto blocks = std::make_unique<PlcBlocks>();
    bool seenIn = false, seenOut = false;
    if (text.empty()) {
        error = "--plc-blocks needs IN:base:count,...;OUT:base:count,...";
        return nullptr;
    }
    for (std::string_view part : split(text, ';')) {
        const size_t colon = part.find(':');
        const std::string_view head = part.substr(0, colon);
        if (colon == std::string_view::npos || (head != "IN" && head != "OUT")) {
            error = "--plc-blocks: each part starts with IN: or OUT:";
            return nullptr;
        }
        bool& seen = head == "IN" ? seenIn : seenOut;
        if (seen) {
            error = "--plc-blocks: " + std::string(head) + " is given twice";
            return nullptr;
        }
        seen = true;
        BlockList& list = head == "IN" ? blocks->inputBlocks : blocks->outputBlocks;
        if (!parseList(head, part.substr(colon + 1), list, error)) {
            error = "--plc-blocks " + error;
            return nullptr;
        }
    }
    return blocks;
}

}  // namespace korvex
