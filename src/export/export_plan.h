#pragma once
// Which cells of which template sheets the Excel export writes, and with what
// text, for a project. GUI-free and separate from the workbook, so the layout
// rules are tested without a file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/project.h"
#include "model/texts/text.h"

namespace korvex {

struct CellWrite {
    std::int32_t row;     // from 1; row 1 is the heading row
    std::int32_t column;  // from 1
    std::string text;     // the project's text bytes (windows-1252)

    bool operator==(const CellWrite&) const = default;
};

struct SheetPlan {
    std::string_view name;
    std::vector<CellWrite> cells;  // in writing order: a later write to a cell wins
};

struct ExportPlan {
    std::string_view templateName;  // without extension
    std::vector<SheetPlan> sheets;  // in the order they are opened and filled
};

// The plan for a project. plcAddressMode: the PLC base-address mode is on, so the
// project's mapping addresses are already in PLC form. Refuses (with the message)
// a DeviceKind 3 project whose subnet 1 protocol mode has no template.
std::optional<Message> planExport(const Project& project, bool plcAddressMode, ExportPlan& plan);

// The value rules of the cells.
// The text, or the empty text when it is exactly "-1".
std::string blankIfMinusOne(std::string_view text);
// A command's mapping address: empty for "-1"; in PLC mode the stored text;
// otherwise the stored hexadecimal text followed by "H".
std::string mappingText(std::string_view mappingAddress, bool plcAddressMode);

}  // namespace korvex
