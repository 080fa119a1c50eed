// Golden configuration frames, written out by hand from the frame tables, for
// every frame kind and DeviceKind, and the order in which a download sends them.
#include "serial/download_frames.h"

#include <gtest/gtest.h>

#include "case_names.h"

#include <functional>
#include <string>

#include "mapping/plc_blocks.h"
#include "model/texts.h"

namespace korvex::serial {
namespace {

Project newProject(int kind, bool defaultNode = true) {
    Project p;
    resetToDefaults(p, kind);
    if (defaultNode) addDefaultNode(p);
    return p;
}

GatewayIdentity firmware(const Project& p, int major, int minor) {
    return GatewayIdentity::forProject(p, major, minor, 244);
}

// ---- Fieldbus parameters ----------------------------------------------------------

TEST(FieldbusFrames, DeviceNetParameters) {
    Project p = newProject(0);
    EXPECT_EQ(deviceNetParametersFrame(p), (Bytes{0x21, 0x04, 0x00, 0x00, 0x03, 0x03, 0x2B}));
    p.fieldbus.deviceNetAddress = "12";
    p.fieldbus.deviceNetBaudRate = "500K";
    p.fieldbus.inputSize = "160";
    p.fieldbus.outputSize = "112";
    EXPECT_EQ(deviceNetParametersFrame(p), (Bytes{0x21, 0x04, 0x0C, 0x02, 0x06, 0x05, 0x3E}));
}

TEST(FieldbusFrames, ProfibusParametersCarryTheTotalsOfSubnet1) {
    // The default node reads 8 registers into input 0..15 and writes 8 from 0x4000.
    const Project kind1 = newProject(1);
    EXPECT_EQ(fieldbusTotals(kind1, nullptr), (FieldbusTotals{16, 16}));
    EXPECT_EQ(profibusParametersFrame(kind1, {16, 16}, false), (Bytes{0x30, 0x02, 0x10, 0x10, 0x52}));

    Project kind3 = newProject(3);
    EXPECT_EQ(profibusParametersFrame(kind3, {16, 16}, true), (Bytes{0x30, 0x03, 0x10, 0x10, 0x00, 0x53}));
    kind3.subnet(0).inputLengthPrefix = "Enable";
    EXPECT_EQ(profibusParametersFrame(kind3, {16, 16}, true), (Bytes{0x30, 0x03, 0x10, 0x10, 0x01, 0x54}));
}

TEST(FieldbusFrames, TotalsTakeTheLargestEndOfEachArea) {
    Project p = newProject(3);
    SubnetConfig& s = p.subnet(0);
    s.commands[0].mappingAddress = "20";  // reads 0x20..0x2F
    s.commands[2] = s.commands[0];
    s.commands[2].mappingAddress = "2";   // an earlier read does not lower the total
    s.commands[3] = s.commands[1];
    s.commands[3].functionCode = "5";     // one coil at 0x4030: one byte
    s.commands[3].mappingAddress = "4030";
    s.commandCount = 4;
    EXPECT_EQ(fieldbusTotals(p, nullptr), (FieldbusTotals{0x30, 0x31}));

    s.protocolMode = "Modbus Slave";
    EXPECT_EQ(fieldbusTotals(p, nullptr), (FieldbusTotals{0, 0}));
    s.protocolMode = "Modbus Master";
    p.flags.extendedSettingsFlag = false;
    EXPECT_EQ(fieldbusTotals(p, nullptr), (FieldbusTotals{0, 0}));
}

TEST(FieldbusFrames, OldProjectSendsZeroSizesWithAConsistentChecksum) {
    Project p = newProject(1);
    p.flags.extendedSettingsFlag = false;
    const auto frames = composeDownloadFrames(p, firmware(p, 5, 2), nullptr);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), (Bytes{0x30, 0x02, 0x00, 0x00, 0x32}));
}

// ---- Subnet parameters --------------------------------------------------------------

TEST(SubnetFrames, ShortFormOfAMasterSubnet) {
    Project p = newProject(1);
    EXPECT_EQ(subnetParametersFrame(p, 0, false),
              (Bytes{0x03, 0x0E, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x2C, 0x00, 0x03, 0x00, 0x0A, 0x50}));

    SubnetConfig& s = p.subnet(0);
    s.masterBaudRate = "4800";  // code 9, not 4
    s.masterDataBits = "7";
    s.masterParity = "Even";
    s.masterStopBits = "2";
    s.masterTransmissionMode = "ASCII";
    s.responseTimeout = "1000";
    s.pollDelay = "2500";  // 250
    s.outputMode = "Pluse output";
    s.outputPulse = "250";  // 25
    s.scanRate = "255";
    EXPECT_EQ(subnetParametersFrame(p, 0, false),
              (Bytes{0x03, 0x0E, 0x00, 0x00, 0x09, 0x01, 0x02, 0x01, 0x00, 0x01, 0x03, 0xE8, 0xFA, 0x04, 0x19, 0xFF, 0x20}));
}

TEST(SubnetFrames, LongFormCarriesStatusBytesAndInterface) {
    Project p = newProject(3);
    p.subnet(0).responseStatus = "3Bytes";
    p.subnet(0).commInterface = "RS232";
    EXPECT_EQ(subnetParametersFrame(p, 0, true),
              (Bytes{0x03, 0x17, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x2C, 0x00,
                     0x03, 0x00, 0x0A, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x5D}));
}

TEST(SubnetFrames, LongFormOfAModbusSlaveSubnet) {
    const Project p = newProject(5, false);
    EXPECT_EQ(subnetParametersFrame(p, 0, true),
              (Bytes{0x03, 0x17, 0x00, 0x01, 0x05, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
                     0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21}));
}

TEST(SubnetFrames, LongFormOfAUserConfigSubnet) {
    const Project p = newProject(6, false);
    EXPECT_EQ(subnetParametersFrame(p, 0, true),
              (Bytes{0x03, 0x17, 0x00, 0x03, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                     0x00, 0x00, 0x00, 0x00, 0x00, 0x0A, 0x6F, 0x00, 0x03, 0xE8, 0x00, 0x00, 0x86}));
}

TEST(SubnetFrames, ShortFormOfASelfDefiningSubnet) {
    Project p = newProject(2);
    p.subnet(1).protocolMode = "Self-defining protocol";
    EXPECT_EQ(subnetParametersFrame(p, 1, false),
              (Bytes{0x03, 0x0E, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14}));
}

TEST(SubnetFrames, FormByKind) {
    for (int kind : {0, 1, 2}) EXPECT_FALSE(usesLongSubnetForm(newProject(kind, false))) << kind;
    for (int kind : {3, 5, 6}) EXPECT_TRUE(usesLongSubnetForm(newProject(kind, false))) << kind;
    Project legacy = newProject(1, false);
    legacy.flags.legacyFlag233b = true;
    EXPECT_TRUE(usesLongSubnetForm(legacy));
}

// ---- Command list ------------------------------------------------------------------

TEST(CommandFrames, ClearFrame) {
    EXPECT_EQ(clearCommandsFrame(0), (Bytes{0x14, 0x03, 0x00, 0x55, 0xAA, 0x16}));
    EXPECT_EQ(clearCommandsFrame(2), (Bytes{0x14, 0x03, 0x02, 0x55, 0xAA, 0x18}));
}

TEST(CommandFrames, AddCommandFrames) {
    Project p = newProject(3);
    EXPECT_EQ(addCommandFrame(p, 0, 0, nullptr),
              (Bytes{0x10, 0x0D, 0x00, 0x00, 0x01, 0x03, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x29}));
    EXPECT_EQ(addCommandFrame(p, 0, 1, nullptr),
              (Bytes{0x10, 0x0D, 0x00, 0x01, 0x01, 0x10, 0x00, 0x00, 0x00, 0x08, 0x40, 0x00, 0x00, 0x00, 0x00, 0x77}));

    ModbusCommand& c = p.subnet(0).commands[2];
    c = p.subnet(0).commands[0];
    c.slaveAddress = "5";
    c.functionCode = "1";
    c.startAddress = "40001";
    c.dataCount = "300";  // 01 2C
    c.mappingAddress = "1A";
    c.bitOffset = "3";
    c.scanType = "Slow Scan";
    c.byteSwap = "Two Bytes Swap";
    p.subnet(0).commandCount = 3;
    EXPECT_EQ(addCommandFrame(p, 0, 2, nullptr),
              (Bytes{0x10, 0x0D, 0x00, 0x02, 0x05, 0x01, 0x9C, 0x41, 0x01, 0x2C, 0x00, 0x1A, 0x03, 0x01, 0x10, 0x5D}));
}

TEST(CommandFrames, MappingAddressInPlcModeIsTheGatewayOffset) {
    Project p = newProject(3);
    std::string error;
    const auto blocks = parsePlcBlocks("IN:100:10,200:20", error);
    ASSERT_TRUE(blocks) << error;
    p.subnet(0).commands[0].mappingAddress = "202";  // offset 0x0C
    EXPECT_EQ(addCommandFrame(p, 0, 0, blocks.get()),
              (Bytes{0x10, 0x0D, 0x00, 0x00, 0x01, 0x03, 0x00, 0x00, 0x00, 0x08, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x35}));
}

struct HandlingCase {
    const char* name;
    int kind;
    const char* dataFilter;
    const char* byteSwap;
    std::uint8_t code;
};
void PrintTo(const HandlingCase& c, std::ostream* os) { *os << c.name; }

class DataHandling : public ::testing::TestWithParam<HandlingCase> {};

TEST_P(DataHandling, ByteOfTheAddCommandFrame) {
    const HandlingCase& h = GetParam();
    Project p = newProject(h.kind);
    p.subnet(0).commands[0].dataFilter = h.dataFilter;
    p.subnet(0).commands[0].byteSwap = h.byteSwap;
    EXPECT_EQ(addCommandFrame(p, 0, 0, nullptr).at(14), h.code);
}

INSTANTIATE_TEST_SUITE_P(
    Combinations, DataHandling,
    ::testing::Values(HandlingCase{"FullwordNoSwap", 3, "Fullword", "No Swap", 0x00},
                      HandlingCase{"FullwordTwoBytesSwap", 3, "Fullword", "Two Bytes Swap", 0x10},
                      HandlingCase{"FullwordFourBytesSwap", 3, "Fullword", "Four Bytes Swap", 0x20},
                      HandlingCase{"HighByte", 3, "High byte", "No Swap", 0x01},
                      HandlingCase{"LowByte", 3, "Low byte", "No Swap", 0x02},
                      HandlingCase{"HighByteWithSwapIsNotAFrameValue", 3, "High byte", "Two Bytes Swap", 0x00},
                      HandlingCase{"SwapChoiceNoSwap", 1, "No Swap", "No Swap", 0x00},
                      HandlingCase{"SwapChoiceTwoBytes", 1, "Two Bytes Swap", "No Swap", 0x01},
                      HandlingCase{"SwapChoiceFourBytes", 1, "Four Bytes Swap", "No Swap", 0x02}),
    testing::CaseName());

// ---- Gateway-wide settings ----------------------------------------------------------

TEST(SettingFrames, TimeoutHandling) {
    Project p = newProject(3);
    EXPECT_EQ(timeoutHandlingFrame(p), (Bytes{0x32, 0x01, 0x03, 0x36}));  // "Clear Data" after 3 time-outs
    p.subnet(0).timeoutAction = "Hold  Data";
    EXPECT_EQ(timeoutHandlingFrame(p), (Bytes{0x32, 0x01, 0x00, 0x33}));
    p.flags.legacyFlag244 = true;  // input fault reset instead
    EXPECT_EQ(timeoutHandlingFrame(p), (Bytes{0x32, 0x01, 0x01, 0x34}));
    p.subnet(0).inputFaultReset = "Disable";
    EXPECT_EQ(timeoutHandlingFrame(p), (Bytes{0x32, 0x01, 0x00, 0x33}));
}

TEST(SettingFrames, CharIntervalsAddressAndModes) {
    Project p = newProject(3);
    EXPECT_EQ(charIntervalsFrame(p), (Bytes{0x05, 0x04, 0x00, 0x00, 0x00, 0x00, 0x09}));
    p.subnet(0).charIntervalSend = "300";
    p.subnet(0).charIntervalReceive = "6000";
    EXPECT_EQ(charIntervalsFrame(p), (Bytes{0x05, 0x04, 0x01, 0x2C, 0x17, 0x70, 0xBD}));
    p.fieldbus.profibusAddress = "12";
    EXPECT_EQ(profibusAddressFrame(p), (Bytes{0x36, 0x01, 0x0C, 0x43}));
    EXPECT_EQ(configurationModesFrame(p), (Bytes{0x3A, 0x02, 0x01, 0x00, 0x3D}));
    p.fieldbus.configurationMode = "Via the Configuration Software of PROFIBUS DP Master";
    p.fieldbus.compatibilityMode = "Enable";
    EXPECT_EQ(configurationModesFrame(p), (Bytes{0x3A, 0x02, 0x00, 0x01, 0x3D}));
}

// ---- The whole download --------------------------------------------------------------

TEST(DownloadFrames, Kind3WithFirmware60) {
    Project p = newProject(3);
    p.fieldbus.profibusAddress = "5";
    const std::vector<Bytes> expected{
        {0x30, 0x03, 0x10, 0x10, 0x00, 0x53},
        {0x03, 0x17, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x2C, 0x00,
         0x03, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x59},
        {0x14, 0x03, 0x00, 0x55, 0xAA, 0x16},
        {0x10, 0x0D, 0x00, 0x00, 0x01, 0x03, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x29},
        {0x10, 0x0D, 0x00, 0x01, 0x01, 0x10, 0x00, 0x00, 0x00, 0x08, 0x40, 0x00, 0x00, 0x00, 0x00, 0x77},
        {0x32, 0x01, 0x03, 0x36},
        {0x05, 0x04, 0x00, 0x00, 0x00, 0x00, 0x09},
        {0x36, 0x01, 0x05, 0x3C},
        {0x3A, 0x02, 0x01, 0x00, 0x3D},
    };
    EXPECT_EQ(composeDownloadFrames(p, firmware(p, 6, 0), nullptr), expected);
}

struct PlanCase {
    const char* name;
    std::function<Project()> project;  // built when the case runs: whole projects do not fit a table on the stack
    int major, minor;
    std::vector<std::uint8_t> commands;  // command byte of each frame, in order
};
void PrintTo(const PlanCase& c, std::ostream* os) { *os << c.name; }

class DownloadPlan : public ::testing::TestWithParam<PlanCase> {};

TEST_P(DownloadPlan, FramesInOrder) {
    const PlanCase& c = GetParam();
    std::vector<std::uint8_t> commands;
    const Project p = c.project();
    for (const Bytes& f : composeDownloadFrames(p, firmware(p, c.major, c.minor), nullptr))
        commands.push_back(f.at(0));
    EXPECT_EQ(commands, c.commands);
}

Project legacy244() {
    Project p = newProject(1);
    p.flags.legacyFlag244 = true;
    return p;
}

Project withAddress(Project p) {
    p.fieldbus.profibusAddress = "7";
    return p;
}

INSTANTIATE_TEST_SUITE_P(
    KindsAndFirmware, DownloadPlan,
    ::testing::Values(
        PlanCase{"DeviceNet", [] { return newProject(0); }, 6, 0, {0x21, 0x03, 0x14, 0x10, 0x10, 0x32, 0x05, 0x3A}},
        PlanCase{"ProfibusShort", [] { return newProject(1); }, 6, 0, {0x30, 0x03, 0x14, 0x10, 0x10, 0x32, 0x05, 0x3A}},
        PlanCase{"FourSubnets", [] { return newProject(2); }, 6, 0,
                 {0x03, 0x14, 0x10, 0x10, 0x03, 0x14, 0x03, 0x14, 0x03, 0x14, 0x32, 0x05, 0x3A}},
        PlanCase{"ProfibusLong", [] { return newProject(3); }, 6, 0, {0x30, 0x03, 0x14, 0x10, 0x10, 0x32, 0x05, 0x3A}},
        PlanCase{"ModbusSlaveSendsNoFieldbusFrame", [] { return newProject(5, false); }, 6, 0, {0x03, 0x32, 0x05, 0x3A}},
        PlanCase{"UserConfigHasNoCommandList", [] { return newProject(6, false); }, 6, 0, {0x30, 0x03, 0x32, 0x05, 0x3A}},
        PlanCase{"ProfibusAddressEntered", [] { return withAddress(newProject(3)); }, 6, 0,
                 {0x30, 0x03, 0x14, 0x10, 0x10, 0x32, 0x05, 0x36, 0x3A}},
        PlanCase{"Firmware59HasNoAddressOrModes", [] { return withAddress(newProject(3)); }, 5, 9,
                 {0x30, 0x03, 0x14, 0x10, 0x10, 0x32, 0x05}},
        PlanCase{"Firmware40HasNoCharIntervals", [] { return newProject(3); }, 4, 0, {0x30, 0x03, 0x14, 0x10, 0x10, 0x32}},
        PlanCase{"Firmware39HasNoTimeoutHandling", [] { return newProject(3); }, 3, 9, {0x30, 0x03, 0x14, 0x10, 0x10}},
        PlanCase{"OldEtherNetIpGateway", [] { return legacy244(); }, 5, 2, {0x03, 0x14, 0x10, 0x10, 0x32, 0x05}}),
    testing::CaseName());

TEST(DownloadFrames, PlanNamesSubnetAndCommandOfEachFrame) {
    const Project p = newProject(2);
    const auto plan = planDownloadFrames(p, firmware(p, 5, 2), nullptr);
    ASSERT_GE(plan.size(), 5u);
    EXPECT_EQ(plan[2].role, FrameRole::AddCommand);
    EXPECT_EQ(plan[2].command, 0);
    EXPECT_EQ(plan[3].command, 1);
    EXPECT_EQ(plan[4].role, FrameRole::SubnetParameters);
    EXPECT_EQ(plan[4].subnet, 1);
    EXPECT_EQ(plan[4].bytes.at(2), 1);
}

}  // namespace
}  // namespace korvex::serial
