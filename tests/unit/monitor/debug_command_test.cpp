// The Debug command's decisions (which window, when the firmware question is
// asked, which steps need the serial port) and the Monitor/Modify window's
// port opening with its messages.
#include <gtest/gtest.h>

#include "../serial/case_names.h"
#include "model/texts.h"
#include "monitor/debug_command.h"
#include "monitor/monitor_port.h"

namespace korvex::monitor {
namespace {

using serial::testing::CaseName;

struct ProjectCase {
    std::string name;
    int kind;
    bool extended;
    bool legacy233b;
    std::optional<MonitorMode> mode;
    DebugStep first;
    bool monitorNeedsPort;
};
void PrintTo(const ProjectCase& c, std::ostream* os) { *os << c.name; }

class DebugCommandProject : public ::testing::TestWithParam<ProjectCase> {};

TEST_P(DebugCommandProject, ModeFirstStepAndPort) {
    const ProjectCase& c = GetParam();
    Project p;
    p.deviceKind = c.kind;
    p.flags.extendedSettingsFlag = c.extended;
    p.flags.legacyFlag233b = c.legacy233b;
    EXPECT_EQ(monitorModeFor(p), c.mode);
    EXPECT_EQ(firstDebugStep(p), c.first);
    EXPECT_EQ(stepNeedsSerialPort(DebugStep::OpenMonitor, p), c.monitorNeedsPort);
    // Switching into the debug state always goes over the serial port.
    EXPECT_TRUE(stepNeedsSerialPort(DebugStep::EnterDebugState, p));
    EXPECT_FALSE(stepNeedsSerialPort(DebugStep::End, p));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DebugCommandProject,
    ::testing::Values(
        ProjectCase{"SerialGatewayAsksTheFirmware", 3, true, false, MonitorMode::Serial,
                    DebugStep::AskFirmwareVersion, true},
        ProjectCase{"OldSerialProjectOpensTheMonitorAtOnce", 3, false, false, MonitorMode::Serial,
                    DebugStep::OpenMonitor, true},
        ProjectCase{"EthernetGatewayMonitorsOverUdp", 4, true, false, MonitorMode::Ethernet,
                    DebugStep::AskFirmwareVersion, false},
        ProjectCase{"LegacyFlagTakesTheSerialPortEvenForKind4", 4, false, true, MonitorMode::Serial,
                    DebugStep::OpenMonitor, true},
        ProjectCase{"LegacyFlagOnAnotherKind", 0, false, true, MonitorMode::Serial, DebugStep::OpenMonitor, true},
        ProjectCase{"OtherKindsHaveNoMode", 2, true, false, std::nullopt, DebugStep::AskFirmwareVersion, false}),
    CaseName{});

TEST(FirmwareChoice, EachAnswerLeadsToItsStep) {
    EXPECT_EQ(stepAfterFirmwareChoice(FirmwareGeneration::FiveAndAbove), DebugStep::EnterDebugState);
    EXPECT_EQ(stepAfterFirmwareChoice(FirmwareGeneration::FourOrThree), DebugStep::OpenMonitor);
    EXPECT_EQ(stepAfterFirmwareChoice(std::nullopt), DebugStep::End);
}

TEST(FirmwareChoice, ListPositionsRoundTripAndStrayPositionsReadAsTheFirstEntry) {
    for (FirmwareGeneration g : {FirmwareGeneration::FiveAndAbove, FirmwareGeneration::FourOrThree})
        EXPECT_EQ(firmwareGenerationAt(firmwareGenerationIndex(g)), g);
    EXPECT_EQ(firmwareGenerationIndex(FirmwareGeneration::FiveAndAbove), 0);
    EXPECT_EQ(firmwareGenerationAt(-1), FirmwareGeneration::FiveAndAbove);
    EXPECT_EQ(firmwareGenerationAt(2), FirmwareGeneration::FiveAndAbove);
}

// ---------------------------------------------------------------- the monitor's port

class NullLink : public serial::ByteLink {
public:
    bool send(std::span<const std::uint8_t>) override { return true; }
    std::size_t bytesWaiting() override { return 0; }
    std::size_t read(std::span<std::uint8_t>) override { return 0; }
    std::size_t waitForBytes(std::size_t, int) override { return 0; }
    void purge() override {}
    std::int64_t nowMs() override { return 0; }
    bool isOpen() const override { return true; }
};

class RecordingOpener : public serial::PortOpener {
public:
    std::vector<serial::PortOpenRequest> requests;
    std::optional<serial::PortOpenError> failWith;

    std::unique_ptr<serial::ByteLink> open(const serial::PortOpenRequest& request,
                                           serial::PortOpenError& error) override {
        requests.push_back(request);
        if (failWith) {
            error = *failWith;
            return nullptr;
        }
        return std::make_unique<NullLink>();
    }
};

serial::SerialPorts portsOf(std::vector<std::string> names, int portIndex) {
    serial::SerialPorts state;
    state.lists.ports = std::move(names);
    state.settings.portIndex = portIndex;
    return state;
}

TEST(MonitorPort, OpensTheChosenPortAt115200EightNOne) {
    RecordingOpener opener;
    const MonitorPortOpen port = openMonitorPort(opener, portsOf({"/dev/ttyS0", "/dev/ttyUSB0"}, 1));
    ASSERT_TRUE(port.link);
    EXPECT_FALSE(port.failure);
    EXPECT_EQ(port.name, "/dev/ttyUSB0");
    ASSERT_EQ(opener.requests.size(), 1u);
    EXPECT_EQ(opener.requests[0].path, "/dev/ttyUSB0");
    EXPECT_EQ(opener.requests[0].line, (serial::LineSettings{115200, 8, serial::Parity::None, 1}));
    EXPECT_EQ(opener.requests[0].queueSize, 4069);
}

TEST(MonitorPort, ANegativeIndexTakesTheFirstPort) {
    RecordingOpener opener;
    const MonitorPortOpen port = openMonitorPort(opener, portsOf({"/dev/ttyS0"}, -1));
    ASSERT_TRUE(port.link);
    EXPECT_EQ(port.name, "/dev/ttyS0");
}

TEST(MonitorPort, NoPortAtTheIndexOpensNothing) {
    RecordingOpener opener;
    for (const auto& ports : {portsOf({}, 0), portsOf({"/dev/ttyS0"}, 3)}) {
        const MonitorPortOpen port = openMonitorPort(opener, ports);
        EXPECT_FALSE(port.link);
        ASSERT_TRUE(port.failure);
        EXPECT_EQ(port.failure->id, texts::MonitorPortOpenFailed);
    }
    EXPECT_TRUE(opener.requests.empty());
}

struct FailureCase {
    std::string name;
    serial::PortOpenError::Stage stage;
    std::string reason;
    std::string expected;
};
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class MonitorPortFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(MonitorPortFailure, ShowsTheMessageOfItsStage) {
    const FailureCase& c = GetParam();
    RecordingOpener opener;
    serial::PortOpenError error;
    error.stage = c.stage;
    error.reason = c.reason;
    opener.failWith = error;
    const MonitorPortOpen port = openMonitorPort(opener, portsOf({"/dev/ttyS0"}, 0));
    EXPECT_FALSE(port.link);
    ASSERT_TRUE(port.failure);
    EXPECT_EQ(port.failure->text(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MonitorPortFailure,
    ::testing::Values(
        FailureCase{"OpenRefused", serial::PortOpenError::Stage::Open, "", "Failing in opening serial port!"},
        FailureCase{"OpenRefusedWithReason", serial::PortOpenError::Stage::Open, "Device busy",
                    "Failing in opening serial port!\n\nDevice busy"},
        FailureCase{"LineStateUnreadable", serial::PortOpenError::Stage::ReadLineState, "",
                    "Failing in reading serial port"},
        FailureCase{"LineStateRefused", serial::PortOpenError::Stage::WriteLineState, "",
                    "Error\xC2\xA3\xC2\xA1" "Com port can not be opened!"}),
    CaseName{});

}  // namespace
}  // namespace korvex::monitor
