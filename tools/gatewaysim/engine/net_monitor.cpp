#include "net_monitor.h"

#include <algorithm>

#include "net/net_header.h"
#include "report_frames.h"

namespace korvex::gatewaysim {
namespace {

bool fourTimes(std::span<const std::uint8_t> bytes, std::uint8_t value) {
    return bytes.size() >= 4 && std::all_of(bytes.begin(), bytes.begin() + 4, [value](std::uint8_t b) { return b == value; });
}

}  // namespace

void NetMonitorStream::receive(std::span<const std::uint8_t> datagram, const MonitorPeer& from, std::int64_t nowMs,
                               const std::function<std::vector<TrafficCommand>()>& commands) {
    const auto header = net::NetHeader::read(datagram);
    if (!header) return;
    // The payload as far as it came, never more than the header announces.
    const auto payload = datagram.subspan(net::NetHeader::kSize,
                                          std::min<std::size_t>(header->length, datagram.size() - net::NetHeader::kSize));
    if (header->command == kMonitorSwitchCommand) {
        if (fourTimes(payload, kMonitorStartByte)) {
            peer_ = from;
            commands_ = commands();
            if (commands_.empty()) commands_.push_back(TrafficCommand{});
            next_ = 1;
            pacer_.start(nowMs);
        } else if (fourTimes(payload, kMonitorStopByte) && from == peer_) {
            pacer_.stop();
        }
        return;
    }
    if (header->command != kMonitorReplyCommand || from != peer_ || payload.size() < 4) return;
    if (!pacer_.replied(nowMs)) return;
    if (net::readU32(payload, 0) == 1 && payload.size() >= 6) {
        const std::uint32_t address = net::readU16(payload, 4);
        if (output_.write(address, payload.subspan(6), kMonitorWriteEnd)) ++writes_;
    }
}

std::optional<AddressedReport> NetMonitorStream::takeReport(std::int64_t nowMs) {
    if (!pacer_.takeDue(nowMs)) return std::nullopt;
    return AddressedReport{udpMonitorReport(makeTrafficReport(next_++, commands_, output_, false)), peer_};
}

}  // namespace korvex::gatewaysim
