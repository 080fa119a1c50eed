#pragma once
// The "Send" field checks of both monitor windows, in their order, with their
// messages: what the typed memory mapping address and data become, or why they
// are refused.
#include <optional>
#include <string_view>

#include "model/texts/text.h"
#include "monitor/monitor_types.h"

namespace korvex::monitor {

// Output memory the Monitor/Modify window writes: 4000..406F.
inline constexpr std::uint16_t kMonitorFirstAddress = 0x4000;
inline constexpr std::uint16_t kMonitorLastAddress = 0x406F;
// Output memory the debug monitor writes: 4000..40F3, at most 244 bytes at once.
inline constexpr std::uint16_t kDebugFirstAddress = 0x4000;
inline constexpr std::uint16_t kDebugLastAddress = 0x40F3;
inline constexpr std::size_t kDebugMaxWriteBytes = 244;

// The fields' texts when a window opens.
inline constexpr std::string_view kInitialAddressText = "4000";
inline constexpr std::string_view kInitialDataText = "00 01 02 03";

struct MonitorSendCheck {
    std::optional<PendingWrite> write;  // accepted
    std::optional<Message> message;     // refused: shown in a message box
};

// Monitor/Modify: address four hex digits, data byte pairs separated by single
// blanks (either case).
MonitorSendCheck checkMonitorSend(std::string_view address, std::string_view data);

struct DebugSendCheck {
    std::optional<PendingWrite> write;  // accepted: answers the next report
    // The red complaint field: its new text when the data were refused, empty
    // when the data were accepted (then the address is checked).
    std::optional<Message> redField;
    bool dataAccepted = false;
    // An address refusal, shown in a message box; the range message is shown
    // without stopping the reports (nonBlocking).
    std::optional<Message> message;
    bool nonBlocking = false;
};

// Debug monitor: data in groups "hh " (the last blank may be missing), then the
// address (hex, 4000..40F3, the data within the output memory).
DebugSendCheck checkDebugSend(std::string_view address, std::string_view data);

}  // namespace korvex::monitor
