// Feeds arbitrary bytes to the export's template reader as a template workbook:
// it must refuse them with a message or fill and save a workbook, never crash,
// hang or touch memory it does not own.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "export/xlsx_workbook.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvex::XlsxWorkbook book;
    if (book.openBytes(std::vector<std::uint8_t>(data, data + size), "fuzz.xlsx")) return 0;
    bool any = false;
    for (const char* name : {"Command List", "Fieldbus", "Subnet"}) {
        int sheet = -1;
        if (book.findSheet(name, sheet)) continue;
        if (book.setVerticalAlignmentTop(sheet)) continue;
        book.setCellText(sheet, 2, 1, "1");
        book.setCellText(sheet, 1, 10, "Subnet");
        book.setCellText(sheet, 1, 1, "");
        book.setCellText(sheet, 3, 16384, " x\x01 ");
        any = true;
    }
    if (any) {
        std::vector<std::uint8_t> out;
        book.saveToBytes(out);
    }
    return 0;
}
