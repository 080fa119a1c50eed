#pragma once
// A UDP socket stand-in for the Monitor/Modify window's Ethernet mode, on real
// time and safe across threads: the window's worker sends and receives, the
// test delivers datagrams (with their sender) and reads what was sent.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "net/net_link.h"

namespace korvex::app {

struct SentDatagram {
    net::Bytes bytes;
    std::string address;
    std::uint16_t port = 0;
};

// Shared between the test and the socket the window's worker owns.
class DatagramExchange {
public:
    void deliver(const net::Bytes& bytes, const std::string& from, std::uint16_t port = 18802) {
        {
            std::lock_guard lock(mutex_);
            inbox_.push_back(net::Datagram{bytes, from, port});
        }
        changed_.notify_all();
    }
    std::vector<SentDatagram> sent() const {
        std::lock_guard lock(mutex_);
        return sent_;
    }
    std::size_t sendCount() const {
        std::lock_guard lock(mutex_);
        return sent_.size();
    }
    bool socketMade() const {
        std::lock_guard lock(mutex_);
        return socketMade_;
    }
    bool socketClosed() const {
        std::lock_guard lock(mutex_);
        return socketClosed_;
    }

    // ---- the socket's side ----
    void noteMade() {
        std::lock_guard lock(mutex_);
        socketMade_ = true;
    }
    void noteClosed() {
        std::lock_guard lock(mutex_);
        socketClosed_ = true;
    }
    void record(SentDatagram d) {
        std::lock_guard lock(mutex_);
        sent_.push_back(std::move(d));
    }
    std::optional<net::Datagram> take(std::size_t maxSize, int timeoutMs) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs),
                               [&] { return !inbox_.empty(); }))
            return std::nullopt;
        net::Datagram d = std::move(inbox_.front());
        inbox_.pop_front();
        if (d.bytes.size() > maxSize) d.bytes.resize(maxSize);
        return d;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<net::Datagram> inbox_;
    std::vector<SentDatagram> sent_;
    bool socketMade_ = false;
    bool socketClosed_ = false;
};

class ScriptedSocket final : public net::DatagramSocket {
public:
    explicit ScriptedSocket(std::shared_ptr<DatagramExchange> exchange) : exchange_(std::move(exchange)) {
        exchange_->noteMade();
    }
    ~ScriptedSocket() override { exchange_->noteClosed(); }
    bool sendTo(std::span<const std::uint8_t> bytes, const std::string& address, std::uint16_t port) override {
        exchange_->record(SentDatagram{net::Bytes(bytes.begin(), bytes.end()), address, port});
        return true;
    }
    std::optional<net::Datagram> receiveFrom(std::size_t maxSize, int timeoutMs) override {
        return exchange_->take(maxSize, timeoutMs);
    }

private:
    std::shared_ptr<DatagramExchange> exchange_;
};

}  // namespace korvex::app
