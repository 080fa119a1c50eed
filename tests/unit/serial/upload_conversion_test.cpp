// How the raw bytes of an upload become project texts.
#include "serial/upload_conversion.h"

#include <gtest/gtest.h>

#include "case_names.h"

#include <string>

#include "mapping/plc_blocks.h"
#include "model/texts.h"

namespace korvex::serial {
namespace {

GatewayIdentity identityOf(int type) { return GatewayIdentity::fromDeviceData({static_cast<std::uint8_t>(type), 5, 2, 0, 0, 244, 0, 0}); }

Project resetProject(int kind, VariantFlags flags = {}) {
    Project p;
    resetToDefaults(p, kind);
    p.flags = flags;
    resetForUpload(p);
    return p;
}

// A store with one master subnet holding one command with this data-handling byte.
UploadStore oneCommand(std::uint8_t handling) {
    UploadStore s;
    s.subnetRead[0] = true;
    s.subnetRecords[0][0] = 0;  // Modbus Master
    s.commandCounts[0] = 1;
    s.commands[0][0] = {1, 3, 0, 0, 0, 8, 0, 0, 0, 0, handling};
    return s;
}

struct HandlingCase {
    const char* name;
    int kind;
    bool legacy233a;
    std::uint8_t code;
    const char* dataFilter;
    const char* byteSwap;
};
void PrintTo(const HandlingCase& c, std::ostream* os) { *os << c.name; }

class DataHandlingByte : public ::testing::TestWithParam<HandlingCase> {};

TEST_P(DataHandlingByte, BecomesFilterAndSwap) {
    const HandlingCase& c = GetParam();
    VariantFlags flags;
    flags.legacyFlag233a = c.legacy233a;
    Project p = resetProject(c.kind, flags);
    convertUploadStore(oneCommand(c.code), identityOf(c.kind + 1), p, nullptr);
    ASSERT_EQ(p.subnet(0).commandCount, 1);
    EXPECT_EQ(p.subnet(0).commands[0].dataFilter, c.dataFilter);
    EXPECT_EQ(p.subnet(0).commands[0].byteSwap, c.byteSwap);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DataHandlingByte,
    ::testing::Values(HandlingCase{"Kind3Fullword", 3, false, 0, "Fullword", "No Swap"},
                      HandlingCase{"Kind3HighByte", 3, false, 1, "High byte", "No Swap"},
                      HandlingCase{"Kind3LowByte", 3, false, 2, "Low byte", "No Swap"},
                      HandlingCase{"Kind3TwoBytesSwap", 3, false, 16, "Fullword", "Two Bytes Swap"},
                      HandlingCase{"Kind3FourBytesSwap", 3, false, 32, "Fullword", "Four Bytes Swap"},
                      HandlingCase{"Kind3UnknownKeepsDefaults", 3, false, 7, "Fullword", "No Swap"},
                      HandlingCase{"OtherNoSwap", 1, false, 0, "No Swap", "No Swap"},
                      HandlingCase{"OtherTwoBytesSwap", 1, false, 1, "Two Bytes Swap", "No Swap"},
                      HandlingCase{"OtherFourBytesSwap", 1, false, 2, "Four Bytes Swap", "No Swap"},
                      HandlingCase{"OtherByte16", 0, false, 16, "Fullword", "Two Bytes Swap"},
                      HandlingCase{"OtherByte32", 2, false, 32, "Fullword", "Four Bytes Swap"},
                      HandlingCase{"LegacyFullword", 1, true, 0, "Fullword", "No Swap"},
                      HandlingCase{"LegacyHighByte", 1, true, 1, "High byte", "No Swap"},
                      HandlingCase{"LegacyLowByte", 1, true, 2, "Low byte", "No Swap"}),
    testing::CaseName());

TEST(UploadConversion, DeviceNetFieldbusCodes) {
    Project p = resetProject(0);
    UploadStore s;
    s.fieldbus = {12, 2, 6, 5};
    convertUploadStore(s, identityOf(1), p, nullptr);
    EXPECT_EQ(p.fieldbus.protocolType, "DeviceNet");
    EXPECT_EQ(p.fieldbus.deviceNetAddress, "12");
    EXPECT_EQ(p.fieldbus.deviceNetBaudRate, "500K");
    EXPECT_EQ(p.fieldbus.inputSize, "160");
    EXPECT_EQ(p.fieldbus.outputSize, "112");
    s.fieldbus = {0, 9, 9, 9};  // unknown codes keep the defaults
    Project q = resetProject(0);
    convertUploadStore(s, identityOf(1), q, nullptr);
    EXPECT_EQ(q.fieldbus.deviceNetBaudRate, "125K");
    EXPECT_EQ(q.fieldbus.inputSize, "64");
}

TEST(UploadConversion, ProfibusSizeCodes) {
    Project p = resetProject(1);
    UploadStore s;
    s.fieldbus = {5, 2, 0, 0};  // 5 is no code: "112"
    convertUploadStore(s, identityOf(2), p, nullptr);
    EXPECT_EQ(p.fieldbus.protocolType, "PROFIBUS");
    EXPECT_EQ(p.fieldbus.inputSize, "112");
    EXPECT_EQ(p.fieldbus.outputSize, "48");
    EXPECT_EQ(p.subnet(0).inputLengthPrefix, "Disable");
}

TEST(UploadConversion, SubnetGroupsAndUserConfig) {
    Project p = resetProject(6);
    UploadStore s;
    s.subnetRead[0] = true;
    s.subnetRecords[0] = {3, 9, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0x03, 0xE8, 200, 1, 0x27, 0x10, 1, 0};
    convertUploadStore(s, identityOf(7), p, nullptr);
    const SubnetConfig& c = p.subnet(0);
    EXPECT_EQ(c.protocolMode, "User Config");
    EXPECT_EQ(c.userBaudRate, "4800");
    EXPECT_EQ(c.userDataBits, "7");
    EXPECT_EQ(c.userParity, "Space");
    EXPECT_EQ(c.userStopBits, "2");
    EXPECT_EQ(c.frameType, "Frame Length");
    EXPECT_EQ(c.charInterval, "1000");
    EXPECT_EQ(c.frameLength, "200");
    EXPECT_EQ(c.autoSending, "Enable");
    EXPECT_EQ(c.autoSendPeriod, "10000");
    EXPECT_EQ(c.crcCheck, "Enable");
    EXPECT_EQ(c.commInterface, "RS485");
    EXPECT_EQ(c.masterBaudRate, "19200");  // the other groups keep their settings
}

TEST(UploadConversion, UnknownCodesAndUnreadSubnetsKeepDefaults) {
    Project p = resetProject(2);
    UploadStore s;
    s.subnetRead[0] = true;
    s.subnetRecords[0] = {0, 10, 0, 7};  // baud and parity codes nobody uses
    s.subnetRecords[1] = {2};            // never read: stays as it was
    s.subnetRead[2] = true;
    s.subnetRecords[2] = {4};            // no protocol: subnet stays at its defaults
    convertUploadStore(s, identityOf(3), p, nullptr);
    EXPECT_EQ(p.subnet(0).masterBaudRate, "19200");
    EXPECT_EQ(p.subnet(0).masterParity, "None");
    EXPECT_EQ(p.subnet(1).protocolMode, "Modbus Master");
    EXPECT_EQ(p.subnet(2).protocolMode, "Modbus Master");
    EXPECT_EQ(p.subnet(2).masterBaudRate, "19200");
}

TEST(UploadConversion, MappingAddressesInPlcMode) {
    std::string error;
    const auto blocks = parsePlcBlocks("IN:100:10,200:20;OUT:500:16", error);
    ASSERT_TRUE(blocks) << error;
    Project p = resetProject(3);
    UploadStore s;
    s.subnetRead[0] = true;
    s.commandCounts[0] = 2;
    s.commands[0][0] = {1, 3, 0, 0, 0, 2, 0x00, 0x0C, 0, 0, 0};  // offset 0x0C: second input block
    s.commands[0][1] = {1, 16, 0, 0, 0, 2, 0x40, 0x02, 0, 0, 0};
    convertUploadStore(s, identityOf(4), p, blocks.get());
    EXPECT_EQ(p.subnet(0).commands[0].mappingAddress, "202");
    EXPECT_EQ(p.subnet(0).commands[1].mappingAddress, "502");
}

TEST(UploadConversion, ByteCountsOfEverySubnet) {
    Project p = resetProject(2);
    for (int s = 0; s < 4; ++s) {
        SubnetConfig& c = p.subnet(s);
        c.commandCount = 2;
        c.commands[0].functionCode = "15";
        c.commands[0].dataCount = "9";
        c.commands[1].functionCode = "6";
        c.commands[1].dataCount = "7";
    }
    recomputeByteCounts(p);
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(p.subnet(s).commands[0].byteCount, "2") << s;
        EXPECT_EQ(p.subnet(s).commands[1].byteCount, "2") << s;
    }
}

TEST(UploadConversion, ResetKeepsTheVariantFlags) {
    Project p;
    resetToDefaults(p, 1);
    addDefaultNode(p);
    p.flags.legacyFlag233a = true;
    p.flags.extendedSettingsFlag = false;
    resetForUpload(p);
    EXPECT_TRUE(p.flags.legacyFlag233a);
    EXPECT_FALSE(p.flags.extendedSettingsFlag);
    EXPECT_EQ(p.subnet(0).commandCount, 0);
    EXPECT_EQ(p.subnet(0).commands[0].dataFilter, "Fullword");  // the default that the flag gives
}

}  // namespace
}  // namespace korvex::serial
