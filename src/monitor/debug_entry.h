#pragma once
// The debug monitor's exchanges around its report stream: bringing the gateway
// into its debug state (the Debug command with "5.0 and above"), reading the
// debug information that decides the layout, and leaving the debug state.
// Every wait ends as soon as the awaited bytes are in and never later than its
// bound.
#include <optional>

#include "model/texts/text.h"
#include "monitor/monitor_reports.h"
#include "serial/byte_link.h"

namespace korvex::monitor {

// Bounds of the waits, in milliseconds.
inline constexpr int kDeviceTypeWaitMs = 700;    // 100 ms and six more checks 100 ms apart
inline constexpr int kDebugSwitchWaitMs = 350;   // 50 ms and six more checks 50 ms apart
inline constexpr int kInformationWaitMs = 320;   // 20 ms and three more checks 100 ms apart
inline constexpr int kLeaveWaitMs = 50;

struct DebugEntry {
    // Open the debug monitor next; false after "Conversion to debug mode failed!".
    bool openMonitor = false;
    // The gateway answered the device-type request.
    bool identified = false;
    std::uint8_t firmwareMajor = 0;
    // The state switch was sent (firmware major above 5).
    bool switched = false;
    std::optional<Message> failure;
};

// Asks the device type (01 00 01, never scrambled). No answer, or firmware 5 or
// older: open the monitor. Otherwise sends the scrambled switch to state 2 and
// opens the monitor only when the unscrambled answer starts 0F 02 00 00 11.
DebugEntry enterDebugState(serial::ByteLink& link);

// Sends D0 00 D0 and checks the answer (see checkDebugInformation).
DebugInformationCheck readDebugInformation(serial::ByteLink& link);

// Sends the stop request D2 01 F0 C3. False when the link failed.
bool sendDebugStop(serial::ByteLink& link);

// Sends 0F 01 01 11, waits up to 50 ms and drops up to 5 answer bytes. False
// when the link failed.
bool leaveDebugState(serial::ByteLink& link);

}  // namespace korvex::monitor
