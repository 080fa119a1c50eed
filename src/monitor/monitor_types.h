#pragma once
// Values shared by the monitors: a write into the gateway's output memory, the
// layouts of the debug monitor, the modes of the Monitor/Modify window and the
// wire constants both ends agree on.
#include <cstdint>
#include <vector>

namespace korvex::monitor {

using Bytes = std::vector<std::uint8_t>;

// Bytes to write into the gateway's output memory from `address` on; sent as the
// reply to the next report instead of the acknowledgement.
struct PendingWrite {
    std::uint16_t address = 0;
    Bytes bytes;

    bool operator==(const PendingWrite&) const = default;
};

// How the Monitor/Modify window talks to the gateway.
enum class MonitorMode { Serial, Ethernet };

// The debug monitor's report layout, from the subnet protocol code of the debug
// information answer.
enum class DebugLayout { Master, Slave, UserConfig };

// Wire constants.
inline constexpr int kSerialMonitorBaud = 115200;
inline constexpr int kDebugBaud = 19200;
inline constexpr std::uint16_t kMonitorGatewayPort = 18802;
// A report whose bytes stopped short of its length for this long is dropped
// (the port time-out of the serial monitors).
inline constexpr int kIncompleteReportMs = 1000;
// A Monitor/Modify write that finds no report to answer within this time is
// dropped (serial and Ethernet); the debug monitor's write waits for its report.
inline constexpr int kWriteWaitMs = 1000;
// The longest a pump waits for bytes before it looks at its controls again: a
// stop request is seen within this time.
inline constexpr int kPumpPollMs = 100;
// Datagram bytes the Ethernet monitor reads at most.
inline constexpr std::size_t kMaxEthernetReport = 300;
// A slave-layout debug report is complete once its sum fits and no byte follows
// within this time, or once this many bytes are buffered.
inline constexpr int kSlaveReportQuietMs = 5;
inline constexpr std::size_t kMaxSlaveReport = 249;

}  // namespace korvex::monitor
