// The configuration block: the write layout byte for byte, the read layout
// decoded into the project, and the refusal of blocks that do not fit.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "hex_bytes.h"
#include "model/texts.h"
#include "net/config_block.h"
#include "net_fakes.h"

namespace korvex::net {
namespace {

using korvex::testing::hexBytes;
using korvex::testing::hexText;

void put(Bytes& block, std::size_t offset, std::string_view hex) {
    const Bytes b = hexBytes(hex);
    ASSERT_LE(offset + b.size(), block.size());
    std::copy(b.begin(), b.end(), block.begin() + static_cast<std::ptrdiff_t>(offset));
}

ModbusCommand command(std::string slave, std::string code, std::string start, std::string count, std::string mapping,
                      std::string bitOffset, std::string scan, std::string swap) {
    ModbusCommand c;
    c.slaveAddress = slave;
    c.functionCode = code;
    c.startAddress = start;
    c.dataCount = count;
    c.mappingAddress = mapping;
    c.bitOffset = bitOffset;
    c.scanType = scan;
    c.dataFilter = swap;
    return c;
}

// A small EtherNet/IP project: three commands on subnet 1, one on subnet 2.
std::unique_ptr<Project> smallProject() {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p, 4);
    FieldbusSettings& fb = p->fieldbus;
    fb.assignIpMode = "BOOTP";
    fb.ipAddress = "192.168.0.10";
    fb.subnetMask = "255.255.255.0";
    fb.gatewayAddress = "192.168.0.1";
    fb.dns1 = "8.8.4.4";
    fb.dns2 = "not an address";
    SubnetConfig& s1 = p->subnet(0);
    s1.masterBaudRate = "19200";
    s1.masterParity = "Even";
    s1.responseTimeout = "300";
    s1.pollDelay = "20";
    s1.outputMode = "Cycle";
    s1.scanRate = "10";
    s1.commandCount = 3;
    s1.commands[0] = command("1", "3", "0", "8", "0", "", "Fast Scan", "No Swap");
    s1.commands[1] = command("5", "1", "16", "10", "a0", "3", "Slow Scan", "Two Bytes Swap");
    s1.commands[2] = command("247", "16", "65535", "2", "4000", "", "Fast Scan", "Four Bytes Swap");
    SubnetConfig& s2 = p->subnet(1);
    s2.masterBaudRate = "9600";
    s2.masterParity = "Space";
    s2.masterStopBits = "2";
    s2.responseTimeout = "1000";
    s2.scanRate = "255";
    s2.commandCount = 1;
    s2.commands[0] = command("9", "4", "100", "1", "1F0", "", "Fast Scan", "No Swap");
    return p;
}

TEST(WriteLayout, SmallProjectGivesTheGoldenBlock) {
    Bytes want(2520, 0);
    put(want, 0, "00 00 00 06 00 00 04 F0");
    put(want, 8, "00 00 00 02");                          // BOOTP
    put(want, 12, "C0 A8 00 0A FF FF FF 00 C0 A8 00 01");  // address, mask, gateway
    put(want, 24, "08 08 04 04 FF FF FF FF");              // DNS1, DNS2 that does not convert
    put(want, 32, "00 00 4B 00 08 02 01 00");              // subnet 1: 19200 8 Even 1
    put(want, 40, "00 00 25 80 08 04 02");                 // subnet 2: 9600 8 Space 2
    put(want, 60, "00 00 01 2C 00 00 00 14 00 00 00 01");  // 300 ms, 20 ms, Cycle
    put(want, 76, "00 00 00 0A 00 00 00 03");              // scan rate 10, three commands
    put(want, 84, "01 03 00 00 00 08 00 00 00 00 00 00");
    put(want, 96, "05 01 00 10 00 0A 00 A0 03 01 01 00");
    put(want, 108, "F7 10 FF FF 00 02 40 00 00 00 02 00");
    put(want, 1296, "00 00 03 E8 00 00 00 00 00 00 00 03");  // 1000 ms, 0 ms, Change of Value
    put(want, 1312, "00 00 00 FF 00 00 00 01");
    put(want, 1320, "09 04 00 64 00 01 01 F0 00 00 00 00");

    const Bytes got = composeWriteBlock(*smallProject());
    ASSERT_EQ(got.size(), 2520u);
    for (std::size_t i = 0; i < got.size(); i += 12)
        ASSERT_EQ(hexText(Bytes(got.begin() + i, got.begin() + std::min(i + 12, got.size()))),
                  hexText(Bytes(want.begin() + i, want.begin() + std::min(i + 12, want.size()))))
            << "at offset " << i;
}

TEST(WriteLayout, UnusedSlotsAndGapsAreZero) {
    const Bytes got = composeWriteBlock(*smallProject());
    EXPECT_EQ(hexText(Bytes(got.begin() + 80, got.begin() + 84)), "00 00 00 03");
    EXPECT_EQ(hexText(Bytes(got.begin() + 1316, got.begin() + 1320)), "00 00 00 01");
    for (std::size_t i = 120; i < 1296; ++i) ASSERT_EQ(got[i], 0) << "offset " << i;
    for (std::size_t i = 1332; i < 2520; ++i) ASSERT_EQ(got[i], 0) << "offset " << i;
}

struct CodeCase {
    const char* name;
    std::string text;
    std::uint32_t ipMode;
    std::uint8_t parity;
    std::uint32_t outputMode;
};
void PrintTo(const CodeCase& c, std::ostream* os) { *os << c.name; }
class ChoiceCodes : public ::testing::TestWithParam<CodeCase> {};

TEST_P(ChoiceCodes, TextGivesItsCodeAndAnyOtherTheLast) {
    EXPECT_EQ(assignIpModeCode(GetParam().text), GetParam().ipMode);
    EXPECT_EQ(parityCode(GetParam().text), GetParam().parity);
    EXPECT_EQ(outputModeCode(GetParam().text), GetParam().outputMode);
}

INSTANTIATE_TEST_SUITE_P(Cases, ChoiceCodes,
                         ::testing::Values(CodeCase{"ManualAssign", "Manual Assign", 0, 4, 3},
                                           CodeCase{"Dhcp", "DHCP", 1, 4, 3}, CodeCase{"Bootp", "BOOTP", 2, 4, 3},
                                           CodeCase{"None", "None", 2, 0, 3}, CodeCase{"Odd", "Odd", 2, 1, 3},
                                           CodeCase{"Even", "Even", 2, 2, 3}, CodeCase{"Mark", "Mark", 2, 3, 3},
                                           CodeCase{"Space", "Space", 2, 4, 3}, CodeCase{"Cycle", "Cycle", 2, 4, 1},
                                           CodeCase{"Forbidden", "Forbidden", 2, 4, 2},
                                           CodeCase{"Empty", "", 2, 4, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PlainConversions, FollowTheProjectsDecimalAndHexRules) {
    EXPECT_EQ(plainDecimal(""), 0);
    EXPECT_EQ(plainDecimal("-1"), -1);
    EXPECT_EQ(plainDecimal("12ms"), 12);
    EXPECT_EQ(plainDecimal("abc"), 0);
    EXPECT_EQ(plainDecimal("99999999999999"), 2147483647);
    EXPECT_EQ(plainHex("41F0"), 0x41F0u);
    EXPECT_EQ(plainHex("a0H"), 0xA0u);
    EXPECT_EQ(plainHex(""), 0u);
    EXPECT_EQ(addressBytes("10.0.0.255"), 0x0A0000FFu);
    EXPECT_EQ(addressBytes("10.0.0"), 0xFFFFFFFFu);
    EXPECT_EQ(addressBytes("10.0.0.256"), 0xFFFFFFFFu);
}

TEST(Frames, ReadRequestAndRestart) {
    EXPECT_EQ(hexText(readConfigRequest()), "00 00 00 05 00 00 00 00");
    EXPECT_EQ(hexText(restartFrame()), "00 00 00 0A 00 00 00 08 56 65 6E 74 61 4C 6F 72");
    EXPECT_TRUE(writeAnswerAccepted(hexBytes("00 00 00 06 00 00 00 08 00 00 00 00 00 00 00 00")));
    EXPECT_FALSE(writeAnswerAccepted(hexBytes("00 00 00 07 00 00 00 08 00 00 00 00 00 00 00 00")));
    EXPECT_FALSE(writeAnswerAccepted(hexBytes("00 00 06")));
}

// A read answer with its header and the settings every decoding case shares.
Bytes readBlock() {
    Bytes b(1272, 0);
    put(b, 0, "00 00 00 05 00 00 04 F0");
    put(b, 8, "00 00 00 01");                                          // DHCP
    put(b, 12, "0A 00 00 05 FF FF FF 00 0A 00 00 01 00 00 00 00 01 02 03 04");
    put(b, 32, "00 01 C2 00 08 01 01 00 00 00 25 80 08 03 02");       // 115200 8 Odd 1; 9600 8 Mark 2
    put(b, 60, "00 00 01 F4 00 00 00 0A 00 00 00 02 00 00 00 00 00 00 00 14");
    put(b, 672, "00 00 00 64 00 00 00 00 00 00 00 01 00 00 00 00 00 00 00 05");
    return b;
}

class ReadDecoding : public ::testing::Test {
protected:
    ReadDecoding() : project(std::make_unique<Project>()) { resetToDefaults(*project, 3); }
    std::unique_ptr<Project> project;
};

TEST_F(ReadDecoding, FillsTheSettingsOfTheKindAndBothSubnets) {
    Bytes b = readBlock();
    put(b, 80, "00 00 00 01");
    put(b, 84, "05 01 00 10 00 0A 00 A0 03 01 01 00");
    put(b, 692, "00 00 00 01");
    put(b, 696, "F7 10 FF FF 00 02 40 00 00 00 07 00");
    project->subnet(2).scanRate = "77";
    ASSERT_FALSE(decodeReadBlock(b, *project));

    EXPECT_EQ(project->deviceKind, 4);
    const FieldbusSettings& fb = project->fieldbus;
    EXPECT_EQ(fb.protocolType, "EtherNet/IP");
    EXPECT_EQ(fb.assignIpMode, "DHCP");
    EXPECT_EQ(fb.ipAddress, "10.0.0.5");
    EXPECT_EQ(fb.subnetMask, "255.255.255.0");
    EXPECT_EQ(fb.gatewayAddress, "10.0.0.1");
    EXPECT_EQ(fb.dns1, "0.0.0.0");
    EXPECT_EQ(fb.dns2, "1.2.3.4");
    const SubnetConfig& s1 = project->subnet(0);
    EXPECT_EQ(s1.protocolMode, "Modbus Master");
    EXPECT_EQ(s1.masterTransmissionMode, "RTU");
    EXPECT_EQ(s1.masterBaudRate, "115200");
    EXPECT_EQ(s1.masterDataBits, "8");
    EXPECT_EQ(s1.masterParity, "Odd");
    EXPECT_EQ(s1.masterStopBits, "1");
    EXPECT_EQ(s1.responseTimeout, "500");
    EXPECT_EQ(s1.pollDelay, "10");
    EXPECT_EQ(s1.outputMode, "Forbidden");
    EXPECT_EQ(s1.scanRate, "20");
    ASSERT_EQ(s1.commandCount, 1);
    const ModbusCommand& c = s1.commands[0];
    EXPECT_EQ(c.slaveAddress, "5");
    EXPECT_EQ(c.functionCode, "1");
    EXPECT_EQ(c.startAddress, "16");
    EXPECT_EQ(c.dataCount, "10");
    EXPECT_EQ(c.mappingAddress, "a0");
    EXPECT_EQ(c.bitOffset, "3");
    EXPECT_EQ(c.scanType, "Slow Scan");
    EXPECT_EQ(c.dataFilter, "Two Bytes Swap");
    EXPECT_EQ(c.nodeIndex, 1);
    const SubnetConfig& s2 = project->subnet(1);
    EXPECT_EQ(s2.masterBaudRate, "9600");
    EXPECT_EQ(s2.masterParity, "Mark");
    EXPECT_EQ(s2.masterStopBits, "2");
    EXPECT_EQ(s2.responseTimeout, "100");
    EXPECT_EQ(s2.outputMode, "Cycle");
    EXPECT_EQ(s2.scanRate, "5");
    ASSERT_EQ(s2.commandCount, 1);
    EXPECT_EQ(s2.commands[0].slaveAddress, "247");
    EXPECT_EQ(s2.commands[0].startAddress, "65535");
    EXPECT_EQ(s2.commands[0].mappingAddress, "4000");
    EXPECT_EQ(s2.commands[0].dataFilter, "Four Bytes Swap");
    ASSERT_EQ(s2.nodeCount, 1);
    EXPECT_EQ(s2.nodes[0], (SlaveNode{"247", "Node-247"}));
    EXPECT_EQ(project->subnet(2).scanRate, "77") << "subnets 3 and 4 are not carried";
}

TEST_F(ReadDecoding, SlavesFiveNineFiveGiveTwoNodes) {
    Bytes b = readBlock();
    put(b, 80, "00 00 00 03");
    put(b, 84, "05 03 00 00 00 01 00 00 00 00 00 00");
    put(b, 96, "09 03 00 00 00 01 00 02 00 00 00 00");
    put(b, 108, "05 04 00 00 00 01 00 04 00 00 00 00");
    ASSERT_FALSE(decodeReadBlock(b, *project));
    const SubnetConfig& s1 = project->subnet(0);
    ASSERT_EQ(s1.nodeCount, 2);
    EXPECT_EQ(s1.nodes[0], (SlaveNode{"5", "Node-5"}));
    EXPECT_EQ(s1.nodes[1], (SlaveNode{"9", "Node-9"}));
    EXPECT_EQ(s1.commands[0].nodeIndex, 1);
    EXPECT_EQ(s1.commands[1].nodeIndex, 2);
    EXPECT_EQ(s1.commands[2].nodeIndex, 1);
}

struct FieldCase {
    const char* name;
    std::size_t offset;
    const char* bytes;
    std::string FieldbusSettings::*field;
    const char* text;
};
void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.name; }
class ReadField : public ::testing::TestWithParam<FieldCase> {};

TEST_P(ReadField, DecodesToItsText) {
    auto project = std::make_unique<Project>();
    resetToDefaults(*project, 4);
    Bytes b = readBlock();
    put(b, GetParam().offset, GetParam().bytes);
    ASSERT_FALSE(decodeReadBlock(b, *project));
    EXPECT_EQ(project->fieldbus.*GetParam().field, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadField,
    ::testing::Values(FieldCase{"ModeZeroManual", 8, "00 00 00 00", &FieldbusSettings::assignIpMode, "Manual Assign"},
                      FieldCase{"ModeTwoBootp", 8, "00 00 00 02", &FieldbusSettings::assignIpMode, "BOOTP"},
                      FieldCase{"ModeSevenBootp", 8, "00 00 00 07", &FieldbusSettings::assignIpMode, "BOOTP"},
                      FieldCase{"MaskAllOnesDefault", 16, "FF FF FF FF", &FieldbusSettings::subnetMask, "255.255.255.0"},
                      FieldCase{"IpKeptBesideDefaultMask", 16, "FF FF FF FF", &FieldbusSettings::ipAddress, "10.0.0.5"},
                      FieldCase{"IpAllOnesDefault", 12, "FF FF FF FF", &FieldbusSettings::ipAddress, "192.168.0.10"},
                      FieldCase{"GatewayAllOnesDefault", 20, "FF FF FF FF", &FieldbusSettings::gatewayAddress,
                                "192.168.0.1"},
                      FieldCase{"Dns2AllOnesDefault", 28, "FF FF FF FF", &FieldbusSettings::dns2, "0.0.0.0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteThenRead, BootpAndTheCommandsComeBack) {
    // The write layout's leading part and slots moved into a read block.
    const auto project = smallProject();
    const Bytes w = composeWriteBlock(*project);
    Bytes r(1272, 0);
    std::copy(w.begin(), w.begin() + 84 + 48 * 12, r.begin());
    std::copy(w.begin() + 1296, w.begin() + 1320 + 48 * 12, r.begin() + 672);
    put(r, 0, "00 00 00 05");
    auto back = std::make_unique<Project>();
    resetToDefaults(*back, 3);
    ASSERT_FALSE(decodeReadBlock(r, *back));
    EXPECT_EQ(back->fieldbus.assignIpMode, "BOOTP");
    EXPECT_EQ(back->fieldbus.dns2, "0.0.0.0");
    for (int s = 0; s < 2; ++s) {
        ASSERT_EQ(back->subnet(s).commandCount, project->subnet(s).commandCount);
        for (int k = 0; k < project->subnet(s).commandCount; ++k) {
            const ModbusCommand& a = project->subnet(s).commands[static_cast<size_t>(k)];
            const ModbusCommand& b = back->subnet(s).commands[static_cast<size_t>(k)];
            EXPECT_EQ(b.slaveAddress, a.slaveAddress);
            EXPECT_EQ(b.functionCode, a.functionCode);
            EXPECT_EQ(b.startAddress, a.startAddress);
            EXPECT_EQ(b.dataCount, a.dataCount);
            EXPECT_EQ(plainHex(b.mappingAddress), plainHex(a.mappingAddress));
            EXPECT_EQ(b.scanType, a.scanType);
            EXPECT_EQ(b.dataFilter, a.dataFilter);
        }
    }
}

struct RefusedCase {
    const char* name;
    std::size_t size;
    std::size_t offset;
    const char* bytes;
};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }
class RefusedBlock : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedBlock, ShowsReadFailedAndLeavesTheProject) {
    auto project = std::make_unique<Project>();
    resetToDefaults(*project, 3);
    addDefaultNode(*project);
    const auto before = std::make_unique<Project>(*project);
    Bytes b = readBlock();
    put(b, GetParam().offset, GetParam().bytes);
    b.resize(GetParam().size);
    const auto refused = decodeReadBlock(b, *project);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->id, texts::ReadConfigFailed);
    EXPECT_TRUE(testing::sameProject(*project, *before));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedBlock,
    ::testing::Values(RefusedCase{"WriteAnswerCode", 1272, 0, "00 00 00 06"},
                      RefusedCase{"ShortByOne", 1271, 80, "00 00 00 01"},
                      RefusedCase{"HeaderOnly", 8, 80, "00 00 00 00"},
                      RefusedCase{"Empty", 0, 80, "00 00 00 00"},
                      RefusedCase{"Subnet1FortyNineCommands", 1272, 80, "00 00 00 31"},
                      RefusedCase{"Subnet1NegativeCount", 1272, 80, "FF FF FF FF"},
                      RefusedCase{"Subnet1TopBitCount", 1272, 80, "80 00 00 01"},
                      RefusedCase{"Subnet2FortyNineCommands", 1272, 692, "00 00 00 31"},
                      RefusedCase{"Subnet2HugeCount", 1272, 692, "00 01 00 00"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReadDecoding, FortyEightCommandsFillEverySlot) {
    Bytes b = readBlock();
    put(b, 80, "00 00 00 30");
    for (std::size_t k = 0; k < 48; ++k) b[84 + 12 * k] = static_cast<std::uint8_t>(k % 3 + 1);
    ASSERT_FALSE(decodeReadBlock(b, *project));
    EXPECT_EQ(project->subnet(0).commandCount, 48);
    EXPECT_EQ(project->subnet(0).nodeCount, 3);
    EXPECT_EQ(project->subnet(0).commands[47].slaveAddress, "3");
}

}  // namespace
}  // namespace korvex::net
