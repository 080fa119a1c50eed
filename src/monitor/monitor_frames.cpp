#include "monitor/monitor_frames.h"

#include <algorithm>

#include "net/net_header.h"
#include "serial/gateway_frame.h"
#include "serial/gateway_protocol.h"

namespace korvex::monitor {

namespace {

constexpr std::uint8_t kSerialAcknowledge = 0x00;
constexpr std::uint8_t kWriteMarker = 0x01;
constexpr std::uint8_t kDebugInformation = 0xD0;
constexpr std::uint8_t kDebugReporting = 0xD2;
constexpr std::uint8_t kDebugReply = 0xD4;
constexpr std::uint8_t kStartCode = 0xEA;
constexpr std::uint8_t kStopCode = 0xF0;
// The largest write whose length byte (n + 3) still fits in one byte.
constexpr std::size_t kMaxDebugWriteBytes = 252;
constexpr std::size_t kMaxSerialWriteBytes = 255;

std::uint8_t high(std::uint16_t v) { return static_cast<std::uint8_t>(v >> 8); }
std::uint8_t low(std::uint16_t v) { return static_cast<std::uint8_t>(v & 0xFF); }

Bytes netFrame(std::uint32_t command, const Bytes& payload) {
    Bytes out;
    net::NetHeader{command, static_cast<std::uint32_t>(payload.size())}.appendTo(out);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes monitorSwitch(std::uint8_t code) { return netFrame(kMonitorSwitchCommand, {code, code, code, code, 0, 0, 0, 0}); }

}  // namespace

Bytes serialAcknowledgement() { return {kSerialAcknowledge}; }

Bytes serialWriteReply(const PendingWrite& write) {
    const std::size_t n = std::min(write.bytes.size(), kMaxSerialWriteBytes);
    Bytes out{kWriteMarker, high(write.address), low(write.address), static_cast<std::uint8_t>(n)};
    out.insert(out.end(), write.bytes.begin(), write.bytes.begin() + static_cast<long>(n));
    return out;
}

Bytes ethernetStartFrame() { return monitorSwitch(kStartCode); }
Bytes ethernetStopFrame() { return monitorSwitch(kStopCode); }
Bytes ethernetAcknowledgement() { return netFrame(kMonitorReplyCommand, {0, 0, 0, 0}); }

Bytes ethernetWriteReply(const PendingWrite& write) {
    Bytes payload{0, 0, 0, kWriteMarker, high(write.address), low(write.address)};
    payload.insert(payload.end(), write.bytes.begin(), write.bytes.end());
    return netFrame(kMonitorReplyCommand, payload);
}

Bytes debugInformationRequest() { return serial::makeFrame(kDebugInformation, {}); }
Bytes debugStartReporting() { return serial::makeFrame(kDebugReporting, {kStartCode}); }
Bytes debugStopReporting() { return serial::makeFrame(kDebugReporting, {kStopCode}); }
Bytes debugAcknowledgement() { return serial::makeFrame(kDebugReply, {0x00}); }

Bytes debugWriteRequest(const PendingWrite& write) {
    const std::size_t n = std::min(write.bytes.size(), kMaxDebugWriteBytes);
    Bytes data{kWriteMarker, high(write.address), low(write.address)};
    data.insert(data.end(), write.bytes.begin(), write.bytes.begin() + static_cast<long>(n));
    return serial::makeFrame(kDebugReply, data);
}

Bytes debugLeaveFrame() {
    return serial::makeFrame(serial::command::SetOperatingState,
                             {static_cast<std::uint8_t>(serial::OperatingState::Configuration)});
}

}  // namespace korvex::monitor
