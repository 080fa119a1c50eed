#pragma once
// The far end of a serial line in the simulator, without I/O: bytes from the
// program go in with the time they arrived and answers come out; a device may
// also send on its own (monitor reports) when its next report is due. The
// configuration engine and the serial monitor stream are such devices; the
// line server and SimulatedLink drive either.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "serial/gateway_frame.h"

namespace korvex::gatewaysim {

struct Answer {
    serial::Bytes bytes;  // as sent on the wire (scrambled where the firmware does)
    int delayMs = 0;      // extra delay before the first byte (a Late fault)
};

class LineDevice {
public:
    virtual ~LineDevice() = default;

    // Feeds bytes that arrived at `nowMs` (any clock, as long as it does not go
    // back); returns the answers to the requests they completed, in order.
    virtual std::vector<Answer> receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs) = 0;
    // When the device next sends a report on its own; nullopt when it will not
    // until bytes come.
    virtual std::optional<std::int64_t> nextReportMs() const { return std::nullopt; }
    // The report due at `nowMs`, or nullopt when none is due yet.
    virtual std::optional<serial::Bytes> takeReport(std::int64_t /*nowMs*/) { return std::nullopt; }
    // A program opened the line; a device that reports on its own starts a
    // session with its first report due at `firstReportMs`.
    virtual void peerOpened(std::int64_t /*firstReportMs*/) {}
    // The program closed the line.
    virtual void peerClosed() {}
};

}  // namespace korvex::gatewaysim
