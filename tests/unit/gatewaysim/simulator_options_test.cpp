// The simulator's command line: fault specifications, options and frame files.
#include "simulator_options.h"

#include <gtest/gtest.h>

namespace korvex::gatewaysim {
namespace {

struct FaultSpecCase {
    const char* name;
    const char* text;
    bool valid;
    std::uint8_t command;
    FaultKind kind;
    int lateMs;
    std::uint8_t errorCode;
};

class FaultSpecs : public ::testing::TestWithParam<FaultSpecCase> {};

TEST_P(FaultSpecs, Parse) {
    const auto& c = GetParam();
    const auto spec = parseFaultSpec(c.text);
    ASSERT_EQ(spec.has_value(), c.valid);
    if (!c.valid) return;
    EXPECT_EQ(spec->first, c.command);
    EXPECT_EQ(spec->second.kind, c.kind);
    EXPECT_EQ(spec->second.lateMs, c.lateMs);
    EXPECT_EQ(spec->second.errorCode, c.errorCode);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FaultSpecs,
    ::testing::Values(
        FaultSpecCase{"Error", "10=error", true, 0x10, FaultKind::ErrorFrame, 0, error_code::Injected},
        FaultSpecCase{"ErrorWithCode", "0x10=error:03", true, 0x10, FaultKind::ErrorFrame, 0, 0x03},
        FaultSpecCase{"BadSum", "3A=badsum", true, 0x3A, FaultKind::BadChecksum, 0, error_code::Injected},
        FaultSpecCase{"Late", "16=late:700", true, 0x16, FaultKind::Late, 700, error_code::Injected},
        FaultSpecCase{"Silent", "0f=silent", true, 0x0F, FaultKind::Silent, 0, error_code::Injected},
        FaultSpecCase{"Forget", "10=forget", true, 0x10, FaultKind::Forget, 0, error_code::Injected},
        FaultSpecCase{"ForgetWithArgument", "10=forget:1", false, 0, FaultKind::Silent, 0, 0},
        FaultSpecCase{"NoCommand", "=silent", false, 0, FaultKind::Silent, 0, 0},
        FaultSpecCase{"CommandTooBig", "100=silent", false, 0, FaultKind::Silent, 0, 0},
        FaultSpecCase{"UnknownKind", "10=slow", false, 0, FaultKind::Silent, 0, 0},
        FaultSpecCase{"LateWithoutTime", "10=late", false, 0, FaultKind::Silent, 0, 0},
        FaultSpecCase{"LateNegative", "10=late:-5", false, 0, FaultKind::Silent, 0, 0},
        FaultSpecCase{"BadSumWithArgument", "10=badsum:1", false, 0, FaultKind::Silent, 0, 0},
        FaultSpecCase{"ErrorCodeTooBig", "10=error:1FF", false, 0, FaultKind::Silent, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimulatorOptions, ReadsEveryOption) {
    std::string error;
    const auto o = parseSimulatorOptions({"--device-type", "3", "--firmware", "5.9", "--capacity", "200",
                                          "--baud", "19200", "--fault", "10=silent", "--fault",
                                          "32=late:400", "--quit-after-idle", "30", "--verbose",
                                          "--frames", "f.txt"},
                                         &error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->device.deviceType, 3);
    EXPECT_EQ(o->device.firmwareMajor, 5);
    EXPECT_EQ(o->device.firmwareMinor, 9);
    EXPECT_EQ(o->device.capacity, 200);
    EXPECT_EQ(o->paceBaud, 19200);
    EXPECT_EQ(o->faults.size(), 2u);
    EXPECT_EQ(o->quitAfterIdleSeconds, 30);
    EXPECT_TRUE(o->verbose);
    EXPECT_EQ(o->framesFile, "f.txt");
}

TEST(SimulatorOptions, ReadsTheReportStreamOptions) {
    std::string error;
    auto o = parseSimulatorOptions({"--monitor", "--report-rate", "fast", "--debug-layout", "slave"}, &error);
    ASSERT_TRUE(o) << error;
    EXPECT_TRUE(o->serialMonitor);
    EXPECT_TRUE(o->device.reportRate.fast());
    EXPECT_TRUE(o->net.reportRate.fast());
    EXPECT_EQ(o->device.debugLayout, DebugLayout::Slave);
    o = parseSimulatorOptions({"--report-rate", "250", "--debug-layout", "user"}, &error);
    ASSERT_TRUE(o) << error;
    EXPECT_FALSE(o->serialMonitor);
    EXPECT_EQ(o->device.reportRate.perSecond, 250);
    EXPECT_EQ(o->device.debugLayout, DebugLayout::User);
    o = parseSimulatorOptions({}, &error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->device.reportRate.perSecond, 20);
    EXPECT_EQ(o->device.debugLayout, DebugLayout::Master);
}

TEST(SimulatorOptions, RefusesBadValuesWithAReason) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--device-type", "8"}, {"--device-type", "0"}, {"--firmware", "six"},
          {"--firmware", "6.256"}, {"--capacity", "300"}, {"--baud"}, {"--baud", "-1"}, {"--fault", "x"},
          {"--colour", "red"}, {"--config", "a.kvx", "--frames", "b.txt"}, {"--report-rate", "0"},
          {"--report-rate", "1001"}, {"--report-rate", "slow"}, {"--debug-layout", "self"},
          {"--monitor", "--net", "127.0.0.1"}}) {
        std::string error;
        EXPECT_FALSE(parseSimulatorOptions(args, &error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

TEST(SimulatorOptions, FrameLinesAreHexBytesOnePerLine) {
    std::string error;
    const auto frames = parseFrameLines("30 03 20 10 01 64\r\n\n14 03 00 55 AA 16\n", &error);
    ASSERT_TRUE(frames) << error;
    ASSERT_EQ(frames->size(), 2u);
    EXPECT_EQ((*frames)[1], (Bytes{0x14, 0x03, 0x00, 0x55, 0xAA, 0x16}));
    EXPECT_FALSE(parseFrameLines("30 03\n14 3 00\n", &error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
}

}  // namespace
}  // namespace korvex::gatewaysim
