// The .xlsx template filler on its own: cell placement, reuse of template
// cells, alignment, the dropped calculation chain, relationship targets, and
// damaged templates refused with a message that names the file and the problem.
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>

#include "export/xlsx_workbook.h"
#include "export_test_support.h"
#include "model/texts.h"

namespace korvex {
namespace {

using testing::readWorkbook;
using testing::ScratchDir;
using testing::shellQuoted;

const std::string kPzPath = testing::templatePath("PZ");

std::vector<std::uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(XlsxWorkbook, CellsLandInAscendingOrderAndDimensionFollows) {
    XlsxWorkbook book;
    ASSERT_FALSE(book.open(kPzPath));
    int sheet = -1;
    ASSERT_FALSE(book.findSheet("Subnet", sheet));
    for (auto [r, c] : std::vector<std::pair<int, int>>{{5, 3}, {2, 1}, {5, 1}, {1, 20}, {3, 2}, {5, 2}})
        ASSERT_FALSE(book.setCellText(sheet, r, c, std::to_string(r) + "/" + std::to_string(c)));
    ScratchDir dir;
    ASSERT_FALSE(book.saveAs(dir.file("o.xlsx")));
    const auto wb = readWorkbook(dir.file("o.xlsx"));
    ASSERT_TRUE(wb.is_object());
    EXPECT_TRUE(wb["ordered"]["Subnet"].get<bool>());
    EXPECT_EQ(wb["dimension"]["Subnet"], "A1:T5");
    EXPECT_EQ(wb["cells"]["Subnet"]["5,2"], "5/2");
    EXPECT_EQ(wb["cells"]["Subnet"]["1,20"], "1/20");
    EXPECT_EQ(wb["cells"]["Subnet"]["1,1"], "No.");
}

TEST(XlsxWorkbook, OverwritingATemplateCellKeepsItsStyleAndEmptyTextClears) {
    XlsxWorkbook book;
    ASSERT_FALSE(book.open(kPzPath));
    int sheet = -1;
    ASSERT_FALSE(book.findSheet("fieldbus", sheet));  // names match ignoring case
    ASSERT_FALSE(book.setCellText(sheet, 1, 1, "First"));
    ASSERT_FALSE(book.setCellText(sheet, 1, 1, "Second"));
    ASSERT_FALSE(book.setCellText(sheet, 1, 2, ""));
    ASSERT_FALSE(book.setCellText(sheet, 9, 9, ""));  // nothing there: nothing made
    ScratchDir dir;
    ASSERT_FALSE(book.saveAs(dir.file("o.xlsx")));
    const auto wb = readWorkbook(dir.file("o.xlsx"));
    ASSERT_TRUE(wb.is_object());
    EXPECT_EQ(wb["cells"]["Fieldbus"]["1,1"], "Second");
    EXPECT_FALSE(wb["cells"]["Fieldbus"].contains("1,2"));
    EXPECT_TRUE(wb["heading"]["Fieldbus"][0]["bold"].get<bool>());
    EXPECT_TRUE(wb["heading"]["Fieldbus"][1]["bold"].get<bool>());
    EXPECT_EQ(wb["dimension"]["Fieldbus"], "A1:G1");
    EXPECT_TRUE(wb["ordered"]["Fieldbus"].get<bool>());
}

TEST(XlsxWorkbook, NewCellTakesItsRowsElseItsColumnsFormat) {
    // Format 1 of the template is its bold heading format.
    ScratchDir dir;
    const std::string tpl = dir.file("formats.xlsx");
    const std::string sheetXml =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<cols><col min=\"2\" max=\"3\" width=\"12\" style=\"1\" customWidth=\"1\"/></cols>"
        "<sheetData><row r=\"4\" s=\"1\" customFormat=\"1\"/></sheetData></worksheet>";
    ASSERT_TRUE(testing::makeVariant("replace " + shellQuoted(kPzPath) + " " + shellQuoted(tpl) +
                                     " xl/worksheets/sheet2.xml " + shellQuoted(sheetXml)));
    XlsxWorkbook book;
    ASSERT_FALSE(book.open(tpl));
    int sheet = -1;
    ASSERT_FALSE(book.findSheet("Fieldbus", sheet));
    for (auto [r, c] : std::vector<std::pair<int, int>>{{2, 1}, {2, 2}, {2, 3}, {2, 4}, {4, 1}, {4, 9}})
        ASSERT_FALSE(book.setCellText(sheet, r, c, "x"));
    ASSERT_FALSE(book.saveAs(dir.file("o.xlsx")));
    const auto wb = readWorkbook(dir.file("o.xlsx"));
    ASSERT_TRUE(wb.is_object());
    EXPECT_EQ(wb["bold"]["Fieldbus"].get<std::vector<std::string>>(),
              (std::vector<std::string>{"2,2", "2,3", "4,1", "4,9"}));
}

TEST(XlsxWorkbook, UntouchedWorkbookSavesIdenticalParts) {
    XlsxWorkbook book;
    ASSERT_FALSE(book.open(kPzPath));
    ScratchDir dir;
    ASSERT_FALSE(book.saveAs(dir.file("o.xlsx")));
    EXPECT_EQ(readWorkbook(dir.file("o.xlsx")), readWorkbook(kPzPath));
}

TEST(XlsxWorkbook, CalculationChainIsDroppedWithItsReferences) {
    ScratchDir dir;
    const std::string tpl = dir.file("calc.xlsx");
    ASSERT_TRUE(testing::makeVariant("add-calcchain " + shellQuoted(kPzPath) + " " + shellQuoted(tpl)));
    ASSERT_TRUE(readWorkbook(tpl)["calcchain_refs"].get<bool>());
    XlsxWorkbook book;
    ASSERT_FALSE(book.open(tpl));
    int sheet = -1;
    ASSERT_FALSE(book.findSheet("Command List", sheet));
    ASSERT_FALSE(book.setCellText(sheet, 2, 1, "1"));
    ASSERT_FALSE(book.saveAs(dir.file("o.xlsx")));
    const auto wb = readWorkbook(dir.file("o.xlsx"));
    ASSERT_TRUE(wb.is_object());
    EXPECT_FALSE(wb["calcchain_refs"].get<bool>());
    const auto parts = wb["parts"].get<std::vector<std::string>>();
    EXPECT_EQ(std::count(parts.begin(), parts.end(), "xl/calcChain.xml"), 0);
    EXPECT_EQ(wb["cells"]["Command List"]["2,1"], "1");
}

TEST(XlsxWorkbook, WorkbookFromASpreadsheetTemplateIsAWorkbook) {
    ScratchDir dir;
    const std::string tpl = dir.file("book.xltx");
    ASSERT_TRUE(testing::makeVariant("as-template " + shellQuoted(kPzPath) + " " + shellQuoted(tpl)));
    const std::string workbookType = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
    ASSERT_NE(readWorkbook(tpl)["workbook_type"][0], workbookType);
    XlsxWorkbook book;
    ASSERT_FALSE(book.open(tpl));
    ASSERT_FALSE(book.saveAs(dir.file("o.xlsx")));
    EXPECT_EQ(readWorkbook(dir.file("o.xlsx"))["workbook_type"][0], workbookType);
}

TEST(XlsxWorkbook, RelativeRelationshipTargetsAreFollowed) {
    ScratchDir dir;
    const std::string tpl = dir.file("relative.xlsx");
    const std::string rels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"./worksheets/../worksheets/sheet2.xml\"/>"
        "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"/xl/worksheets/sheet3.xml\"/>"
        "<Relationship Id=\"rId4\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
        "</Relationships>";
    ASSERT_TRUE(testing::makeVariant("replace " + shellQuoted(kPzPath) + " " + shellQuoted(tpl) +
                                     " xl/_rels/workbook.xml.rels " + shellQuoted(rels)));
    XlsxWorkbook book;
    ASSERT_FALSE(book.open(tpl));
    int sheet = -1;
    ASSERT_FALSE(book.findSheet("Fieldbus", sheet));
    ASSERT_FALSE(book.setVerticalAlignmentTop(sheet));
    ASSERT_FALSE(book.setCellText(sheet, 2, 1, "DeviceNet"));
    ASSERT_FALSE(book.saveAs(dir.file("o.xlsx")));
    const auto wb = readWorkbook(dir.file("o.xlsx"));
    ASSERT_TRUE(wb.is_object());
    EXPECT_EQ(wb["cells"]["Fieldbus"]["2,1"], "DeviceNet");
    EXPECT_EQ(wb["heading"]["Fieldbus"][0]["vertical"], "top");
}

// ---- damaged templates ----

struct DamageCase {
    const char* name;
    std::string part;     // the part replaced ("" : bytes given directly)
    std::string content;  // its new content, or the whole file
    std::string sheet;    // the sheet looked up
    bool align;           // whether the sheet is top-aligned
    std::string problem;  // the text after "cannot be used: "
};

// Test lists and failure messages show the case by its name.
inline void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

class DamagedTemplate : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedTemplate, IsRefusedWithTheProblem) {
    const auto& c = GetParam();
    ScratchDir dir;
    const std::string tpl = dir.file("t.xlsx");
    if (c.part.empty()) {
        std::ofstream(tpl, std::ios::binary) << c.content;
    } else {
        ASSERT_TRUE(testing::makeVariant("replace " + shellQuoted(kPzPath) + " " + shellQuoted(tpl) + " " +
                                         shellQuoted(c.part) + " " + shellQuoted(c.content)));
    }
    XlsxWorkbook book;
    std::optional<Message> err = book.open(tpl);
    int sheet = -1;
    if (!err) err = book.findSheet(c.sheet, sheet);
    if (!err && c.align) err = book.setVerticalAlignmentTop(sheet);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text(), "The template " + tpl + " cannot be used: " + c.problem + ".");
}

const std::string kWs = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedTemplate,
    ::testing::Values(
        DamageCase{"EmptyFile", "", "", "Fieldbus", false, "it is not an .xlsx workbook (no readable zip archive)"},
        DamageCase{"NotAZip", "", "<html>not a workbook</html>", "Fieldbus", false,
                   "it is not an .xlsx workbook (no readable zip archive)"},
        DamageCase{"WorkbookNotXml", "xl/workbook.xml", "<workbook><sheets>", "Fieldbus", false,
                   "its part xl/workbook.xml is not well-formed XML"},
        DamageCase{"WorkbookOfAnotherKind", "xl/workbook.xml", "<document/>", "Fieldbus", false,
                   "its part xl/workbook.xml holds a row, cell or style that is out of order or out of range"},
        DamageCase{"RelationshipsNotXml", "xl/_rels/workbook.xml.rels", "<<", "Fieldbus", false,
                   "its part xl/_rels/workbook.xml.rels is not well-formed XML"},
        DamageCase{"RowsOutOfOrder", "xl/worksheets/sheet2.xml",
                   kWs + "<row r=\"3\"/><row r=\"2\"/></sheetData></worksheet>", "Fieldbus", false,
                   "its part xl/worksheets/sheet2.xml holds a row, cell or style that is out of order or out of range"},
        DamageCase{"CellInAnotherRow", "xl/worksheets/sheet2.xml",
                   kWs + "<row r=\"1\"><c r=\"A2\"/></row></sheetData></worksheet>", "Fieldbus", false,
                   "its part xl/worksheets/sheet2.xml holds a row, cell or style that is out of order or out of range"},
        DamageCase{"RowBeyondTheSheet", "xl/worksheets/sheet2.xml",
                   kWs + "<row r=\"1048577\"/></sheetData></worksheet>", "Fieldbus", false,
                   "its part xl/worksheets/sheet2.xml holds a row, cell or style that is out of order or out of range"},
        DamageCase{"ColumnBeyondTheSheet", "xl/worksheets/sheet2.xml",
                   kWs + "<row r=\"1\"><c r=\"XFE1\"/></row></sheetData></worksheet>", "Fieldbus", false,
                   "its part xl/worksheets/sheet2.xml holds a row, cell or style that is out of order or out of range"},
        DamageCase{"StyleIndexOutOfRange", "xl/worksheets/sheet2.xml",
                   kWs + "<row r=\"1\"><c r=\"A1\" s=\"999\"/></row></sheetData></worksheet>", "Fieldbus", true,
                   "its part xl/styles.xml holds a row, cell or style that is out of order or out of range"},
        DamageCase{"SheetPartMissing", "xl/workbook.xml",
                   "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                   "<sheets><sheet name=\"Fieldbus\" sheetId=\"1\" r:id=\"rId9\"/></sheets></workbook>",
                   "Fieldbus", false, "its sheet \"Fieldbus\" is not a worksheet"}),
    [](const auto& info) { return std::string(info.param.name); });

// Without its content types a package is no workbook any reader opens, so a
// template lacking them is refused like one lacking any other part it needs.
TEST(DamagedTemplate, TemplateWithoutContentTypesIsRefused) {
    ScratchDir dir;
    const std::string tpl = dir.file("t.xlsx");
    ASSERT_TRUE(testing::makeVariant("drop-part " + shellQuoted(kPzPath) + " " + shellQuoted(tpl) +
                                     " '[Content_Types].xml'"));
    XlsxWorkbook book;
    const auto err = book.open(tpl);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text(), "The template " + tpl + " cannot be used: its part [Content_Types].xml is missing.");
}

TEST(DamagedTemplate, TruncatedTemplateIsRefused) {
    auto bytes = fileBytes(kPzPath);
    ASSERT_GT(bytes.size(), 1000u);
    for (size_t keep : {bytes.size() / 2, bytes.size() - 10, size_t{30}}) {
        XlsxWorkbook book;
        const auto err = book.openBytes({bytes.begin(), bytes.begin() + static_cast<long>(keep)}, "cut.xlsx");
        ASSERT_TRUE(err) << keep;
        EXPECT_EQ(err->id, texts::ExportTemplateDamaged) << keep;
    }
}

TEST(DamagedTemplate, CorruptedCompressedSheetIsRefused) {
    auto bytes = fileBytes(kPzPath);
    // Flip bytes in the middle of the archive, inside compressed data.
    for (size_t i = bytes.size() / 3; i < bytes.size() / 3 + 40; ++i) bytes[i] ^= 0x5A;
    XlsxWorkbook book;
    std::optional<Message> err = book.openBytes(bytes, "flipped.xlsx");
    for (const char* name : {"Command List", "Fieldbus", "Subnet"}) {
        int sheet = -1;
        if (!err) err = book.findSheet(name, sheet);
        if (!err) err = book.setVerticalAlignmentTop(sheet);
    }
    ASSERT_TRUE(err);
    EXPECT_EQ(err->id, texts::ExportTemplateDamaged);
}

TEST(XlsxWorkbook, MissingSheetNamesTheTemplateAndTheSheet) {
    XlsxWorkbook book;
    ASSERT_FALSE(book.open(kPzPath));
    int sheet = -1;
    const auto err = book.findSheet("Nodes", sheet);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text(), "The template " + kPzPath + " has no sheet \"Nodes\".");
}

}  // namespace
}  // namespace korvex
