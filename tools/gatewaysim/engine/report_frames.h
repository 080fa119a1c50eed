#pragma once
// The monitor reports a simulated gateway sends, byte for byte, and the
// frames of the debug exchange it answers:
// - serial monitor: status, slave, start (BE), n, then n data bytes; status 1
//   carries n = 0 and the exception code; status 3 n = 0 and nothing else;
// - debug mode, command D3 and a trailing 8-bit sum: master layout
//   D3 N status slave function start(BE) count data; slave layout
//   D3 F5 direction data; user-config layout D3 N direction data;
// - UDP: the 8-byte header (command 15, payload length), then port index and
//   status (u32 BE each), 00, slave, start (BE), data; status 1 carries
//   00 00 00 exception as its data.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "monitor_traffic.h"
#include "serial/gateway_frame.h"

namespace korvex::gatewaysim {

using serial::Bytes;

// The subnet protocol the debug information answer names, which decides the
// report layout.
enum class DebugLayout : std::uint8_t { Master = 0, Slave = 1, User = 3 };

std::optional<DebugLayout> parseDebugLayout(const std::string& text);

namespace debug_frame {
inline constexpr std::uint8_t ReadInformation = 0xD0;
inline constexpr std::uint8_t Reporting = 0xD2;
inline constexpr std::uint8_t Report = 0xD3;
inline constexpr std::uint8_t Reply = 0xD4;
inline constexpr std::uint8_t StartReporting = 0xEA;  // data byte of D2
inline constexpr std::uint8_t StopReporting = 0xF0;   // data byte of D2
inline constexpr std::uint8_t SlaveMarker = 0xF5;     // byte 1 of a slave-layout report
}  // namespace debug_frame

// UDP monitor: the gateway's port and the command codes of its frames.
inline constexpr std::uint16_t kMonitorUdpPort = 18802;
inline constexpr std::uint32_t kMonitorSwitchCommand = 14;
inline constexpr std::uint32_t kMonitorReportCommand = 15;
inline constexpr std::uint32_t kMonitorReplyCommand = 16;
inline constexpr std::uint8_t kMonitorStartByte = 0xEA;
inline constexpr std::uint8_t kMonitorStopByte = 0xF0;

Bytes serialMonitorReport(const TrafficReport& report);
Bytes debugReport(const TrafficReport& report, DebugLayout layout);
Bytes udpMonitorReport(const TrafficReport& report);

// The 16-byte answer to D0 00 D0: D0 0D, ten zero bytes, firmware major and
// minor, the layout's protocol code, the sum of the 15 bytes before.
Bytes debugInformationAnswer(std::uint8_t firmwareMajor, std::uint8_t firmwareMinor, DebugLayout layout);

}  // namespace korvex::gatewaysim
