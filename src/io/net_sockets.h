#pragma once
// The Ethernet link's sockets over QtNetwork: the UDP socket of the search
// (bound to local port 10002 on every interface, shared), the TCP connection
// of the transfers, a steady clock, and the search's broadcast destination.
#include <memory>
#include <optional>
#include <string>

#include <QTcpSocket>
#include <QUdpSocket>

#include "net/net_link.h"

namespace korvex::io {

class UdpDatagramSocket : public net::DatagramSocket {
public:
    // Binds 0.0.0.0:localPort with ShareAddress. nullptr when the port cannot be
    // bound (another program holds it); *error then says why.
    static std::unique_ptr<UdpDatagramSocket> open(std::string* error,
                                                   std::uint16_t localPort = net::kLocalUdpPort);

    bool sendTo(std::span<const std::uint8_t> bytes, const std::string& address, std::uint16_t port) override;
    std::optional<net::Datagram> receiveFrom(std::size_t maxSize, int timeoutMs) override;

private:
    UdpDatagramSocket() = default;
    QUdpSocket socket_;
};

class TcpStreamSocket : public net::StreamSocket {
public:
    bool connectTo(const std::string& address, std::uint16_t port, int timeoutMs) override;
    bool send(std::span<const std::uint8_t> bytes, int timeoutMs) override;
    std::optional<net::Bytes> receive(std::size_t wanted, int timeoutMs) override;
    void close() override;
    bool isOpen() const override;

private:
    std::unique_ptr<QTcpSocket> socket_;
};

class SteadyClock : public net::Clock {
public:
    std::int64_t nowMs() const override;
    void sleepUntil(std::int64_t ms) override;
};

// Where a broadcast search goes: 255.255.255.255, or the address in the
// environment variable KORVEX_SEARCH_BROADCAST (tests set 127.255.255.255 so
// nothing leaves the machine).
std::string searchBroadcastAddress();

}  // namespace korvex::io
