#pragma once
// The UDP monitor stream of an Ethernet gateway, without I/O. A MonitorSwitch
// start frame (command 14, payload EA EA EA EA ...) on the monitor port starts
// reports (command 15) to the address and port it came from; the stop frame
// (F0 F0 F0 F0 ...) from that peer ends them. Every report awaits its reply
// (command 16) from that peer: 00 00 00 00 acknowledges, 00 00 00 01 addr
// (u16 BE) data writes the data into the output memory at 0x4000..0x406F.
// Other datagrams, and replies from anyone else, are ignored.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "monitor_traffic.h"
#include "output_memory.h"
#include "report_pacer.h"
#include "serial/gateway_frame.h"

namespace korvex::gatewaysim {

struct MonitorPeer {
    std::array<std::uint8_t, 4> address{};
    std::uint16_t port = 0;
    bool operator==(const MonitorPeer&) const = default;
};

struct AddressedReport {
    serial::Bytes bytes;
    MonitorPeer to;
};

class NetMonitorStream {
public:
    explicit NetMonitorStream(ReportRate rate) : pacer_(rate) {}

    // A datagram that came to the monitor port from `from` at `nowMs`; a start
    // frame takes the commands to report from `commands`.
    void receive(std::span<const std::uint8_t> datagram, const MonitorPeer& from, std::int64_t nowMs,
                 const std::function<std::vector<TrafficCommand>()>& commands);

    bool reporting() const { return pacer_.running(); }
    const MonitorPeer& peer() const { return peer_; }
    std::optional<std::int64_t> nextReportMs() const { return pacer_.nextReportMs(); }
    std::optional<AddressedReport> takeReport(std::int64_t nowMs);

    const OutputMemory& output() const { return output_; }
    std::uint32_t writesStored() const { return writes_; }

private:
    ReportPacer pacer_;
    OutputMemory output_;
    MonitorPeer peer_;
    std::vector<TrafficCommand> commands_;
    std::uint32_t next_ = 1;
    std::uint32_t writes_ = 0;
};

}  // namespace korvex::gatewaysim
