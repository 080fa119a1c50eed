#include <gtest/gtest.h>

#include <ostream>

#include "mapping/edit_base.h"
#include "mapping_fixtures.h"
#include "model/operator.h"
#include "model/texts.h"

namespace korvex {
namespace {

using Side = EditBaseSession::Side;
using testing::addresses;
using testing::projectWith;

TEST(EditBase, DefaultListsConvertTheNewProjectAddresses) {
    auto p = projectWith({{"3", "8", "0", "0", "16"}, {"3", "1", "1a", "0", "2"}, {"16", "8", "4000", "0", "16"},
                          {"6", "1", "5", "0", "2"}, {"3", "1", "-1", "", "2"}});
    PlcState state;
    EditBaseSession s(state);
    ScriptedOperator op;
    EXPECT_TRUE(s.ok(state, *p, op));
    EXPECT_TRUE(op.shown().empty());
    EXPECT_EQ(addresses(*p), (std::vector<std::string>{"0", "26", "0", "5(input)", "-1"}));
    EXPECT_TRUE(state.plcAddressMode);
    EXPECT_TRUE(state.cancelBaseEnabled);
}

TEST(EditBase, RebasesThroughTheOffsetsWhileTheModeIsOn) {
    auto p = projectWith({{"3", "1", "12", "0", "2"}});
    PlcState state;
    EditBaseSession first(state);
    ScriptedOperator op;
    ASSERT_TRUE(first.ok(state, *p, op));
    EXPECT_EQ(addresses(*p), (std::vector<std::string>{"18"}));

    EditBaseSession second(state);
    second.clickCountBox(Side::Input);
    ASSERT_TRUE(second.commitCount(Side::Input, "2", op));
    second.clickCountBox(Side::Input);
    second.select(Side::Input, 0);
    ASSERT_TRUE(second.commitBase(Side::Input, "100", op));
    ASSERT_TRUE(second.commitByteCount(Side::Input, "10", op));
    second.select(Side::Input, 1);
    ASSERT_TRUE(second.commitBase(Side::Input, "200", op));
    ASSERT_TRUE(second.commitByteCount(Side::Input, "20", op));
    ASSERT_TRUE(second.ok(state, *p, op));
    EXPECT_EQ(addresses(*p), (std::vector<std::string>{"208"}));  // offset 0x12 = 18

    cancelBaseAddress(state, *p);
    EXPECT_EQ(addresses(*p), (std::vector<std::string>{"12"}));
}

TEST(EditBase, OverlappingBlocksAreRefused) {
    auto p = projectWith({{"3", "1", "0", "0", "2"}});
    PlcState state;
    EditBaseSession s(state);
    ScriptedOperator op;
    s.clickCountBox(Side::Output);
    ASSERT_TRUE(s.commitCount(Side::Output, "2", op));
    s.clickCountBox(Side::Output);
    ASSERT_TRUE(s.commitByteCount(Side::Output, "10", op));
    s.select(Side::Output, 1);
    ASSERT_TRUE(s.commitBase(Side::Output, "5", op));
    ASSERT_TRUE(s.commitByteCount(Side::Output, "10", op));
    EXPECT_FALSE(s.ok(state, *p, op));
    EXPECT_EQ(op.shownKeys(), (std::vector<std::string>{"EditIqOutputBlockConflict"}));
    EXPECT_FALSE(state.plcAddressMode);
    EXPECT_EQ(addresses(*p), (std::vector<std::string>{"0"}));
    EXPECT_EQ(state.blocks.outputBlocks.count(), 1);
}

TEST(EditBase, ChangingTheCountResetsEveryBlock) {
    PlcState state;
    state.blocks.inputBlocks.at(0) = {50, 100};
    EditBaseSession s(state);
    ScriptedOperator op;
    using Controls = EditBaseSession::Controls;
    EXPECT_FALSE(s.countEditing(Side::Input));
    EXPECT_EQ(s.controls(Side::Input), (Controls{false, false, true, false, false}));
    s.clickCountBox(Side::Input);
    EXPECT_TRUE(s.countEditing(Side::Input));
    EXPECT_EQ(s.controls(Side::Input), (Controls{true, false, false, false, false}));
    EXPECT_EQ(s.controls(Side::Output), (Controls{false, false, true, false, false}));
    ASSERT_TRUE(s.commitCount(Side::Input, "3", op));
    s.clickCountBox(Side::Input);
    EXPECT_FALSE(s.countEditing(Side::Input));
    EXPECT_EQ(s.controls(Side::Input), (Controls{false, true, true, true, true}));
    EXPECT_EQ(s.blockChoices(Side::Input), (std::vector<std::string>{"Data block 1", "Data block 2", "Data block 3"}));
    EXPECT_EQ(s.list(Side::Input).at(0), (DataBlock{0, 244}));
    EXPECT_EQ(s.list(Side::Input).at(2), (DataBlock{0, 1}));
    EXPECT_EQ(s.baseText(Side::Input), "0");
    EXPECT_EQ(s.bytesText(Side::Input), "244");
    auto p = projectWith({});
    EXPECT_FALSE(s.ok(state, *p, op));
    EXPECT_EQ(op.shownKeys(), (std::vector<std::string>{"EditIqInputBlockConflict"}));

    // The same count again keeps the blocks.
    PlcState kept;
    kept.blocks.inputBlocks.at(0) = {50, 100};
    EditBaseSession same(kept);
    same.clickCountBox(Side::Input);
    ASSERT_TRUE(same.commitCount(Side::Input, "1", op));
    same.clickCountBox(Side::Input);
    EXPECT_EQ(same.list(Side::Input).at(0), (DataBlock{50, 100}));
}

TEST(EditBase, BlocksTooSmallForTheCommandsAreRefused) {
    auto p = projectWith({{"3", "8", "10", "0", "16"}});
    PlcState state;
    EditBaseSession s(state);
    ScriptedOperator op;
    ASSERT_TRUE(s.commitByteCount(Side::Input, "16", op));
    EXPECT_FALSE(s.ok(state, *p, op));
    EXPECT_EQ(op.shownKeys(), (std::vector<std::string>{"EditIqInputShortage"}));
    EXPECT_EQ(addresses(*p), (std::vector<std::string>{"10"}));

    testing::setCommands(*p, 0, {{"16", "8", "40f0", "0", "16"}});
    EditBaseSession out(state);
    ScriptedOperator op2;
    EXPECT_FALSE(out.ok(state, *p, op2));
    EXPECT_EQ(op2.shownKeys(), (std::vector<std::string>{"EditIqOutputShortage"}));
    EXPECT_FALSE(state.plcAddressMode);
}

struct FieldCase {
    const char* name;
    int field;  // 0 count, 1 base, 2 byte count
    const char* text;
    const char* message;  // key, or "" when accepted
};

// Test lists and failure messages show the case by its name.
inline void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.name; }

class Fields : public ::testing::TestWithParam<FieldCase> {};

TEST_P(Fields, CheckedWhenLeft) {
    const auto& c = GetParam();
    PlcState state;
    state.blocks.outputBlocks.setCount(2);
    state.blocks.outputBlocks.at(0) = {0, 200};
    state.blocks.outputBlocks.at(1) = {300, 10};
    EditBaseSession s(state);
    s.select(Side::Output, 1);
    ScriptedOperator op;
    const bool ok = c.field == 0   ? s.commitCount(Side::Output, c.text, op)
                    : c.field == 1 ? s.commitBase(Side::Output, c.text, op)
                                   : s.commitByteCount(Side::Output, c.text, op);
    EXPECT_EQ(ok, std::string(c.message).empty());
    if (!ok) {
        EXPECT_EQ(op.shownKeys(), (std::vector<std::string>{c.message}));
        // The stored values stay.
        EXPECT_EQ(s.baseText(Side::Output), "300");
        EXPECT_EQ(s.bytesText(Side::Output), "10");
        EXPECT_EQ(s.countText(Side::Output), "2");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Fields, ::testing::Values(
    FieldCase{"CountOne", 0, "1", ""},
    FieldCase{"Count64", 0, "64", ""},
    FieldCase{"CountZero", 0, "0", "EditIqCountRange"},
    FieldCase{"CountEmpty", 0, "", "EditIqCountRange"},
    FieldCase{"Count65", 0, "65", "EditIqCountRange"},
    FieldCase{"CountSign", 0, "+3", "EditIqCountRange"},
    FieldCase{"BaseEmptyIsZero", 1, "", ""},
    FieldCase{"Base1024", 1, "1024", ""},
    FieldCase{"Base1025", 1, "1025", "EditIqBaseRange"},
    FieldCase{"BaseBlank", 1, " 5", "EditIqBaseRange"},
    FieldCase{"BaseHuge", 1, "999999999999999999999999", "EditIqBaseRange"},
    FieldCase{"BytesFitTheTotal", 2, "44", ""},
    FieldCase{"BytesZero", 2, "0", "EditIqBytesRange"},
    FieldCase{"Bytes245", 2, "245", "EditIqBytesRange"},
    FieldCase{"BytesOverTheTotal", 2, "45", "EditIqBytesTotal"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditBase, DisplaySortsBothLists) {
    PlcState state;
    state.blocks.inputBlocks.setCount(2);
    state.blocks.inputBlocks.at(0) = {200, 5};
    state.blocks.inputBlocks.at(1) = {100, 15};
    EditBaseSession s(state);
    const auto rows = s.displayRows(Side::Input);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::array<std::string, 3>{"Data block 1", "100", "15"}));
    EXPECT_EQ(rows[1], (std::array<std::string, 3>{"Data block 2", "200", "5"}));
    // Cancel: the session is dropped, the program-wide lists are as before.
    EXPECT_EQ(state.blocks.inputBlocks.at(0), (DataBlock{200, 5}));
}

}  // namespace
}  // namespace korvex
