// Every frame the monitors send, byte for byte as the gateway expects it.
#include <gtest/gtest.h>

#include "../serial/case_names.h"
#include "hex_bytes.h"
#include "monitor/monitor_frames.h"

namespace korvex::monitor {
namespace {

using korvex::testing::hexBytes;
using korvex::testing::hexText;

struct FrameCase {
    std::string name;
    Bytes frame;
    std::string expected;
};
void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

class Frames : public ::testing::TestWithParam<FrameCase> {};

TEST_P(Frames, Bytes) { EXPECT_EQ(hexText(GetParam().frame), GetParam().expected); }

const PendingWrite kExampleWrite{0x4000, hexBytes("00 01 02 03")};

INSTANTIATE_TEST_SUITE_P(
    Cases, Frames,
    ::testing::Values(
        FrameCase{"SerialAcknowledgement", serialAcknowledgement(), "00"},
        FrameCase{"SerialWriteExample", serialWriteReply(kExampleWrite), "01 40 00 04 00 01 02 03"},
        FrameCase{"SerialWriteLastAddress", serialWriteReply({0x406F, {0xAB}}), "01 40 6F 01 AB"},
        FrameCase{"EthernetStart", ethernetStartFrame(), "00 00 00 0E 00 00 00 08 EA EA EA EA 00 00 00 00"},
        FrameCase{"EthernetStop", ethernetStopFrame(), "00 00 00 0E 00 00 00 08 F0 F0 F0 F0 00 00 00 00"},
        FrameCase{"EthernetAcknowledgement", ethernetAcknowledgement(), "00 00 00 10 00 00 00 04 00 00 00 00"},
        FrameCase{"EthernetWriteExample", ethernetWriteReply(kExampleWrite),
                  "00 00 00 10 00 00 00 0A 00 00 00 01 40 00 00 01 02 03"},
        FrameCase{"DebugInformationRequest", debugInformationRequest(), "D0 00 D0"},
        FrameCase{"DebugStartReporting", debugStartReporting(), "D2 01 EA BD"},
        FrameCase{"DebugStopReporting", debugStopReporting(), "D2 01 F0 C3"},
        FrameCase{"DebugAcknowledgement", debugAcknowledgement(), "D4 01 00 D5"},
        FrameCase{"DebugWriteTwoBytes", debugWriteRequest({0x4000, hexBytes("0a 1b")}), "D4 05 01 40 00 0A 1B 3F"},
        FrameCase{"DebugWriteNoBytes", debugWriteRequest({0x40F3, {}}), "D4 03 01 40 F3 0B"},
        FrameCase{"DebugLeave", debugLeaveFrame(), "0F 01 01 11"}),
    serial::testing::CaseName{});

TEST(Frames, EthernetWriteIsFourteenBytesMoreThanItsData) {
    EXPECT_EQ(ethernetWriteReply(kExampleWrite).size(), kExampleWrite.bytes.size() + 14);
}

TEST(Frames, DebugWriteOf244BytesKeepsItsLengthByteAndSum) {
    const PendingWrite big{0x4000, Bytes(244, 0x01)};
    const Bytes frame = debugWriteRequest(big);
    ASSERT_EQ(frame.size(), 244u + 6u);
    EXPECT_EQ(frame[1], 247);
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < frame.size(); ++i) sum += frame[i];
    EXPECT_EQ(frame.back(), sum & 0xFF);
}

}  // namespace
}  // namespace korvex::monitor
