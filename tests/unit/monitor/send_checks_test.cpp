// The Send checks of both windows: the write they make or the message they
// show, in the windows' order.
#include <gtest/gtest.h>

#include "../serial/case_names.h"
#include "hex_bytes.h"
#include "monitor/monitor_frames.h"
#include "monitor/send_checks.h"

namespace korvex::monitor {
namespace {

using korvex::testing::hexBytes;
using serial::testing::CaseName;

struct MonitorSendCase {
    std::string name;
    std::string address;
    std::string data;
    std::optional<PendingWrite> write;
    std::string messageKey;  // empty: accepted
};
void PrintTo(const MonitorSendCase& c, std::ostream* os) { *os << c.name; }

class MonitorSend : public ::testing::TestWithParam<MonitorSendCase> {};

TEST_P(MonitorSend, WriteOrMessage) {
    const auto& c = GetParam();
    const auto check = checkMonitorSend(c.address, c.data);
    EXPECT_EQ(check.write, c.write);
    EXPECT_EQ(check.message ? std::string(check.message->id.key) : std::string(), c.messageKey);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MonitorSend,
    ::testing::Values(
        MonitorSendCase{"OpeningFields", "4000", "00 01 02 03", PendingWrite{0x4000, hexBytes("00 01 02 03")}, ""},
        MonitorSendCase{"UpperCaseAccepted", "400A", "AB cD", PendingWrite{0x400A, hexBytes("ab cd")}, ""},
        MonitorSendCase{"LastAddressOneByte", "406F", "ff", PendingWrite{0x406F, hexBytes("ff")}, ""},
        MonitorSendCase{"TrailingSingleCharacterIgnored", "4000", "01 0", PendingWrite{0x4000, hexBytes("01")}, ""},
        MonitorSendCase{"TrailingBlankAccepted", "4000", "01 ", PendingWrite{0x4000, hexBytes("01")}, ""},
        MonitorSendCase{"EmptyAddress", "", "00", std::nullopt, "MonitorFillForm"},
        MonitorSendCase{"EmptyData", "4000", "", std::nullopt, "MonitorFillForm"},
        MonitorSendCase{"EmptyBeforeBadCharacter", "40g0", "", std::nullopt, "MonitorFillForm"},
        MonitorSendCase{"CommaInData", "4000", "00,01", std::nullopt, "MonitorNotHex"},
        MonitorSendCase{"LetterGInData", "4000", "0g 01", std::nullopt, "MonitorNotHex"},
        MonitorSendCase{"LetterGInAddress", "40g0", "00", std::nullopt, "MonitorNotHex"},
        MonitorSendCase{"BadCharacterBeforeSpacing", "4000", "0001,", std::nullopt, "MonitorNotHex"},
        MonitorSendCase{"TwoBlanks", "4000", "00  01", std::nullopt, "MonitorDataFormat"},
        MonitorSendCase{"NoBlanks", "4000", "0001", std::nullopt, "MonitorDataFormat"},
        MonitorSendCase{"ThreeDigitAddress", "400", "00", std::nullopt, "MonitorDataFormat"},
        MonitorSendCase{"FiveDigitAddress", "04000", "00", std::nullopt, "MonitorDataFormat"},
        MonitorSendCase{"SpacingBeforeAddressLength", "400", "0001", std::nullopt, "MonitorDataFormat"},
        MonitorSendCase{"BlankInsideAPair", "4000", " 1 02", std::nullopt, "MonitorDataFormat"},
        MonitorSendCase{"AddressBelowRange", "3fff", "00", std::nullopt, "MonitorAddressRange"},
        MonitorSendCase{"AddressAboveRange", "4070", "00", std::nullopt, "MonitorAddressRange"},
        MonitorSendCase{"AddressWithBlank", "40 0", "00", std::nullopt, "MonitorAddressRange"},
        MonitorSendCase{"DataPastTheEnd", "406E", "01 02 03", std::nullopt, "MonitorAddressRange"},
        MonitorSendCase{"DataUpToTheEnd", "406E", "01 02", PendingWrite{0x406E, hexBytes("01 02")}, ""}),
    CaseName{});

struct DebugSendCase {
    std::string name;
    std::string address;
    std::string data;
    std::optional<PendingWrite> write;
    std::string redKey;      // the red field's text when the data were refused
    std::string messageKey;  // a message box for the address
};
void PrintTo(const DebugSendCase& c, std::ostream* os) { *os << c.name; }

class DebugSend : public ::testing::TestWithParam<DebugSendCase> {};

TEST_P(DebugSend, WriteRedFieldOrMessage) {
    const auto& c = GetParam();
    const auto check = checkDebugSend(c.address, c.data);
    EXPECT_EQ(check.write, c.write);
    EXPECT_EQ(check.redField ? std::string(check.redField->id.key) : std::string(), c.redKey);
    EXPECT_EQ(check.dataAccepted, c.redKey.empty());
    EXPECT_EQ(check.message ? std::string(check.message->id.key) : std::string(), c.messageKey);
    EXPECT_EQ(check.nonBlocking, c.messageKey == "DebugAddressRange");
}

std::string dataOfLength(std::size_t length) {
    std::string out;
    while (out.size() < length) out += "01 ";
    out.resize(length);
    return out;
}

PendingWrite bytesAt(std::uint16_t address, std::size_t n) { return {address, Bytes(n, 0x01)}; }

INSTANTIATE_TEST_SUITE_P(
    Cases, DebugSend,
    ::testing::Values(
        DebugSendCase{"TwoBytesFiveCharacters", "4000", "0a 1b", PendingWrite{0x4000, hexBytes("0a 1b")}, "", ""},
        DebugSendCase{"TrailingBlank", "4000", "0A 1B ", PendingWrite{0x4000, hexBytes("0a 1b")}, "", ""},
        DebugSendCase{"OpeningFields", "4000", "00 01 02 03", PendingWrite{0x4000, hexBytes("00 01 02 03")}, "", ""},
        DebugSendCase{"LastAddressOneByte", "40F3", "ff", PendingWrite{0x40F3, hexBytes("ff")}, "", ""},
        DebugSendCase{"LowerCaseAddress", "40f3", "ff", PendingWrite{0x40F3, hexBytes("ff")}, "", ""},
        DebugSendCase{"CommaInsteadOfBlank", "4000", "0a,1b", std::nullopt, "DebugIllegalCharacter", ""},
        DebugSendCase{"NotHexDigit", "4000", "0g 1b", std::nullopt, "DebugIllegalCharacter", ""},
        DebugSendCase{"WrongLength", "4000", "0a 1", std::nullopt, "DebugIllegalCharacter", ""},
        DebugSendCase{"Data732Characters", "4000", dataOfLength(732), std::nullopt, "DebugDataTooLong", ""},
        DebugSendCase{"Data731Characters244Bytes", "4000", dataOfLength(731), bytesAt(0x4000, 244), "", ""},
        DebugSendCase{"DataCheckedBeforeAddress", "zz", "0a,1b", std::nullopt, "DebugIllegalCharacter", ""},
        DebugSendCase{"AddressFiveCharacters", "04000", "01", std::nullopt, "", "DebugAddressTooLong"},
        DebugSendCase{"AddressNotHex", "40g0", "01", std::nullopt, "", "DebugAddressNotHex"},
        DebugSendCase{"AddressBelowRange", "3FFF", "01", std::nullopt, "", "DebugAddressRange"},
        DebugSendCase{"AddressEmpty", "", "01", std::nullopt, "", "DebugAddressRange"},
        DebugSendCase{"AddressAboveRange", "40F4", "01", std::nullopt, "", "DebugAddressRange"},
        DebugSendCase{"DataRunsPastTheOutputMemory", "40F3", "01 02", std::nullopt, "", "DebugAddressRange"}),
    CaseName{});

// The windows' examples from the typed fields to the bytes on the wire.
TEST(SendExamples, FieldsToWireBytes) {
    using korvex::testing::hexText;
    const auto monitor = checkMonitorSend("4000", "00 01 02 03");
    ASSERT_TRUE(monitor.write);
    EXPECT_EQ(hexText(serialWriteReply(*monitor.write)), "01 40 00 04 00 01 02 03");
    EXPECT_EQ(hexText(ethernetWriteReply(*monitor.write)), "00 00 00 10 00 00 00 0A 00 00 00 01 40 00 00 01 02 03");
    const auto debug = checkDebugSend("4000", "0a 1b");
    ASSERT_TRUE(debug.write);
    EXPECT_EQ(hexText(debugWriteRequest(*debug.write)), "D4 05 01 40 00 0A 1B 3F");
}

}  // namespace
}  // namespace korvex::monitor
