// Identification of the gateway by firmware version and device type, the version
// gates, and the switch into configuration state.
#include "serial/identification.h"

#include <gtest/gtest.h>

#include "case_names.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "model/operator.h"
#include "model/texts.h"
#include "scripted_link.h"

namespace korvex::serial {
namespace {

using testing::ScriptedLink;

Bytes deviceTypeAnswer(int type, int major, int minor, int capacity = 244) {
    return makeFrame(0x01, Bytes{static_cast<std::uint8_t>(type), static_cast<std::uint8_t>(major),
                                 static_cast<std::uint8_t>(minor), 0, 0, static_cast<std::uint8_t>(capacity), 0, 0});
}

const Bytes kTypeRequest{0x01, 0x00, 0x01};
const Bytes kConfigurationStateRequest{0x0F, 0x01, 0xA4, 0xB4};  // 0F 01 01 10, scrambled
const Bytes kStateAcknowledgement{0x0F, 0x02, 0x00, 0x00, 0x11};

Project projectOfKind(int kind, int commands = 0) {
    Project p;
    resetToDefaults(p, kind);
    p.subnet(0).commandCount = commands;
    return p;
}

// ---- Version gates ---------------------------------------------------------------

struct GateCase {
    const char* name;
    int major, minor;
    bool scramblesDownload, scramblesUpload, returnQuestion, limited48, timeoutHandling, charIntervals,
        profibusSettings;
};
void PrintTo(const GateCase& c, std::ostream* os) { *os << c.name; }

class VersionGates : public ::testing::TestWithParam<GateCase> {};

TEST_P(VersionGates, FollowTheFirmwareVersion) {
    const GateCase& c = GetParam();
    const GatewayIdentity id = GatewayIdentity::fromDeviceData({4, static_cast<std::uint8_t>(c.major),
                                                                static_cast<std::uint8_t>(c.minor), 0, 0, 244, 0, 0});
    const VariantFlags extended;
    EXPECT_EQ(id.firmwareVersion, c.major * 10 + c.minor);
    EXPECT_EQ(id.scramblesDownload(), c.scramblesDownload);
    EXPECT_EQ(id.scramblesUpload(), c.scramblesUpload);
    EXPECT_EQ(id.offersReturnToCommunication(), c.returnQuestion);
    EXPECT_EQ(id.limitedTo48Commands(), c.limited48);
    EXPECT_EQ(id.hasTimeoutHandling(extended), c.timeoutHandling);
    EXPECT_EQ(id.hasCharIntervals(extended), c.charIntervals);
    EXPECT_EQ(id.writesProfibusSettings(), c.profibusSettings);
    EXPECT_EQ(id.readsProfibusSettings(), c.profibusSettings);
}

INSTANTIATE_TEST_SUITE_P(Firmware, VersionGates,
                         ::testing::Values(GateCase{"V3_9", 3, 9, false, false, false, true, false, false, false},
                                           GateCase{"V4_0", 4, 0, false, false, false, true, true, false, false},
                                           GateCase{"V5_1", 5, 1, false, false, false, true, true, true, false},
                                           GateCase{"V5_2", 5, 2, false, false, false, false, true, true, false},
                                           GateCase{"V5_3", 5, 3, false, false, true, false, true, true, false},
                                           GateCase{"V5_9", 5, 9, false, false, true, false, true, true, false},
                                           GateCase{"V6_0", 6, 0, true, true, true, false, true, true, true}),
    testing::CaseName());

TEST(VersionGates, LegacyAndOldProjects) {
    const GatewayIdentity v39 = GatewayIdentity::fromDeviceData({4, 3, 9, 0, 0, 100, 0, 0});
    VariantFlags legacy;
    legacy.extendedSettingsFlag = false;
    legacy.legacyFlag244 = true;
    EXPECT_TRUE(v39.hasTimeoutHandling(legacy));  // legacyFlag244 always writes it
    const GatewayIdentity v60 = GatewayIdentity::fromDeviceData({4, 6, 0, 0, 0, 243, 0, 0});
    VariantFlags old;
    old.extendedSettingsFlag = false;
    EXPECT_FALSE(v60.hasTimeoutHandling(old));
    EXPECT_FALSE(v60.hasCharIntervals(old));
    EXPECT_TRUE(v60.limitsDataTo224Bytes());
    EXPECT_FALSE(GatewayIdentity::fromDeviceData({4, 6, 0, 0, 0, 244, 0, 0}).limitsDataTo224Bytes());
}

// ---- Download identification ---------------------------------------------------

// Projects are built when a case runs: a table of whole projects would not fit
// on the stack.
using MakeProject = std::function<Project()>;

struct DownloadIdCase {
    const char* name;
    MakeProject project;
    std::vector<Bytes> answers;  // per request; empty = silence
    std::deque<Answer> userAnswers;
    IdentifyOutcome outcome;
    std::vector<std::string> shown;  // text keys, questions included
    std::vector<Bytes> sent;
};
void PrintTo(const DownloadIdCase& c, std::ostream* os) { *os << c.name; }

class DownloadIdentificationTest : public ::testing::TestWithParam<DownloadIdCase> {};

TEST_P(DownloadIdentificationTest, ChecksAndSwitches) {
    const DownloadIdCase& c = GetParam();
    ScriptedLink link;
    for (const Bytes& a : c.answers) {
        if (a.empty()) link.queueSilence();
        else link.queue(a);
    }
    ScriptedOperator op(c.userAnswers);
    const auto result = identifyForDownload(link, op, c.project());
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(op.shownKeys(), c.shown);
    EXPECT_EQ(link.sent, c.sent);
}

Project legacy244Project() {
    Project p = projectOfKind(1);
    p.flags.legacyFlag244 = true;
    return p;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadIdentificationTest,
    ::testing::Values(
        DownloadIdCase{"Firmware51With49CommandsRefused", [] { return projectOfKind(3, 49); }, {deviceTypeAnswer(4, 5, 1)}, {},
                       IdentifyOutcome::Failed, {"Extra48Commands"}, {kTypeRequest}},
        DownloadIdCase{"Firmware51With48Commands", [] { return projectOfKind(3, 48); }, {deviceTypeAnswer(4, 5, 1)}, {},
                       IdentifyOutcome::Identified, {}, {kTypeRequest}},
        DownloadIdCase{"Firmware52With49Commands", [] { return projectOfKind(3, 49); }, {deviceTypeAnswer(4, 5, 2)}, {},
                       IdentifyOutcome::Identified, {}, {kTypeRequest}},
        DownloadIdCase{"Firmware53", [] { return projectOfKind(3); }, {deviceTypeAnswer(4, 5, 3)}, {}, IdentifyOutcome::Identified,
                       {}, {kTypeRequest}},
        DownloadIdCase{"Firmware59KeepsItsState", [] { return projectOfKind(3); }, {deviceTypeAnswer(4, 5, 9)}, {},
                       IdentifyOutcome::Identified, {}, {kTypeRequest}},
        DownloadIdCase{"Firmware60SwitchesAfterYes", [] { return projectOfKind(3); }, {deviceTypeAnswer(4, 6, 0), kStateAcknowledgement},
                       {Answer::Yes}, IdentifyOutcome::Identified, {"ConfigurationStateQuestion"},
                       {kTypeRequest, kConfigurationStateRequest}},
        DownloadIdCase{"Firmware60DeclinedWritesNothing", [] { return projectOfKind(3); }, {deviceTypeAnswer(4, 6, 0)}, {Answer::No},
                       IdentifyOutcome::Declined, {"ConfigurationStateQuestion"}, {kTypeRequest}},
        DownloadIdCase{"Firmware60SwitchNotAcknowledged", [] { return projectOfKind(3); },
                       {deviceTypeAnswer(4, 6, 0), {0x8F, 0x02, 0x01, 0x01, 0x93}}, {Answer::Yes},
                       IdentifyOutcome::Failed, {"ConfigurationStateQuestion", "ConfigurationStateFailed"},
                       {kTypeRequest, kConfigurationStateRequest}},
        DownloadIdCase{"Firmware60SwitchSilent", [] { return projectOfKind(3); }, {deviceTypeAnswer(4, 6, 0), {}}, {Answer::Yes},
                       IdentifyOutcome::Failed, {"ConfigurationStateQuestion", "ConfigurationStateFailed"},
                       {kTypeRequest, kConfigurationStateRequest}},
        DownloadIdCase{"DeviceNetGatewayForKind3", [] { return projectOfKind(3); }, {deviceTypeAnswer(1, 6, 0)}, {},
                       IdentifyOutcome::Failed, {"DeviceTypeMismatch"}, {kTypeRequest}},
        DownloadIdCase{"FourSubnetGatewayForKind2", [] { return projectOfKind(2); }, {deviceTypeAnswer(3, 5, 2)}, {},
                       IdentifyOutcome::Identified, {}, {kTypeRequest}},
        DownloadIdCase{"OldEtherNetIpGatewayForLegacyProject", [] { return legacy244Project(); }, {deviceTypeAnswer(5, 5, 2)}, {},
                       IdentifyOutcome::Identified, {}, {kTypeRequest}},
        DownloadIdCase{"NoAnswer", [] { return projectOfKind(3); }, {{}}, {}, IdentifyOutcome::Failed, {"ReadDeviceTypeError"},
                       {kTypeRequest}},
        DownloadIdCase{"NotADeviceTypeAnswer", [] { return projectOfKind(3); }, {{0x81, 0x02, 0x01, 0x02, 0x86}}, {},
                       IdentifyOutcome::Failed, {"ReadDeviceTypeError"}, {kTypeRequest}},
        DownloadIdCase{"MalformedDeviceTypeAnswer", [] { return projectOfKind(3); },
                       {{0x01, 0x08, 0x04, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x00, 0x00, 0x00}}, {},
                       IdentifyOutcome::Failed, {"DownloadFailedCheckPort"}, {kTypeRequest}}),
    testing::CaseName());

TEST(DownloadIdentification, TakesFirmwareAndCapacityFromTheAnswer) {
    ScriptedLink link;
    link.queue(deviceTypeAnswer(4, 5, 2, 200));
    ScriptedOperator op;
    const auto result = identifyForDownload(link, op, projectOfKind(3));
    ASSERT_EQ(result.outcome, IdentifyOutcome::Identified);
    EXPECT_EQ(result.identity.deviceType, 4);
    EXPECT_EQ(result.identity.firmwareVersion, 52);
    EXPECT_EQ(result.identity.capacityByte, 200);
}

// ---- Upload identification -----------------------------------------------------

struct UploadIdCase {
    const char* name;
    MakeProject project;
    Bytes answer;  // empty = silence
    bool identified;
    std::vector<std::string> shown;
    bool scrambles;
};
void PrintTo(const UploadIdCase& c, std::ostream* os) { *os << c.name; }

class UploadIdentificationTest : public ::testing::TestWithParam<UploadIdCase> {};

TEST_P(UploadIdentificationTest, ChecksWithoutChangingTheGatewayState) {
    const UploadIdCase& c = GetParam();
    ScriptedLink link;
    if (c.answer.empty()) link.queueSilence();
    else link.queue(c.answer);
    ScriptedOperator op;
    const auto id = identifyForUpload(link, op, c.project());
    EXPECT_EQ(id.has_value(), c.identified);
    if (id) {
        EXPECT_EQ(id->scramblesUpload(), c.scrambles);
    }
    EXPECT_EQ(op.shownKeys(), c.shown);
    EXPECT_EQ(link.sent, std::vector<Bytes>{kTypeRequest});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UploadIdentificationTest,
    ::testing::Values(UploadIdCase{"Firmware51", [] { return projectOfKind(3); }, deviceTypeAnswer(4, 5, 1), true, {}, false},
                      UploadIdCase{"Firmware52", [] { return projectOfKind(3); }, deviceTypeAnswer(4, 5, 2), true, {}, false},
                      UploadIdCase{"Firmware53", [] { return projectOfKind(3); }, deviceTypeAnswer(4, 5, 3), true, {}, false},
                      UploadIdCase{"Firmware59", [] { return projectOfKind(3); }, deviceTypeAnswer(4, 5, 9), true, {}, false},
                      UploadIdCase{"Firmware60", [] { return projectOfKind(3); }, deviceTypeAnswer(4, 6, 0), true, {}, true},
                      UploadIdCase{"DeviceNetGatewayForKind3", [] { return projectOfKind(3); }, deviceTypeAnswer(1, 5, 2), false,
                                   {"DeviceTypeMismatch"}, false},
                      UploadIdCase{"DeviceNetGatewayForKind0", [] { return projectOfKind(0); }, deviceTypeAnswer(1, 5, 2), true, {},
                                   false},
                      UploadIdCase{"LegacyProjectNeedsType5", [] { return legacy244Project(); }, deviceTypeAnswer(2, 5, 2), false,
                                   {"DeviceTypeMismatch"}, false},
                      UploadIdCase{"LegacyProjectWithType5", [] { return legacy244Project(); }, deviceTypeAnswer(5, 5, 2), true, {},
                                   false},
                      UploadIdCase{"Type5WithoutLegacyFlag", [] { return projectOfKind(4); }, deviceTypeAnswer(5, 5, 2), false,
                                   {"UploadFailedCheckPort"}, false},
                      UploadIdCase{"NoAnswer", [] { return projectOfKind(3); }, {}, false, {"ReadDeviceTypeTimeout"}, false},
                      UploadIdCase{"BadChecksum", [] { return projectOfKind(3); },
                                   {0x01, 0x08, 0x04, 0x06, 0x00, 0x00, 0x00, 0xF4, 0x00, 0x00, 0x00}, false,
                                   {"UploadFailedCheckPort"}, false}),
    testing::CaseName());

// ---- Return to communication ---------------------------------------------------

TEST(ReturnToCommunication, AskedFrom53OnAndSentOnYes) {
    const GatewayIdentity v52 = GatewayIdentity::fromDeviceData({4, 5, 2, 0, 0, 244, 0, 0});
    const GatewayIdentity v53 = GatewayIdentity::fromDeviceData({4, 5, 3, 0, 0, 244, 0, 0});
    const GatewayIdentity v60 = GatewayIdentity::fromDeviceData({4, 6, 0, 0, 0, 244, 0, 0});
    {
        ScriptedLink link;
        ScriptedOperator op;
        EXPECT_TRUE(returnToCommunication(link, op, v52));
        EXPECT_TRUE(op.shown().empty());
        EXPECT_TRUE(link.sent.empty());
    }
    for (const auto& id : {v53, v60}) {
        ScriptedLink link;
        ScriptedOperator op({Answer::Yes});
        EXPECT_TRUE(returnToCommunication(link, op, id));
        EXPECT_EQ(op.shownKeys(), std::vector<std::string>{"StartCommunicationQuestion"});
        // The data byte 00 is the same scrambled or not.
        EXPECT_EQ(link.sent, std::vector<Bytes>({{0x0F, 0x01, 0x00, 0x10}}));
    }
    ScriptedLink link;
    ScriptedOperator no({Answer::No});
    EXPECT_TRUE(returnToCommunication(link, no, v60));
    EXPECT_TRUE(link.sent.empty());
}

}  // namespace
}  // namespace korvex::serial
