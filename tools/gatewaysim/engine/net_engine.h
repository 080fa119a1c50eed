#pragma once
// The simulator's network side without I/O: the answer to a search datagram
// and the configuration exchange of one TCP connection (read, write, restart).
// The written block is kept, so a read returns what a download wrote.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "net/net_header.h"
#include "net_monitor.h"

namespace korvex {
struct Project;
}

namespace korvex::gatewaysim {

struct NetDeviceOptions {
    std::array<std::uint8_t, 4> address{127, 0, 0, 1};
    std::array<std::uint8_t, 6> mac{0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
    std::uint16_t firmwareMajor = 6;
    std::uint16_t firmwareMinor = 0;
    bool remoteConfigAllowed = true;
    // The code the write answer carries (6 accepts; anything else is a refusal).
    std::uint32_t writeAnswerCode = 6;
    // False: a write is answered as accepted but the block kept is not replaced
    // (a gateway whose memory does not take the write).
    bool keepsWrites = true;
    ReportRate reportRate{};
};

// "12-ab-..." or "12:AB:..." into six bytes.
std::optional<std::array<std::uint8_t, 6>> parseMac(const std::string& text);
// A dotted quad into four bytes.
std::optional<std::array<std::uint8_t, 4>> parseAddress(const std::string& text);

class NetGatewayEngine {
public:
    explicit NetGatewayEngine(NetDeviceOptions options);

    // The 68-byte answer to a search request; nullopt for any other datagram.
    std::optional<net::Bytes> answerSearch(std::span<const std::uint8_t> datagram) const;

    // The bytes of one TCP connection so far, consumed as whole requests arrive.
    struct Connection {
        net::Bytes pending;
        bool closeNow = false;  // a request it cannot make sense of: drop the connection
    };
    // Feeds bytes received on a connection; returns the answer bytes to send.
    net::Bytes receive(Connection& connection, std::span<const std::uint8_t> bytes);

    // The last block written (the write layout), initially that of a new
    // EtherNet/IP project.
    const net::Bytes& writtenBlock() const { return written_; }
    int writes() const { return writes_; }
    int restarts() const { return restarts_; }
    // The read layout built from the kept block.
    net::Bytes readBlock() const;
    // Keeps the write block of `project` as if it had been downloaded.
    void loadProject(const Project& project);

    // The monitor stream on UDP port 18802; it reports the kept block's commands.
    void receiveMonitorDatagram(std::span<const std::uint8_t> datagram, const MonitorPeer& from, std::int64_t nowMs);
    NetMonitorStream& monitor() { return monitor_; }
    const NetMonitorStream& monitor() const { return monitor_; }

private:
    NetDeviceOptions options_;
    NetMonitorStream monitor_;
    net::Bytes written_;
    int writes_ = 0;
    int restarts_ = 0;
};

}  // namespace korvex::gatewaysim
