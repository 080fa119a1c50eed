#pragma once
// The small socket and clock interfaces the Ethernet link runs over, so the
// search and the transfers are tested without a network. korvex_io implements
// them over Qt sockets; the tests with scripted fakes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "net/net_header.h"

namespace korvex::net {

// One received datagram and where it came from.
struct Datagram {
    Bytes bytes;
    std::string address;  // the sender's IPv4 address, dotted ("127.0.0.1")
    std::uint16_t port = 0;
};

// One UDP socket, bound to its local port by whoever made it.
class DatagramSocket {
public:
    virtual ~DatagramSocket() = default;
    // Sends one datagram; false when it could not be sent.
    virtual bool sendTo(std::span<const std::uint8_t> bytes, const std::string& address, std::uint16_t port) = 0;
    // The next datagram with its sender, waiting at most timeoutMs for it; at
    // most maxSize of its bytes (the rest is dropped). nullopt when none came in
    // time or the socket failed.
    virtual std::optional<Datagram> receiveFrom(std::size_t maxSize, int timeoutMs) = 0;
    // The same without the sender.
    std::optional<Bytes> receive(std::size_t maxSize, int timeoutMs) {
        auto datagram = receiveFrom(maxSize, timeoutMs);
        if (!datagram) return std::nullopt;
        return std::move(datagram->bytes);
    }
};

// One TCP connection to a gateway. Every call is bounded by its time-out.
class StreamSocket {
public:
    virtual ~StreamSocket() = default;
    // Connects within timeoutMs; false when that failed or took longer.
    virtual bool connectTo(const std::string& address, std::uint16_t port, int timeoutMs) = 0;
    // Sends all bytes within timeoutMs; false otherwise.
    virtual bool send(std::span<const std::uint8_t> bytes, int timeoutMs) = 0;
    // Collects bytes until `wanted` have arrived, the peer closed, or timeoutMs
    // passed, and returns what came (at most `wanted` bytes). nullopt when nothing
    // came or the connection failed.
    virtual std::optional<Bytes> receive(std::size_t wanted, int timeoutMs) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
};

// Time in milliseconds, passed in so the search timing runs on a fake clock in tests.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
    virtual void sleepUntil(std::int64_t ms) = 0;
};

}  // namespace korvex::net
