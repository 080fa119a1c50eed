#pragma once
// PLC data blocks and the conversions between PLC memory addresses and gateway
// offsets.
//
// The fieldbus master sees the gateway's input and output data as pieces of its
// own memory. A block list describes those pieces for one area: block j covers
// gateway offsets S(j) .. E(j)-1, where S(j) is the sum of the byte counts of the
// blocks before it, and PLC addresses base(j) .. base(j)+byteCount(j)-1.
//
// Address texts handled here:
//   offset form  hex gateway offset, input area below "4000", output from "4000";
//   PLC form     decimal PLC address; a write whose data lie in the input area
//                (local data exchange) carries the suffix "(input)".
// "" and "-1" mean "not assigned" and are never converted. An address that lies
// in no block cannot be converted either way and keeps its text.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/plc_addressing.h"
#include "model/project.h"
#include "model/texts/text.h"

namespace korvex {

constexpr int kBlockRoom = 256;      // entries a list has room for
constexpr int kMaxBlocks = 64;       // used entries at most
constexpr int kMaxBlockBase = 1024;  // largest PLC base address
constexpr int kMaxAreaBytes = 244;   // bytes of one area; also the largest block
constexpr int kGridColumns = 10;     // byte cells per row of the PLC-address grids

struct DataBlock {
    std::int32_t base = 0;
    std::int32_t byteCount = 1;

    bool operator==(const DataBlock&) const = default;
};

class BlockList {
public:
    // One used block {0, 244}; the unused entries are {0, 1}.
    BlockList() { resetEntries(); }

    // Every entry {0, 1}, the first {0, 244}; the used count is not changed.
    void resetEntries();

    int count() const { return count_; }
    // Clamped to 1 .. kMaxBlocks.
    void setCount(int n);
    // Entry j (0-based), clamped to the room of the list.
    DataBlock& at(int j);
    const DataBlock& at(int j) const;
    std::span<const DataBlock> used() const { return {entries_.data(), static_cast<size_t>(count_)}; }

    // Running start and end (gateway offsets) of used block j; total = end of the last.
    int start(int j) const;
    int end(int j) const { return start(j) + at(j).byteCount; }
    int total() const;

    // The used block j with start(j) <= offset < end(j); -1 when none.
    int blockOfOffset(std::int64_t offset) const;
    // The last used block j with base(j) <= address < base(j) + byteCount(j); -1 when none.
    int blockOfAddress(std::int64_t address) const;
    // PLC address of a gateway offset, or of a PLC address the gateway offset.
    std::optional<std::int64_t> plcAddressOfOffset(std::int64_t offset) const;
    std::optional<std::int64_t> offsetOfPlcAddress(std::int64_t address) const;
    // Bytes from a PLC address to the end of the last used block, counted through
    // the block holding the address (the last one when several do); nullopt when
    // no block holds it.
    std::optional<std::int64_t> bytesToEnd(std::int64_t address) const;

    // Position of a gateway offset in the 10-column grids: offset + 10 x the number
    // of used blocks that end at or before it on a row boundary other than a
    // multiple of 10 (each leaves the rest of its last row empty).
    int cellIndex(int offset) const;
    // The gateway offset shown in a grid cell, or -1 for padding and cells after
    // the last block.
    std::vector<int> cellOffsets(int cells) const;
    // Row labels of the grid: for every used block, one label per grid row it
    // touches: base - (start mod 10) + 10 k, the PLC address of column 1.
    std::vector<int> rowLabels() const;

    // Sorts the used entries by base (the exchange sort of the dialog).
    void sortByBase();
    // Whether two used blocks share a PLC address.
    bool hasOverlap() const;

    bool operator==(const BlockList& o) const;

private:
    std::array<DataBlock, kBlockRoom> entries_{};
    int count_ = 1;
};

// The data blocks of both areas; implements the PLC address form used by the
// file, the editor, the download and the mapping views while PLC mode is on.
class PlcBlocks : public PlcAddressing {
public:
    BlockList inputBlocks;
    BlockList outputBlocks;

    // PLC form -> offset form: the gateway offset text of the command's
    // mappingAddress ("1a", output writes "40xx"); nullopt when unassigned or
    // outside every block.
    std::optional<std::string> plcToGatewayOffset(const ModbusCommand& command) const;
    // Offset form -> PLC form for the command: "%d" for reads and output writes,
    // "%d(input)" for writes into the input area; the command's current text when
    // the offset is unassigned, not a hex number or in no block.
    std::string gatewayOffsetToPlc(const ModbusCommand& command, std::string_view offsetText) const;
    // The gateway offset of the command as a number (output writes from 0x4000).
    std::optional<std::int64_t> gatewayOffsetValue(const ModbusCommand& command) const;

    // PlcAddressing
    std::optional<std::string> gatewayOffset(const ModbusCommand& command) const override {
        return plcToGatewayOffset(command);
    }
    std::string toModuleAddress(const ModbusCommand& command) const override;
    std::string toShownAddress(const ModbusCommand& command) const override;
    std::int64_t areaTotal(bool inputArea) const override {
        return (inputArea ? inputBlocks : outputBlocks).total();
    }
    std::optional<std::int64_t> bytesToAreaEnd(bool inputArea, std::int64_t plcAddress) const override {
        return (inputArea ? inputBlocks : outputBlocks).bytesToEnd(plcAddress);
    }

    // Whether the command's data lie in the input area in PLC form (reads and
    // "(input)" writes) -- the list its address is looked up in.
    const BlockList& listOf(const ModbusCommand& command) const;
};

// The program-wide PLC state: the mode, the enabling of "Cancel Base Address" and
// the lists, which are kept across New and Open and while the mode is off.
struct PlcState {
    bool plcAddressMode = false;
    bool cancelBaseEnabled = false;
    PlcBlocks blocks;

    // The addressing to pass to model, editor and transfers: nullptr = mode off.
    const PlcBlocks* active() const { return plcAddressMode ? &blocks : nullptr; }
};

// "Cancel Base Address": leaves PLC mode; every assigned mapping address goes
// back to its gateway offset (addresses in no block keep their text).
void cancelBaseAddress(PlcState& state, Project& project);
// Turns every assigned mapping address of the four subnets from offset form into
// PLC form (the addresses the conversion cannot place keep their text).
void convertProjectToPlc(Project& project, const PlcBlocks& blocks);
// The reverse, PLC form into offset form.
void convertProjectToOffsets(Project& project, const PlcBlocks& blocks);

// The download pre-check's range test in PLC mode over subnet 1's commands: the
// first command whose bytes do not fit between its address and the end of the
// list's last block. Addresses in no block are not reported here.
std::optional<Message> plcRangeCheck(const Project& project, const PlcBlocks& blocks);

// Parses "IN:base:count,base:count;OUT:base:count,..." (either part may be left
// out and keeps its default single block {0, 244}). Blocks are checked as the
// base-address dialog checks them and sorted by base as its OK does. Returns
// nullptr and sets error when the text is refused.
std::unique_ptr<PlcBlocks> parsePlcBlocks(std::string_view text, std::string& error);

}  // namespace korvex
