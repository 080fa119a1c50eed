// Whole exports of small projects, read back with an independent reader
// (openpyxl) and compared cell by cell; the template's formatting surviving;
// and the export's refusals, which leave the target as it was.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>

#include "export/excel_export.h"
#include "export_test_support.h"
#include "model/texts.h"

namespace korvex {
namespace {

using testing::addCommand;
using testing::newProject;
using testing::readWorkbook;
using testing::ScratchDir;

const std::vector<std::string> kTemplates{KORVEX_TEST_TEMPLATES_DIR};
const std::string kHardware = "Setting through Hardware Configuration of PROFIBUS DP";

struct Expect {
    std::string sheet;
    int row;
    int column;
    std::optional<std::string> text;  // nullopt: the cell is empty
};

struct WorkbookCase {
    const char* name;
    int kind;
    bool plc;
    std::function<void(Project&)> setup;
    std::vector<std::string> sheets;  // the workbook's sheets
    std::vector<Expect> cells;
};

// Test lists show the case's name rather than its bytes.
void PrintTo(const WorkbookCase& c, std::ostream* os) { *os << c.name; }

class ExportedWorkbook : public ::testing::TestWithParam<WorkbookCase> {};

TEST_P(ExportedWorkbook, HoldsTheCells) {
    const auto& c = GetParam();
    auto p = newProject(c.kind);
    if (c.setup) c.setup(*p);
    ScratchDir dir;
    const std::string out = dir.file("out.xlsx");
    const auto err = exportProjectToExcel(*p, c.plc, kTemplates, out);
    ASSERT_FALSE(err) << err->text();
    const auto book = readWorkbook(out);
    ASSERT_TRUE(book.is_object()) << "the reader could not open " << out;
    EXPECT_EQ(book["sheets"].get<std::vector<std::string>>(), c.sheets);
    for (const auto& e : c.cells) {
        const auto& sheet = book["cells"][e.sheet];
        const std::string key = std::to_string(e.row) + "," + std::to_string(e.column);
        if (e.text) {
            ASSERT_TRUE(sheet.contains(key)) << e.sheet << " (" << key << ") is empty";
            EXPECT_EQ(sheet[key].get<std::string>(), *e.text) << e.sheet << " (" << key << ")";
        } else {
            EXPECT_FALSE(sheet.contains(key)) << e.sheet << " (" << key << ") holds " << sheet[key];
        }
    }
    for (const auto& [name, ordered] : book["ordered"].items()) EXPECT_TRUE(ordered.get<bool>()) << name;
}

void defaultNode(Project& p) { addDefaultNode(p); }

INSTANTIATE_TEST_SUITE_P(
    Layouts, ExportedWorkbook,
    ::testing::Values(
        WorkbookCase{"Kind3MasterDefaultProject", 3, false, defaultNode,
                     {"Fieldbus", "Subnet", "Command List"},
                     {{"Command List", 2, 1, "1"}, {"Command List", 2, 2, "1"}, {"Command List", 2, 3, "3"},
                      {"Command List", 2, 4, "0"}, {"Command List", 2, 5, "8"}, {"Command List", 2, 6, "0H"},
                      {"Command List", 2, 7, std::nullopt}, {"Command List", 2, 8, "16"},
                      {"Command List", 2, 9, "Fullword"}, {"Command List", 2, 10, "CRC"},
                      {"Command List", 2, 11, "Fast Scan"}, {"Command List", 2, 12, "No Swap"},
                      {"Command List", 3, 1, "2"}, {"Command List", 3, 6, "4000H"},
                      {"Command List", 4, 1, std::nullopt},
                      {"Fieldbus", 2, 1, "PROFIBUS"}, {"Fieldbus", 2, 2, kHardware}, {"Fieldbus", 2, 3, kHardware},
                      {"Fieldbus", 2, 4, "Clear Data"}, {"Fieldbus", 2, 5, "3"},
                      {"Fieldbus", 2, 6, "Address Setting Using Hardware"}, {"Fieldbus", 2, 7, "Disable"},
                      {"Fieldbus", 2, 8, "Via Korvex"},
                      {"Subnet", 2, 1, "Modbus Master"}, {"Subnet", 2, 2, "19200"}, {"Subnet", 2, 6, "RTU"},
                      {"Subnet", 2, 7, "300"}, {"Subnet", 2, 9, "Change of Value"}, {"Subnet", 2, 11, "Disable"},
                      {"Subnet", 2, 12, "RS485"}, {"Subnet", 2, 14, "0"}}},
        WorkbookCase{"Kind3MappingMinusOneEmptyAndBlankFields", 3, false,
                     [](Project& p) {
                         addCommand(p.subnet(0), "-1", "-1");
                         addCommand(p.subnet(0), "").startAddress = "-1";
                         p.subnet(0).responseTimeout = "-1";
                         p.subnet(0).scanRate = "-1";
                     },
                     {"Fieldbus", "Subnet", "Command List"},
                     {{"Command List", 2, 6, std::nullopt}, {"Command List", 2, 2, std::nullopt},
                      {"Command List", 3, 6, "H"}, {"Command List", 3, 4, std::nullopt},
                      {"Subnet", 2, 7, std::nullopt}, {"Subnet", 2, 8, "0"}, {"Subnet", 2, 10, std::nullopt}}},
        WorkbookCase{"Kind3PlcAddressesWithoutH", 3, true,
                     [](Project& p) {
                         addCommand(p.subnet(0), "1000");
                         addCommand(p.subnet(0), "-1");
                     },
                     {"Fieldbus", "Subnet", "Command List"},
                     {{"Command List", 1, 6, "Mapping Address(PLC)"}, {"Command List", 2, 6, "1000"},
                      {"Command List", 3, 6, std::nullopt}}},
        WorkbookCase{"Kind3WithoutExtendedSettings", 3, false,
                     [](Project& p) { p.flags.extendedSettingsFlag = false; },
                     {"Fieldbus", "Subnet", "Command List"},
                     {{"Fieldbus", 2, 1, "PROFIBUS"}, {"Fieldbus", 2, 2, std::nullopt}, {"Fieldbus", 2, 3, "112"},
                      {"Fieldbus", 2, 4, "112"}, {"Fieldbus", 2, 5, std::nullopt}}},
        WorkbookCase{"Kind3SlaveWithoutCommandList", 3, false,
                     [](Project& p) {
                         p.subnet(0).protocolMode = "Modbus Slave";
                         p.subnet(0).slaveAddress = "7";
                         addCommand(p.subnet(0), "0");
                     },
                     {"Fieldbus", "Subnet"},
                     {{"Fieldbus", 2, 4, "Address Setting Using Hardware"}, {"Fieldbus", 2, 5, "Disable"},
                      {"Fieldbus", 2, 6, "Via Korvex"}, {"Fieldbus", 2, 7, std::nullopt},
                      {"Subnet", 2, 1, "Modbus Slave"}, {"Subnet", 2, 6, "7"}, {"Subnet", 2, 7, "RTU"},
                      {"Subnet", 2, 8, "RS485"}, {"Subnet", 2, 10, "0"}, {"Subnet", 2, 11, std::nullopt}}},
        WorkbookCase{"Kind3UserConfigWithoutCommandList", 3, false,
                     [](Project& p) {
                         p.subnet(0).protocolMode = "User Config";
                         p.subnet(0).inputLengthPrefix = "Enable";
                     },
                     {"Fieldbus", "Subnet"},
                     {{"Fieldbus", 2, 4, "Enable"}, {"Fieldbus", 2, 5, "Address Setting Using Hardware"},
                      {"Fieldbus", 2, 7, "Via Korvex"}, {"Subnet", 2, 6, "Time Interval between Characters"},
                      {"Subnet", 2, 7, "10"}, {"Subnet", 2, 8, "111"}, {"Subnet", 2, 11, "Disable"},
                      {"Subnet", 2, 12, "RS485"}}},
        WorkbookCase{"Kind2NumbersContinueAcrossSubnets", 2, false,
                     [](Project& p) {
                         addCommand(p.subnet(0), "0", "1");
                         addCommand(p.subnet(0), "4000", "2", "16");
                         addCommand(p.subnet(2), "10", "3");
                         addCommand(p.subnet(3), "20", "4");
                         p.subnet(2).protocolMode = "Self-defining protocol";
                         p.subnet(2).slaveBaudRate = "9600";
                         p.subnet(1).protocolMode = "Modbus Slave";
                         p.subnet(1).slaveAddress = "5";
                     },
                     {"Command List", "Fieldbus", "Subnet"},
                     {{"Command List", 2, 1, "1"}, {"Command List", 3, 1, "2"}, {"Command List", 3, 7, "4000H"},
                      {"Command List", 3, 6, "16"}, {"Command List", 4, 1, "3"}, {"Command List", 4, 2, "3"},
                      {"Command List", 5, 1, "4"}, {"Command List", 5, 7, "20H"}, {"Command List", 6, 1, std::nullopt},
                      {"Command List", 1, 10, "Type of Check"},
                      {"Fieldbus", 2, 1, std::nullopt},
                      {"Subnet", 2, 1, "1"}, {"Subnet", 3, 1, "2"}, {"Subnet", 4, 1, "3"}, {"Subnet", 5, 1, "4"},
                      {"Subnet", 2, 12, std::nullopt}, {"Subnet", 2, 13, "10"}, {"Subnet", 2, 7, std::nullopt},
                      {"Subnet", 3, 7, "5"}, {"Subnet", 3, 9, std::nullopt},
                      {"Subnet", 4, 2, "Self-defining protocol"}, {"Subnet", 4, 3, "9600"}, {"Subnet", 4, 8, std::nullopt},
                      {"Subnet", 6, 1, std::nullopt}}},
        WorkbookCase{"Kind4HeadingsAndNoInterfaceColumns", 4, false,
                     [](Project& p) {
                         p.flags.legacyFlag233b = true;
                         addCommand(p.subnet(0), "0");
                         addCommand(p.subnet(1), "10");
                         addCommand(p.subnet(1), "20");
                     },
                     {"Command List", "Fieldbus", "Subnet"},
                     // Column 10 holds the subnet number its heading names, not the check type.
                     {{"Command List", 1, 10, "Subnet"}, {"Command List", 2, 1, "1"}, {"Command List", 2, 10, "1"},
                      {"Command List", 3, 1, "2"}, {"Command List", 3, 10, "2"}, {"Command List", 4, 10, "2"},
                      {"Command List", 4, 7, "20H"},
                      {"Subnet", 1, 1, "Subnet"}, {"Subnet", 2, 1, "1"}, {"Subnet", 3, 1, "2"},
                      {"Subnet", 4, 1, std::nullopt}, {"Subnet", 1, 14, std::nullopt}, {"Subnet", 2, 14, std::nullopt},
                      {"Fieldbus", 2, 1, "EtherNet/IP"}, {"Fieldbus", 1, 2, "Assign IP Mode"},
                      {"Fieldbus", 1, 3, "IP address"}, {"Fieldbus", 1, 7, "DNS2"}, {"Fieldbus", 2, 2, "Manual Assign"},
                      {"Fieldbus", 2, 3, "192.168.0.10"}, {"Fieldbus", 2, 5, "192.168.0.1"},
                      {"Fieldbus", 2, 7, "0.0.0.0"}}},
        WorkbookCase{"Kind0LegacyInterfaceColumns", 0, false,
                     [](Project& p) {
                         p.flags.legacyFlag233b = true;
                         p.fieldbus.deviceNetAddress = "-1";
                     },
                     {"Command List", "Fieldbus", "Subnet"},
                     {{"Subnet", 1, 14, "Communication Interface"}, {"Subnet", 1, 15, "Debug Interface"},
                      {"Subnet", 2, 14, "RS485"}, {"Subnet", 2, 15, "RS232"}, {"Subnet", 3, 1, std::nullopt},
                      {"Fieldbus", 2, 1, "DeviceNet"}, {"Fieldbus", 2, 2, std::nullopt}, {"Fieldbus", 2, 3, "125K"},
                      {"Fieldbus", 2, 4, "64"}, {"Fieldbus", 2, 5, "64"}}},
        WorkbookCase{"Kind2LegacyRs232InterfaceGivesRs485Debug", 2, false,
                     [](Project& p) {
                         p.flags.legacyFlag233b = true;
                         p.subnet(1).legacyCommInterface = "RS232";
                     },
                     {"Command List", "Fieldbus", "Subnet"},
                     {{"Subnet", 3, 14, "RS232"}, {"Subnet", 3, 15, "RS485"}, {"Subnet", 5, 15, "RS232"}}},
        WorkbookCase{"Kind1Legacy244", 1, false, [](Project& p) { p.flags.legacyFlag244 = true; },
                     {"Command List", "Fieldbus", "Subnet"},
                     {{"Fieldbus", 2, 1, "PROFIBUS"}, {"Fieldbus", 2, 4, kHardware}, {"Fieldbus", 2, 5, kHardware},
                      {"Fieldbus", 1, 6, "Input data double fault reset"}, {"Fieldbus", 2, 6, "Enable"},
                      {"Fieldbus", 2, 7, std::nullopt}}},
        WorkbookCase{"Kind1Legacy246ConfigMode", 1, false,
                     [](Project& p) {
                         p.flags.legacyFlag246 = true;
                         p.fieldbus.profibusConfigData = "D1 E1";
                     },
                     {"Command List", "Fieldbus", "Subnet"},
                     {{"Fieldbus", 2, 4, "112"}, {"Fieldbus", 2, 6, "Use bytes selection"},
                      {"Fieldbus", 2, 7, "D1 E1"}}},
        WorkbookCase{"Kind5PulseAndSlave", 5, false,
                     [](Project& p) {
                         p.subnet(0).protocolMode = "Modbus Master";
                         p.subnet(0).outputPulse = "-1";
                     },
                     {"Command List", "Fieldbus", "Subnet"},
                     {{"Subnet", 2, 12, std::nullopt}, {"Subnet", 2, 11, "Change of Value"},
                      {"Fieldbus", 2, 2, "Setting through Hardware Button"}, {"Fieldbus", 2, 3, "Self-adapting"},
                      {"Fieldbus", 2, 4, kHardware}}},
        WorkbookCase{"Kind6HeadingWithTrailingBlankAndClearedHeading", 6, false, nullptr,
                     {"Command List", "Fieldbus", "Subnet"},
                     {{"Fieldbus", 1, 6, "PROFIBUS Input-data Effective Length "}, {"Fieldbus", 1, 7, std::nullopt},
                      {"Fieldbus", 2, 6, "Disable"}, {"Subnet", 2, 2, "User Config"}, {"Subnet", 2, 3, "19200"}}},
        WorkbookCase{"ProjectTextsAreWindows1252AndKeepBlanks", 3, false,
                     [](Project& p) {
                         addCommand(p.subnet(0), "0").byteSwap = "\xC4nderung";
                         p.subnet(0).commands[0].dataFilter = "  two  blanks ";
                     },
                     {"Fieldbus", "Subnet", "Command List"},
                     {{"Command List", 2, 12, "\xC3\x84nderung"}, {"Command List", 2, 9, "  two  blanks "}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TemplateFormatting, HeadingRowWidthsAndFrozenPaneSurvive) {
    auto p = newProject(2);
    addCommand(p->subnet(0), "0");
    ScratchDir dir;
    const std::string out = dir.file("out.xlsx");
    ASSERT_FALSE(exportProjectToExcel(*p, false, kTemplates, out));
    const auto before = readWorkbook(testing::templatePath("PZ"));
    const auto after = readWorkbook(out);
    ASSERT_TRUE(before.is_object() && after.is_object());
    for (const char* sheet : {"Command List", "Fieldbus", "Subnet"}) {
        EXPECT_EQ(after["widths"][sheet], before["widths"][sheet]) << sheet;
        EXPECT_EQ(after["freeze"][sheet], "A2") << sheet;
        const auto& heading = after["heading"][sheet];
        ASSERT_EQ(heading.size(), before["heading"][sheet].size()) << sheet;
        for (size_t i = 0; i < heading.size(); ++i) {
            EXPECT_TRUE(heading[i]["bold"].get<bool>()) << sheet << " column " << i + 1;
            EXPECT_EQ(heading[i]["fill"], before["heading"][sheet][i]["fill"]) << sheet;
            EXPECT_EQ(heading[i]["border"], "thin") << sheet;
            // The whole sheet is aligned to the top, the heading included.
            EXPECT_EQ(heading[i]["vertical"], "top") << sheet;
        }
        // So is every cell the export added (kind 2 has no fieldbus row).
        EXPECT_EQ(after["row2_vertical"][sheet].empty(), std::string(sheet) == "Fieldbus") << sheet;
        for (const auto& v : after["row2_vertical"][sheet]) EXPECT_EQ(v, "top") << sheet;
        // Headings the export does not write keep their template text.
        EXPECT_EQ(after["cells"][sheet]["1,2"], before["cells"][sheet]["1,2"]) << sheet;
    }
    EXPECT_EQ(after["dimension"]["Command List"], "A1:L2");
    EXPECT_EQ(after["dimension"]["Subnet"], "A1:M5");
}

// ---- refusals: each names the file and the problem, and the target stays ----

class ExportRefusal : public ::testing::Test {
protected:
    void SetUp() override {
        target = dir.file("target.xlsx");
        std::ofstream(target) << "previous contents";
    }
    std::string targetContents() const {
        std::ifstream in(target);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::optional<Message> exportWith(const std::vector<std::string>& templateDirs) {
        return exportProjectToExcel(*project, false, templateDirs, target);
    }
    // A template folder holding "PZ" made from the generated one by the tool.
    std::string variantFolder(const std::string& toolArguments) {
        const std::string folder = dir.file("templates");
        std::filesystem::create_directories(folder);
        const std::string arguments = std::string(toolArguments).replace(
            toolArguments.find("OUT"), 3, testing::shellQuoted(folder + "/PZ.xlsx"));
        EXPECT_TRUE(testing::makeVariant(arguments)) << arguments;
        return folder;
    }
    std::unique_ptr<Project> project = newProject(0);
    ScratchDir dir;
    std::string target;
};

const std::string kPz = testing::shellQuoted(testing::templatePath("PZ"));

TEST_F(ExportRefusal, MissingTemplate) {
    const auto err = exportWith({dir.path()});
    ASSERT_TRUE(err);
    EXPECT_EQ(err->id, texts::ExportTemplateNotFound);
    EXPECT_EQ(err->text(), "The export template \"PZ\" was not found in " + dir.path() + ".");
    EXPECT_EQ(targetContents(), "previous contents");
}

TEST_F(ExportRefusal, TemplateWithoutRequiredSheet) {
    const auto folder = variantFolder("drop-sheet " + kPz + " OUT Fieldbus");
    const auto err = exportWith({folder});
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text(), "The template " + folder + "/PZ.xlsx has no sheet \"Fieldbus\".");
    EXPECT_EQ(targetContents(), "previous contents");
}

TEST_F(ExportRefusal, DamagedZip) {
    const std::string folder = dir.file("templates");
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/PZ") << "PK\x03\x04 this is not a workbook";
    const auto err = exportWith({folder});
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text(), "The template " + folder +
                               "/PZ cannot be used: it is not an .xlsx workbook (no readable zip archive).");
    EXPECT_EQ(targetContents(), "previous contents");
}

TEST_F(ExportRefusal, DamagedSheetXml) {
    const auto folder = variantFolder("replace " + kPz + " OUT xl/worksheets/sheet2.xml '<worksheet><sheetData>'");
    const auto err = exportWith({folder});
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text(), "The template " + folder +
                               "/PZ.xlsx cannot be used: its part xl/worksheets/sheet2.xml is not well-formed XML.");
    EXPECT_EQ(targetContents(), "previous contents");
}

TEST_F(ExportRefusal, UnwritableTarget) {
    target = dir.file("no-such-folder/out.xlsx");
    auto err = exportWith(kTemplates);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text(), target + " was not found.");
    target = dir.path();  // a folder cannot be replaced by a file
    err = exportWith(kTemplates);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text(), target + " names a folder, not a file.");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
}

TEST(TemplateLookup, ExactNameThenXlsxExtensionInFolderOrder) {
    ScratchDir a, b;
    std::ofstream(b.file("PZ.xlsx")) << "x";
    std::ofstream(b.file("PZ")) << "x";
    std::string path;
    ASSERT_FALSE(findTemplate("PZ", {a.path(), b.path()}, path));
    EXPECT_EQ(path, b.file("PZ"));
    std::ofstream(a.file("PZ.xlsx")) << "x";
    ASSERT_FALSE(findTemplate("PZ", {a.path(), b.path()}, path));
    EXPECT_EQ(path, a.file("PZ.xlsx"));
}

}  // namespace
}  // namespace korvex
