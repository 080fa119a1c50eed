// The Ethernet download and upload over a scripted connection: checks, the
// write and its answer, the restart on Exit, the read and its refusals.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "hex_bytes.h"
#include "mapping/auto_mapping.h"
#include "model/operator.h"
#include "model/texts.h"
#include "net/config_block.h"
#include "net/ethernet_transfer.h"
#include "net_fakes.h"

namespace korvex::net {
namespace {

using korvex::testing::hexBytes;
using testing::FakeStreamSocket;

const Bytes kWriteAccepted = hexBytes("00 00 00 06 00 00 00 08 00 00 00 00 00 00 00 00");

std::unique_ptr<Project> ethernetProject() {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p, 4);
    addDefaultNode(*p);
    return p;
}

std::vector<std::string> keys(const ScriptedOperator& op) { return op.shownKeys(); }

TEST(RemotePermission, RefusedWithTheDipSwitchMessage) {
    ScriptedOperator op;
    EthernetTarget target;
    EXPECT_TRUE(remoteConfigPermitted(target, op));
    target.remoteConfigAllowed = false;
    EXPECT_FALSE(remoteConfigPermitted(target, op));
    EXPECT_EQ(keys(op), std::vector<std::string>{"RemoteConfigForbidden"});
}

struct ByteCountCase {
    const char* name;
    const char* functionCode;
    const char* dataCount;
    const char* byteCount;
};
void PrintTo(const ByteCountCase& c, std::ostream* os) { *os << c.name; }
class ByteCount : public ::testing::TestWithParam<ByteCountCase> {};

TEST_P(ByteCount, FollowsTheFunctionCode) {
    auto p = ethernetProject();
    p->subnet(1).commandCount = 1;
    for (int s = 0; s < 2; ++s) {
        ModbusCommand& c = p->subnet(s).commands[0];
        c.functionCode = GetParam().functionCode;
        c.dataCount = GetParam().dataCount;
        c.byteCount = "99";
    }
    refreshEthernetByteCounts(*p);
    EXPECT_EQ(p->subnet(0).commands[0].byteCount, GetParam().byteCount);
    EXPECT_EQ(p->subnet(1).commands[0].byteCount, GetParam().byteCount);
}

INSTANTIATE_TEST_SUITE_P(Cases, ByteCount,
                         ::testing::Values(ByteCountCase{"Coils8", "1", "8", "2"},
                                           ByteCountCase{"Inputs7", "2", "7", "1"},
                                           ByteCountCase{"MultipleCoils16", "15", "16", "3"},
                                           ByteCountCase{"Holding16", "3", "16", "32"},
                                           ByteCountCase{"InputRegisters1", "4", "1", "2"},
                                           ByteCountCase{"PresetMultiple8", "16", "8", "16"},
                                           ByteCountCase{"SingleCoil", "5", "40", "1"},
                                           ByteCountCase{"SingleRegister", "6", "40", "2"},
                                           ByteCountCase{"UnknownCodeKeeps", "7", "8", "99"},
                                           ByteCountCase{"CodeWithBlankKeeps", "1 ", "8", "99"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CheckCase {
    const char* name;
    void (*prepare)(Project&, MappingState&);
    std::vector<Answer> answers;
    bool passes;
    std::vector<std::string> shown;
};
void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }
class DownloadChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(DownloadChecks, StopOrGoOnAsTheirRuleSays) {
    auto p = ethernetProject();
    MappingState mapping;
    GetParam().prepare(*p, mapping);
    ScriptedOperator op({GetParam().answers.begin(), GetParam().answers.end()});
    EXPECT_EQ(checkEthernetDownload(*p, mapping, nullptr, op), GetParam().passes);
    EXPECT_EQ(op.shownKeys(), GetParam().shown);
}

void setCommand(Project& p, const char* code, const char* mapping, const char* count) {
    ModbusCommand& c = p.subnet(0).commands[0];
    c.functionCode = code;
    c.mappingAddress = mapping;
    c.dataCount = count;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadChecks,
    ::testing::Values(
        CheckCase{"DefaultProjectPasses", [](Project&, MappingState&) {}, {}, true, {}},
        CheckCase{"VacantNodeOfSubnet2", [](Project& p, MappingState&) { p.subnet(1).nodeCount = 1; }, {}, false,
                  {"VacantNodeAddress"}},
        CheckCase{"EmptyNodeAddress", [](Project& p, MappingState&) { p.subnet(0).nodes[0].address = ""; }, {}, false,
                  {"VacantNodeAddress"}},
        CheckCase{"ConflictAnsweredNo",
                  [](Project& p, MappingState&) { p.subnet(0).commands[1].mappingAddress = "0"; p.subnet(0).commands[1].functionCode = "3"; },
                  {Answer::No}, false, {"MappingConflictQuestion"}},
        CheckCase{"ConflictAnsweredYes",
                  [](Project& p, MappingState&) { p.subnet(0).commands[1].mappingAddress = "0"; p.subnet(0).commands[1].functionCode = "3"; },
                  {Answer::Yes}, true, {"MappingConflictQuestion"}},
        CheckCase{"OverflowFlagSet", [](Project&, MappingState& m) { m.mappingOverflow = true; }, {}, false,
                  {"MappingOverflowRefused"}},
        CheckCase{"ReadA0Plus32Fits", [](Project& p, MappingState&) { setCommand(p, "3", "a0", "16"); }, {}, true, {}},
        CheckCase{"ReadEndsAt511Fits", [](Project& p, MappingState&) { setCommand(p, "3", "1EF", "8"); }, {}, true, {}},
        CheckCase{"ReadEndsAt512Refused", [](Project& p, MappingState&) { setCommand(p, "4", "1F0", "8"); }, {}, false,
                  {"MappingExceedsMaximum"}},
        CheckCase{"Write41F0Plus16Refused",
                  [](Project& p, MappingState&) {
                      p.subnet(0).commands[1].mappingAddress = "41F0";
                  },
                  {}, false, {"MappingExceedsMaximum"}},
        CheckCase{"Write41EFPlus16Fits",
                  [](Project& p, MappingState&) { p.subnet(0).commands[1].mappingAddress = "41EF"; }, {}, true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

class Download : public ::testing::Test {
protected:
    std::unique_ptr<Project> project = ethernetProject();
    MappingState mapping;
    FakeStreamSocket socket;
    EthernetDownload transfer{socket, "127.0.0.11"};
};

TEST_F(Download, WritesTheBlockAndOffersTheRestartOnExit) {
    socket.answers.push_back(kWriteAccepted);
    ScriptedOperator op({Answer::Ok});
    ASSERT_TRUE(transfer.download(*project, mapping, nullptr, op));
    EXPECT_EQ(socket.connectedAddress, "127.0.0.11");
    EXPECT_EQ(socket.connectedPort, 18801);
    ASSERT_EQ(socket.sent.size(), 1u);
    EXPECT_EQ(socket.sent[0], composeWriteBlock(*project));
    ASSERT_EQ(op.steps().size(), 1u);
    EXPECT_EQ(op.steps()[0].text.id, texts::DownloadSuccessful);
    EXPECT_TRUE(socket.isOpen());
    EXPECT_TRUE(transfer.exit(op));
    EXPECT_EQ(op.shownKeys(), std::vector<std::string>{"RestartQuestion"});
    ASSERT_EQ(socket.sent.size(), 2u);
    EXPECT_EQ(socket.sent[1], restartFrame());
    EXPECT_FALSE(socket.isOpen());
}

TEST_F(Download, ExitAnsweredCancelSendsNoRestart) {
    socket.answers.push_back(kWriteAccepted);
    ScriptedOperator op({Answer::Cancel});
    ASSERT_TRUE(transfer.download(*project, mapping, nullptr, op));
    EXPECT_TRUE(transfer.exit(op));
    EXPECT_EQ(socket.sent.size(), 1u);
    EXPECT_FALSE(socket.isOpen());
}

TEST_F(Download, RestartThatCannotBeSentKeepsTheWindowOpen) {
    socket.answers.push_back(kWriteAccepted);
    ScriptedOperator op({Answer::Ok});
    ASSERT_TRUE(transfer.download(*project, mapping, nullptr, op));
    socket.sendSucceeds = false;
    EXPECT_FALSE(transfer.exit(op));
    EXPECT_FALSE(socket.isOpen());
    EXPECT_EQ(op.shownKeys(), std::vector<std::string>{"RestartQuestion"});
    EXPECT_TRUE(transfer.exit(op)) << "a second Exit closes without asking again";
    EXPECT_EQ(op.shownKeys().size(), 1u);
}

struct FailureCase {
    const char* name;
    bool connects;
    bool sends;
    std::optional<Bytes> answer;
    const char* shown;
};
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
class DownloadFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(DownloadFailure, ShowsItsMessageClosesAndAsksNothingOnExit) {
    auto project = ethernetProject();
    MappingState mapping;
    FakeStreamSocket socket;
    socket.connectSucceeds = GetParam().connects;
    socket.sendSucceeds = GetParam().sends;
    socket.answers.push_back(GetParam().answer);
    EthernetDownload transfer(socket, "127.0.0.11");
    ScriptedOperator op;
    EXPECT_FALSE(transfer.download(*project, mapping, nullptr, op));
    EXPECT_EQ(op.shownKeys(), std::vector<std::string>{GetParam().shown});
    EXPECT_FALSE(socket.isOpen());
    EXPECT_FALSE(transfer.downloaded());
    EXPECT_TRUE(transfer.exit(op));
    EXPECT_EQ(op.shownKeys().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadFailure,
    ::testing::Values(FailureCase{"ConnectFails", false, true, kWriteAccepted, "ConnectFailed"},
                      FailureCase{"SendFails", true, false, kWriteAccepted, "WriteConfigFailed"},
                      FailureCase{"NoAnswer", true, true, std::nullopt, "WriteConfigFailed"},
                      FailureCase{"AnswerCode7", true, true,
                                  hexBytes("00 00 00 07 00 00 00 08 00 00 00 00 00 00 00 00"), "WriteFailed"},
                      FailureCase{"AnswerTooShortForItsCode", true, true, hexBytes("00 00"), "WriteFailed"}),
    [](const auto& info) { return std::string(info.param.name); });

Bytes uploadBlock() {
    Bytes b(1272, 0);
    const Bytes head = hexBytes("00 00 00 05 00 00 04 F0 00 00 00 02 7F 00 00 0B");
    std::copy(head.begin(), head.end(), b.begin());
    b[83] = 1;                                     // one command on subnet 1
    const Bytes slot = hexBytes("05 03 00 00 00 04 00 10 00 00 00 00");
    std::copy(slot.begin(), slot.end(), b.begin() + 84);
    return b;
}

TEST(Upload, ReplacesTheProjectFromTheBlock) {
    auto project = std::make_unique<Project>();
    resetToDefaults(*project, 3);
    FakeStreamSocket socket;
    socket.answers.push_back(uploadBlock());
    ScriptedOperator op;
    ASSERT_TRUE(ethernetUpload(*project, socket, "127.0.0.11", op));
    ASSERT_EQ(socket.sent.size(), 1u);
    EXPECT_EQ(socket.sent[0], readConfigRequest());
    EXPECT_FALSE(socket.isOpen());
    EXPECT_TRUE(op.shownKeys().empty());
    ASSERT_EQ(op.steps().size(), 1u);
    EXPECT_EQ(op.steps()[0].text.id, texts::UploadSuccessful);
    EXPECT_EQ(project->deviceKind, 4);
    EXPECT_EQ(project->fieldbus.assignIpMode, "BOOTP");
    EXPECT_EQ(project->fieldbus.ipAddress, "127.0.0.11");
    EXPECT_EQ(project->subnet(0).commands[0].mappingAddress, "10");
    EXPECT_EQ(project->subnet(0).nodes[0].name, "Node-5");
}

struct UploadFailureCase {
    const char* name;
    bool connects;
    bool sends;
    std::optional<Bytes> answer;
    std::vector<std::string> shown;
};
void PrintTo(const UploadFailureCase& c, std::ostream* os) { *os << c.name; }
class UploadFailure : public ::testing::TestWithParam<UploadFailureCase> {};

TEST_P(UploadFailure, LeavesTheProjectAsItWas) {
    auto project = std::make_unique<Project>();
    resetToDefaults(*project, 3);
    addDefaultNode(*project);
    const auto before = std::make_unique<Project>(*project);
    FakeStreamSocket socket;
    socket.connectSucceeds = GetParam().connects;
    socket.sendSucceeds = GetParam().sends;
    socket.answers.push_back(GetParam().answer);
    ScriptedOperator op;
    EXPECT_FALSE(ethernetUpload(*project, socket, "127.0.0.11", op));
    EXPECT_EQ(op.shownKeys(), GetParam().shown);
    EXPECT_TRUE(testing::sameProject(*project, *before));
    EXPECT_FALSE(socket.isOpen());
}

Bytes truncatedBlock() {
    Bytes b = uploadBlock();
    b.resize(600);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UploadFailure,
    ::testing::Values(UploadFailureCase{"ConnectFails", false, true, uploadBlock(), {"ConnectFailed"}},
                      UploadFailureCase{"RequestNotSent", true, false, uploadBlock(), {"ReadConfigFailedCheckAddress"}},
                      UploadFailureCase{"NothingReceived", true, true, std::nullopt, {"ReadConfigFailedCheckAddress"}},
                      UploadFailureCase{"ShortRead", true, true, truncatedBlock(), {"ReadConfigFailed"}},
                      UploadFailureCase{"WrongCode", true, true, hexBytes("00 00 00 06 00 00 00 00"), {"ReadConfigFailed"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvex::net
