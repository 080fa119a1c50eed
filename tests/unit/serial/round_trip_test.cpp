// Downloads into the simulated gateway and uploads back, for every DeviceKind,
// with and without faults injected into the gateway. Runs on the simulated
// link's virtual clock at 19200 baud.
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "case_names.h"
#include "gateway_engine.h"
#include "mapping/auto_mapping.h"
#include "model/operator.h"
#include "simulated_link.h"
#include "serial/download.h"
#include "serial/exchange.h"
#include "serial/upload.h"
#include "serial/upload_conversion.h"

namespace korvex::serial {
namespace {

using gatewaysim::DeviceOptions;
using gatewaysim::Fault;
using gatewaysim::FaultKind;
using gatewaysim::GatewayEngine;
using gatewaysim::SimulatedLink;

// No run may take longer than this on the virtual clock: every wait is bounded.
constexpr std::int64_t kLongestRunMs = 30'000;

struct CommandSpec {
    const char* slave;
    const char* functionCode;
    const char* start;
    const char* count;
    const char* mapping;  // lower-case hex, as an upload writes it
    const char* bitOffset;
    const char* scanType;
    const char* dataFilter;
    const char* byteSwap;
};

// Appends a command the way the editor leaves it: node by slave address (in the
// order the slaves first appear), byte count and check type filled in.
void addCommand(SubnetConfig& c, const CommandSpec& spec) {
    int node = 0;
    while (node < c.nodeCount && c.nodes[static_cast<size_t>(node)].address != spec.slave) ++node;
    if (node == c.nodeCount) c.nodes[static_cast<size_t>(c.nodeCount++)] = {spec.slave, std::string("Node-") + spec.slave};
    ModbusCommand& cmd = c.commands[static_cast<size_t>(c.commandCount++)];
    cmd = ModbusCommand{spec.slave, spec.functionCode, spec.start, spec.count, spec.mapping, spec.bitOffset, "",
                        spec.dataFilter, c.masterTransmissionMode == "ASCII" ? "LRC" : "CRC", spec.scanType,
                        spec.byteSwap, node + 1};
}

void masterSettings(SubnetConfig& c) {
    c.masterBaudRate = "9600";
    c.masterParity = "Odd";
    c.masterStopBits = "2";
    c.masterTransmissionMode = "ASCII";
    c.responseTimeout = "500";
    c.pollDelay = "100";
    c.outputMode = "Pluse output";
    c.outputPulse = "300";
    c.scanRate = "20";
}

// Commands of a kind whose dataFilter holds a byte-swap choice.
void swapChoiceCommands(SubnetConfig& c) {
    addCommand(c, {"5", "3", "100", "4", "2", "0", "Fast Scan", "Two Bytes Swap", "No Swap"});
    addCommand(c, {"7", "1", "0", "10", "a", "3", "Slow Scan", "No Swap", "No Swap"});
    addCommand(c, {"5", "16", "200", "2", "4000", "0", "Fast Scan", "Four Bytes Swap", "No Swap"});
    addCommand(c, {"9", "5", "7", "1", "4004", "2", "Fast Scan", "No Swap", "No Swap"});
}

Project richProject(int kind, bool firmware6) {
    Project p;
    resetToDefaults(p, kind);
    SubnetConfig& first = p.subnet(0);
    first.timeoutAction = "Clear Data";
    first.retransmissionTimes = "7";
    first.charIntervalSend = "300";
    first.charIntervalReceive = "6000";
    if (firmware6) {
        p.fieldbus.profibusAddress = "12";
        p.fieldbus.configurationMode = "Via the Configuration Software of PROFIBUS DP Master";
        p.fieldbus.compatibilityMode = "Enable";
    }
    switch (kind) {
        case 0:
            p.fieldbus.deviceNetAddress = "12";
            p.fieldbus.deviceNetBaudRate = "250K";
            p.fieldbus.inputSize = "32";
            p.fieldbus.outputSize = "16";
            masterSettings(first);
            swapChoiceCommands(first);
            break;
        case 1:
            masterSettings(first);
            swapChoiceCommands(first);
            break;
        case 2: {
            masterSettings(first);
            swapChoiceCommands(first);
            SubnetConfig& slave = p.subnet(1);
            slave.protocolMode = "Modbus Slave";
            slave.slaveBaudRate = "38400";
            slave.slaveParity = "Even";
            slave.slaveAddress = "17";
            slave.slaveTransmissionMode = "ASCII";
            SubnetConfig& custom = p.subnet(2);
            custom.protocolMode = "Self-defining protocol";
            custom.customBaudRate = "2400";
            custom.customStopBits = "2";
            SubnetConfig& many = p.subnet(3);  // two batches of 20
            for (int k = 0; k < 25; ++k) {
                const std::string slaveText = std::to_string(1 + k % 5);
                const std::string start = std::to_string(10 * k);
                char map[8];
                std::snprintf(map, sizeof map, "%x", 0x40 + 2 * k);  // after subnet 1's inputs
                addCommand(many, {slaveText.c_str(), "4", start.c_str(), "1", map, "0", "Fast Scan",
                                  "No Swap", "No Swap"});
            }
            break;
        }
        case 3:
            masterSettings(first);
            first.responseStatus = "2Bytes";
            first.commInterface = "RS232";
            first.debugInterface = "RS485";
            p.subnet(0).inputLengthPrefix = "Enable";
            addCommand(first, {"5", "3", "100", "4", "2", "0", "Fast Scan", "High byte", "No Swap"});
            addCommand(first, {"7", "1", "0", "300", "a", "3", "Slow Scan", "Fullword", "No Swap"});
            addCommand(first, {"5", "16", "200", "2", "4000", "0", "Fast Scan", "Fullword", "Four Bytes Swap"});
            addCommand(first, {"9", "4", "7", "3", "50", "0", "Fast Scan", "Fullword", "Two Bytes Swap"});
            break;
        case 5:
            first.slaveAddress = "33";
            first.slaveBaudRate = "115200";
            first.commInterface = "RS232";
            first.debugInterface = "RS485";
            break;
        case 6:
            first.frameType = "Frame Length";
            first.charInterval = "50";
            first.frameLength = "20";
            first.autoSending = "Enable";
            first.autoSendPeriod = "500";
            first.crcCheck = "Enable";
            first.userParity = "Mark";
            p.subnet(0).inputLengthPrefix = "Enable";
            // The gateway keeps the size codes only; a subnet without commands sends 0 ("8").
            p.fieldbus.inputSize = "8";
            p.fieldbus.outputSize = "8";
            break;
        default:
            break;
    }
    recomputeByteCounts(p);
    return p;
}

bool sameContents(const Project& a, const Project& b) {
    return a.deviceKind == b.deviceKind && a.flags == b.flags && a.fieldbus == b.fieldbus && a.subnets == b.subnets;
}

// The first field that differs, for a readable failure.
std::string firstDifference(const Project& a, const Project& b) {
    for (const auto& f : fieldbusTextFields())
        if (a.fieldbus.*f.member != b.fieldbus.*f.member)
            return std::string(f.name) + ": " + a.fieldbus.*f.member + " / " + b.fieldbus.*f.member;
    for (int s = 0; s < kSubnetCount; ++s) {
        const SubnetConfig& x = a.subnet(s);
        const SubnetConfig& y = b.subnet(s);
        for (const auto& f : subnetTextFields())
            if (x.*f.member != y.*f.member)
                return "subnet " + std::to_string(s + 1) + " " + std::string(f.name) + ": " + x.*f.member + " / " + y.*f.member;
        if (x.nodeCount != y.nodeCount || x.commandCount != y.commandCount) return "subnet " + std::to_string(s + 1) + " counts";
        for (int k = 0; k < kMaxCommands; ++k) {
            for (const auto& f : commandTextFields())
                if (x.commands[static_cast<size_t>(k)].*f.member != y.commands[static_cast<size_t>(k)].*f.member)
                    return "subnet " + std::to_string(s + 1) + " command " + std::to_string(k) + " " + std::string(f.name) +
                           ": " + x.commands[static_cast<size_t>(k)].*f.member + " / " +
                           y.commands[static_cast<size_t>(k)].*f.member;
        }
        if (!(x == y)) return "subnet " + std::to_string(s + 1) + " nodes or node indexes";
    }
    return "deviceKind or flags";
}

// The last frames on the line, for a readable failure.
std::string lastFrames(const SimulatedLink& link, std::size_t count = 6) {
    const auto& records = link.transcript();
    std::string out;
    for (std::size_t i = records.size() > count ? records.size() - count : 0; i < records.size(); ++i) {
        out += records[i].fromGateway ? "\n  <-" : "\n  ->";
        for (std::uint8_t b : records[i].bytes) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", b);
            out += hex;
        }
    }
    return out;
}

struct Firmware {
    int major, minor;
};

struct RoundTripCase {
    const char* name;
    int kind;
    Firmware firmware;
};
void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, UploadReturnsWhatTheDownloadWrote) {
    const RoundTripCase& c = GetParam();
    const bool firmware6 = c.firmware.major >= 6;
    GatewayEngine engine(DeviceOptions{static_cast<std::uint8_t>(c.kind + 1), static_cast<std::uint8_t>(c.firmware.major),
                                       static_cast<std::uint8_t>(c.firmware.minor), 244});
    SimulatedLink link(engine);

    Project original = richProject(c.kind, firmware6);
    Project sent = original;
    ScriptedOperator downloadOp({Answer::Yes, Answer::Yes});
    MappingState mapping;
    const DownloadResult down = runDownload(link, downloadOp, sent, mapping, nullptr);
    ASSERT_EQ(down.outcome, TransferOutcome::Completed)
        << ::testing::PrintToString(downloadOp.shownKeys()) << lastFrames(link);
    EXPECT_TRUE(down.everythingAcknowledged);
    std::vector<std::string> questions;
    if (firmware6) questions.push_back("ConfigurationStateQuestion");
    if (c.firmware.major > 5 || c.firmware.minor > 2) questions.push_back("StartCommunicationQuestion");
    EXPECT_EQ(downloadOp.shownKeys(), questions);

    Project uploaded;
    resetToDefaults(uploaded, c.kind);
    ScriptedOperator uploadOp;
    const UploadResult up = runUpload(link, uploadOp, uploaded, nullptr);
    ASSERT_EQ(up.outcome, TransferOutcome::Completed)
        << ::testing::PrintToString(uploadOp.shownKeys()) << lastFrames(link);
    EXPECT_TRUE(up.everythingRead);
    EXPECT_TRUE(uploadOp.shown().empty());
    recomputeByteCounts(uploaded);
    EXPECT_TRUE(sameContents(uploaded, original)) << firstDifference(uploaded, original);
    EXPECT_LT(link.nowMs(), kLongestRunMs);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RoundTrip,
                         ::testing::Values(RoundTripCase{"DeviceNetFirmware52", 0, {5, 2}},
                                           RoundTripCase{"DeviceNetFirmware60", 0, {6, 0}},
                                           RoundTripCase{"ProfibusShortFirmware52", 1, {5, 2}},
                                           RoundTripCase{"ProfibusShortFirmware60", 1, {6, 0}},
                                           RoundTripCase{"FourSubnetsFirmware53", 2, {5, 3}},
                                           RoundTripCase{"FourSubnetsFirmware60", 2, {6, 0}},
                                           RoundTripCase{"ProfibusLongFirmware52", 3, {5, 2}},
                                           RoundTripCase{"ProfibusLongFirmware60", 3, {6, 0}},
                                           RoundTripCase{"ModbusSlaveFirmware59", 5, {5, 9}},
                                           RoundTripCase{"ModbusSlaveFirmware60", 5, {6, 0}},
                                           RoundTripCase{"UserConfigFirmware52", 6, {5, 2}},
                                           RoundTripCase{"UserConfigFirmware60", 6, {6, 0}}),
                         testing::CaseName());

// ---- Faults -----------------------------------------------------------------------------

// A link that fails (the adapter is pulled) when request number n is sent.
class UnpluggingLink : public ByteLink {
public:
    UnpluggingLink(SimulatedLink& inner, int failAt) : inner_(inner), failAt_(failAt) {}
    bool send(std::span<const std::uint8_t> bytes) override {
        if (requests_++ == failAt_) inner_.unplug();
        return inner_.send(bytes);
    }
    std::size_t bytesWaiting() override { return inner_.bytesWaiting(); }
    std::size_t read(std::span<std::uint8_t> out) override { return inner_.read(out); }
    std::size_t waitForBytes(std::size_t count, int timeoutMs) override { return inner_.waitForBytes(count, timeoutMs); }
    void purge() override { inner_.purge(); }
    std::int64_t nowMs() override { return inner_.nowMs(); }
    bool isOpen() const override { return inner_.isOpen(); }

private:
    SimulatedLink& inner_;
    int failAt_;
    int requests_ = 0;
};

enum class Direction { Download, Upload };

struct FaultCase {
    const char* name;
    Direction direction;
    std::uint8_t command;
    Fault fault;
    std::vector<std::string> messages;  // questions left out
    TransferOutcome outcome;
    bool everything;  // everything acknowledged / read
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class GatewayFault : public ::testing::TestWithParam<FaultCase> {};

std::vector<std::string> messagesOf(const ScriptedOperator& op) {
    std::vector<std::string> keys;
    for (const auto& s : op.shown())
        if (!s.question) keys.emplace_back(s.message.id.key);
    return keys;
}

TEST_P(GatewayFault, EndsWithTheStepMessageAndNeverHangs) {
    const FaultCase& c = GetParam();
    GatewayEngine engine(DeviceOptions{4, 6, 0, 244});
    SimulatedLink link(engine);
    Project project = richProject(3, true);
    ScriptedOperator op({Answer::Yes, Answer::Yes});
    TransferOutcome outcome;
    bool everything = false;
    if (c.direction == Direction::Upload) {
        MappingState mapping;
        Project sent = project;
        ScriptedOperator quiet({Answer::Yes, Answer::Yes});
        ASSERT_EQ(runDownload(link, quiet, sent, mapping, nullptr).outcome, TransferOutcome::Completed);
        engine.setFault(c.command, c.fault);
        Project uploaded;
        resetToDefaults(uploaded, 3);
        const auto result = runUpload(link, op, uploaded, nullptr);
        outcome = result.outcome;
        everything = result.everythingRead;
    } else {
        engine.setFault(c.command, c.fault);
        MappingState mapping;
        const auto result = runDownload(link, op, project, mapping, nullptr);
        outcome = result.outcome;
        everything = result.everythingAcknowledged;
    }
    EXPECT_EQ(messagesOf(op), c.messages);
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(everything, c.everything);
    EXPECT_LT(link.nowMs(), kLongestRunMs);
}

Fault fault(FaultKind kind, int lateMs = 0) { return Fault{kind, lateMs, 0x0E}; }

INSTANTIATE_TEST_SUITE_P(
    Injected, GatewayFault,
    ::testing::Values(
        FaultCase{"DownloadStateSwitchSilent", Direction::Download, 0x0F, fault(FaultKind::Silent),
                  {"ConfigurationStateFailed"}, TransferOutcome::Failed, false},
        FaultCase{"DownloadFieldbusErrorFrame", Direction::Download, 0x30, fault(FaultKind::ErrorFrame),
                  {"FieldbusDownloadFailed"}, TransferOutcome::Failed, false},
        FaultCase{"DownloadSubnetErrorFrame", Direction::Download, 0x03, fault(FaultKind::ErrorFrame),
                  {"SubnetParametersFailed"}, TransferOutcome::Failed, false},
        FaultCase{"DownloadClearSilentGoesOn", Direction::Download, 0x14, fault(FaultKind::Silent),
                  {"ClearCommandsFailed"}, TransferOutcome::Completed, false},
        FaultCase{"DownloadCommandBadChecksum", Direction::Download, 0x10, fault(FaultKind::BadChecksum),
                  {"CommandFailed"}, TransferOutcome::Failed, false},
        FaultCase{"DownloadCommandLateWithinTheBound", Direction::Download, 0x10, fault(FaultKind::Late, 200), {},
                  TransferOutcome::Completed, true},
        FaultCase{"DownloadCommandLaterThanTheBound", Direction::Download, 0x10, fault(FaultKind::Late, 4000),
                  {"CommandFailed"}, TransferOutcome::Failed, false},
        FaultCase{"DownloadCommandSilent", Direction::Download, 0x10, fault(FaultKind::Silent), {"CommandFailed"},
                  TransferOutcome::Failed, false},
        FaultCase{"DownloadTimeoutHandlingSilent", Direction::Download, 0x32, fault(FaultKind::Silent),
                  {"TimeoutHandlingTimeout"}, TransferOutcome::Failed, false},
        FaultCase{"DownloadCharIntervalsErrorGoesOn", Direction::Download, 0x05, fault(FaultKind::ErrorFrame),
                  {"CharIntervalsWriteFailed"}, TransferOutcome::Completed, false},
        FaultCase{"DownloadAddressLate", Direction::Download, 0x36, fault(FaultKind::Late, 1000),
                  {"ProfibusAddressFailed"}, TransferOutcome::Failed, false},
        FaultCase{"DownloadModesErrorFrame", Direction::Download, 0x3A, fault(FaultKind::ErrorFrame),
                  {"ConfigurationModesFailed"}, TransferOutcome::Failed, false},
        FaultCase{"UploadDeviceTypeSilent", Direction::Upload, 0x01, fault(FaultKind::Silent),
                  {"ReadDeviceTypeTimeout"}, TransferOutcome::Failed, false},
        FaultCase{"UploadFieldbusErrorFrame", Direction::Upload, 0x31, fault(FaultKind::ErrorFrame),
                  {"ReadFieldbusFailed"}, TransferOutcome::Failed, false},
        FaultCase{"UploadSubnetLate", Direction::Upload, 0x04, fault(FaultKind::Late, 500), {"ReadSubnetTimeout"},
                  TransferOutcome::Failed, false},
        FaultCase{"UploadSubnetBadChecksum", Direction::Upload, 0x04, fault(FaultKind::BadChecksum),
                  {"ReadSubnetFailed"}, TransferOutcome::Failed, false},
        FaultCase{"UploadCountSilent", Direction::Upload, 0x15, fault(FaultKind::Silent),
                  {"ReadCommandCountTimeout"}, TransferOutcome::Failed, false},
        FaultCase{"UploadBatchBadChecksum", Direction::Upload, 0x16, fault(FaultKind::BadChecksum),
                  {"ReadCommandListFailed"}, TransferOutcome::Failed, false},
        FaultCase{"UploadBatchLateWithinTheBound", Direction::Upload, 0x16, fault(FaultKind::Late, 600), {},
                  TransferOutcome::Completed, true},
        FaultCase{"UploadTimeoutHandlingErrorFrame", Direction::Upload, 0x33, fault(FaultKind::ErrorFrame),
                  {"TimeoutHandlingFailed"}, TransferOutcome::Failed, false},
        FaultCase{"UploadAddressSilent", Direction::Upload, 0x37, fault(FaultKind::Silent), {"UploadFailedCheckPort"},
                  TransferOutcome::Failed, false},
        FaultCase{"UploadCharIntervalsBadChecksum", Direction::Upload, 0x06, fault(FaultKind::BadChecksum),
                  {"CharIntervalsReadFailed"}, TransferOutcome::Completed, false}),
    testing::CaseName());

TEST(GatewayFault, UnpluggedDuringDownloadAndUpload) {
    GatewayEngine engine(DeviceOptions{4, 5, 2, 244});
    SimulatedLink simulated(engine);
    UnpluggingLink link(simulated, 4);  // 01, 30, 03, 14, then the first command
    Project project = richProject(3, false);
    ScriptedOperator op;
    MappingState mapping;
    EXPECT_EQ(runDownload(link, op, project, mapping, nullptr).outcome, TransferOutcome::Failed);
    EXPECT_EQ(messagesOf(op), std::vector<std::string>{"CommandFailed"});

    GatewayEngine engine2(DeviceOptions{4, 5, 2, 244});
    SimulatedLink simulated2(engine2);
    UnpluggingLink link2(simulated2, 1);
    Project uploaded;
    resetToDefaults(uploaded, 3);
    const Project before = uploaded;
    ScriptedOperator op2;
    EXPECT_EQ(runUpload(link2, op2, uploaded, nullptr).outcome, TransferOutcome::Failed);
    EXPECT_EQ(messagesOf(op2), std::vector<std::string>{"ReadFieldbusTimeout"});
    EXPECT_TRUE(sameContents(uploaded, before));
}

TEST(GatewayFault, DeclinedStateSwitchLeavesTheGatewayUntouched) {
    GatewayEngine engine(DeviceOptions{4, 6, 0, 244});
    SimulatedLink link(engine);
    Project project = richProject(3, true);
    ScriptedOperator op({Answer::No});
    MappingState mapping;
    EXPECT_EQ(runDownload(link, op, project, mapping, nullptr).outcome, TransferOutcome::Canceled);
    EXPECT_EQ(engine.state(), OperatingState::Communication);
    EXPECT_TRUE(engine.memory().subnets[0].commands.empty());
}

}  // namespace
}  // namespace korvex::serial
