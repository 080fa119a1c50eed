#pragma once
// The reports a gateway sends while it is monitored, as untrusted bytes: where
// one report ends in a byte stream (the cutters) and what it says (the readers).
// No reader looks past the bytes it is given; counts in a report are bounded by
// what arrived.
//
// Serial monitor report: status, slave, start (BE), n, then n data bytes, or
// for status 1 the exception code (length 5 + max(n, 1)). Status 0, 1, 2, 3 and
// FF (answered but not shown) are reports; any other status makes the bytes
// buffered so far one bad report that is dropped unanswered.
//
// Debug reports (frames: command D3, count N, ..., sum): master and user config
// are N + 3 bytes long; a slave report carries the marker F5 where the count
// would be and ends when its last byte is the sum of the bytes before it and
// nothing follows for a moment (or at 249 bytes).
//
// Ethernet monitor report: one datagram: NetHeader (command 15, payload length
// L), port index u32, status u32, 0, slave, start (BE), L - 12 data bytes or,
// for status 1, the exception code at byte 23.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "model/texts/text.h"
#include "monitor/monitor_types.h"

namespace korvex::monitor {

// Where the first report of a buffer ends.
enum class CutResult {
    NeedMore,           // the report is not complete yet
    Complete,           // the first `length` bytes are one report
    CompleteWhenQuiet,  // the first `length` bytes are one report unless more bytes follow at once
    Bad,                // the first `length` bytes are garbage: drop them unanswered
};

struct Cut {
    CutResult result = CutResult::NeedMore;
    std::size_t length = 0;

    bool operator==(const Cut&) const = default;
};

// ---- Serial monitor (Monitor/Modify over the serial port) ----

namespace serial_status {
inline constexpr std::uint8_t Correct = 0;
inline constexpr std::uint8_t Abnormal = 1;  // carries an exception code
inline constexpr std::uint8_t Incorrect = 2;
inline constexpr std::uint8_t Timeout = 3;
inline constexpr std::uint8_t Hidden = 0xFF;  // answered, neither shown nor recorded
}  // namespace serial_status

struct SerialMonitorReport {
    std::uint8_t status = 0;
    std::uint8_t slave = 0;
    std::uint16_t start = 0;
    std::uint8_t exception = 0;  // status 1 only
    Bytes data;                  // statuses other than 1

    bool operator==(const SerialMonitorReport&) const = default;
};

// The serial report at the start of `buffered`.
Cut cutSerialReport(std::span<const std::uint8_t> buffered);
// One whole serial report (as cut); nullopt for a status that is no report or a
// report shorter than its count says.
std::optional<SerialMonitorReport> readSerialReport(std::span<const std::uint8_t> report);

// ---- Ethernet monitor (Monitor/Modify over UDP) ----

struct EthernetMonitorReport {
    std::uint32_t portIndex = 0;  // counted from 0
    std::uint32_t status = 0;     // 0..3
    std::uint8_t slave = 0;
    std::uint16_t start = 0;
    std::uint8_t exception = 0;  // status 1 only
    Bytes data;                  // statuses other than 1: min(L - 12, what arrived) bytes

    bool operator==(const EthernetMonitorReport&) const = default;
};

// One datagram (at most kMaxEthernetReport bytes are looked at). nullopt when it
// is too short for its fields (20 bytes, 24 with an exception code) or its
// status is not 0..3.
std::optional<EthernetMonitorReport> readEthernetReport(std::span<const std::uint8_t> datagram);

// ---- Debug monitor ----

namespace debug_code {
inline constexpr std::uint8_t SlaveMarker = 0xF5;
inline constexpr std::uint8_t Hidden = 0xFF;  // status or direction: counted (master) but not shown
}  // namespace debug_code

struct DebugReport {
    DebugLayout layout = DebugLayout::Master;
    std::size_t length = 0;          // bytes received
    std::uint8_t marker = 0;         // byte 1: the count, or F5 in the slave layout
    std::uint8_t statusOrDirection = 0;  // byte 2
    std::uint8_t slave = 0;          // master: byte 3
    std::uint8_t function = 0;       // master: byte 4
    std::uint16_t start = 0;         // master: bytes 5..6
    Bytes data;                      // master: bytes 8..N+1; others: bytes 3..length-2

    // Slave layout: byte 1 is the marker F5.
    bool hasSlaveMarker() const { return marker == debug_code::SlaveMarker; }
    bool operator==(const DebugReport&) const = default;
};

// The debug report at the start of `buffered`.
Cut cutDebugReport(DebugLayout layout, std::span<const std::uint8_t> buffered);
// One whole debug report (as cut). A report shorter than its layout reads the
// missing fields as 0 (the receive area is cleared) and has no data past what
// arrived.
DebugReport readDebugReport(DebugLayout layout, std::span<const std::uint8_t> report);

// The answer to D0 00 D0: 16 bytes, D0 first, firmware major and minor at 12
// and 13, the subnet protocol at 14, the sum of bytes 0..14 at 15.
inline constexpr std::size_t kDebugInformationSize = 16;

struct DebugInformation {
    std::uint8_t firmwareMajor = 0;
    std::uint8_t firmwareMinor = 0;
    std::uint8_t protocolCode = 0;

    // "Stop debug and exit" asks before it sends the leave frame when the
    // firmware is newer than 5.2.
    bool asksBeforeLeaving() const { return firmwareMajor > 5 || (firmwareMajor == 5 && firmwareMinor > 2); }
    bool operator==(const DebugInformation&) const = default;
};

// The layout of a subnet protocol code: 0 master, 1 slave, 3 user config.
std::optional<DebugLayout> layoutOfProtocol(std::uint8_t code);

struct DebugInformationCheck {
    // Firmware numbers as read (bytes 12 and 13, 0 when missing), kept even when
    // the answer is refused.
    DebugInformation information;
    std::optional<DebugLayout> layout;  // set when the answer is accepted
    std::optional<Message> failure;     // "Product version does not match!" or the sub network message
};

// Checks the information answer (what arrived, at most its first 16 bytes).
DebugInformationCheck checkDebugInformation(std::span<const std::uint8_t> answer);

}  // namespace korvex::monitor
