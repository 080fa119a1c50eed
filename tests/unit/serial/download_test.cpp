// The download sequence against a scripted gateway: what goes out, what the user
// sees, and how each refused or silent step ends.
#include "serial/download.h"

#include <gtest/gtest.h>

#include "case_names.h"

#include <deque>
#include <string>
#include <vector>

#include "gateway_answers.h"
#include "mapping/auto_mapping.h"
#include "model/operator.h"
#include "model/texts.h"
#include "serial/download_frames.h"
#include "serial/exchange.h"

namespace korvex::serial {
namespace {

using testing::AcceptingGateway;
using testing::ScriptedLink;

Project newProject(int kind, bool defaultNode = true) {
    Project p;
    resetToDefaults(p, kind);
    if (defaultNode) addDefaultNode(p);
    return p;
}

std::vector<std::string> stepKeys(const ScriptedOperator& op) {
    std::vector<std::string> keys;
    for (const auto& s : op.steps()) keys.push_back(std::string(s.text.id.key) + "@" + std::to_string(s.line));
    return keys;
}

struct Downloaded {
    ScriptedLink link;
    ScriptedOperator op;
    MappingState mapping;
    DownloadResult result;

    Downloaded(Project& project, AcceptingGateway gateway, std::deque<Answer> answers = {}) : op(std::move(answers)) {
        link.responder = gateway;
        result = runDownload(link, op, project, mapping, nullptr);
    }
};

TEST(Download, Kind3WithFirmware52SendsThePlannedFramesAndTicksEachStep) {
    Project p = newProject(3);
    Downloaded run(p, AcceptingGateway{4, 5, 2});
    EXPECT_EQ(run.result.outcome, TransferOutcome::Completed);
    EXPECT_TRUE(run.result.everythingAcknowledged);
    EXPECT_TRUE(run.op.shown().empty());  // 5.2: no state questions
    std::vector<Bytes> expected{{0x01, 0x00, 0x01}};
    for (const Bytes& f : composeDownloadFrames(p, *run.result.identity, nullptr)) expected.push_back(f);
    EXPECT_EQ(run.link.sent, expected);
    EXPECT_EQ(stepKeys(run.op),
              (std::vector<std::string>{"DownloadStepProfibus@0", "DownloadStepSubnetParameter@1",
                                        "DownloadStepSubnetCommand@2", "DownloadSuccessful@7"}));
}

TEST(Download, Firmware60AsksScramblesAndReturnsToCommunication) {
    Project p = newProject(3);
    Downloaded run(p, AcceptingGateway{4, 6, 0}, {Answer::Yes, Answer::Yes});
    EXPECT_EQ(run.result.outcome, TransferOutcome::Completed);
    EXPECT_EQ(run.op.shownKeys(),
              (std::vector<std::string>{"ConfigurationStateQuestion", "StartCommunicationQuestion"}));
    const auto& sent = run.link.sent;
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(sent[1], (Bytes{0x0F, 0x01, 0xA4, 0xB4}));
    // The clear frame: 00 stays, 55 and AA are XOR-ed with the mask, checksum over the sent bytes.
    EXPECT_NE(std::find(sent.begin(), sent.end(), Bytes{0x14, 0x03, 0x00, 0xF0, 0x0F, 0x16}), sent.end());
    EXPECT_EQ(sent.back(), (Bytes{0x0F, 0x01, 0x00, 0x10}));
    // The status shows before the gateway-wide settings.
    EXPECT_EQ(run.op.steps().back().line, progress_line::Status);
}

TEST(Download, Firmware53AsksOnlyAtTheEndAndDoesNotScramble) {
    Project p = newProject(3);
    Downloaded run(p, AcceptingGateway{4, 5, 3}, {Answer::No});
    EXPECT_EQ(run.result.outcome, TransferOutcome::Completed);
    EXPECT_EQ(run.op.shownKeys(), std::vector<std::string>{"StartCommunicationQuestion"});
    EXPECT_NE(std::find(run.link.sent.begin(), run.link.sent.end(), Bytes{0x14, 0x03, 0x00, 0x55, 0xAA, 0x16}),
              run.link.sent.end());
    EXPECT_NE(run.link.sent.back().at(0), 0x0F);  // No: the gateway is not told
}

TEST(Download, DecliningTheConfigurationStateWritesNothing) {
    Project p = newProject(3);
    Downloaded run(p, AcceptingGateway{4, 6, 0}, {Answer::No});
    EXPECT_EQ(run.result.outcome, TransferOutcome::Canceled);
    EXPECT_EQ(run.link.sent, (std::vector<Bytes>{{0x01, 0x00, 0x01}}));
    EXPECT_TRUE(run.op.steps().empty());
}

TEST(Download, FourSubnetGatewayTicksItsSubnetLines) {
    Project p = newProject(2);
    Downloaded run(p, AcceptingGateway{3, 5, 2});
    EXPECT_EQ(run.result.outcome, TransferOutcome::Completed);
    EXPECT_EQ(stepKeys(run.op),
              (std::vector<std::string>{"DownloadStepSubnetLine@3", "DownloadStepSubnetLine@4", "DownloadStepSubnetLine@5",
                                        "DownloadStepSubnetLine@6", "DownloadSuccessful@7"}));
    EXPECT_EQ(run.op.steps()[2].text.text(), "Download subnet3Modbus configuration and command list");
}

TEST(Download, SlaveGatewayStartsWithTheSubnetParameters) {
    Project p = newProject(5, false);
    Downloaded run(p, AcceptingGateway{6, 5, 2});
    ASSERT_GE(run.link.sent.size(), 2u);
    EXPECT_EQ(run.link.sent[1].at(0), 0x03);
    EXPECT_EQ(stepKeys(run.op), (std::vector<std::string>{"DownloadStepModbusParameter@1", "DownloadStepModbusCommand@2",
                                                          "DownloadSuccessful@7"}));
}

TEST(Download, LeftoverBytesOfAnAnswerDoNotDisturbTheNextExchange) {
    Project p = newProject(3);
    ScriptedLink link;
    const AcceptingGateway gateway{4, 5, 2};
    link.responder = [&](const Bytes& request) {
        auto reply = gateway(request);
        if (reply && request.at(0) == 0x03) reply->bytes.insert(reply->bytes.end(), {0x10, 0x00});
        return reply;
    };
    ScriptedOperator op;
    MappingState mapping;
    const auto result = runDownload(link, op, p, mapping, nullptr);
    EXPECT_EQ(result.outcome, TransferOutcome::Completed);
    EXPECT_TRUE(result.everythingAcknowledged);
    EXPECT_TRUE(op.shown().empty());
}

// ---- Refused and silent steps ---------------------------------------------------------

struct FailureCase {
    const char* name;
    int kind;
    int major;
    int refuse;                  // command code answered wrongly
    std::optional<Bytes> reply;  // nullopt: silence
    std::vector<std::string> messages;
    std::vector<std::string> args;  // of the last message
    TransferOutcome outcome;
};
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class DownloadFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(DownloadFailure, ShowsTheStepMessageAndEnds) {
    const FailureCase& c = GetParam();
    Project p = newProject(c.kind);
    const int type = c.kind + 1;
    AcceptingGateway gateway{type, c.major, 0, 244, c.refuse, c.reply};
    gateway.minor = c.major == 5 ? 2 : 0;
    std::deque<Answer> answers{Answer::Yes, Answer::Yes};
    Downloaded run(p, gateway, answers);
    std::vector<std::string> messages;
    for (const auto& s : run.op.shown())
        if (!s.question) messages.emplace_back(s.message.id.key);
    EXPECT_EQ(messages, c.messages);
    ASSERT_FALSE(run.op.shown().empty());
    const auto last = std::find_if(run.op.shown().rbegin(), run.op.shown().rend(), [](const auto& s) { return !s.question; });
    EXPECT_EQ(last->message.args, c.args);
    EXPECT_EQ(run.result.outcome, c.outcome);
    EXPECT_FALSE(run.result.everythingAcknowledged);
    // Every wait is bounded: even a silent gateway ends the run within seconds of virtual time.
    EXPECT_LE(run.link.nowMs(), 10 * wait_limit::Acknowledgement);
}

const Bytes kGarbage{0x7E, 0x00, 0x7E};

INSTANTIATE_TEST_SUITE_P(
    Steps, DownloadFailure,
    ::testing::Values(
        FailureCase{"FieldbusRefused", 3, 5, 0x30, Bytes{0xB0, 0x02, 0x01, 0x01, 0xB4}, {"FieldbusDownloadFailed"}, {},
                    TransferOutcome::Failed},
        FailureCase{"DeviceNetSilent", 0, 5, 0x21, std::nullopt, {"FieldbusDownloadFailed"}, {},
                    TransferOutcome::Failed},
        FailureCase{"SubnetParametersSilent", 3, 5, 0x03, std::nullopt, {"SubnetParametersFailed"}, {},
                    TransferOutcome::Failed},
        FailureCase{"SubnetParametersRefusedOnFourSubnets", 2, 5, 0x03, Bytes{0x83, 0x02, 0x01, 0x00, 0x86},
                    {"SubnetParametersFailedOfSubnet"}, {"1"}, TransferOutcome::Failed},
        FailureCase{"ClearRefusedGoesOn", 3, 5, 0x14, kGarbage, {"ClearCommandsFailed"}, {},
                    TransferOutcome::Completed},
        FailureCase{"ClearRefusedOnFourSubnetsStops", 2, 5, 0x14, kGarbage, {"ClearSubnetFailed"}, {"1"},
                    TransferOutcome::Failed},
        FailureCase{"SecondSlaveRefused", 3, 5, 0x10, Bytes{0x90, 0x02, 0x03, 0x00, 0x95}, {"OneSlaveOnly"}, {},
                    TransferOutcome::Failed},
        FailureCase{"CommandRefused", 3, 5, 0x10, Bytes{0x90, 0x02, 0x01, 0x00, 0x93}, {"CommandFailed"}, {"0"},
                    TransferOutcome::Failed},
        FailureCase{"CommandSilentOnFourSubnets", 2, 5, 0x10, std::nullopt, {"SubnetCommandFailed"}, {"1", "0"},
                    TransferOutcome::Failed},
        FailureCase{"TimeoutHandlingSilent", 3, 5, 0x32, std::nullopt, {"TimeoutHandlingTimeout"}, {},
                    TransferOutcome::Failed},
        FailureCase{"TimeoutHandlingRefused", 3, 5, 0x32, Bytes{0xB2, 0x02, 0x01, 0x00, 0xB5}, {"TimeoutHandlingFailed"},
                    {}, TransferOutcome::Failed},
        FailureCase{"CharIntervalsRefusedGoesOn", 3, 5, 0x05, Bytes{0x85, 0x02, 0x01, 0x00, 0x88},
                    {"CharIntervalsWriteFailed"}, {}, TransferOutcome::Completed},
        FailureCase{"ModesRefused", 3, 6, 0x3A, kGarbage, {"ConfigurationModesFailed"}, {}, TransferOutcome::Failed},
        FailureCase{"ModesSilent", 3, 6, 0x3A, std::nullopt, {"ConfigurationModesFailed"}, {},
                    TransferOutcome::Failed}),
    testing::CaseName());

TEST(Download, RefusedProfibusAddress) {
    Project p = newProject(3);
    p.fieldbus.profibusAddress = "9";
    AcceptingGateway gateway{4, 6, 0, 244, 0x36, Bytes{0x36, 0x00, 0x37}};
    Downloaded run(p, gateway, {Answer::Yes});
    EXPECT_EQ(run.op.shownKeys(), (std::vector<std::string>{"ConfigurationStateQuestion", "ProfibusAddressFailed"}));
    EXPECT_EQ(run.result.outcome, TransferOutcome::Failed);
}

TEST(Download, SmallFirmwareRefusesMoreThan224Bytes) {
    Project p = newProject(3);
    p.subnet(0).commands[0].dataCount = "120";  // 240 input bytes
    Downloaded small(p, AcceptingGateway{4, 5, 2, 243});
    EXPECT_EQ(small.op.shownKeys(), std::vector<std::string>{"FirmwareByteLimit"});
    EXPECT_EQ(small.link.sent.size(), 1u);
    EXPECT_EQ(p.subnet(0).commands[0].byteCount, "240");  // refreshed from the data count

    Downloaded large(p, AcceptingGateway{4, 5, 2, 244});
    EXPECT_EQ(large.result.outcome, TransferOutcome::Completed);
}

TEST(Download, LostLinkEndsWithTheStepMessage) {
    Project p = newProject(3);
    ScriptedLink link;
    link.responder = AcceptingGateway{4, 5, 2};
    link.failAtRequest = 3;  // 01, 30, 03, then the clear frame
    ScriptedOperator op;
    MappingState mapping;
    const auto result = runDownload(link, op, p, mapping, nullptr);
    EXPECT_EQ(op.shownKeys(), std::vector<std::string>{"ClearCommandsFailed"});
    EXPECT_EQ(result.outcome, TransferOutcome::Failed);
}

TEST(Download, SilentGatewayFailsIdentificationQuickly) {
    Project p = newProject(3);
    ScriptedLink link;
    ScriptedOperator op;
    MappingState mapping;
    const auto result = runDownload(link, op, p, mapping, nullptr);
    EXPECT_EQ(op.shownKeys(), std::vector<std::string>{"ReadDeviceTypeError"});
    EXPECT_EQ(result.outcome, TransferOutcome::Failed);
    EXPECT_EQ(link.nowMs(), wait_limit::DeviceType);
}

TEST(Download, ChecksBeforeSendingStopWithoutTouchingTheLink) {
    Project p = newProject(3);
    p.subnet(0).nodes[1] = {"9", "Node-9"};  // a node without commands
    p.subnet(0).nodeCount = 2;
    Downloaded declined(p, AcceptingGateway{}, {Answer::No});
    EXPECT_EQ(declined.op.shownKeys(), std::vector<std::string>{"InvalidNodeQuestion"});
    EXPECT_EQ(declined.result.outcome, TransferOutcome::Stopped);
    EXPECT_TRUE(declined.link.sent.empty());

    Downloaded accepted(p, AcceptingGateway{}, {Answer::Yes});
    EXPECT_EQ(accepted.result.outcome, TransferOutcome::Completed);
}

}  // namespace
}  // namespace korvex::serial
