// The monitor reports byte for byte in every form the simulator sends them:
// one table row per kind of report, each row with its serial-monitor, debug
// (three layouts) and UDP bytes.
#include "report_frames.h"

#include <gtest/gtest.h>

#include "hex_bytes.h"

namespace korvex::gatewaysim {
namespace {

using korvex::testing::hexText;

struct EncodingCase {
    const char* name;
    TrafficReport report;
    const char* serial;
    const char* master;
    const char* slave;
    const char* user;
    const char* udp;
};

// Port 2 (index 1), slave 5, Read Holding Registers from 16.
constexpr TrafficCommand kRead{1, 5, 3, 0x0010, 1, 0x0000};
// Port 1, slave 7, Write Multiple Registers from 256.
constexpr TrafficCommand kWrite{0, 7, 16, 0x0100, 1, 0x4000};

const EncodingCase kCases[] = {
    {"CorrectRead", {1, ReportOutcome::Correct, kRead, 0, {0x12, 0x34}},
     "00 05 00 10 02 12 34",
     "D3 08 00 05 03 00 10 02 12 34 3B",
     "D3 F5 00 12 34 0E",
     "D3 03 00 12 34 1C",
     "00 00 00 0F 00 00 00 0E 00 00 00 01 00 00 00 00 00 05 00 10 12 34"},
    {"CorrectWriteGoesTheOtherWay", {1, ReportOutcome::Correct, kWrite, 0, {0xAA, 0xBB}},
     "00 07 01 00 02 AA BB",
     "D3 08 00 07 10 01 00 02 AA BB 5A",
     "D3 F5 01 AA BB 2E",
     "D3 03 01 AA BB 3C",
     "00 00 00 0F 00 00 00 0E 00 00 00 00 00 00 00 00 00 07 01 00 AA BB"},
    // The serial form of the text's example: n = 0, then the code.
    {"Exception", {3, ReportOutcome::Exception, kRead, 0x03, {}},
     "01 05 00 10 00 03",
     "D3 07 01 05 03 00 10 01 03 F7",
     "D3 F5 00 05 03 D0",
     "D3 03 00 05 03 DE",
     "00 00 00 0F 00 00 00 10 00 00 00 01 00 00 00 01 00 05 00 10 00 00 00 03"},
    {"Timeout", {6, ReportOutcome::Timeout, kRead, 0, {}},
     "03 05 00 10 00",
     "D3 06 03 05 03 00 10 00 F4",
     "D3 F5 00 05 03 D0",
     "D3 03 00 05 03 DE",
     "00 00 00 0F 00 00 00 0C 00 00 00 01 00 00 00 03 00 05 00 10"},
    // Hidden reports are never made for UDP; the encoder sends them as correct.
    {"Hidden", {9, ReportOutcome::Hidden, kRead, 0, {0x12, 0x34}},
     "FF 05 00 10 02 12 34",
     "D3 08 FF 05 03 00 10 02 12 34 3A",
     "D3 F5 FF 12 34 0D",
     "D3 03 FF 12 34 1B",
     "00 00 00 0F 00 00 00 0E 00 00 00 01 00 00 00 00 00 05 00 10 12 34"},
};

class ReportEncoding : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(ReportEncoding, EveryForm) {
    const auto& c = GetParam();
    EXPECT_EQ(hexText(serialMonitorReport(c.report)), c.serial);
    EXPECT_EQ(hexText(debugReport(c.report, DebugLayout::Master)), c.master);
    EXPECT_EQ(hexText(debugReport(c.report, DebugLayout::Slave)), c.slave);
    EXPECT_EQ(hexText(debugReport(c.report, DebugLayout::User)), c.user);
    EXPECT_EQ(hexText(udpMonitorReport(c.report)), c.udp);
}

INSTANTIATE_TEST_SUITE_P(Table, ReportEncoding, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReportEncoding, LargestReportsStayWithinWhatTheReadersTake) {
    TrafficReport r{1, ReportOutcome::Correct, kRead, 0, Bytes(kMaxReportData, 0x5A)};
    // The debug monitor reads at most 249 bytes, the UDP monitor 300.
    EXPECT_LE(debugReport(r, DebugLayout::Master).size(), 249u);
    EXPECT_LE(debugReport(r, DebugLayout::Slave).size(), 249u);
    EXPECT_LE(debugReport(r, DebugLayout::User).size(), 249u);
    EXPECT_LE(udpMonitorReport(r).size(), 300u);
    EXPECT_EQ(serialMonitorReport(r)[4], kMaxReportData);
}

TEST(DebugInformation, CarriesFirmwareAndProtocolCodeWithItsSum) {
    EXPECT_EQ(hexText(debugInformationAnswer(6, 1, DebugLayout::Master)),
              "D0 0D 00 00 00 00 00 00 00 00 00 00 06 01 00 E4");
    EXPECT_EQ(hexText(debugInformationAnswer(6, 0, DebugLayout::Slave)),
              "D0 0D 00 00 00 00 00 00 00 00 00 00 06 00 01 E4");
    EXPECT_EQ(hexText(debugInformationAnswer(5, 2, DebugLayout::User)),
              "D0 0D 00 00 00 00 00 00 00 00 00 00 05 02 03 E7");
}

}  // namespace
}  // namespace korvex::gatewaysim
