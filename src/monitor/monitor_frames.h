#pragma once
// What the program sends while monitoring: the replies to each report (an
// acknowledgement or a write into the output memory) and the frames that start
// and stop a report stream or switch the gateway's state.
#include "monitor/monitor_types.h"

namespace korvex::monitor {

// ---- Serial monitor ----
// 00
Bytes serialAcknowledgement();
// 01, address high, address low, n, the n bytes (at most 255 are taken).
Bytes serialWriteReply(const PendingWrite& write);

// ---- Ethernet monitor (each starts with the NetHeader) ----
// Network command codes of the monitor stream.
inline constexpr std::uint32_t kMonitorSwitchCommand = 14;
inline constexpr std::uint32_t kMonitorReportCommand = 15;
inline constexpr std::uint32_t kMonitorReplyCommand = 16;
// 00 00 00 0E 00 00 00 08 EA EA EA EA 00 00 00 00
Bytes ethernetStartFrame();
// 00 00 00 0E 00 00 00 08 F0 F0 F0 F0 00 00 00 00
Bytes ethernetStopFrame();
// 00 00 00 10 00 00 00 04 00 00 00 00
Bytes ethernetAcknowledgement();
// 00 00 00 10, n + 6 (u32), 00 00 00 01, address (u16), the n bytes.
Bytes ethernetWriteReply(const PendingWrite& write);

// ---- Debug monitor (gateway frames: command, N, N bytes, sum) ----
// D0 00 D0
Bytes debugInformationRequest();
// D2 01 EA BD
Bytes debugStartReporting();
// D2 01 F0 C3
Bytes debugStopReporting();
// D4 01 00 D5
Bytes debugAcknowledgement();
// D4, n + 3, 01, address high, address low, the n bytes, sum (at most 252 bytes are taken).
Bytes debugWriteRequest(const PendingWrite& write);
// 0F 01 01 11: back to the configuration state, sent unscrambled.
Bytes debugLeaveFrame();

}  // namespace korvex::monitor
