#pragma once
// Scripted sockets and a fake clock for the Ethernet link tests: no network,
// and every time-out advances the fake clock instead of waiting.
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/project.h"
#include "net/net_link.h"

namespace korvex::net::testing {

// Whether two projects hold the same configuration and flags.
inline bool sameProject(const Project& a, const Project& b) {
    return a.deviceKind == b.deviceKind && a.flags == b.flags && a.fieldbus == b.fieldbus && a.subnets == b.subnets &&
           a.fileVersion == b.fileVersion && a.modified == b.modified && a.loadedFromFile == b.loadedFromFile;
}

class FakeClock : public Clock {
public:
    std::int64_t nowMs() const override { return now; }
    void sleepUntil(std::int64_t ms) override {
        if (ms > now) now = ms;
    }
    std::int64_t now = 0;
};

// Answers per pass: the datagrams queued for the n-th send (0-based) come back
// one receive at a time; an empty queue times out and advances the clock.
class FakeDatagramSocket : public DatagramSocket {
public:
    explicit FakeDatagramSocket(FakeClock& clock) : clock_(clock) {}

    struct Sent {
        Bytes bytes;
        std::string address;
        std::uint16_t port;
        std::int64_t atMs;
    };
    std::vector<Sent> sent;
    std::map<size_t, std::deque<Bytes>> answersAfterSend;
    bool sendFails = false;

    bool sendTo(std::span<const std::uint8_t> bytes, const std::string& address, std::uint16_t port) override {
        if (sendFails) return false;
        sent.push_back({Bytes(bytes.begin(), bytes.end()), address, port, clock_.now});
        pending_ = answersAfterSend[sent.size() - 1];
        return true;
    }
    // Where the answers come from.
    std::string answerAddress = "127.0.0.1";
    std::uint16_t answerPort = kGatewayPort;

    std::optional<Datagram> receiveFrom(std::size_t maxSize, int timeoutMs) override {
        if (pending_.empty()) {
            clock_.now += timeoutMs;
            return std::nullopt;
        }
        Bytes d = std::move(pending_.front());
        pending_.pop_front();
        if (d.size() > maxSize) d.resize(maxSize);
        return Datagram{std::move(d), answerAddress, answerPort};
    }

private:
    FakeClock& clock_;
    std::deque<Bytes> pending_;
};

// A gateway connection with a scripted outcome for each call.
class FakeStreamSocket : public StreamSocket {
public:
    bool connectSucceeds = true;
    bool sendSucceeds = true;
    std::deque<std::optional<Bytes>> answers;  // one per receive; missing = nothing came
    std::vector<Bytes> sent;
    std::string connectedAddress;
    std::uint16_t connectedPort = 0;
    int connects = 0;
    int closes = 0;

    bool connectTo(const std::string& address, std::uint16_t port, int) override {
        ++connects;
        connectedAddress = address;
        connectedPort = port;
        open_ = connectSucceeds;
        return connectSucceeds;
    }
    bool send(std::span<const std::uint8_t> bytes, int) override {
        if (!open_ || !sendSucceeds) return false;
        sent.emplace_back(bytes.begin(), bytes.end());
        return true;
    }
    std::optional<Bytes> receive(std::size_t wanted, int) override {
        if (!open_ || answers.empty()) return std::nullopt;
        auto a = std::move(answers.front());
        answers.pop_front();
        if (a && a->size() > wanted) a->resize(wanted);
        return a;
    }
    void close() override {
        if (open_) ++closes;
        open_ = false;
    }
    bool isOpen() const override { return open_; }

private:
    bool open_ = false;
};

}  // namespace korvex::net::testing
