#include "gateway_engine.h"

#include <algorithm>

#include "command_rules.h"

namespace korvex::gatewaysim {
namespace {

namespace cmd = serial::command;
using serial::OperatingState;

Bytes errorFrame(std::uint8_t command, std::uint8_t code) {
    return serial::makeFrame(static_cast<std::uint8_t>(command | cmd::ErrorBit), {code, 0x00});
}

Bytes acknowledgement(std::uint8_t command) { return serial::makeFrame(command, {}); }

bool isErrorFrame(const Bytes& answer) { return !answer.empty() && (answer[0] & cmd::ErrorBit); }

std::span<const std::uint8_t> dataOf(const Bytes& frame) {
    return std::span<const std::uint8_t>(frame).subspan(2, frame[1]);
}

// The subnet record a gateway that was never configured reports: "Modbus
// Master" at 19200 baud, 8N1, everything else 0, in the form its type uses.
Bytes factorySubnetRecord(std::uint8_t subnet, bool longForm) {
    Bytes record(longForm ? serial::kLongSubnetParametersLength : 0x0E, 0x00);
    record[0] = subnet;
    record[2] = 5;  // baud-rate code of 19200
    return record;
}

bool usesLongForms(std::uint8_t deviceType) {
    return deviceType == 4 || deviceType == 6 || deviceType == 7;
}

}  // namespace

GatewayEngine::GatewayEngine(DeviceOptions options)
    : options_(options), debug_(options.debugLayout, options.reportRate) {}

int GatewayEngine::subnetCount() const { return options_.deviceType == 3 ? 4 : 1; }

std::size_t GatewayEngine::commandCapacity() const { return firmwareVersion() < 52 ? 48 : 100; }

void GatewayEngine::setFault(std::uint8_t command, Fault fault) { faults_[command] = fault; }

void GatewayEngine::clearFaults() { faults_.clear(); }

std::vector<Answer> GatewayEngine::receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs) {
    std::vector<Answer> answers;
    if (bytes.empty()) return answers;
    if (!pending_.empty() && nowMs - lastByteMs_ > kRequestGapMs) pending_.clear();
    lastByteMs_ = nowMs;
    for (std::uint8_t b : bytes) {
        pending_.push_back(b);
        if (pending_.size() >= 2 && pending_.size() == serial::frameLengthFromHeader(pending_[1])) {
            Bytes frame;
            frame.swap(pending_);
            if (auto answer = handleFrame(std::move(frame), nowMs)) answers.push_back(std::move(*answer));
        }
    }
    return answers;
}

bool GatewayEngine::servesDebugFrames() const {
    return state_ == OperatingState::Debug || options_.firmwareMajor <= 5;
}

void GatewayEngine::setState(OperatingState state) {
    state_ = state;
    if (state_ != OperatingState::Debug) debug_.stop();
}

std::optional<Answer> GatewayEngine::handleDebugFrame(const Bytes& frame, std::int64_t nowMs) {
    if (!serial::hasValidChecksum(frame)) return std::nullopt;
    const auto data = dataOf(frame);
    switch (frame[0]) {
        case debug_frame::ReadInformation:
            // A program asking afresh starts a new session: no report may come
            // between the request and the answer it waits for.
            debug_.stop();
            return Answer{debugInformationAnswer(options_.firmwareMajor, options_.firmwareMinor,
                                                 options_.debugLayout),
                          0};
        case debug_frame::Reporting:
            if (data.size() == 1 && data[0] == debug_frame::StartReporting) {
                debug_.start(commandsOfGateway(memory_, options_.deviceType), nowMs);
            } else if (data.size() == 1 && data[0] == debug_frame::StopReporting) {
                debug_.stop();
            }
            return std::nullopt;
        default:  // debug_frame::Reply
            debug_.reply(data, nowMs);
            return std::nullopt;
    }
}

std::optional<Answer> GatewayEngine::handleFrame(Bytes frame, std::int64_t nowMs) {
    ++requestCount_;
    const std::uint8_t code = frame[0];
    // Outside debug state the debug frames get no answer, as from a gateway
    // that does not listen for them then.
    if (code == debug_frame::ReadInformation || code == debug_frame::Reporting || code == debug_frame::Reply) {
        return servesDebugFrames() ? handleDebugFrame(frame, nowMs) : std::nullopt;
    }
    // The debug monitor leaves with the configuration-state frame sent plain.
    static constexpr std::uint8_t kLeaveDebug[] = {cmd::SetOperatingState, 0x01, 0x01, 0x11};
    if (state_ == OperatingState::Debug && std::equal(frame.begin(), frame.end(), std::begin(kLeaveDebug),
                                                      std::end(kLeaveDebug))) {
        setState(OperatingState::Configuration);
        return Answer{Bytes(std::begin(serial::kStateSwitchAcknowledgement),
                            std::end(serial::kStateSwitchAcknowledgement)),
                      0};
    }
    Answer answer;
    const CommandRule* rule = findRule(code);
    if (!serial::hasValidChecksum(frame)) {
        answer.bytes = errorFrame(code, error_code::BadChecksum);
    } else if (!rule || !knowsRequest(*rule, options_.deviceType, firmwareVersion())) {
        answer.bytes = errorFrame(code, error_code::UnknownCommand);
    } else {
        if (scrambles() && serial::requestIsScrambled(code, frame[1])) serial::scrambleFrame(frame);
        const auto fault = faults_.find(code);
        if (fault != faults_.end() && fault->second.kind == FaultKind::Silent) return std::nullopt;
        if (fault != faults_.end() && fault->second.kind == FaultKind::ErrorFrame) {
            answer.bytes = errorFrame(code, fault->second.errorCode);
        } else if (fault != faults_.end() && fault->second.kind == FaultKind::Forget) {
            const GatewayMemory kept = memory_;
            answer.bytes = carryOut(frame, false);
            memory_ = kept;
        } else {
            answer.bytes = carryOut(frame, false);
        }
    }
    if (scrambles() && answer.bytes[0] != cmd::ReadDeviceType) serial::scrambleFrame(answer.bytes);
    if (const auto fault = faults_.find(code); fault != faults_.end()) {
        if (fault->second.kind == FaultKind::BadChecksum) ++answer.bytes.back();
        if (fault->second.kind == FaultKind::Late) answer.delayMs = std::max(fault->second.lateMs, 0);
    }
    return answer;
}

Bytes GatewayEngine::carryOut(const Bytes& request, bool fromDownloadFile) {
    const std::uint8_t code = request[0];
    const CommandRule* rule = findRule(code);
    if (!rule) return errorFrame(code, error_code::UnknownCommand);
    if (std::find(rule->lengths.begin(), rule->lengths.end(), request[1]) == rule->lengths.end()) {
        return errorFrame(code, error_code::BadLength);
    }
    if (rule->access == Access::Write && scrambles() && !fromDownloadFile &&
        state_ != OperatingState::Configuration) {
        return errorFrame(code, error_code::NotInConfigurationState);
    }
    const auto data = dataOf(request);
    // Requests that name a subnet name it in their first data byte.
    const bool namesSubnet = code == cmd::WriteSubnetParameters || code == cmd::ReadSubnetParameters ||
                             code == cmd::ClearSubnetCommands || code == cmd::ReadCommandCount ||
                             code == cmd::AddCommand || code == cmd::ReadCommandBatch;
    if (namesSubnet && data[0] >= subnetCount()) return errorFrame(code, error_code::OutOfRange);
    SubnetMemory* subnet = namesSubnet ? &memory_.subnets[data[0]] : nullptr;

    switch (code) {
        case cmd::ReadDeviceType:
            return serial::makeFrame(code, {options_.deviceType, options_.firmwareMajor,
                                             options_.firmwareMinor, 0x00, 0x00, options_.capacity,
                                             0x00, 0x00});
        case cmd::SetOperatingState:
            if (data[0] > static_cast<std::uint8_t>(OperatingState::Debug)) {
                return errorFrame(code, error_code::OutOfRange);
            }
            setState(static_cast<OperatingState>(data[0]));
            return Bytes(std::begin(serial::kStateSwitchAcknowledgement),
                         std::end(serial::kStateSwitchAcknowledgement));
        case cmd::WriteDeviceNetParameters:
            std::copy(data.begin(), data.end(), memory_.deviceNet.begin());
            return acknowledgement(code);
        case cmd::ReadDeviceNetParameters:
            return serial::makeFrame(code, memory_.deviceNet);
        case cmd::WriteProfibusParameters:
            memory_.profibus.fill(0);
            std::copy(data.begin(), data.end(), memory_.profibus.begin());
            return acknowledgement(code);
        case cmd::ReadProfibusParameters:
            return serial::makeFrame(
                code, std::span<const std::uint8_t>(memory_.profibus)
                          .first(usesLongForms(options_.deviceType) ? 3 : 2));
        case cmd::WriteSubnetParameters:
            subnet->parameters.assign(data.begin(), data.end());
            return acknowledgement(code);
        case cmd::ReadSubnetParameters:
            return serial::makeFrame(code, subnet->parameters.empty()
                                                ? factorySubnetRecord(data[0], usesLongForms(options_.deviceType))
                                                : subnet->parameters);
        case cmd::ClearSubnetCommands:
            if (data[1] != 0x55 || data[2] != 0xAA) return errorFrame(code, error_code::BadLength);
            subnet->commands.clear();
            return acknowledgement(code);
        case cmd::ReadCommandCount: {
            const auto count = subnet->commands.size();
            return serial::makeFrame(code, {data[0], static_cast<std::uint8_t>(count & 0xFF),
                                             static_cast<std::uint8_t>(count >> 8)});
        }
        case cmd::AddCommand: {
            // Commands come in table order: a new one goes at the end, an index
            // already held is overwritten, a gap or a full table is refused.
            const std::size_t index = data[1];
            if (index >= commandCapacity() || index > subnet->commands.size()) {
                return errorFrame(code, error_code::OutOfRange);
            }
            CommandRecord record{};
            std::copy(data.begin() + 2, data.end(), record.begin());
            if (index == subnet->commands.size()) {
                subnet->commands.push_back(record);
            } else {
                subnet->commands[index] = record;
            }
            return acknowledgement(code);
        }
        case cmd::ReadCommandBatch: {
            const std::size_t size = static_cast<std::size_t>(
                serial::commandBatchSize(static_cast<std::int32_t>(options_.deviceType) - 1));
            const std::size_t first = std::min<std::size_t>(data[1] * size, subnet->commands.size());
            const std::size_t last = std::min(first + size, subnet->commands.size());
            Bytes out{data[0]};
            for (std::size_t i = first; i < last; ++i) {
                out.push_back(static_cast<std::uint8_t>(i));
                out.insert(out.end(), subnet->commands[i].begin(), subnet->commands[i].end());
            }
            return serial::makeFrame(code, out);
        }
        case cmd::WriteTimeoutHandling:
            memory_.timeoutHandling = data[0];
            return acknowledgement(code);
        case cmd::ReadTimeoutHandling:
            return serial::makeFrame(code, {memory_.timeoutHandling});
        case cmd::WriteCharIntervals:
            std::copy(data.begin(), data.end(), memory_.charIntervals.begin());
            return acknowledgement(code);
        case cmd::ReadCharIntervals:
            return serial::makeFrame(code, memory_.charIntervals);
        case cmd::WriteProfibusAddress:
            memory_.profibusAddress = data[0];
            return acknowledgement(code);
        case cmd::ReadProfibusAddress:
            return serial::makeFrame(code, {memory_.profibusAddress});
        case cmd::WriteConfigurationModes:
            std::copy(data.begin(), data.end(), memory_.modes.begin());
            return acknowledgement(code);
        case cmd::ReadConfigurationModes:
            return serial::makeFrame(code, memory_.modes);
        case cmd::ReadProfibusConfigData: {
            // Nine data bytes: the count, then up to eight configuration bytes.
            Bytes out(9, 0x00);
            const auto count = std::min<std::size_t>(memory_.profibusConfigData.size(), 8);
            out[0] = static_cast<std::uint8_t>(count);
            std::copy_n(memory_.profibusConfigData.begin(), count, out.begin() + 1);
            return serial::makeFrame(code, out);
        }
        default:
            return errorFrame(code, error_code::UnknownCommand);
    }
}

bool GatewayEngine::loadConfiguration(const std::vector<Bytes>& frames, std::string* error) {
    auto fail = [&](std::size_t index, const std::string& why) {
        if (error) *error = "frame " + std::to_string(index + 1) + ": " + why;
        return false;
    };
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Bytes& frame = frames[i];
        if (!serial::hasValidChecksum(frame)) return fail(i, "not a complete frame with its checksum");
        const CommandRule* rule = findRule(frame[0]);
        if (!rule || !knowsRequest(*rule, options_.deviceType, firmwareVersion())) {
            return fail(i, "this gateway does not know the command");
        }
        if (rule->access == Access::SwitchState) continue;
        const Bytes answer = carryOut(frame, true);
        if (isErrorFrame(answer)) {
            return fail(i, "refused with error code " + std::to_string(answer[2]));
        }
    }
    setState(OperatingState::Communication);
    return true;
}

}  // namespace korvex::gatewaysim
