#pragma once
// The device engine of the gateway simulator: request bytes in, answer frames
// out. It does no I/O and reads no clock: callers feed the bytes as they
// arrive (split anywhere) together with the time they arrived, and send the
// answers it returns. The same engine serves korvex-gatewaysim on a
// pseudo-terminal and SimulatedLink in the unit tests.
//
// It follows the gateway's side of the serial configuration protocol: the
// device-type answer, the operating states switched by 0F (from firmware 6 on a
// download is refused outside the configuration state), scrambling from
// firmware 6 on, an acknowledgement for every write, and reads that return
// what the writes stored. A request that is not well-formed or not known to
// this device gets an error frame (request code | 0x80, two data bytes).
//
// In debug state (or with firmware 5 and older, which has no states) it also
// serves the debug monitor: D0 00 D0 gets the information answer, D2 starts
// and stops the report stream, D4 frames answer the reports, and the plain
// frame 0F 01 01 11 leaves debug state for the configuration state. These
// frames are never scrambled; one with a wrong sum is ignored.
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "debug_stream.h"
#include "gateway_memory.h"
#include "line_device.h"
#include "serial/gateway_frame.h"
#include "serial/gateway_protocol.h"

namespace korvex::gatewaysim {

using serial::Bytes;

struct DeviceOptions {
    // Device type as the device-type answer reports it (DeviceKind + 1).
    std::uint8_t deviceType = 4;
    std::uint8_t firmwareMajor = 6;
    std::uint8_t firmwareMinor = 0;
    // 244 or more: the firmware takes more than 224 bytes of command data.
    std::uint8_t capacity = 244;
    // Subnet protocol the debug information answer reports: the report layout.
    DebugLayout debugLayout = DebugLayout::Master;
    ReportRate reportRate{};
};

// First data byte of the error frames this device sends.
namespace error_code {
inline constexpr std::uint8_t BadChecksum = 0x01;
inline constexpr std::uint8_t UnknownCommand = 0x02;
// 03 is what a gateway answers to a command for a second Modbus slave it does
// not support; the engine never sends it on its own (a fault can).
inline constexpr std::uint8_t UnsupportedSlave = 0x03;
inline constexpr std::uint8_t BadLength = 0x04;
inline constexpr std::uint8_t NotInConfigurationState = 0x05;
inline constexpr std::uint8_t OutOfRange = 0x06;
inline constexpr std::uint8_t Injected = 0x0E;
}  // namespace error_code

// A fault injected for one request code.
enum class FaultKind : std::uint8_t {
    ErrorFrame,   // refuse with an error frame (the request is not carried out)
    BadChecksum,  // carry it out, answer with a wrong checksum byte
    Late,         // carry it out, answer `lateMs` later than usual
    Silent,       // ignore the request: no answer, nothing changes
    Forget,       // answer as if carried out, but keep nothing it writes (a gateway
                  // whose memory does not take the write)
};

struct Fault {
    FaultKind kind = FaultKind::ErrorFrame;
    int lateMs = 0;
    std::uint8_t errorCode = error_code::Injected;
};

class GatewayEngine final : public LineDevice {
public:
    // A partial request older than this is dropped when new bytes come, so a
    // sender that gave up halfway does not shift every later frame.
    static constexpr std::int64_t kRequestGapMs = 200;

    explicit GatewayEngine(DeviceOptions options = {});

    const DeviceOptions& options() const { return options_; }
    // major × 10 + minor, as the transfer code combines them.
    int firmwareVersion() const { return options_.firmwareMajor * 10 + options_.firmwareMinor; }
    // Whether frames travel scrambled: from firmware major 6 on.
    bool scrambles() const { return options_.firmwareMajor > 5; }
    // Subnets this device type has: 4 for the four-subnet gateway, else 1.
    int subnetCount() const;
    // Commands one subnet holds: 48 before firmware 5.2, else 100.
    std::size_t commandCapacity() const;

    void setFault(std::uint8_t command, Fault fault);
    void clearFaults();

    // Feeds bytes that arrived at `nowMs` (any clock, as long as it does not go
    // back); returns the answers to the requests they completed, in order.
    std::vector<Answer> receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs) override;
    // The debug report stream.
    std::optional<std::int64_t> nextReportMs() const override { return debug_.nextReportMs(); }
    std::optional<Bytes> takeReport(std::int64_t nowMs) override { return debug_.takeReport(nowMs); }
    const DebugStream& debugStream() const { return debug_; }
    // A program that goes away without stopping the reports stops them: the
    // next one must not find reports among the answers it waits for.
    void peerClosed() override { debug_.stop(); }

    // Carries out configuration frames as a download sends them after the
    // identification (unscrambled, state switches allowed among them), as the
    // configuration the gateway starts with. Stops at the first frame refused
    // and names it in *error.
    bool loadConfiguration(const std::vector<Bytes>& frames, std::string* error);

    serial::OperatingState state() const { return state_; }
    const GatewayMemory& memory() const { return memory_; }
    GatewayMemory& memory() { return memory_; }
    // Requests answered so far (error frames and silent ones included), for
    // tests and the simulator's log.
    std::size_t requestCount() const { return requestCount_; }

private:
    std::optional<Answer> handleFrame(Bytes frame, std::int64_t nowMs);
    // Whether the debug frames are served now.
    bool servesDebugFrames() const;
    std::optional<Answer> handleDebugFrame(const Bytes& frame, std::int64_t nowMs);
    void setState(serial::OperatingState state);
    // Carries out a complete, unscrambled request and returns its answer before
    // scrambling (an error frame when refused). Frames loaded as the start
    // configuration skip the operating-state check.
    Bytes carryOut(const Bytes& request, bool fromDownloadFile);

    DeviceOptions options_;
    GatewayMemory memory_;
    serial::OperatingState state_ = serial::OperatingState::Communication;
    std::map<std::uint8_t, Fault> faults_;
    DebugStream debug_;
    Bytes pending_;
    std::int64_t lastByteMs_ = 0;
    std::size_t requestCount_ = 0;
};

}  // namespace korvex::gatewaysim
