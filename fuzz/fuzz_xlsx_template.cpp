// Feeds arbitrary bytes to the export's template reader: it must refuse them
// with a message or fill and save a workbook, never crash, hang or touch memory
// it does not own.
//
// Input: when the first byte is 0 to 4, the rest replaces one part of a small
// valid workbook (so the XML handling is reached past the zip checksums):
// 0 the "Command List" sheet, 1 the styles, 2 the workbook, 3 the workbook
// relationships, 4 the "Fieldbus" sheet. Any other first byte: the whole input
// is the template file.
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "export/xlsx_workbook.h"

namespace {

const char* const kContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
    R"(<Override PartName="/xl/calcChain.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/>)"
    R"(</Types>)";
const char* const kPackageRels =
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
    R"(</Relationships>)";
const char* const kWorkbook =
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="Command List" sheetId="1" r:id="rId1"/><sheet name="Fieldbus" sheetId="2" r:id="rId2"/>)"
    R"(<sheet name="Subnet" sheetId="3" r:id="rId3"/></sheets></workbook>)";
const char* const kWorkbookRels =
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/sheet2.xml"/>)"
    R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="./worksheets/../worksheets/sheet3.xml"/>)"
    R"(<Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(<Relationship Id="rId5" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/>)"
    R"(</Relationships>)";
const char* const kStyles =
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<fonts count="1"><font><sz val="11"/></font></fonts><fills count="1"><fill><patternFill/></fill></fills>)"
    R"(<borders count="1"><border/></borders><cellStyleXfs count="1"><xf/></cellStyleXfs>)"
    R"(<cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/>)"
    R"(<xf numFmtId="0" fontId="0" fillId="0" borderId="0" applyAlignment="1"><alignment vertical="center"/></xf></cellXfs>)"
    R"(</styleSheet>)";
const char* const kSheet =
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><dimension ref="A1:C1"/>)"
    R"(<cols><col min="1" max="3" width="12" style="1" customWidth="1"/></cols><sheetData>)"
    R"(<row r="1" spans="1:3" s="1" customFormat="1"><c r="A1" s="1" t="inlineStr"><is><t>No.</t></is></c>)"
    R"(<c r="B1" s="1"><v>2</v></c><c r="C1" t="s"><v>0</v></c></row></sheetData></worksheet>)";
const char* const kCalcChain =
    R"(<calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><c r="B1" i="1"/></calcChain>)";

std::vector<std::uint8_t> makeWorkbook(int replaced, std::string replacement) {
    std::vector<std::pair<const char*, std::string>> parts = {
        {"[Content_Types].xml", kContentTypes}, {"_rels/.rels", kPackageRels},
        {"xl/workbook.xml", kWorkbook},         {"xl/_rels/workbook.xml.rels", kWorkbookRels},
        {"xl/styles.xml", kStyles},             {"xl/worksheets/sheet1.xml", kSheet},
        {"xl/worksheets/sheet2.xml", kSheet},   {"xl/worksheets/sheet3.xml", kSheet},
        {"xl/calcChain.xml", kCalcChain}};
    const char* names[] = {"xl/worksheets/sheet1.xml", "xl/styles.xml", "xl/workbook.xml",
                           "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet2.xml"};
    for (auto& p : parts)
        if (std::string(p.first) == names[replaced]) p.second = std::move(replacement);

    std::vector<std::uint8_t> out;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* za = src ? zip_open_from_source(src, ZIP_TRUNCATE, &error) : nullptr;
    zip_error_fini(&error);
    if (!za) {
        if (src) zip_source_free(src);
        return out;
    }
    zip_source_keep(src);
    for (const auto& p : parts) {
        zip_source_t* s = zip_source_buffer(za, p.second.data(), p.second.size(), 0);
        if (!s || zip_file_add(za, p.first, s, ZIP_FL_OVERWRITE) < 0) {
            if (s) zip_source_free(s);
            zip_discard(za);
            zip_source_free(src);
            return out;
        }
    }
    if (zip_close(za) < 0) {
        zip_discard(za);
        zip_source_free(src);
        return out;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_open(src) == 0) {
        if (zip_source_stat(src, &st) == 0 && (st.valid & ZIP_STAT_SIZE)) {
            out.resize(static_cast<size_t>(st.size));
            if (zip_source_read(src, out.data(), out.size()) != static_cast<zip_int64_t>(out.size())) out.clear();
        }
        zip_source_close(src);
    }
    zip_source_free(src);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes;
    if (size > 0 && data[0] < 5)
        bytes = makeWorkbook(data[0], std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    else
        bytes.assign(data, data + size);

    korvex::XlsxWorkbook book;
    if (book.openBytes(std::move(bytes), "fuzz.xlsx")) return 0;
    bool any = false;
    for (const char* name : {"Command List", "Fieldbus", "Subnet"}) {
        int sheet = -1;
        if (book.findSheet(name, sheet)) continue;
        if (book.setVerticalAlignmentTop(sheet)) continue;
        book.setCellText(sheet, 2, 1, "1");
        book.setCellText(sheet, 1, 10, "Subnet");
        book.setCellText(sheet, 1, 2, "");
        book.setCellText(sheet, 3, 16384, " x\x01 _x0041_ ");
        any = true;
    }
    if (any) {
        std::vector<std::uint8_t> out;
        if (!book.saveToBytes(out)) {
            // What was saved must open again.
            korvex::XlsxWorkbook again;
            if (again.openBytes(std::move(out), "saved.xlsx")) __builtin_trap();
        }
    }
    return 0;
}
