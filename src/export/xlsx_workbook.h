#pragma once
// A workbook made from an .xlsx template: find worksheets by name, put text into
// cells, top-align a sheet, and save the result as a new workbook. Everything of
// the template that is not written to (headings, fonts, widths, styles, other
// sheets and parts) is carried over unchanged.
//
// The template is untrusted input: every size, count and index read from it is
// bounded, and anything malformed gives a message naming the file and the
// problem, never a crash.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/texts/text.h"

namespace korvex {

// Limits on what a template may hold.
constexpr std::size_t kMaxTemplateBytes = 64u * 1024u * 1024u;
constexpr std::size_t kMaxTemplatePartBytes = 32u * 1024u * 1024u;
constexpr std::int64_t kMaxTemplateParts = 10000;
constexpr std::size_t kMaxTemplateStyles = 64000;
constexpr std::int32_t kMaxSheetRows = 1048576;
constexpr std::int32_t kMaxSheetColumns = 16384;

class XlsxWorkbook {
public:
    XlsxWorkbook();
    ~XlsxWorkbook();
    XlsxWorkbook(XlsxWorkbook&&) noexcept;
    XlsxWorkbook& operator=(XlsxWorkbook&&) noexcept;
    XlsxWorkbook(const XlsxWorkbook&) = delete;
    XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

    // Reads the template file. On failure the workbook stays empty.
    std::optional<Message> open(const std::string& path);
    // The same from bytes in memory; displayName names the template in messages.
    std::optional<Message> openBytes(std::vector<std::uint8_t> bytes, const std::string& displayName);

    // The worksheet named `name` (compared exactly, then ignoring ASCII case, as
    // spreadsheet programs do). Sets `sheet` to a handle for the calls below.
    std::optional<Message> findSheet(std::string_view name, int& sheet);
    // Names of the workbook's sheets in workbook order.
    std::vector<std::string> sheetNames() const;

    // Puts UTF-8 text into the cell at row and column (both from 1) as an inline
    // string; an existing cell keeps its style. Empty text clears the cell's value
    // and keeps its formatting. Rows and columns out of the sheet's range are
    // refused.
    std::optional<Message> setCellText(int sheet, std::int32_t row, std::int32_t column, std::string_view text);
    // Aligns every cell of the sheet to the top: the cells there now and every
    // cell the export adds afterwards.
    std::optional<Message> setVerticalAlignmentTop(int sheet);

    // The new workbook's bytes.
    std::optional<Message> saveToBytes(std::vector<std::uint8_t>& out) const;
    // Writes the new workbook to a temporary file beside `path` and renames it
    // over `path`, so a failure leaves nothing half-written there.
    std::optional<Message> saveAs(const std::string& path) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// "A1" style reference of a cell (row and column from 1).
std::string cellReference(std::int32_t row, std::int32_t column);

}  // namespace korvex
