#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <unistd.h>

#include "mapping/conflicts.h"
#include "mapping/plc_blocks.h"
#include "mapping_fixtures.h"
#include "model/kvx_file.h"
#include "model/texts.h"

namespace korvex {
namespace {

using testing::Cmd;
using testing::makeCommand;

BlockList listOf(std::initializer_list<DataBlock> blocks) {
    BlockList l;
    l.setCount(static_cast<int>(blocks.size()));
    int j = 0;
    for (const auto& b : blocks) l.at(j++) = b;
    return l;
}

PlcBlocks blocksOf(std::initializer_list<DataBlock> in, std::initializer_list<DataBlock> out) {
    PlcBlocks b;
    b.inputBlocks = listOf(in);
    b.outputBlocks = listOf(out);
    return b;
}

TEST(BlockList, StartsWithOneBlockOf244Bytes) {
    BlockList l;
    EXPECT_EQ(l.count(), 1);
    EXPECT_EQ(l.at(0), (DataBlock{0, 244}));
    EXPECT_EQ(l.at(1), (DataBlock{0, 1}));
    EXPECT_EQ(l.total(), 244);
}

// Offset form -> PLC form, per command kind and block layout.
struct ToPlcCase {
    const char* name;
    PlcBlocks blocks;
    Cmd cmd;
    const char* plc;
};

// Test lists and failure messages show the case by its name.
inline void PrintTo(const ToPlcCase& c, std::ostream* os) { *os << c.name; }

class ToPlc : public ::testing::TestWithParam<ToPlcCase> {};

TEST_P(ToPlc, ConvertsAndConvertsBack) {
    const auto& c = GetParam();
    ModbusCommand cmd = makeCommand(c.cmd);
    const std::string shown = c.blocks.toShownAddress(cmd);
    EXPECT_EQ(shown, c.plc);
    // Back to the offset (lower case, as the gateway offset text is written).
    ModbusCommand again = cmd;
    again.mappingAddress = shown;
    std::string lower = c.cmd.map;
    for (auto& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_EQ(c.blocks.toModuleAddress(again), lower);
}

const PlcBlocks kDefault{};
const PlcBlocks kTwoInputs = blocksOf({{100, 10}, {200, 20}}, {{0, 244}});
const PlcBlocks kTwoOutputs = blocksOf({{0, 244}}, {{50, 4}, {300, 8}});

INSTANTIATE_TEST_SUITE_P(Examples, ToPlc, ::testing::Values(
    ToPlcCase{"DefaultReadZero", kDefault, {"3", "8", "0"}, "0"},
    ToPlcCase{"DefaultReadHexLetters", kDefault, {"3", "8", "1a"}, "26"},
    ToPlcCase{"DefaultReadUpperCase", kDefault, {"3", "8", "1A"}, "26"},
    ToPlcCase{"DefaultOutputWrite", kDefault, {"16", "8", "4000"}, "0"},
    ToPlcCase{"DefaultOutputWriteHigh", kDefault, {"16", "1", "40f3"}, "243"},
    ToPlcCase{"DefaultLocalWrite", kDefault, {"6", "1", "5"}, "5(input)"},
    ToPlcCase{"SecondInputBlock", kTwoInputs, {"3", "1", "c"}, "202"},
    ToPlcCase{"FirstInputBlockEnd", kTwoInputs, {"1", "1", "9"}, "109"},
    ToPlcCase{"LocalWriteInSecondBlock", kTwoInputs, {"5", "1", "a"}, "200(input)"},
    ToPlcCase{"SecondOutputBlock", kTwoOutputs, {"15", "8", "4005"}, "301"},
    ToPlcCase{"OutputBlockOneDigit", kTwoOutputs, {"5", "1", "4003"}, "53"}),
    [](const auto& info) { return std::string(info.param.name); });

// Texts the conversions cannot place keep their text, in both directions.
struct KeepCase {
    const char* name;
    Cmd cmd;
    bool toPlc;  // true: offset -> PLC; false: PLC -> offset
};

// Test lists and failure messages show the case by its name.
inline void PrintTo(const KeepCase& c, std::ostream* os) { *os << c.name; }

class KeepsText : public ::testing::TestWithParam<KeepCase> {};

TEST_P(KeepsText, LeavesTheAddressAlone) {
    const auto& c = GetParam();
    const ModbusCommand cmd = makeCommand(c.cmd);
    const std::string got = c.toPlc ? kTwoInputs.toShownAddress(cmd) : kTwoInputs.toModuleAddress(cmd);
    EXPECT_EQ(got, c.cmd.map);
    if (!c.toPlc) {
        EXPECT_FALSE(kTwoInputs.gatewayOffset(cmd).has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(BadInput, KeepsText, ::testing::Values(
    KeepCase{"OffsetPastTheBlocks", {"3", "1", "1e"}, true},
    KeepCase{"OffsetFarOutsideTheInputArea", {"3", "1", "100"}, true},
    KeepCase{"OutputOffsetPastTheBlocks", {"16", "1", "4100"}, true},
    KeepCase{"ReadInTheOutputArea", {"3", "1", "4000"}, true},
    KeepCase{"NotHex", {"3", "1", "xyz"}, true},
    KeepCase{"UnassignedOffset", {"3", "1", "-1"}, true},
    KeepCase{"EmptyOffset", {"3", "1", ""}, true},
    KeepCase{"PlcAddressBelowEveryBlock", {"3", "1", "99"}, false},
    KeepCase{"PlcAddressBetweenBlocks", {"3", "1", "150"}, false},
    KeepCase{"PlcAddressAboveEveryBlock", {"3", "1", "500"}, false},
    KeepCase{"PlcUnassigned", {"3", "1", "-1"}, false},
    KeepCase{"PlcEmpty", {"16", "1", ""}, false},
    KeepCase{"PlcNotANumber", {"16", "1", "abc"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlcBlocks, OverlappingBlocksUseTheLastOne) {
    const PlcBlocks b = blocksOf({{0, 10}, {5, 10}}, {{0, 244}});
    const ModbusCommand cmd = makeCommand({"3", "1", "7"});
    EXPECT_EQ(b.plcToGatewayOffset(cmd), "c");  // 7 - 5 + 10
}

TEST(CellIndex, BlockEndingInsideARowLeavesTheRestEmpty) {
    const BlockList l = listOf({{100, 15}, {200, 5}});
    EXPECT_EQ(l.cellIndex(14), 14);
    EXPECT_EQ(l.cellIndex(15), 25);
    EXPECT_EQ(l.cellIndex(19), 29);
    EXPECT_EQ(l.rowLabels(), (std::vector<int>{100, 110, 195}));
    const auto cells = l.cellOffsets(40);
    EXPECT_EQ(cells[14], 14);
    for (int c = 15; c < 25; ++c) EXPECT_EQ(cells[static_cast<size_t>(c)], -1) << c;
    EXPECT_EQ(cells[25], 15);
    EXPECT_EQ(cells[30], -1);
}

TEST(CellIndex, BlockEndingOnARowBoundaryNeedsNoPadding) {
    const BlockList l = listOf({{0, 10}, {40, 3}, {60, 7}});
    EXPECT_EQ(l.cellIndex(10), 10);
    EXPECT_EQ(l.cellIndex(13), 23);  // block 2 ends at 13, inside row 1
    EXPECT_EQ(l.rowLabels(), (std::vector<int>{0, 40, 57}));
}

TEST(BlockList, SortsByBaseAndFindsOverlaps) {
    BlockList l = listOf({{200, 5}, {100, 15}, {0, 3}});
    l.sortByBase();
    EXPECT_EQ(l.at(0), (DataBlock{0, 3}));
    EXPECT_EQ(l.at(1), (DataBlock{100, 15}));
    EXPECT_EQ(l.at(2), (DataBlock{200, 5}));
    EXPECT_FALSE(l.hasOverlap());
    EXPECT_TRUE(listOf({{0, 10}, {5, 10}}).hasOverlap());
    EXPECT_FALSE(listOf({{0, 10}, {10, 10}}).hasOverlap());
}

struct BlocksTextCase {
    const char* name;
    const char* text;
    bool ok;
};

// Test lists and failure messages show the case by its name.
inline void PrintTo(const BlocksTextCase& c, std::ostream* os) { *os << c.name; }

class BlocksText : public ::testing::TestWithParam<BlocksTextCase> {};

TEST_P(BlocksText, ParsesOrRefuses) {
    std::string error;
    const auto b = parsePlcBlocks(GetParam().text, error);
    EXPECT_EQ(b != nullptr, GetParam().ok) << error;
    EXPECT_EQ(error.empty(), GetParam().ok);
}

INSTANTIATE_TEST_SUITE_P(Cases, BlocksText, ::testing::Values(
    BlocksTextCase{"BothLists", "IN:100:10,200:20;OUT:0:244", true},
    BlocksTextCase{"InputsOnly", "IN:0:16", true},
    BlocksTextCase{"OutputsFirst", "OUT:5:5;IN:0:1", true},
    BlocksTextCase{"Empty", "", false},
    BlocksTextCase{"NoHead", "100:10", false},
    BlocksTextCase{"UnknownHead", "INPUT:0:10", false},
    BlocksTextCase{"TwiceIn", "IN:0:1;IN:5:1", false},
    BlocksTextCase{"MissingCount", "IN:100", false},
    BlocksTextCase{"Negative", "IN:-1:10", false},
    BlocksTextCase{"BaseTooLarge", "IN:1025:1", false},
    BlocksTextCase{"ZeroBytes", "IN:0:0", false},
    BlocksTextCase{"TooManyBytes", "IN:0:245", false},
    BlocksTextCase{"SumTooLarge", "IN:0:200,300:45", false},
    BlocksTextCase{"Overlap", "IN:0:10,5:10", false},
    BlocksTextCase{"EmptyBlock", "IN:0:10,", false},
    BlocksTextCase{"Huge", "IN:99999999999999999999:1", false},
    BlocksTextCase{"TooManyBlocks",
                   "IN:0:1,2:1,4:1,6:1,8:1,10:1,12:1,14:1,16:1,18:1,20:1,22:1,24:1,26:1,28:1,30:1,32:1,34:1,"
                   "36:1,38:1,40:1,42:1,44:1,46:1,48:1,50:1,52:1,54:1,56:1,58:1,60:1,62:1,64:1,66:1,68:1,70:1,"
                   "72:1,74:1,76:1,78:1,80:1,82:1,84:1,86:1,88:1,90:1,92:1,94:1,96:1,98:1,100:1,102:1,104:1,"
                   "106:1,108:1,110:1,112:1,114:1,116:1,118:1,120:1,122:1,124:1,126:1,128:1",
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BlocksText, SortsTheBlocksByBase) {
    std::string error;
    const auto b = parsePlcBlocks("IN:200:20,100:10", error);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->inputBlocks.at(0), (DataBlock{100, 10}));
    EXPECT_EQ(b->inputBlocks.at(1), (DataBlock{200, 20}));
    EXPECT_EQ(b->outputBlocks.at(0), (DataBlock{0, 244}));
}

TEST(PlcMode, CancelTurnsAddressesBackIntoOffsets) {
    auto p = testing::projectWith({{"3", "1", "202", "0", "2"}, {"16", "1", "7"}, {"3", "1", "-1"}});
    PlcState state;
    state.plcAddressMode = state.cancelBaseEnabled = true;
    state.blocks = kTwoInputs;
    cancelBaseAddress(state, *p);
    EXPECT_FALSE(state.plcAddressMode);
    EXPECT_FALSE(state.cancelBaseEnabled);
    EXPECT_EQ(testing::addresses(*p), (std::vector<std::string>{"c", "4007", "-1"}));
    EXPECT_EQ(state.blocks.inputBlocks, kTwoInputs.inputBlocks);  // the lists keep their blocks
}

TEST(PlcMode, SaveWritesOffsetsAndOpenShowsPlcAddresses) {
    auto p = testing::projectWith({{"3", "8", "202", "0", "16"}, {"16", "4", "301", "0", "8"},
                                   {"6", "1", "105(input)", "0", "2"}, {"3", "2", "-1"}});
    const PlcBlocks blocks = blocksOf({{100, 10}, {200, 20}}, {{50, 4}, {300, 8}});
    const auto path = (std::filesystem::temp_directory_path() /
                       ("korvex_plc_" + std::to_string(::getpid()) + ".kvx")).string();
    ASSERT_FALSE(writeProject(path, *p, &blocks).has_value());

    auto plain = std::make_unique<Project>();
    ASSERT_FALSE(openProject(path, *plain).has_value());
    EXPECT_EQ(testing::addresses(*plain), (std::vector<std::string>{"c", "4005", "5", "-1"}));

    auto shown = std::make_unique<Project>();
    ASSERT_FALSE(openProject(path, *shown, &blocks).has_value());
    EXPECT_EQ(testing::addresses(*shown), (std::vector<std::string>{"202", "301", "105(input)", "-1"}));
    std::filesystem::remove(path);
}

TEST(PlcRangeCheck, ReportsTheFirstCommandThatDoesNotFit) {
    const PlcBlocks blocks = blocksOf({{100, 10}, {200, 20}}, {{50, 4}});
    auto p = testing::projectWith({{"3", "2", "205", "0", "4"}, {"3", "8", "205", "0", "16"}});
    p->subnet(0).commands[1].slaveAddress = "7";
    const auto m = plcRangeCheck(*p, blocks);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->id, texts::InputMappingOutOfRange);
    EXPECT_EQ(m->text(), "Input mapping address of the command in node-7 out of range! ");

    // 105 to the end: 5 bytes of block 1 and 20 of block 2.
    p->subnet(0).commands[1].mappingAddress = "105";
    p->subnet(0).commands[1].byteCount = "25";
    EXPECT_FALSE(plcRangeCheck(*p, blocks));

    testing::setCommands(*p, 0, {{"16", "3", "50", "0", "6"}});
    const auto out = plcRangeCheck(*p, blocks);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->text(), "Output mapping address of the command in node-1 out of range!");

    // An address in no block is left to the other checks.
    testing::setCommands(*p, 0, {{"3", "100", "999", "0", "200"}});
    EXPECT_FALSE(plcRangeCheck(*p, blocks));
    EXPECT_TRUE(hasMappingConflict(*p, &blocks));
}

}  // namespace
}  // namespace korvex
