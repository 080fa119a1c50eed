// The upload sequence against a scripted gateway, the conversion of what it read
// and the refusal of answers that do not fit the model's tables.
#include "serial/upload.h"

#include <gtest/gtest.h>

#include "case_names.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "gateway_answers.h"
#include "model/operator.h"
#include "model/texts.h"
#include "serial/upload_conversion.h"

namespace korvex::serial {
namespace {

using testing::ScriptedLink;

// A gateway holding fixed answers to the upload's reads.
struct UploadGateway {
    Bytes deviceType;
    Bytes fieldbus;                              // 22 or 31
    std::array<Bytes, 4> subnets;                // 04, by subnet
    std::array<Bytes, 4> counts;                 // 15, by subnet
    std::array<std::vector<Bytes>, 4> batches;   // 16, by subnet and batch
    Bytes timeoutHandling, configData, address, modes, intervals;  // 33, 35, 37, 3B, 06
    int refuse = -1;
    std::optional<Bytes> refusal;  // nullopt: silence
    bool scramble = false;         // new firmware: requests and answers travel scrambled

    std::optional<ScriptedLink::Reply> operator()(Bytes request) const {
        if (scramble) scrambleFrame(request);
        const std::uint8_t cmd = request.at(0);
        if (cmd == refuse) {
            if (!refusal) return std::nullopt;
            return ScriptedLink::Reply{*refusal};
        }
        const auto subnet = [&] { return static_cast<size_t>(request.at(2) % 4); };
        Bytes answer;
        switch (cmd) {
            case 0x01: return ScriptedLink::Reply{deviceType};
            case 0x22: case 0x31: answer = fieldbus; break;
            case 0x04: answer = subnets[subnet()]; break;
            case 0x15: answer = counts[subnet()]; break;
            case 0x16: {
                const auto& list = batches[subnet()];
                if (request.at(3) >= list.size()) return std::nullopt;
                answer = list[request.at(3)];
                break;
            }
            case 0x33: answer = timeoutHandling; break;
            case 0x35: answer = configData; break;
            case 0x37: answer = address; break;
            case 0x3B: answer = modes; break;
            case 0x06: answer = intervals; break;
            default: return std::nullopt;
        }
        if (answer.empty()) return std::nullopt;
        if (scramble) scrambleFrame(answer);
        return ScriptedLink::Reply{answer};
    }
};

// A kind-3 gateway with firmware 5.2 holding three commands for slaves 5 and 7.
UploadGateway kind3Gateway() {
    UploadGateway g;
    g.deviceType = testing::deviceTypeAnswer(4, 5, 2);
    g.fieldbus = {0x31, 0x03, 0x01, 0x02, 0x01, 0x38};
    g.subnets[0] = {0x04, 0x17, 0x00, 0x00, 0x09, 0x01, 0x02, 0x01, 0x00, 0x00, 0x03, 0xE8, 0x19,
                    0x04, 0x19, 0x0A, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x57};
    g.counts[0] = {0x15, 0x03, 0x00, 0x03, 0x00, 0x1B};
    g.batches[0] = {{0x16, 0x25, 0x00, 0x00, 0x05, 0x03, 0x00, 0x00, 0x00, 0x08, 0x00, 0x10, 0x00, 0x00,
                     0x10, 0x01, 0x05, 0x10, 0x00, 0x64, 0x00, 0x04, 0x40, 0x00, 0x00, 0x01, 0x01, 0x02,
                     0x07, 0x01, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x20, 0x03, 0x00, 0x02, 0x64}};
    g.timeoutHandling = {0x33, 0x01, 0x05, 0x39};
    g.intervals = {0x06, 0x04, 0x01, 0x2C, 0x17, 0x70, 0xBE};
    return g;
}

Project newProject(int kind) {
    Project p;
    resetToDefaults(p, kind);
    addDefaultNode(p);
    return p;
}

struct Uploaded {
    ScriptedLink link;
    ScriptedOperator op;
    UploadResult result;
    Uploaded(Project& project, const UploadGateway& gateway, const PlcBlocks* plc = nullptr) {
        link.responder = gateway;
        result = runUpload(link, op, project, plc);
    }
};

bool sameContents(const Project& a, const Project& b) {
    return a.deviceKind == b.deviceKind && a.flags == b.flags && a.fieldbus == b.fieldbus && a.subnets == b.subnets;
}

std::vector<std::string> stepKeys(const ScriptedOperator& op) {
    std::vector<std::string> keys;
    for (const auto& s : op.steps()) keys.push_back(std::string(s.text.id.key) + "@" + std::to_string(s.line));
    return keys;
}

void expectConvertedKind3(const Project& p) {
    EXPECT_EQ(p.deviceKind, 3);
    EXPECT_EQ(p.fieldbus.protocolType, "PROFIBUS");
    EXPECT_EQ(p.fieldbus.inputSize, "16");
    EXPECT_EQ(p.fieldbus.outputSize, "48");
    const SubnetConfig& s = p.subnet(0);
    EXPECT_EQ(s.inputLengthPrefix, "Enable");
    EXPECT_EQ(s.protocolMode, "Modbus Master");
    EXPECT_EQ(s.masterBaudRate, "4800");
    EXPECT_EQ(s.masterDataBits, "7");
    EXPECT_EQ(s.masterParity, "Even");
    EXPECT_EQ(s.masterStopBits, "2");
    EXPECT_EQ(s.masterTransmissionMode, "RTU");
    EXPECT_EQ(s.responseTimeout, "1000");
    EXPECT_EQ(s.pollDelay, "250");
    EXPECT_EQ(s.outputMode, "Pluse output");
    EXPECT_EQ(s.outputPulse, "250");
    EXPECT_EQ(s.scanRate, "10");
    EXPECT_EQ(s.responseStatus, "3Bytes");
    EXPECT_EQ(s.commInterface, "RS232");
    EXPECT_EQ(s.debugInterface, "RS485");
    EXPECT_EQ(s.timeoutAction, "Clear Data");
    EXPECT_EQ(s.retransmissionTimes, "5");

    ASSERT_EQ(s.nodeCount, 2);
    EXPECT_EQ(s.nodes[0], (SlaveNode{"5", "Node-5"}));
    EXPECT_EQ(s.nodes[1], (SlaveNode{"7", "Node-7"}));
    ASSERT_EQ(s.commandCount, 3);
    const ModbusCommand& a = s.commands[0];
    EXPECT_EQ(a.slaveAddress, "5");
    EXPECT_EQ(a.functionCode, "3");
    EXPECT_EQ(a.startAddress, "0");
    EXPECT_EQ(a.dataCount, "8");
    EXPECT_EQ(a.mappingAddress, "10");
    EXPECT_EQ(a.bitOffset, "0");
    EXPECT_EQ(a.dataFilter, "Fullword");
    EXPECT_EQ(a.byteSwap, "Two Bytes Swap");
    EXPECT_EQ(a.scanType, "Fast Scan");
    EXPECT_EQ(a.checkType, "CRC");
    EXPECT_EQ(a.nodeIndex, 1);
    const ModbusCommand& b = s.commands[1];
    EXPECT_EQ(b.functionCode, "16");
    EXPECT_EQ(b.startAddress, "100");
    EXPECT_EQ(b.mappingAddress, "4000");
    EXPECT_EQ(b.dataFilter, "High byte");
    EXPECT_EQ(b.byteSwap, "No Swap");
    EXPECT_EQ(b.scanType, "Slow Scan");
    EXPECT_EQ(b.nodeIndex, 1);
    const ModbusCommand& c = s.commands[2];
    EXPECT_EQ(c.slaveAddress, "7");
    EXPECT_EQ(c.functionCode, "1");
    EXPECT_EQ(c.dataCount, "10");
    EXPECT_EQ(c.mappingAddress, "20");
    EXPECT_EQ(c.bitOffset, "3");
    EXPECT_EQ(c.dataFilter, "Low byte");
    EXPECT_EQ(c.nodeIndex, 2);
}

TEST(Upload, Kind3ReadsEverythingAndRebuildsNodesFromSlaveAddresses) {
    Project p = newProject(3);
    Uploaded run(p, kind3Gateway());
    EXPECT_EQ(run.result.outcome, TransferOutcome::Completed);
    EXPECT_TRUE(run.result.everythingRead);
    EXPECT_TRUE(run.op.shown().empty());
    expectConvertedKind3(p);
    EXPECT_EQ(p.subnet(0).charIntervalSend, "300");
    EXPECT_EQ(p.subnet(0).charIntervalReceive, "6000");
    EXPECT_FALSE(p.loadedFromFile);
    EXPECT_EQ(stepKeys(run.op), (std::vector<std::string>{"UploadStepProfibus@0", "UploadStepSubnetParameter@1",
                                                          "UploadStepSubnetCommand@2", "UploadSuccessful@7"}));
    const std::vector<Bytes> requests{{0x01, 0x00, 0x01}, {0x31, 0x00, 0x31}, {0x04, 0x01, 0x00, 0x05},
                                      {0x15, 0x01, 0x00, 0x16}, {0x16, 0x02, 0x00, 0x00, 0x18},
                                      {0x33, 0x00, 0x33}, {0x06, 0x00, 0x06}};
    EXPECT_EQ(run.link.sent, requests);

    recomputeByteCounts(p);
    EXPECT_EQ(p.subnet(0).commands[0].byteCount, "16");
    EXPECT_EQ(p.subnet(0).commands[1].byteCount, "8");
    EXPECT_EQ(p.subnet(0).commands[2].byteCount, "2");
}

TEST(Upload, Firmware60ReadsScrambledAnswersAndTheProfibusSettings) {
    UploadGateway g = kind3Gateway();
    g.deviceType = testing::deviceTypeAnswer(4, 6, 0);
    g.scramble = true;
    g.address = makeFrame(0x37, {0x0C});
    g.modes = makeFrame(0x3B, {0x00, 0x01});
    Project p = newProject(3);
    Uploaded run(p, g);
    EXPECT_EQ(run.result.outcome, TransferOutcome::Completed);
    EXPECT_TRUE(run.op.shown().empty());
    expectConvertedKind3(p);
    EXPECT_EQ(p.fieldbus.profibusAddress, "12");
    EXPECT_EQ(p.fieldbus.configurationMode, "Via the Configuration Software of PROFIBUS DP Master");
    EXPECT_EQ(p.fieldbus.compatibilityMode, "Enable");
    EXPECT_EQ(p.subnet(0).charIntervalReceive, "6000");
}

TEST(Upload, ThirteenCommandsComeInBatchesOfSixSixAndOne) {
    UploadGateway g = kind3Gateway();
    g.counts[0] = makeFrame(0x15, {0x00, 13, 0x00});
    g.batches[0].clear();
    for (int b = 0; b < 3; ++b) {
        Bytes data{0x00};
        for (int k = b * 6; k < std::min(13, b * 6 + 6); ++k)
            data.insert(data.end(), {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(10 + k), 3, 0, 0, 0, 1,
                                     0, static_cast<std::uint8_t>(2 * k), 0, 0, 0});
        g.batches[0].push_back(makeFrame(0x16, data));
    }
    Project p = newProject(3);
    Uploaded run(p, g);
    EXPECT_EQ(run.result.outcome, TransferOutcome::Completed);
    std::vector<Bytes> batchRequests;
    for (const Bytes& r : run.link.sent)
        if (r.at(0) == 0x16) batchRequests.push_back(r);
    EXPECT_EQ(batchRequests, (std::vector<Bytes>{{0x16, 0x02, 0x00, 0x00, 0x18},
                                                 {0x16, 0x02, 0x00, 0x01, 0x19},
                                                 {0x16, 0x02, 0x00, 0x02, 0x1A}}));
    EXPECT_EQ(p.subnet(0).commandCount, 13);
    EXPECT_EQ(p.subnet(0).nodeCount, 13);
    EXPECT_EQ(p.subnet(0).commands[12].slaveAddress, "22");
    EXPECT_EQ(p.subnet(0).commands[12].mappingAddress, "18");
}

TEST(Upload, ModbusSlaveSubnetIsReadWithoutCommands) {
    UploadGateway g;
    g.deviceType = testing::deviceTypeAnswer(6, 5, 2);
    g.subnets[0] = makeFrame(0x04, Bytes{0x00, 0x01, 0x05, 0x00, 0x00, 0x00, 0x11, 0x01, 0, 0, 0, 0, 0, 0,
                                         0, 0, 0, 0, 0, 0, 0, 0, 0});
    g.timeoutHandling = {0x33, 0x01, 0x05, 0x39};
    g.intervals = {0x06, 0x04, 0x01, 0x2C, 0x17, 0x70, 0xBE};
    Project p = newProject(5);
    Uploaded run(p, g);
    EXPECT_EQ(run.result.outcome, TransferOutcome::Completed);
    for (const Bytes& r : run.link.sent) EXPECT_NE(r.at(0), 0x15);
    EXPECT_EQ(p.subnet(0).protocolMode, "Modbus Slave");
    EXPECT_EQ(p.subnet(0).slaveAddress, "17");
    EXPECT_EQ(p.subnet(0).slaveTransmissionMode, "ASCII");
    EXPECT_EQ(p.subnet(0).commandCount, 0);
    EXPECT_EQ(p.subnet(0).nodeCount, 0);
}

// ---- Refused, silent and untrustworthy answers ------------------------------------------

struct UploadFailureCase {
    const char* name;
    int refuse;
    std::optional<Bytes> reply;  // nullopt: silence
    std::vector<std::string> shown;
    std::vector<std::string> args;
    bool projectReplaced;
    TransferOutcome outcome;
};
void PrintTo(const UploadFailureCase& c, std::ostream* os) { *os << c.name; }

class UploadFailure : public ::testing::TestWithParam<UploadFailureCase> {};

TEST_P(UploadFailure, ShowsTheStepMessage) {
    const UploadFailureCase& c = GetParam();
    UploadGateway g = kind3Gateway();
    g.refuse = c.refuse;
    g.refusal = c.reply;
    Project p = newProject(3);
    const Project before = p;
    Uploaded run(p, g);
    EXPECT_EQ(run.op.shownKeys(), c.shown);
    if (!run.op.shown().empty()) {
        EXPECT_EQ(run.op.shown().back().message.args, c.args);
    }
    EXPECT_EQ(run.result.projectReplaced, c.projectReplaced);
    EXPECT_EQ(run.result.outcome, c.outcome);
    EXPECT_FALSE(run.result.everythingRead);
    if (!c.projectReplaced) {
        EXPECT_TRUE(sameContents(p, before));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, UploadFailure,
    ::testing::Values(
        UploadFailureCase{"FieldbusSilent", 0x31, std::nullopt, {"ReadFieldbusTimeout"}, {}, false,
                          TransferOutcome::Failed},
        UploadFailureCase{"FieldbusRefused", 0x31, Bytes{0x81, 0x02, 0x01, 0x02, 0x86}, {"ReadFieldbusFailed"}, {},
                          false, TransferOutcome::Failed},
        UploadFailureCase{"SubnetSilent", 0x04, std::nullopt, {"ReadSubnetTimeout"}, {}, false,
                          TransferOutcome::Failed},
        UploadFailureCase{"SubnetShortForm", 0x04,
                          Bytes{0x04, 0x0E, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x2C, 0x00, 0x03,
                                0x00, 0x0A, 0x51},
                          {"ReadSubnetFailed"}, {}, false, TransferOutcome::Failed},
        UploadFailureCase{"CountSilent", 0x15, std::nullopt, {"ReadCommandCountTimeout"}, {}, false,
                          TransferOutcome::Failed},
        UploadFailureCase{"CountAbove100", 0x15, Bytes{0x15, 0x03, 0x00, 0x65, 0x00, 0x7D},
                          {"ReadCommandCountFailed"}, {}, false, TransferOutcome::Failed},
        UploadFailureCase{"BatchSilent", 0x16, std::nullopt, {"ReadCommandListTimeout"}, {}, false,
                          TransferOutcome::Failed},
        UploadFailureCase{"BatchRecordOutsideTheTable", 0x16,
                          Bytes{0x16, 0x0D, 0x00, 0x64, 0x05, 0x03, 0x00, 0x00, 0x00, 0x08, 0x40, 0x00, 0x00, 0x01,
                                0x10, 0xE8},
                          {"ReadCommandListFailed"}, {"0"}, false, TransferOutcome::Failed},
        UploadFailureCase{"BatchMissingCommands", 0x16,
                          Bytes{0x16, 0x0D, 0x00, 0x00, 0x05, 0x03, 0x00, 0x00, 0x00, 0x08, 0x40, 0x00, 0x00, 0x01,
                                0x10, 0x84},
                          {"ReadCommandListFailed"}, {"0"}, false, TransferOutcome::Failed},
        UploadFailureCase{"TimeoutHandlingSilent", 0x33, std::nullopt, {"TimeoutHandlingTimeout"}, {}, true,
                          TransferOutcome::Failed},
        UploadFailureCase{"TimeoutHandlingWithoutValue", 0x33, Bytes{0x33, 0x00, 0x33}, {"TimeoutHandlingFailed"},
                          {}, true, TransferOutcome::Failed},
        UploadFailureCase{"CharIntervalsBadChecksum", 0x06, Bytes{0x06, 0x04, 0x01, 0x2C, 0x17, 0x70, 0xBF},
                          {"CharIntervalsReadFailed"}, {}, true, TransferOutcome::Completed}),
    testing::CaseName());

TEST(Upload, FourSubnetMessagesNameTheSubnetAndBatch) {
    UploadGateway g;
    g.deviceType = testing::deviceTypeAnswer(3, 5, 2);
    for (std::uint8_t s = 0; s < 4; ++s) {
        g.subnets[s] = makeFrame(0x04, Bytes{s, 0x00, 0x05, 0, 0, 0, 0, 0, 0x01, 0x2C, 0, 3, 0, 0x0A});
        g.counts[s] = makeFrame(0x15, {s, 0x00, 0x00});
    }
    g.counts[1] = makeFrame(0x15, {0x01, 0x01, 0x00});  // one command, never delivered
    Project p = newProject(2);
    Uploaded run(p, g);
    EXPECT_EQ(run.op.shownKeys(), std::vector<std::string>{"ReadCommandListTimeout"});

    g.batches[1] = {makeFrame(0x16, {0x01})};  // an empty batch: the command is missing
    Project q = newProject(2);
    Uploaded again(q, g);
    EXPECT_EQ(again.op.shownKeys(), std::vector<std::string>{"ReadCommandListFailedOfSubnet"});
    EXPECT_EQ(again.op.shown().front().message.args, (std::vector<std::string>{"2", "0"}));
    EXPECT_EQ(again.op.shown().front().message.text(), "Read subnet2Modbus command list0unsuccessfully");
    EXPECT_EQ(stepKeys(again.op), std::vector<std::string>{"UploadStepSubnetLine@3"});
}

TEST(Upload, AnswerForAnotherSubnetIsRefused) {
    UploadGateway g = kind3Gateway();
    g.counts[0] = {0x15, 0x03, 0x01, 0x03, 0x00, 0x1C};  // names subnet 2
    Project p = newProject(3);
    Uploaded run(p, g);
    EXPECT_EQ(run.op.shownKeys(), std::vector<std::string>{"ReadCommandCountFailed"});
}

TEST(Upload, LostLinkLeavesTheProjectAlone) {
    Project p = newProject(3);
    const Project before = p;
    ScriptedLink link;
    link.responder = kind3Gateway();
    link.failAtRequest = 2;
    ScriptedOperator op;
    const auto result = runUpload(link, op, p, nullptr);
    EXPECT_EQ(op.shownKeys(), std::vector<std::string>{"ReadSubnetTimeout"});
    EXPECT_EQ(result.outcome, TransferOutcome::Failed);
    EXPECT_TRUE(sameContents(p, before));
}

}  // namespace
}  // namespace korvex::serial
