#include <gtest/gtest.h>

#include <ostream>

#include "mapping/auto_mapping.h"
#include "mapping/plc_blocks.h"
#include "mapping_fixtures.h"
#include "model/operator.h"
#include "model/texts.h"

namespace korvex {
namespace {

using testing::addresses;
using testing::Cmd;
using testing::projectWith;

std::vector<std::string> byteCounts(const Project& p, int subnet = 0) {
    std::vector<std::string> out;
    for (int k = 0; k < p.subnet(subnet).commandCount; ++k)
        out.push_back(p.subnet(subnet).commands[static_cast<size_t>(k)].byteCount);
    return out;
}

TEST(AutoMapping, WorkedExample) {
    auto p = projectWith({{"3", "8", "77"}, {"16", "4", "-1"}, {"1", "10", ""}, {"3", "2", "5"}});
    p->subnet(0).responseStatus = "1Bytes";
    MappingState st;
    ScriptedOperator op;
    EXPECT_TRUE(calculateMappingAddresses(*p, st, nullptr, op));
    EXPECT_EQ(addresses(*p), (std::vector<std::string>{"3", "4000", "1", "13"}));
    EXPECT_EQ(byteCounts(*p), (std::vector<std::string>{"16", "8", "2", "4"}));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(p->subnet(0).commands[static_cast<size_t>(k)].bitOffset, "0");
    EXPECT_TRUE(op.shown().empty());
    EXPECT_FALSE(st.mappingOverflow);
    EXPECT_FALSE(p->modified);
}

struct LayoutCase {
    const char* name;
    std::vector<Cmd> cmds;
    int kind;
    const char* responseStatus;
    std::vector<std::string> expected;
    int messages;  // "Data mapping address exceeds the maximum effective value! " shown
};

// Test lists and failure messages show the case by its name.
inline void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class Layout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, LaysOutAndChecks) {
    const auto& c = GetParam();
    auto p = projectWith(c.cmds, c.kind);
    p->subnet(0).protocolMode = "Modbus Master";
    p->subnet(0).responseStatus = c.responseStatus;
    MappingState st;
    st.mappingOverflow = true;  // cleared by every run
    ScriptedOperator op;
    const bool ok = calculateMappingAddresses(*p, st, nullptr, op);
    EXPECT_EQ(addresses(*p), c.expected);
    EXPECT_EQ(static_cast<int>(op.shown().size()), c.messages);
    for (const auto& s : op.shown()) EXPECT_EQ(s.message.id, texts::MappingExceedsMaximum);
    EXPECT_EQ(ok, c.messages == 0);
    EXPECT_EQ(st.mappingOverflow, c.messages != 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, Layout, ::testing::Values(
    LayoutCase{"NoCommands", {}, 3, "Disable", {}, 0},
    LayoutCase{"SingleCoilWrite", {{"5", "1"}}, 3, "Disable", {"4000"}, 0},
    LayoutCase{"ReadOrderByFunctionCode", {{"4", "1"}, {"3", "1"}, {"2", "9"}, {"1", "1"}}, 3, "Disable",
               {"5", "3", "1", "0"}, 0},
    LayoutCase{"WriteOrderByFunctionCode", {{"16", "2"}, {"15", "9"}, {"6", "7"}, {"5", "1"}}, 3, "Disable",
               {"4005", "4003", "4001", "4000"}, 0},
    LayoutCase{"ThirteenStatusBytes", {{"3", "1"}}, 3, "13Bytes", {"D"}, 0},
    LayoutCase{"UpperCaseHex", {{"3", "13"}, {"4", "1"}}, 3, "Disable", {"0", "1A"}, 0},
    LayoutCase{"FullInputAreaFits", {{"3", "122"}}, 3, "Disable", {"0"}, 0},
    LayoutCase{"OneCoilMoreOverflows", {{"3", "122"}, {"1", "1"}}, 3, "Disable", {"1", "0"}, 1},
    LayoutCase{"OneMessagePerCheck", {{"3", "122"}, {"4", "122"}}, 3, "Disable", {"0", "F4"}, 1},
    LayoutCase{"DeviceNetStartsAtTwo", {{"3", "1"}, {"16", "1"}}, 0, "Disable", {"2", "4000"}, 0},
    LayoutCase{"OtherCodesUntouched", {{"7", "1", "33"}, {"3", "1"}}, 3, "Disable", {"33", "0"}, 0},
    LayoutCase{"BadCountsCountAsZero", {{"3", "x"}, {"3", "1"}}, 3, "Disable", {"0", "0"}, 0},
    LayoutCase{"HugeCountOverflows", {{"3", "99999999999999999999999"}, {"3", "1"}}, 3, "Disable",
               {"0", "FFFFFE"}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AutoMapping, TotalCheckWithoutExtendedSettings) {
    // legacyFlag243 alone: 244 per area, 224 in all.
    auto p = projectWith({{"3", "100"}, {"16", "20"}});
    p->flags.extendedSettingsFlag = false;
    p->flags.legacyFlag243 = true;
    MappingState st;
    ScriptedOperator op;
    EXPECT_FALSE(calculateMappingAddresses(*p, st, nullptr, op));
    EXPECT_EQ(op.shownKeys(), (std::vector<std::string>{"MappingExceedsMaximum"}));
    EXPECT_EQ(addresses(*p), (std::vector<std::string>{"0", "4000"}));
}

TEST(AutoMapping, FieldbusSizesAreTheLimitsWithoutFlags) {
    auto p = projectWith({{"3", "4"}});
    p->flags.extendedSettingsFlag = false;
    p->fieldbus.inputSize = "8";
    MappingState st;
    ScriptedOperator op;
    EXPECT_TRUE(calculateMappingAddresses(*p, st, nullptr, op));
    p->fieldbus.inputSize = "7";
    EXPECT_FALSE(calculateMappingAddresses(*p, st, nullptr, op));
}

TEST(AutoMapping, EtherNetIpSecondSubnetContinues) {
    auto p = projectWith({{"3", "10"}, {"16", "2"}}, 4);
    testing::setCommands(*p, 1, {{"16", "1"}, {"3", "1"}});
    MappingState st;
    ScriptedOperator op;
    EXPECT_TRUE(calculateMappingAddresses(*p, st, nullptr, op));
    EXPECT_EQ(addresses(*p, 1), (std::vector<std::string>{"4004", "14"}));

    // Without reads in subnet 1 the second subnet's reads start at 0.
    testing::setCommands(*p, 0, {{"16", "2"}});
    testing::setCommands(*p, 1, {{"3", "256"}, {"3", "1"}});
    EXPECT_FALSE(calculateMappingAddresses(*p, st, nullptr, op));
    EXPECT_EQ(addresses(*p, 1), (std::vector<std::string>{"0", "200"}));
    EXPECT_EQ(op.shownKeys(), (std::vector<std::string>{"MappingExceedsMaximum"}));
}

TEST(AutoMapping, PlcModeStoresPlcAddressesOfTheLaidOutCommandsOnly) {
    auto p = projectWith({{"3", "8"}, {"16", "4"}, {"6", "1"}});
    testing::setCommands(*p, 2, {{"3", "1", "26"}});  // already a PLC address
    PlcBlocks b;
    b.inputBlocks.setCount(2);
    b.inputBlocks.at(0) = {100, 10};
    b.inputBlocks.at(1) = {200, 20};
    b.outputBlocks.at(0) = {500, 10};
    MappingState st;
    ScriptedOperator op;
    EXPECT_TRUE(calculateMappingAddresses(*p, st, &b, op));
    EXPECT_EQ(addresses(*p), (std::vector<std::string>{"100", "502", "500"}));
    EXPECT_EQ(addresses(*p, 2), (std::vector<std::string>{"26"}));

    // The block totals are the limits: 30 input bytes.
    testing::setCommands(*p, 0, {{"3", "16"}});
    EXPECT_FALSE(calculateMappingAddresses(*p, st, &b, op));
}

TEST(AutoMapping, MenuCommandAsksFirst) {
    auto p = projectWith({{"3", "8", "20"}});
    MappingState st;
    ScriptedOperator no({Answer::No});
    EXPECT_EQ(runCalculateMappingCommand(*p, st, nullptr, no), CalculateOutcome::Declined);
    EXPECT_EQ(no.shownKeys(), (std::vector<std::string>{"MappingCalculateQuestion"}));
    EXPECT_EQ(addresses(*p), (std::vector<std::string>{"20"}));
    ScriptedOperator yes({Answer::Yes});
    EXPECT_EQ(runCalculateMappingCommand(*p, st, nullptr, yes), CalculateOutcome::Done);
    EXPECT_EQ(addresses(*p), (std::vector<std::string>{"0"}));
}

TEST(AutoMapping, MenuCommandEnabling) {
    auto p = projectWith({});
    EXPECT_TRUE(calculateMappingEnabled(*p));
    p->subnet(0).protocolMode = "Modbus Slave";
    EXPECT_FALSE(calculateMappingEnabled(*p));
    p->flags.extendedSettingsFlag = false;
    EXPECT_TRUE(calculateMappingEnabled(*p));
    p->deviceKind = 2;
    EXPECT_FALSE(calculateMappingEnabled(*p));
    p->deviceKind = 3;
    p->flags.legacyFlag243 = true;
    EXPECT_FALSE(calculateMappingEnabled(*p));
}

struct ConfigCase {
    const char* name;
    const char* text;
    bool ok;
    std::int64_t in, out;
};

// Test lists and failure messages show the case by its name.
inline void PrintTo(const ConfigCase& c, std::ostream* os) { *os << c.name; }

class ConfigData : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigData, SumsOrRefuses) {
    const auto& c = GetParam();
    const auto sums = parseProfibusConfigData(c.text);
    ASSERT_EQ(sums.has_value(), c.ok);
    if (sums) {
        EXPECT_EQ(sums->inputBytes, c.in);
        EXPECT_EQ(sums->outputBytes, c.out);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ConfigData, ::testing::Values(
    ConfigCase{"Empty", "", true, 0, 0},
    ConfigCase{"WordInputWordOutput", "D1 E1", true, 4, 4},
    ConfigCase{"ByteInput", "13", true, 4, 0},
    ConfigCase{"InputAndOutput", "F1", true, 4, 4},
    ConfigCase{"LowerCase", "d1 e1", true, 4, 4},
    ConfigCase{"SpecialInputLength", "40 01", true, 2, 0},
    ConfigCase{"SpecialBothWithVendorByte", "C1 43 81 11", true, 2, 8},
    ConfigCase{"EmptySlot", "00", true, 0, 0},
    ConfigCase{"NonHexCountsAsZero", "ZZ", true, 0, 0},
    ConfigCase{"EightBytes", "10 10 10 10 10 10 10 10", true, 8, 0},
    ConfigCase{"NineBytes", "10 10 10 10 10 10 10 10 10", false, 0, 0},
    ConfigCase{"MissingLengthByte", "40", false, 0, 0},
    ConfigCase{"VendorBytesOverrun", "03 00", false, 0, 0},
    ConfigCase{"InputsAbove112", "7F 7F 7F 7F", false, 0, 0},
    ConfigCase{"Exactly112", "5F 5F 5F 57", true, 112, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AutoMapping, ConfigurationDataLimitsLegacyProjects) {
    auto p = projectWith({{"3", "2", "9"}, {"16", "2", "4009"}});
    p->flags.extendedSettingsFlag = false;
    p->flags.legacyFlag233a = true;
    p->fieldbus.profibusConfigMode = "Input configuration data";
    p->fieldbus.profibusConfigData = "D1 E1";
    MappingState st;
    ScriptedOperator op;
    EXPECT_TRUE(calculateMappingAddresses(*p, st, nullptr, op));
    EXPECT_EQ(st.configInputBytes, 4);

    // Empty data keeps the sums of the last accepted data.
    p->fieldbus.profibusConfigData.clear();
    EXPECT_TRUE(calculateMappingAddresses(*p, st, nullptr, op));

    // Refused data: the message, the flag, and no command changes.
    testing::setCommands(*p, 0, {{"3", "2", "9"}, {"16", "2", "4009"}});
    p->fieldbus.profibusConfigData = "40";
    EXPECT_FALSE(calculateMappingAddresses(*p, st, nullptr, op));
    EXPECT_EQ(op.shownKeys(), (std::vector<std::string>{"MappingConfigDataError"}));
    EXPECT_TRUE(st.mappingOverflow);
    EXPECT_EQ(addresses(*p), (std::vector<std::string>{"9", "4009"}));
}

}  // namespace
}  // namespace korvex
