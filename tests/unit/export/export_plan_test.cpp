// The cell plan: which template and sheets each kind and mode gets, and the
// value rules of single cells. Whole layouts are checked through real
// workbooks in excel_export_test.cpp.
#include <gtest/gtest.h>

#include <map>

#include "export/export_plan.h"
#include "export_test_support.h"
#include "model/texts.h"

namespace korvex {
namespace {

using testing::addCommand;
using testing::newProject;

// The final text of each cell of a sheet, later writes applied.
std::map<std::pair<int, int>, std::string> finalCells(const ExportPlan& plan, std::string_view sheet) {
    std::map<std::pair<int, int>, std::string> cells;
    for (const auto& s : plan.sheets)
        if (s.name == sheet)
            for (const auto& c : s.cells) cells[{c.row, c.column}] = c.text;
    return cells;
}

struct ValueCase {
    const char* name;
    std::string stored;
    bool plc;
    std::string mapping;
};

class MappingText : public ::testing::TestWithParam<ValueCase> {};

TEST_P(MappingText, FollowsTheRule) {
    EXPECT_EQ(mappingText(GetParam().stored, GetParam().plc), GetParam().mapping);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, MappingText,
    ::testing::Values(ValueCase{"MinusOneIsEmpty", "-1", false, ""},
                      ValueCase{"HexGetsH", "4000", false, "4000H"},
                      ValueCase{"EmptyGetsHAlone", "", false, "H"},
                      ValueCase{"PlcUnchanged", "1000", true, "1000"},
                      ValueCase{"PlcMinusOneIsEmpty", "-1", true, ""},
                      ValueCase{"OnlyExactMinusOne", "-10", false, "-10H"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BlankIfMinusOne, OnlyTheExactText) {
    EXPECT_EQ(blankIfMinusOne("-1"), "");
    EXPECT_EQ(blankIfMinusOne(" -1"), " -1");
    EXPECT_EQ(blankIfMinusOne("300"), "300");
}

struct TemplateCase {
    const char* name;
    int kind;
    std::string mode;  // subnet 1 protocol mode
    bool plc;
    std::string templateName;
    std::vector<std::string> sheets;
};

class TemplateChoice : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(TemplateChoice, PicksTemplateAndSheets) {
    const auto& c = GetParam();
    auto p = newProject(c.kind);
    p->subnet(0).protocolMode = c.mode;
    ExportPlan plan;
    ASSERT_FALSE(planExport(*p, c.plc, plan));
    EXPECT_EQ(plan.templateName, c.templateName);
    std::vector<std::string> sheets;
    for (const auto& s : plan.sheets) sheets.emplace_back(s.name);
    EXPECT_EQ(sheets, c.sheets);
}

const std::vector<std::string> kAllKind3{"Fieldbus", "Subnet", "Command List"};
const std::vector<std::string> kNoCommands{"Fieldbus", "Subnet"};
const std::vector<std::string> kGeneric{"Command List", "Fieldbus", "Subnet"};

INSTANTIATE_TEST_SUITE_P(
    Kinds, TemplateChoice,
    ::testing::Values(
        TemplateCase{"Kind3Master", 3, "Modbus Master", false, "Tessaly_Modbus_Master format", kAllKind3},
        TemplateCase{"Kind3MasterPlc", 3, "Modbus Master", true, "Tessaly_Modbus_Master forma_IQ", kAllKind3},
        TemplateCase{"Kind3Slave", 3, "Modbus Slave", false, "Tessaly_Modbus_Slave format", kNoCommands},
        TemplateCase{"Kind3SlavePlc", 3, "Modbus Slave", true, "Tessaly_Modbus_Slave format", kNoCommands},
        TemplateCase{"Kind3UserConfig", 3, "User Config", false, "Tessaly_User_Config format", kNoCommands},
        TemplateCase{"Kind0", 0, "Modbus Master", false, "PZ", kGeneric},
        TemplateCase{"Kind2", 2, "Self-defining protocol", false, "PZ", kGeneric},
        TemplateCase{"Kind4Plc", 4, "Modbus Master", true, "PZ", kGeneric},
        TemplateCase{"Kind6", 6, "User Config", false, "PZ", kGeneric}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TemplateChoice, Kind3WithAnotherModeIsRefusedWithItsMessage) {
    auto p = newProject(3);
    p->subnet(0).protocolMode = "Self-defining protocol";
    ExportPlan plan;
    const auto err = planExport(*p, false, plan);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->id, texts::ExportNoTemplateForMode);
    EXPECT_EQ(err->args, std::vector<std::string>{"Self-defining protocol"});
}

TEST(PlanOrder, LaterWritesWinInKind3ExtendedFieldbus) {
    // The sizes written first into columns 3 and 4 are overwritten by the
    // extended layout: hardware text and the timeout action.
    auto p = newProject(3);
    ExportPlan plan;
    ASSERT_FALSE(planExport(*p, false, plan));
    const auto& writes = plan.sheets[0].cells;
    ASSERT_GE(writes.size(), 3u);
    EXPECT_EQ(writes[1], (CellWrite{2, 3, "112"}));
    const auto cells = finalCells(plan, "Fieldbus");
    EXPECT_EQ(cells.at({2, 3}), "Setting through Hardware Configuration of PROFIBUS DP");
    EXPECT_EQ(cells.at({2, 4}), "Clear Data");
}

TEST(PlanOrder, RunningNumberContinuesAcrossAllFourSubnets) {
    auto p = newProject(2);
    for (int n = 0; n < 4; ++n)
        for (int i = 0; i < 100; ++i) addCommand(p->subnet(n), "0");
    ExportPlan plan;
    ASSERT_FALSE(planExport(*p, false, plan));
    const auto cells = finalCells(plan, "Command List");
    EXPECT_EQ(cells.at({2, 1}), "1");
    EXPECT_EQ(cells.at({102, 1}), "101");
    EXPECT_EQ(cells.at({401, 1}), "400");
    EXPECT_FALSE(cells.count({402, 1}));
}

// Column 10 of the Command List: the subnet number under kind 4's "Subnet"
// heading, the check type under every other kind's heading.
TEST(PlanOrder, CommandListColumn10FollowsItsHeading) {
    for (const int kind : {2, 4}) {
        auto p = newProject(kind);
        addCommand(p->subnet(0), "0");
        addCommand(p->subnet(1), "0");
        ExportPlan plan;
        ASSERT_FALSE(planExport(*p, false, plan));
        const auto cells = finalCells(plan, "Command List");
        SCOPED_TRACE("kind " + std::to_string(kind));
        EXPECT_EQ(cells.at({2, 10}), kind == 4 ? "1" : "CRC");
        EXPECT_EQ(cells.at({3, 10}), kind == 4 ? "2" : "CRC");
    }
}

TEST(PlanOrder, CommandCountOutOfRangeIsBounded) {
    auto p = newProject(3);
    p->subnet(0).commandCount = 5000;
    ExportPlan plan;
    ASSERT_FALSE(planExport(*p, false, plan));
    EXPECT_EQ(finalCells(plan, "Command List").rbegin()->first.first, 101);
    p->subnet(0).commandCount = -3;
    ASSERT_FALSE(planExport(*p, false, plan));
    EXPECT_TRUE(finalCells(plan, "Command List").empty());
}

}  // namespace
}  // namespace korvex
