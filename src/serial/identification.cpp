#include "serial/identification.h"

#include <algorithm>

#include "model/operator.h"
#include "model/texts.h"
#include "serial/answer_validation.h"
#include "serial/exchange.h"
#include "serial/gateway_protocol.h"

namespace korvex::serial {

namespace {

const Bytes& deviceTypeRequest() {
    static const Bytes request = makeFrame(command::ReadDeviceType, {});
    return request;
}

void show(Operator& op, const Text& text) { op.showMessage({text, {}}); }

// Switches a gateway with operating states into its configuration state and
// checks its acknowledgement.
bool switchToConfigurationState(ByteLink& link) {
    const Bytes request =
        makeFrame(command::SetOperatingState, {static_cast<std::uint8_t>(OperatingState::Configuration)});
    if (!sendRequest(link, request, true)) return false;
    ReceiveBuffer answer(kStateSwitchBufferSize);
    if (waitForStateSwitch(link, answer) != WaitOutcome::Frame) return false;
    scrambleFrame(answer.bytes());  // unscrambles
    return answer.size() >= 5 && std::ranges::equal(answer.bytes().first(5), kStateSwitchAcknowledgement);
}

}  // namespace

GatewayIdentity GatewayIdentity::fromDeviceData(const std::array<std::uint8_t, 8>& d) {
    GatewayIdentity id;
    id.deviceType = d[0];
    id.firmwareMajor = d[1];
    id.firmwareMinor = d[2];
    id.firmwareVersion = d[1] * 10 + d[2];
    id.capacityByte = d[5];
    return id;
}

GatewayIdentity GatewayIdentity::forProject(const Project& project, int major, int minor, int capacity) {
    std::array<std::uint8_t, 8> d{};
    d[0] = static_cast<std::uint8_t>(deviceTypeForProject(project));
    d[1] = static_cast<std::uint8_t>(std::clamp(major, 0, 255));
    d[2] = static_cast<std::uint8_t>(std::clamp(minor, 0, 255));
    d[5] = static_cast<std::uint8_t>(std::clamp(capacity, 0, 255));
    return fromDeviceData(d);
}

int deviceTypeForProject(const Project& project) {
    return project.flags.legacyFlag244 ? 5 : project.deviceKind + 1;
}

DownloadIdentification identifyForDownload(ByteLink& link, Operator& op, const Project& project) {
    DownloadIdentification result;
    ReceiveBuffer answer;
    if (!sendRequest(link, deviceTypeRequest(), false)) {
        show(op, texts::ReadDeviceTypeError);
        return result;
    }
    waitForDeviceType(link, answer);
    if (answer.at(0) != command::ReadDeviceType) {
        show(op, texts::ReadDeviceTypeError);
        return result;
    }
    const ValidatedAnswer valid = validateDownloadAnswer(answer.bytes(), false);
    if (valid.command != command::ReadDeviceType) {
        show(op, texts::DownloadFailedCheckPort);
        return result;
    }
    result.identity = GatewayIdentity::fromDeviceData(valid.deviceData);
    const GatewayIdentity& id = result.identity;
    if (id.limitedTo48Commands() && project.subnet(0).commandCount > 48) {
        show(op, texts::Extra48Commands);
        return result;
    }
    const bool typeFits = id.deviceType - 1 == project.deviceKind || (project.flags.legacyFlag244 && id.deviceType == 5);
    if (!typeFits) {
        show(op, texts::DeviceTypeMismatch);
        return result;
    }
    if (id.scramblesDownload()) {
        if (op.ask({texts::ConfigurationStateQuestion, {}}, Buttons::YesNo) != Answer::Yes) {
            result.outcome = IdentifyOutcome::Declined;
            return result;
        }
        if (!switchToConfigurationState(link)) {
            show(op, texts::ConfigurationStateFailed);
            return result;
        }
    }
    result.outcome = IdentifyOutcome::Identified;
    return result;
}

std::optional<GatewayIdentity> identifyForUpload(ByteLink& link, Operator& op, const Project& project) {
    ReceiveBuffer answer;
    const bool sent = sendRequest(link, deviceTypeRequest(), false);
    const WaitOutcome waited = sent ? waitForReadAnswer(link, answer) : WaitOutcome::LinkLost;
    if (waited == WaitOutcome::Nothing || waited == WaitOutcome::LinkLost) {
        show(op, texts::ReadDeviceTypeTimeout);
        return std::nullopt;
    }
    UploadStore unused;
    UploadAnswerContext context;
    context.legacyFlag244 = project.flags.legacyFlag244;
    const ValidatedAnswer valid = validateUploadAnswer(answer.bytes(), context, unused);
    if (valid.command != command::ReadDeviceType) {
        show(op, texts::UploadFailedCheckPort);
        return std::nullopt;
    }
    const GatewayIdentity id = GatewayIdentity::fromDeviceData(valid.deviceData);
    const bool typeFits = project.flags.legacyFlag244 ? id.deviceType == 5 : id.deviceType - 1 == project.deviceKind;
    if (!typeFits) {
        show(op, texts::DeviceTypeMismatch);
        return std::nullopt;
    }
    return id;
}

bool returnToCommunication(ByteLink& link, Operator& op, const GatewayIdentity& identity) {
    if (!identity.offersReturnToCommunication()) return true;
    if (op.ask({texts::StartCommunicationQuestion, {}}, Buttons::YesNo) != Answer::Yes) return true;
    const Bytes request =
        makeFrame(command::SetOperatingState, {static_cast<std::uint8_t>(OperatingState::Communication)});
    return sendRequest(link, request, identity.scramblesDownload());
}

}  // namespace korvex::serial
