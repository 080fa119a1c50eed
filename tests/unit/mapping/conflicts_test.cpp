#include <gtest/gtest.h>

#include <ostream>

#include "mapping/conflicts.h"
#include "mapping/plc_blocks.h"
#include "mapping_fixtures.h"
#include "model/operator.h"
#include "model/texts.h"

namespace korvex {
namespace {

using testing::Cmd;
using testing::projectWith;

// The colours of cells first..last of one grid, one letter each:
// g green, y yellow, r red, b blue, - standard, . grey.
std::string colours(const ConflictCounter& c, Grid grid, int first, int last) {
    std::string s;
    for (int p = first; p <= last; ++p) {
        switch (c.colour(grid, p)) {
            case CellColour::Green: s += 'g'; break;
            case CellColour::Yellow: s += 'y'; break;
            case CellColour::Red: s += 'r'; break;
            case CellColour::Blue: s += 'b'; break;
            case CellColour::Grey: s += '.'; break;
            case CellColour::Standard: s += '-'; break;
        }
    }
    return s;
}

bool anyRed(const ConflictCounter& c) {
    for (int p = 0; p < c.cellCount(); ++p)
        if (c.colour(Grid::Input, p) == CellColour::Red || c.colour(Grid::Output, p) == CellColour::Red) return true;
    return false;
}

TEST(ConflictView, NewProjectIsGreenAndBlue) {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p);
    addDefaultNode(*p);
    ConflictCounter c(*p, nullptr);
    ASSERT_EQ(c.lines().size(), 2u);
    EXPECT_EQ(c.lines()[0].text, "Read Holding Registers");
    EXPECT_EQ(c.lines()[1].text, "Preset Multiple Registers");
    EXPECT_EQ(colours(c, Grid::Input, 0, 16), "gggggggggggggggg-");
    EXPECT_EQ(colours(c, Grid::Output, 0, 16), "bbbbbbbbbbbbbbbb-");
    EXPECT_FALSE(anyRed(c));
    EXPECT_FALSE(hasMappingConflict(*p, nullptr));
    EXPECT_EQ(c.rowLabel(Grid::Input, 1), "0010");
    EXPECT_EQ(c.rowLabel(Grid::Output, 1023), "7FF0");
}

TEST(ConflictView, UncheckingOneOfTwoOverlappingReadsTurnsGreen) {
    auto p = projectWith({{"3", "4", "0"}, {"3", "2", "2"}});
    ConflictCounter c(*p, nullptr);
    EXPECT_EQ(colours(c, Grid::Input, 0, 8), "ggrrrrgg-");
    const auto touched = c.toggle(1);
    EXPECT_FALSE(c.included(1));
    EXPECT_EQ(touched.size(), 4u);
    EXPECT_EQ(touched.front(), (CellRef{Grid::Input, 2}));
    EXPECT_EQ(colours(c, Grid::Input, 0, 8), "gggggggg-");
    c.toggle(1);
    EXPECT_EQ(colours(c, Grid::Input, 0, 8), "ggrrrrgg-");
    EXPECT_TRUE(hasMappingConflict(*p, nullptr));
}

TEST(ConflictView, BitCommandsCountSingleBits) {
    auto p = projectWith({{"1", "10", "2", "3"}, {"1", "1", "3", "0"}});
    ConflictCounter c(*p, nullptr);
    EXPECT_EQ(colours(c, Grid::Input, 1, 4), "-gr-");
    // Byte 2: bits 3..7 of the first command.
    EXPECT_EQ(c.counts(Grid::Input, 2, 2).read, 0);
    EXPECT_EQ(c.counts(Grid::Input, 2, 3).read, 1);
    EXPECT_EQ(c.bitColour(Grid::Input, 3, 0), CellColour::Red);
    for (int bit = 1; bit <= 4; ++bit) EXPECT_EQ(c.bitColour(Grid::Input, 3, bit), CellColour::Green) << bit;
    for (int bit = 5; bit <= 7; ++bit) EXPECT_EQ(c.bitColour(Grid::Input, 3, bit), CellColour::Standard) << bit;
    EXPECT_TRUE(hasMappingConflict(*p, nullptr));
}

TEST(ConflictView, LocalDataExchangeStaysYellow) {
    auto p = projectWith({{"6", "1", "5"}});
    {
        ConflictCounter c(*p, nullptr);
        EXPECT_EQ(colours(c, Grid::Input, 4, 7), "-yy-");
        EXPECT_EQ(colours(c, Grid::Output, 0, 7), "--------");
    }
    testing::setCommands(*p, 0, {{"6", "1", "5"}, {"3", "2", "4"}});
    ConflictCounter c(*p, nullptr);
    EXPECT_EQ(colours(c, Grid::Input, 3, 8), "-gyyg-");
    EXPECT_FALSE(hasMappingConflict(*p, nullptr));
    // A second local write on the same bytes is a conflict.
    testing::setCommands(*p, 0, {{"6", "1", "5"}, {"16", "1", "6"}});
    ConflictCounter twice(*p, nullptr);
    EXPECT_EQ(colours(twice, Grid::Input, 5, 7), "yry");
}

TEST(ConflictView, OverlappingWritesAreRedInTheOutputGrid) {
    auto p = projectWith({{"16", "2", "4000"}, {"16", "2", "4002"}, {"16", "1", "4003"}});
    ConflictCounter c(*p, nullptr);
    EXPECT_EQ(colours(c, Grid::Output, 0, 6), "bbrrrb-");
    EXPECT_TRUE(hasMappingConflict(*p, nullptr));
}

TEST(ConflictView, StatusBytesCollideWithAReadAtOne) {
    auto p = projectWith({{"3", "1", "1"}});
    p->subnet(0).responseStatus = "2Bytes";
    ConflictCounter c(*p, nullptr);
    ASSERT_EQ(c.lines().size(), 2u);
    EXPECT_EQ(c.lines()[0].text, "Status of Modbus Command Response");
    EXPECT_EQ(c.lines()[0].code, kStatusEntry);
    EXPECT_EQ(colours(c, Grid::Input, 0, 3), "grg-");
    EXPECT_TRUE(hasMappingConflict(*p, nullptr));
    c.toggle(0);
    EXPECT_EQ(colours(c, Grid::Input, 0, 3), "-gg-");
}

TEST(ConflictView, ByteFiltersCountOneByteInTheViewTwoInTheDownloadTest) {
    auto p = projectWith({{"3", "4", "0", "", "", "Low byte"}, {"3", "1", "4"}});
    ConflictCounter c(*p, nullptr);
    EXPECT_EQ(colours(c, Grid::Input, 0, 6), "gggggg-");
    EXPECT_TRUE(hasMappingConflict(*p, nullptr));
    // "High byte" counts one byte only with DeviceKind 3 (or legacyFlag233a).
    p->subnet(0).commands[0].dataFilter = "High byte";
    EXPECT_EQ(colours(ConflictCounter(*p, nullptr), Grid::Input, 0, 6), "gggggg-");
    p->deviceKind = 1;
    EXPECT_EQ(colours(ConflictCounter(*p, nullptr), Grid::Input, 0, 6), "ggggrrg");
}

TEST(ConflictView, CommandsOfAllSubnetsMeet) {
    auto p = projectWith({{"3", "1", "0"}}, 2);
    testing::setCommands(*p, 3, {{"4", "1", "1"}});
    ConflictCounter c(*p, nullptr);
    EXPECT_EQ(c.lines().size(), 2u);
    EXPECT_EQ(c.lines()[1].subnet, 3);
    EXPECT_EQ(colours(c, Grid::Input, 0, 2), "grg");
    EXPECT_TRUE(hasMappingConflict(*p, nullptr));
}

// Addresses the plain layout cannot place: no count outside the tables, no crash.
struct BadAddressCase {
    const char* name;
    Cmd cmd;
    bool downloadConflict;
    const char* inputTail;  // colours of input cells 0x3FFE..0x3FFF
};

// Test lists and failure messages show the case by its name.
inline void PrintTo(const BadAddressCase& c, std::ostream* os) { *os << c.name; }

class BadAddress : public ::testing::TestWithParam<BadAddressCase> {};

TEST_P(BadAddress, IsSkippedByTheView) {
    const auto& c = GetParam();
    auto p = projectWith({c.cmd});
    ConflictCounter view(*p, nullptr);
    EXPECT_EQ(view.lines().size(), 1u);
    EXPECT_EQ(colours(view, Grid::Input, 0x3FFE, 0x3FFF), c.inputTail);
    EXPECT_EQ(hasMappingConflict(*p, nullptr), c.downloadConflict);
    view.toggle(0);
    view.toggle(0);
    EXPECT_EQ(view.colour(Grid::Input, -1), CellColour::Standard);
    EXPECT_EQ(view.colour(Grid::Output, 0x4000), CellColour::Standard);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadAddress, ::testing::Values(
    BadAddressCase{"Unassigned", {"3", "8", "-1"}, true, "--"},
    BadAddressCase{"Empty", {"1", "8", ""}, true, "--"},
    BadAddressCase{"NotHex", {"3", "8", "12g"}, true, "--"},
    BadAddressCase{"ReadInOutputArea", {"3", "8", "4000"}, false, "--"},
    BadAddressCase{"ReadRunningOffTheTable", {"3", "100", "3FFE"}, false, "gg"},
    BadAddressCase{"WriteRunningOffTheTable", {"16", "100", "7FFF"}, false, "--"},
    BadAddressCase{"HugeAddress", {"16", "1", "FFFFFFFFFFFFFFF"}, false, "--"},
    BadAddressCase{"HugeCount", {"3", "99999999999999999999", "3FFE"}, false, "gg"},
    BadAddressCase{"HugeBitOffset", {"1", "8", "3FFE", "999999999999"}, false, "--"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConflictView, OtherFunctionCodesHaveNoLine) {
    auto p = projectWith({{"7", "1", "0"}, {"3", "1", "0"}});
    ConflictCounter c(*p, nullptr);
    ASSERT_EQ(c.lines().size(), 1u);
    EXPECT_EQ(c.lines()[0].command, 1);
}

PlcBlocks plcBlocks() {
    PlcBlocks b;
    b.inputBlocks.setCount(2);
    b.inputBlocks.at(0) = {100, 15};
    b.inputBlocks.at(1) = {200, 5};
    b.outputBlocks.at(0) = {0, 12};
    return b;
}

TEST(PlcConflictView, CountsAtGridCells) {
    const PlcBlocks b = plcBlocks();
    // Reads PLC 113..116 = offsets 13..16, i.e. cells 13, 14, 25, 26.
    auto p = projectWith({{"3", "2", "113"}, {"6", "1", "201(input)"}, {"16", "1", "10"}});
    ConflictCounter c(*p, &b);
    EXPECT_TRUE(c.plcLayout());
    EXPECT_EQ(c.columns(), 10);
    EXPECT_EQ(colours(c, Grid::Input, 10, 29), "---gg..........gyy--");
    EXPECT_EQ(colours(c, Grid::Input, 30, 31), "..");
    EXPECT_EQ(colours(c, Grid::Output, 9, 12), "-bb.");
    EXPECT_EQ(c.rowLabel(Grid::Input, 0), "0100");
    EXPECT_EQ(c.rowLabel(Grid::Input, 1), "0110");
    EXPECT_EQ(c.rowLabel(Grid::Input, 2), "0195");
    EXPECT_EQ(c.rowLabel(Grid::Input, 3), "");
    EXPECT_EQ(c.colour(Grid::Input, 1000), CellColour::Standard);
    EXPECT_FALSE(hasMappingConflict(*p, &b));
}

TEST(PlcConflictView, EmptyRegisterAddressesGetTheFirstInputBase) {
    const PlcBlocks b = plcBlocks();
    auto p = projectWith({{"3", "1", ""}, {"16", "1", ""}, {"1", "1", ""}, {"3", "1", "-1"}});
    applyEmptyAddressDefaults(*p, b);
    EXPECT_EQ(testing::addresses(*p), (std::vector<std::string>{"100", "100(input)", "", "-1"}));
    ConflictCounter c(*p, &b);
    EXPECT_EQ(colours(c, Grid::Input, 0, 2), "yy-");
}

TEST(PlcConflictView, AddressesInNoBlockAreLeftOut) {
    const PlcBlocks b = plcBlocks();
    auto p = projectWith({{"3", "2", "150"}, {"16", "1", "999"}});
    ConflictCounter c(*p, &b);
    EXPECT_EQ(c.lines().size(), 2u);
    EXPECT_EQ(colours(c, Grid::Input, 0, 14), "---------------");
    EXPECT_TRUE(hasMappingConflict(*p, &b));
}

TEST(ConflictCommand, ChoosesTheView) {
    PlcState state;
    int dialogs = 0;
    auto accept = [&] { ++dialogs; return true; };
    auto decline = [&] { ++dialogs; return false; };
    ScriptedOperator ok({Answer::Ok, Answer::Ok});
    EXPECT_EQ(chooseConflictView(state, false, ok, accept), ConflictViewKind::PlcAddress);
    EXPECT_EQ(chooseConflictView(state, false, ok, decline), ConflictViewKind::Plain);
    EXPECT_EQ(ok.shownKeys(), (std::vector<std::string>{"ConflictEditBaseQuestion", "ConflictEditBaseQuestion"}));
    ScriptedOperator cancel({Answer::Cancel});
    EXPECT_EQ(chooseConflictView(state, false, cancel, accept), ConflictViewKind::Plain);
    ScriptedOperator none;
    EXPECT_EQ(chooseConflictView(state, true, none, accept), ConflictViewKind::Plain);
    state.plcAddressMode = true;
    EXPECT_EQ(chooseConflictView(state, false, none, accept), ConflictViewKind::PlcAddress);
    EXPECT_TRUE(none.shown().empty());
    EXPECT_EQ(dialogs, 2);
}

}  // namespace
}  // namespace korvex
