#pragma once
// The property grid as plain data: 40 rows of label, value and colour,
// and what a click on a value cell opens.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace korvex {

constexpr int kGridRowCount = 40;
constexpr int kGridColumnCount = 2;
constexpr std::uint32_t kGreyCell = 0xC8C8C8;   // the cell takes no input
constexpr std::uint32_t kWhiteCell = 0xFFFFFF;

struct GridRow {
    std::string label;   // column 0 (ASCII texts of the program)
    std::string value;   // column 1, windows-1252 bytes as stored in the project
    bool grey = false;   // back colour of the value cell: kGreyCell when true, else white

    std::uint32_t colour() const { return grey ? kGreyCell : kWhiteCell; }
    bool empty() const { return label.empty() && value.empty(); }
    bool operator==(const GridRow&) const = default;
};

using GridRows = std::array<GridRow, kGridRowCount>;

// Which in-place editor is open over a value cell: none, the edit box, or the
// drop-down list.
enum class EditorKind { None, Edit, List };

struct CellEditor {
    EditorKind kind = EditorKind::None;
    int row = -1;                       // the grid cell it is placed over
    int column = -1;
    std::string text;                   // Edit: the initial text, all selected
    std::vector<std::string> entries;   // List: the entries in order; the first is selected

    bool operator==(const CellEditor&) const = default;
};

}  // namespace korvex
