#pragma once
// Mapping conflict detection: which bits of the gateway's input and output areas
// the commands of all subnets use, counted per bit, and the colour of every byte
// of the two views. Also the download test hasMappingConflict.
//
// Two layouts: the plain one counts at gateway offsets (input 0..0x3FFF, writes
// at their full address 0..0x7FFF, below 0x4000 these are local writes); the
// PLC-address one (PLC mode on) counts at the cells of the 10-column grids of the
// data blocks (BlockList::cellIndex) and keeps local writes in a table of their
// own. A bit counted twice is a conflict, except a read and a local write on the
// same bit: that is local data exchange.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mapping/plc_blocks.h"
#include "model/project.h"

namespace korvex {

class Operator;

enum class Grid { Input, Output };
enum class CellColour { Standard, Green, Yellow, Red, Blue, Grey };

struct Rgb {
    std::uint8_t r = 255, g = 255, b = 255;
    bool operator==(const Rgb&) const = default;
};
// Green (0,255,0) input, yellow (255,255,0) local data exchange, red (255,0,0)
// conflict, blue (0,0,255) output, grey (200,200,200) no block; Standard: white.
Rgb rgbOf(CellColour colour);
// "green", "yellow", "red", "blue", "grey", "standard".
const char* colourName(CellColour colour);

constexpr int kPlainCells = 0x4000;      // byte cells per plain grid (1024 rows x 16)
constexpr int kPlcCells = 1024 * 10;     // byte cells per PLC-address grid (1024 rows x 10)
constexpr int kPlcColouredCells = 1000;  // rows 0 to 99 of a PLC-address grid are coloured
constexpr int kStatusEntry = 20;         // conflictEntries code of the response-status bytes

// One grid cell.
struct CellRef {
    Grid grid = Grid::Input;
    int position = 0;
    bool operator==(const CellRef&) const = default;
};

class ConflictCounter {
public:
    // Builds conflictEntries (status bytes, then every command of subnets 1 to 4
    // with a read or write function code) and counts every entry. blocks nullptr:
    // plain layout; otherwise the PLC-address layout over those blocks (the caller
    // keeps them alive).
    ConflictCounter(const Project& project, const PlcBlocks* blocks);

    bool plcLayout() const { return blocks_ != nullptr; }
    // Cells per grid: kPlainCells or kPlcCells.
    int cellCount() const { return plcLayout() ? kPlcCells : kPlainCells; }

    // One line per entry, in order; line i is entry i.
    struct Line {
        std::string text;  // "Read Holding Registers", ..., "Status of Modbus Command Response"
        int code = 0;      // conflictEntries value: positive = included
        int subnet = -1;   // 0-based; -1 for the status line
        int command = -1;  // 0-based index in the subnet's command table
    };
    const std::vector<Line>& lines() const { return lines_; }
    bool included(size_t line) const { return line < lines_.size() && lines_[line].code > 0; }
    // Negates the entry, adds or removes its footprint and returns the cells whose
    // colour may have changed (every cell the footprint touches).
    std::vector<CellRef> toggle(size_t line);

    // The colour of a byte cell by the colour rule; in the PLC-address layout cells
    // outside the data blocks are grey and cells from 1000 on are not coloured.
    CellColour colour(Grid grid, int position) const;
    // The colour of one bit of a byte cell (the bit popup).
    CellColour bitColour(Grid grid, int position, int bit) const;

    // Column 0 of a grid row: plain "0000" ... "3FF0" ("4000" ... "7FF0" for the
    // output grid); PLC-address layout the row labels of the blocks ("%4.4d"),
    // empty for rows without a label.
    std::string rowLabel(Grid grid, int row) const;
    int columns() const { return plcLayout() ? 10 : 16; }
    // PLC-address layout: whether a cell shows a byte of a data block (always true
    // in the plain layout).
    bool cellInBlock(Grid grid, int position) const;

    // Raw counts of one bit (tests and the popup): reads, local writes, writes as
    // the colour rule sees them for that grid.
    struct BitCounts {
        int read = 0, local = 0, write = 0;
    };
    BitCounts counts(Grid grid, int position, int bit) const;

private:
    enum class Table { Read, Write, Local };
    struct ByteBits {
        Table table;
        int position;
        std::uint8_t mask;
    };
    using Planes = std::array<std::int32_t, 8>;

    void addFootprint(const std::vector<ByteBits>& footprint, int delta);
    std::vector<Planes>& table(Table t);
    const std::vector<Planes>& table(Table t) const;
    int tableSize(Table t) const;
    CellColour ruleColour(Grid grid, int position, int bitMask) const;

    // Footprint builders.
    void addBits(std::vector<ByteBits>& out, Table t, std::int64_t start, std::int64_t bitOffset,
                 std::int64_t bitCount, const BlockList* list) const;
    int cellOf(const BlockList* list, std::int64_t offset) const;
    std::vector<ByteBits> footprintOf(const Project& project, const ModbusCommand& command) const;

    const PlcBlocks* blocks_ = nullptr;
    std::vector<Line> lines_;
    std::vector<std::vector<ByteBits>> footprints_;
    std::vector<Planes> read_, write_, local_;
    std::vector<int> inputCellOffsets_, outputCellOffsets_;  // PLC layout: offset per cell or -1
    std::vector<int> inputLabels_, outputLabels_;
    std::vector<int> inputCellOfOffset_, outputCellOfOffset_;  // PLC layout: cell per offset < total
};

// Before a PLC-address view opens: a command of FC 3 or 4 with an empty mapping
// address gets the base of the first input block, one of FC 6 or 16 the same
// followed by "(input)". The change stays in the project.
void applyEmptyAddressDefaults(Project& project, const PlcBlocks& blocks);

// The download test: true when a command of any subnet has no mapping address,
// an address that cannot be read (or in PLC mode lies in no data block), or when
// two reads or two writes share a bit. Registers count two bytes whatever the
// data filter; a read never meets a write.
bool hasMappingConflict(const Project& project, const PlcBlocks* plc);

// The conflict command: which view opens. PLC mode on: the PLC-address view.
// Otherwise, unless the question was already declined in this run, ask "Whether
// to edit base address?"; OK runs editBase (the base-address dialog, true when it
// closed with OK and so turned PLC mode on): PLC-address view after OK, plain view
// otherwise.
enum class ConflictViewKind { Plain, PlcAddress };
ConflictViewKind chooseConflictView(const PlcState& state, bool baseQuestionDone, Operator& op,
                                    const std::function<bool()>& editBase);

}  // namespace korvex
