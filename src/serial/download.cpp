#include "serial/download.h"

#include <algorithm>
#include <string>

#include "mapping/auto_mapping.h"
#include "model/operator.h"
#include "model/texts.h"
#include "serial/answer_validation.h"
#include "serial/download_checks.h"
#include "serial/download_frames.h"
#include "serial/exchange.h"
#include "serial/gateway_protocol.h"

namespace korvex::serial {

namespace {

enum class StepEnd { Done, FailedGoOn, Stop };

// One download in progress: the link, the user, what the gateway is.
class DownloadRun {
public:
    DownloadRun(ByteLink& link, Operator& op, const Project& project, const GatewayIdentity& identity)
        : link_(link), op_(op), project_(project), identity_(identity),
          lines_(downloadProgressLines(identity.deviceType)) {}

    StepEnd write(const PlannedFrame& frame);
    void tick(int line) { reportStep(op_, lines_, line); }
    void showStatus() { op_.stepDone({progress_line::Status, {texts::DownloadSuccessful, {}}}); }

private:
    bool isFourSubnet() const { return project_.deviceKind == 2; }
    StepEnd fail(const Text& text, std::vector<std::string> args = {}, StepEnd end = StepEnd::Stop) {
        op_.showMessage({text, std::move(args)});
        return end;
    }
    StepEnd acknowledged(const PlannedFrame& frame);
    Message acknowledgementFailure(const PlannedFrame& frame, const ReceiveBuffer& answer) const;

    ByteLink& link_;
    Operator& op_;
    const Project& project_;
    const GatewayIdentity& identity_;
    std::vector<StepReport> lines_;
};

// The message of a written configuration frame that was not acknowledged.
Message DownloadRun::acknowledgementFailure(const PlannedFrame& frame, const ReceiveBuffer& answer) const {
    const std::string subnet = std::to_string(frame.subnet + 1);
    switch (frame.role) {
        case FrameRole::FieldbusParameters:
            return {texts::FieldbusDownloadFailed, {}};
        case FrameRole::SubnetParameters:
            return isFourSubnet() ? Message{texts::SubnetParametersFailedOfSubnet, {subnet}}
                                  : Message{texts::SubnetParametersFailed, {}};
        case FrameRole::ClearCommands:
            return isFourSubnet() ? Message{texts::ClearSubnetFailed, {subnet}} : Message{texts::ClearCommandsFailed, {}};
        default: {
            const std::string index = std::to_string(frame.command);
            if (isFourSubnet()) return {texts::SubnetCommandFailed, {subnet, index}};
            // The gateway refuses commands for a second slave with data byte 03.
            if (answer.at(2) == 0x03) return {texts::OneSlaveOnly, {}};
            return {texts::CommandFailed, {index}};
        }
    }
}

StepEnd DownloadRun::acknowledged(const PlannedFrame& frame) {
    ReceiveBuffer answer;
    const bool scramble = identity_.scramblesDownload();
    WaitOutcome waited = WaitOutcome::LinkLost;
    if (sendRequest(link_, frame.bytes, scramble && requestIsScrambled(frame.bytes[0], frame.bytes[1])))
        waited = waitForAcknowledgement(link_, answer);
    const ValidatedAnswer valid = validateDownloadAnswer(answer.bytes(), scramble);
    if (waited != WaitOutcome::LinkLost && valid.command == frame.bytes[0]) return StepEnd::Done;
    op_.showMessage(acknowledgementFailure(frame, answer));
    // Only a refused clear of a single-subnet gateway lets the download go on.
    const bool goOn = frame.role == FrameRole::ClearCommands && !isFourSubnet() && waited != WaitOutcome::LinkLost;
    return goOn ? StepEnd::FailedGoOn : StepEnd::Stop;
}

StepEnd DownloadRun::write(const PlannedFrame& frame) {
    const bool scramble = identity_.scramblesDownload() && requestIsScrambled(frame.bytes[0], frame.bytes[1]);
    switch (frame.role) {
        case FrameRole::FieldbusParameters:
        case FrameRole::SubnetParameters:
        case FrameRole::ClearCommands:
        case FrameRole::AddCommand:
            return acknowledged(frame);
        case FrameRole::TimeoutHandling: {
            ReceiveBuffer answer(kTimeoutHandlingBufferSize);
            if (!sendRequest(link_, frame.bytes, scramble)) return fail(texts::TimeoutHandlingTimeout);
            const WaitOutcome waited = waitForShortAnswer(link_, answer);
            if (waited == WaitOutcome::Nothing || waited == WaitOutcome::LinkLost)
                return fail(texts::TimeoutHandlingTimeout);
            if (answer.size() < 2 || answer.at(0) != command::WriteTimeoutHandling || answer.at(1) != 0)
                return fail(texts::TimeoutHandlingFailed);
            return StepEnd::Done;
        }
        case FrameRole::CharIntervals: {
            ReceiveBuffer answer;
            const bool sent = sendRequest(link_, frame.bytes, scramble);
            if (sent) waitForIntervalAcknowledgement(link_, answer);
            const std::uint8_t ack[] = {command::WriteCharIntervals, 0x00, command::WriteCharIntervals};
            if (sent && answerIs(answer, ack)) return StepEnd::Done;
            return fail(texts::CharIntervalsWriteFailed, {}, link_.isOpen() ? StepEnd::FailedGoOn : StepEnd::Stop);
        }
        case FrameRole::ProfibusAddress:
        case FrameRole::ConfigurationModes: {
            ReceiveBuffer answer(kSettingsBufferSize);
            const bool sent = sendRequest(link_, frame.bytes, scramble);
            if (sent) waitForSettingAnswer(link_, answer, true);
            const std::uint8_t code = frame.bytes[0];
            const std::uint8_t ack[] = {code, 0x00, code};
            if (sent && answerIs(answer, ack)) return StepEnd::Done;
            return fail(frame.role == FrameRole::ProfibusAddress ? texts::ProfibusAddressFailed
                                                                 : texts::ConfigurationModesFailed);
        }
    }
    return StepEnd::Stop;
}

bool isGatewaySetting(FrameRole role) {
    return role == FrameRole::CharIntervals || role == FrameRole::ProfibusAddress ||
           role == FrameRole::ConfigurationModes;
}

// Whether the frame is the last one of its subnet (parameters, clear, commands).
bool endsSubnet(const std::vector<PlannedFrame>& plan, std::size_t i) {
    const PlannedFrame& f = plan[i];
    if (f.role != FrameRole::SubnetParameters && f.role != FrameRole::ClearCommands && f.role != FrameRole::AddCommand)
        return false;
    if (i + 1 == plan.size()) return true;
    const PlannedFrame& next = plan[i + 1];
    const bool sameList = (next.role == FrameRole::ClearCommands || next.role == FrameRole::AddCommand) &&
                          next.subnet == f.subnet;
    return !sameList;
}

}  // namespace

DownloadResult runDownload(ByteLink& link, Operator& op, Project& project, const MappingState& mapping,
                           const PlcBlocks* plc) {
    DownloadResult result;
    if (!checkBeforeSending(project, mapping, plc, op)) {
        result.outcome = TransferOutcome::Stopped;
        return result;
    }
    if (totalsFromCommands(project)) refreshByteCounts(project.subnet(0));
    const FieldbusTotals totals = fieldbusTotals(project, plc);

    const DownloadIdentification identified = identifyForDownload(link, op, project);
    if (identified.outcome == IdentifyOutcome::Declined) {
        result.outcome = TransferOutcome::Canceled;
        return result;
    }
    if (identified.outcome == IdentifyOutcome::Failed) return result;
    const GatewayIdentity& identity = identified.identity;
    result.identity = identity;

    if (identity.limitsDataTo224Bytes() && exceedsSmallFirmwareLimit(project, totals)) {
        op.showMessage({texts::FirmwareByteLimit, {}});
        return result;
    }

    DownloadRun run(link, op, project, identity);
    const std::vector<PlannedFrame> plan = planDownloadFrames(project, identity, plc);
    bool everything = true;
    bool statusShown = false;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const PlannedFrame& frame = plan[i];
        if (!statusShown && isGatewaySetting(frame.role)) {
            run.showStatus();
            statusShown = true;
        }
        const StepEnd end = run.write(frame);
        if (end == StepEnd::Stop) return result;
        if (end == StepEnd::FailedGoOn) everything = false;
        if (frame.role == FrameRole::FieldbusParameters) run.tick(progress_line::Step1);
        if (frame.role == FrameRole::SubnetParameters && project.deviceKind != 2) run.tick(progress_line::Step2);
        if (endsSubnet(plan, i))
            run.tick(project.deviceKind == 2 ? progress_line::subnet(frame.subnet) : progress_line::Step3);
    }
    if (!statusShown) run.showStatus();

    if (!returnToCommunication(link, op, identity)) {
        op.showMessage({texts::DownloadFailedCheckPort, {}});
        return result;
    }
    result.outcome = TransferOutcome::Completed;
    result.everythingAcknowledged = everything;
    return result;
}

}  // namespace korvex::serial
