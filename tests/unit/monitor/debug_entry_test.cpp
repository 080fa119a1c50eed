// The Debug command's switch into the debug state, the information exchange
// that opens the debug monitor, and leaving the debug state.
#include <gtest/gtest.h>

#include "../serial/case_names.h"
#include "../serial/gateway_answers.h"
#include "../serial/scripted_link.h"
#include "hex_bytes.h"
#include "monitor/debug_entry.h"

namespace korvex::monitor {
namespace {

using korvex::testing::hexBytes;
using korvex::testing::hexText;
using serial::testing::deviceTypeAnswer;
using serial::testing::ScriptedLink;

constexpr const char* kDeviceTypeRequest = "01 00 01";
constexpr const char* kScrambledDebugSwitch = "0F 01 A7 B7";  // 0F 01 02 12 with its data scrambled

struct EntryCase {
    std::string name;
    std::optional<Bytes> deviceAnswer;  // nullopt: silence
    std::optional<Bytes> switchAnswer;  // only asked with firmware above 5
    bool openMonitor;
    std::vector<std::string> sent;
    std::string failureKey;
};
void PrintTo(const EntryCase& c, std::ostream* os) { *os << c.name; }

class EnterDebugState : public ::testing::TestWithParam<EntryCase> {};

TEST_P(EnterDebugState, Outcome) {
    const auto& c = GetParam();
    ScriptedLink link;
    if (c.deviceAnswer) link.queue(*c.deviceAnswer); else link.queueSilence();
    if (c.switchAnswer) link.queue(*c.switchAnswer); else link.queueSilence();
    const DebugEntry entry = enterDebugState(link);
    EXPECT_EQ(entry.openMonitor, c.openMonitor);
    std::vector<std::string> sent;
    for (const auto& s : link.sent) sent.push_back(hexText(s));
    EXPECT_EQ(sent, c.sent);
    EXPECT_EQ(entry.failure ? std::string(entry.failure->id.key) : std::string(), c.failureKey);
    EXPECT_LE(link.nowMs(), kDeviceTypeWaitMs + kDebugSwitchWaitMs) << "every wait is bounded";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnterDebugState,
    ::testing::Values(
        EntryCase{"Firmware5OpensWithoutSwitch", deviceTypeAnswer(4, 5, 3), std::nullopt, true, {kDeviceTypeRequest},
                  ""},
        EntryCase{"Firmware6SwitchesFirst", deviceTypeAnswer(4, 6, 0), hexBytes("0F 02 00 00 11"), true,
                  {kDeviceTypeRequest, kScrambledDebugSwitch}, ""},
        EntryCase{"Firmware6WrongConfirmation", deviceTypeAnswer(4, 6, 0), hexBytes("0F 02 00 01 12"), false,
                  {kDeviceTypeRequest, kScrambledDebugSwitch}, "DebugSwitchFailed"},
        EntryCase{"Firmware6NoConfirmation", deviceTypeAnswer(4, 6, 0), std::nullopt, false,
                  {kDeviceTypeRequest, kScrambledDebugSwitch}, "DebugSwitchFailed"},
        EntryCase{"NoAnswerOpensTheMonitor", std::nullopt, std::nullopt, true, {kDeviceTypeRequest}, ""},
        EntryCase{"ShortAnswerReadsFirmwareZero", hexBytes("01 08 04"), std::nullopt, true, {kDeviceTypeRequest}, ""}),
    serial::testing::CaseName{});

TEST(EnterDebugState, SlowAnswerWithinSevenChecksIsStillTaken) {
    ScriptedLink link;
    link.queue(deviceTypeAnswer(4, 6, 1), 650);
    link.queue(hexBytes("0F 02 00 00 11"), 300);
    const DebugEntry entry = enterDebugState(link);
    EXPECT_TRUE(entry.openMonitor);
    EXPECT_TRUE(entry.switched);
    EXPECT_EQ(entry.firmwareMajor, 6);
}

Bytes informationAnswer(int major, int minor, int protocol) {
    Bytes b(15, 0);
    b[0] = 0xD0;
    b[1] = 0x0D;
    b[12] = static_cast<std::uint8_t>(major);
    b[13] = static_cast<std::uint8_t>(minor);
    b[14] = static_cast<std::uint8_t>(protocol);
    b.push_back(serial::additiveChecksum(b));
    return b;
}

TEST(ReadDebugInformation, AnswerInPiecesGivesTheLayout) {
    ScriptedLink link;
    link.queue(informationAnswer(5, 3, 1), 20, 3);
    const auto check = readDebugInformation(link);
    ASSERT_EQ(link.sent.size(), 1u);
    EXPECT_EQ(hexText(link.sent[0]), "D0 00 D0");
    EXPECT_EQ(check.layout, DebugLayout::Slave);
    EXPECT_FALSE(check.failure);
    EXPECT_TRUE(check.information.asksBeforeLeaving());
}

TEST(ReadDebugInformation, SilenceIsAProductMismatchWithinItsBound) {
    ScriptedLink link;
    link.queueSilence();
    const auto check = readDebugInformation(link);
    ASSERT_TRUE(check.failure);
    EXPECT_EQ(check.failure->id.key, "DebugProductMismatch");
    EXPECT_EQ(link.nowMs(), kInformationWaitMs);
}

TEST(ReadDebugInformation, IllegalSubnetKeepsTheFirmware) {
    ScriptedLink link;
    link.queue(informationAnswer(5, 2, 2));
    const auto check = readDebugInformation(link);
    ASSERT_TRUE(check.failure);
    EXPECT_EQ(check.failure->id.key, "DebugIllegalSubnet");
    EXPECT_FALSE(check.information.asksBeforeLeaving());
}

TEST(LeaveDebugState, SendsTheLeaveFrameAsIsAndDropsTheAnswer) {
    ScriptedLink link;
    link.queue(hexBytes("0F 02 00 00 11"));
    EXPECT_TRUE(leaveDebugState(link));
    ASSERT_EQ(link.sent.size(), 1u);
    EXPECT_EQ(hexText(link.sent[0]), "0F 01 01 11");
    EXPECT_EQ(link.bytesWaiting(), 0u);
    EXPECT_TRUE(sendDebugStop(link));
    EXPECT_EQ(hexText(link.sent[1]), "D2 01 F0 C3");
}

}  // namespace
}  // namespace korvex::monitor
