#include "monitor/debug_entry.h"

#include <algorithm>
#include <array>

#include "model/texts.h"
#include "monitor/monitor_frames.h"
#include "serial/exchange.h"
#include "serial/gateway_protocol.h"

namespace korvex::monitor {

namespace {

constexpr std::size_t kDeviceTypeAnswerMax = 30;
constexpr std::size_t kMajorOffset = 3;  // 01, N, device type, major, ...
constexpr std::size_t kLeaveAnswerMax = 5;

// Collects up to `count` bytes into `out`, waiting at most limitMs in all.
std::size_t collect(serial::ByteLink& link, std::span<std::uint8_t> out, int limitMs) {
    const std::int64_t deadline = link.nowMs() + limitMs;
    std::size_t have = 0;
    while (have < out.size() && link.isOpen()) {
        const std::int64_t left = deadline - link.nowMs();
        if (left <= 0) break;
        link.waitForBytes(out.size() - have, static_cast<int>(left));
        have += link.read(out.subspan(have));
    }
    return have;
}

}  // namespace

DebugEntry enterDebugState(serial::ByteLink& link) {
    DebugEntry entry;
    entry.openMonitor = true;
    if (!serial::sendRequest(link, serial::makeFrame(serial::command::ReadDeviceType, {}), false)) return entry;
    serial::ReceiveBuffer answer(kDeviceTypeAnswerMax);
    serial::receiveFrame(link, answer, kDeviceTypeWaitMs);
    if (answer.empty()) return entry;
    entry.identified = true;
    entry.firmwareMajor = answer.at(kMajorOffset);
    if (entry.firmwareMajor <= 5) return entry;

    entry.switched = true;
    const Bytes request =
        serial::makeFrame(serial::command::SetOperatingState, {static_cast<std::uint8_t>(serial::OperatingState::Debug)});
    serial::ReceiveBuffer confirmation(serial::kStateSwitchBufferSize);
    if (serial::sendRequest(link, request, true)) serial::receiveFrame(link, confirmation, kDebugSwitchWaitMs);
    serial::scrambleFrame(confirmation.bytes());  // unscrambles
    const bool confirmed = confirmation.size() >= 5 &&
                           std::ranges::equal(confirmation.bytes().first(5), serial::kStateSwitchAcknowledgement);
    if (!confirmed) {
        entry.openMonitor = false;
        entry.failure = Message{texts::DebugSwitchFailed, {}};
    }
    return entry;
}

DebugInformationCheck readDebugInformation(serial::ByteLink& link) {
    std::array<std::uint8_t, kDebugInformationSize> answer{};
    std::size_t got = 0;
    if (serial::sendRequest(link, debugInformationRequest(), false)) got = collect(link, answer, kInformationWaitMs);
    return checkDebugInformation(std::span(answer).first(got));
}

bool sendDebugStop(serial::ByteLink& link) { return link.isOpen() && link.send(debugStopReporting()); }

bool leaveDebugState(serial::ByteLink& link) {
    if (!serial::sendRequest(link, debugLeaveFrame(), false)) return false;
    std::array<std::uint8_t, kLeaveAnswerMax> dropped{};
    collect(link, dropped, kLeaveWaitMs);
    return true;
}

}  // namespace korvex::monitor
