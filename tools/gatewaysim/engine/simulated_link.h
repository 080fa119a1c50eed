#pragma once
// An in-process gateway on a virtual clock, for the transfer tests: a ByteLink
// whose far end is a GatewayEngine. Time stands still except inside
// waitForBytes (a transfer "sleeps" by waiting for more bytes than will come)
// and advanceMs, so a whole download runs in microseconds and the same way
// every time, yet with the timings of a real line: every byte takes 10 bits at
// the baud rate in each direction, and the gateway answers a request once its
// last byte has arrived, after its turnaround time. Reports the far end sends
// on its own (a monitor stream) go onto the line when they are due.
#include <cstdint>
#include <deque>
#include <vector>

#include "gateway_engine.h"  // the usual far end
#include "line_device.h"
#include "serial/byte_link.h"

namespace korvex::gatewaysim {

struct SimulatedLineOptions {
    int baudRate = 19200;
    // Time the gateway takes between the last request byte and its answer.
    int turnaroundUs = 1000;
};

// One frame or chunk on the virtual line, for tests that look at the traffic.
struct LineRecord {
    std::int64_t atUs;  // when its first byte went onto the line
    bool fromGateway;
    serial::Bytes bytes;
};

class SimulatedLink final : public serial::ByteLink {
public:
    explicit SimulatedLink(LineDevice& device, SimulatedLineOptions options = {});

    bool send(std::span<const std::uint8_t> bytes) override;
    std::size_t bytesWaiting() override;
    std::size_t read(std::span<std::uint8_t> out) override;
    std::size_t waitForBytes(std::size_t count, int timeoutMs) override;
    void purge() override;
    std::int64_t nowMs() override { return nowNs_ / 1'000'000; }
    bool isOpen() const override { return !unplugged_; }

    // Lets virtual time pass, as a sleep of the transfer code would.
    void advanceMs(int ms);
    // The cable is pulled: sends fail, waits return at once, isOpen() is false.
    void unplug() { unplugged_ = true; }

    std::int64_t nowUs() const { return nowNs_ / 1000; }
    const std::vector<LineRecord>& transcript() const { return transcript_; }
    std::size_t bytesSent() const { return bytesSent_; }
    std::size_t bytesAnswered() const { return bytesAnswered_; }
    // Time the bytes exchanged so far need on the wire at the baud rate.
    std::int64_t wireTimeUs() const;

private:
    struct InFlight {
        std::int64_t arrivesNs;
        std::uint8_t byte;
    };
    void advanceTo(std::int64_t ns);
    // Puts the far end's reports due up to `ns` onto the line.
    void pumpReports(std::int64_t ns);
    void putOnLine(const serial::Bytes& bytes, std::int64_t fromNs);

    LineDevice& device_;
    SimulatedLineOptions options_;
    std::int64_t byteNs_;
    std::int64_t nowNs_ = 0;
    std::int64_t toGatewayFreeNs_ = 0;  // the tool's line is busy until then
    std::int64_t toToolFreeNs_ = 0;     // the gateway's line is busy until then
    std::deque<InFlight> inFlight_;     // answer bytes not yet arrived, in order
    std::deque<std::uint8_t> received_; // arrived, not yet read
    std::vector<LineRecord> transcript_;
    std::size_t bytesSent_ = 0;
    std::size_t bytesAnswered_ = 0;
    bool unplugged_ = false;
};

}  // namespace korvex::gatewaysim
