#include "serial/upload.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "model/operator.h"
#include "model/texts.h"
#include "serial/answer_validation.h"
#include "serial/exchange.h"
#include "serial/gateway_protocol.h"
#include "serial/upload_conversion.h"

namespace korvex::serial {

namespace {

using WaitRule = WaitOutcome (*)(ByteLink&, ReceiveBuffer&);

bool silent(WaitOutcome w) { return w == WaitOutcome::Nothing || w == WaitOutcome::LinkLost; }

// Whether the answer is a whole frame of `command` with at least `dataBytes` data.
bool wholeAnswer(const ReceiveBuffer& answer, std::uint8_t command, std::size_t dataBytes) {
    return answer.size() >= 2 && answer.at(0) == command && answer.at(1) >= dataBytes &&
           answer.size() >= frameLengthFromHeader(answer.at(1));
}

// One upload in progress: the link, the user, what the gateway is, what was read.
class UploadRun {
public:
    UploadRun(ByteLink& link, Operator& op, Project& project, const GatewayIdentity& identity)
        : link_(link), op_(op), project_(project), identity_(identity),
          lines_(uploadProgressLines(identity.deviceType)), kind_(project.deviceKind) {
        context_.scrambled = identity.scramblesUpload();
        context_.longSubnetForm = kind_ == 3 || kind_ == 5 || kind_ == 6 || project.flags.legacyFlag233b;
        context_.longProfibusForm = kind_ == 3 || kind_ == 6 || project.flags.legacyFlag233b;
        context_.legacyFlag244 = project.flags.legacyFlag244;
    }

    bool readFieldbus();
    bool readSubnet(int subnet);
    bool readTimeoutHandling();
    bool readConfigurationData();
    bool readProfibusSettings();
    bool readCharIntervals();
    const UploadStore& store() const { return store_; }
    void tick(int line) { reportStep(op_, lines_, line); }

private:
    bool fourSubnets() const { return kind_ == 2; }
    bool fail(const Text& text, std::vector<std::string> args = {}) {
        op_.showMessage({text, std::move(args)});
        return false;
    }
    // Sends a request (scrambled when the firmware and the catalogue say so) and
    // waits for its answer by `rule`.
    WaitOutcome exchange(std::uint8_t cmd, std::initializer_list<std::uint8_t> data, ReceiveBuffer& answer,
                         WaitRule rule) {
        Bytes request = makeFrame(cmd, data);
        const bool scramble = context_.scrambled && requestIsScrambled(request[0], request[1]);
        if (!sendRequest(link_, std::move(request), scramble)) return WaitOutcome::LinkLost;
        return rule(link_, answer);
    }
    std::uint8_t validate(ReceiveBuffer& answer) {
        return validateUploadAnswer(answer.bytes(), context_, store_).command;
    }
    void unscramble(ReceiveBuffer& answer) const {
        if (context_.scrambled) scrambleFrame(answer.bytes());
    }
    bool readCommandList(int subnet);

    ByteLink& link_;
    Operator& op_;
    Project& project_;
    const GatewayIdentity& identity_;
    std::vector<StepReport> lines_;
    const int kind_;
    UploadAnswerContext context_;
    UploadStore store_;
};

bool UploadRun::readFieldbus() {
    const int type = identity_.deviceType;
    if (type != 1 && type != 2 && type != 4 && type != 7) return true;
    const std::uint8_t cmd = type == 1 ? command::ReadDeviceNetParameters : command::ReadProfibusParameters;
    ReceiveBuffer answer;
    if (silent(exchange(cmd, {}, answer, waitForReadAnswer))) return fail(texts::ReadFieldbusTimeout);
    if (validate(answer) != cmd) return fail(texts::ReadFieldbusFailed);
    tick(progress_line::Step1);
    return true;
}

bool UploadRun::readSubnet(int s) {
    const std::uint8_t subnet = static_cast<std::uint8_t>(s);
    const std::string number = std::to_string(s + 1);
    context_.subnet = s;
    ReceiveBuffer answer;
    if (silent(exchange(command::ReadSubnetParameters, {subnet}, answer, waitForReadAnswer)))
        return fail(texts::ReadSubnetTimeout);
    if (validate(answer) != command::ReadSubnetParameters)
        return fourSubnets() ? fail(texts::ReadSubnetFailedOfSubnet, {number}) : fail(texts::ReadSubnetFailed);
    if (!fourSubnets()) tick(progress_line::Step2);

    if (store_.subnetRecords[subnet][0] == 0 && !readCommandList(s)) return false;
    tick(fourSubnets() ? progress_line::subnet(s) : progress_line::Step3);
    return true;
}

bool UploadRun::readCommandList(int s) {
    const std::uint8_t subnet = static_cast<std::uint8_t>(s);
    const std::string number = std::to_string(s + 1);
    ReceiveBuffer answer;
    if (silent(exchange(command::ReadCommandCount, {subnet}, answer, waitForReadAnswer)))
        return fail(texts::ReadCommandCountTimeout);
    if (validate(answer) != command::ReadCommandCount)
        return fourSubnets() ? fail(texts::ReadCommandCountFailedOfSubnet, {number})
                             : fail(texts::ReadCommandCountFailed);

    // The validator bounded the count by the command table.
    const int count = store_.commandCounts[subnet];
    const int size = commandBatchSize(kind_);
    const int batches = count == 0 ? 0 : (count - 1) / size + 1;
    for (int b = 0; b < batches; ++b) {
        ReceiveBuffer batch(kCommandBatchBufferSize);
        const std::uint8_t index = static_cast<std::uint8_t>(b);
        if (silent(exchange(command::ReadCommandBatch, {subnet, index}, batch, waitForCommandBatch)))
            return fail(texts::ReadCommandListTimeout);
        bool whole = validate(batch) == command::ReadCommandBatch;
        // Every command of the batch must have come.
        for (int k = b * size; whole && k < std::min(count, (b + 1) * size); ++k)
            whole = store_.commandReceived[subnet].test(static_cast<size_t>(k));
        if (!whole) {
            const std::string batchText = std::to_string(b);
            return fourSubnets() ? fail(texts::ReadCommandListFailedOfSubnet, {number, batchText})
                                 : fail(texts::ReadCommandListFailed, {batchText});
        }
    }
    return true;
}

bool UploadRun::readTimeoutHandling() {
    if (!identity_.hasTimeoutHandling(project_.flags)) return true;
    ReceiveBuffer answer;
    if (silent(exchange(command::ReadTimeoutHandling, {}, answer, waitForShortAnswer)))
        return fail(texts::TimeoutHandlingTimeout);
    // The value byte must be there: an answer without data carries none.
    if (!wholeAnswer(answer, command::ReadTimeoutHandling, 1))
        return fail(texts::TimeoutHandlingFailed);
    SubnetConfig& first = project_.subnet(0);
    if (project_.flags.legacyFlag244) {
        first.inputFaultReset = answer.at(2) != 0 ? texts::Enable.str() : texts::Disable.str();
        return true;
    }
    unscramble(answer);
    const std::uint8_t x = answer.at(2);
    first.timeoutAction = x != 0 ? texts::ClearData.str() : texts::HoldData.str();
    if (x != 0) first.retransmissionTimes = std::to_string(x);
    return true;
}

bool UploadRun::readConfigurationData() {
    const VariantFlags& f = project_.flags;
    if (!((f.legacyFlag233a || f.legacyFlag246) && identity_.firmwareVersion > 29)) return true;
    ReceiveBuffer answer;
    const WaitOutcome waited = exchange(command::ReadProfibusConfigData, {}, answer, waitForConfigurationData);
    if (waited != WaitOutcome::Frame || !wholeAnswer(answer, command::ReadProfibusConfigData, 9) || answer.at(1) != 9)
        return fail(texts::ReadConfigDataFailed);
    unscramble(answer);
    const std::size_t count = answer.at(2);
    if (count > 8) return fail(texts::ReadConfigDataFailed);
    FieldbusSettings& fb = project_.fieldbus;
    fb.profibusConfigMode = count != 0 ? texts::InputConfigurationData.str() : texts::UseBytesSelection.str();
    fb.profibusConfigData.clear();
    for (std::size_t i = 0; i < count; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02x ", answer.at(3 + i));
        fb.profibusConfigData += pair;
    }
    return true;
}

bool UploadRun::readProfibusSettings() {
    if (!identity_.readsProfibusSettings()) return true;
    ReceiveBuffer address(kSettingsBufferSize);
    exchange(command::ReadProfibusAddress, {}, address, [](ByteLink& l, ReceiveBuffer& b) {
        return waitForSettingAnswer(l, b, false);
    });
    if (!wholeAnswer(address, command::ReadProfibusAddress, 1))
        return fail(texts::UploadFailedCheckPort);
    unscramble(address);
    project_.fieldbus.profibusAddress = std::to_string(address.at(2));

    ReceiveBuffer modes(kSettingsBufferSize);
    exchange(command::ReadConfigurationModes, {}, modes, [](ByteLink& l, ReceiveBuffer& b) {
        return waitForSettingAnswer(l, b, false);
    });
    if (!wholeAnswer(modes, command::ReadConfigurationModes, 2))
        return fail(texts::UploadFailedCheckPort);
    unscramble(modes);
    FieldbusSettings& fb = project_.fieldbus;
    fb.configurationMode = modes.at(2) != 0 ? texts::ViaKorvex.str() : texts::ViaProfibusMasterSoftware.str();
    fb.compatibilityMode = modes.at(3) != 0 ? texts::Enable.str() : texts::Disable.str();
    return true;
}

bool UploadRun::readCharIntervals() {
    if (!identity_.hasCharIntervals(project_.flags)) return true;
    ReceiveBuffer answer;
    exchange(command::ReadCharIntervals, {}, answer, waitForCharIntervals);
    // The checksum is the one of the bytes as they came.
    const bool valid = answer.size() >= 7 && answer.at(0) == command::ReadCharIntervals && answer.at(1) == 4 &&
                       answer.at(6) == additiveChecksum(answer.bytes().first(6));
    if (!valid) return fail(texts::CharIntervalsReadFailed);
    unscramble(answer);
    SubnetConfig& first = project_.subnet(0);
    first.charIntervalSend = std::to_string(answer.at(2) * 256 + answer.at(3));
    first.charIntervalReceive = std::to_string(answer.at(4) * 256 + answer.at(5));
    return true;
}

}  // namespace

UploadResult runUpload(ByteLink& link, Operator& op, Project& project, const PlcBlocks* plc) {
    UploadResult result;
    const auto identity = identifyForUpload(link, op, project);
    if (!identity) return result;
    result.identity = identity;

    UploadRun run(link, op, project, *identity);
    if (!run.readFieldbus()) return result;
    const int subnets = project.deviceKind == 2 ? kSubnetCount : 1;
    for (int s = 0; s < subnets; ++s) {
        if (!run.readSubnet(s)) return result;
    }

    // From here on the project holds what the gateway holds.
    resetForUpload(project);
    result.projectReplaced = true;
    if (!run.readTimeoutHandling() || !run.readConfigurationData() || !run.readProfibusSettings()) return result;
    convertUploadStore(run.store(), *identity, project, plc);
    op.stepDone({progress_line::Status, {texts::UploadSuccessful, {}}});
    result.everythingRead = run.readCharIntervals();
    result.outcome = TransferOutcome::Completed;
    return result;
}

}  // namespace korvex::serial
