#pragma once
// A ByteLink for the pump tests: bytes arrive at scripted moments of a virtual
// clock, in whatever pieces the test chooses; every wait advances the clock to
// the next arrival or by its whole time-out, so a pump runs instantly and
// deterministically. A hook sees every write (a gateway stand-in can schedule
// its next report there) and every clock step (a test can request a stop).
#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "serial/byte_link.h"

namespace korvex::monitor::testing {

using Bytes = std::vector<std::uint8_t>;

class FakeStreamLink : public serial::ByteLink {
public:
    struct Sent {
        std::int64_t atMs;
        Bytes bytes;
    };

    // `bytes` arrive at `atMs` (in the order given when several arrive at once).
    void arriveAt(std::int64_t atMs, Bytes bytes) { pending_.emplace(atMs, std::move(bytes)); }
    // The same, `delayMs` from now.
    void arriveIn(std::int64_t delayMs, Bytes bytes) { arriveAt(now_ + delayMs, std::move(bytes)); }

    std::function<void(const Bytes& written)> onSend;
    std::function<void(std::int64_t now)> onClock;
    bool failSends = false;

    std::vector<Sent> sent;
    int longestWaitMs = 0;

    bool send(std::span<const std::uint8_t> bytes) override {
        if (!open_ || failSends) {
            open_ = false;
            return false;
        }
        sent.push_back({now_, Bytes(bytes.begin(), bytes.end())});
        if (onSend) onSend(sent.back().bytes);
        return true;
    }
    std::size_t bytesWaiting() override {
        deliver();
        return received_.size();
    }
    std::size_t read(std::span<std::uint8_t> out) override {
        deliver();
        const std::size_t n = std::min(out.size(), received_.size());
        std::copy_n(received_.begin(), n, out.begin());
        received_.erase(received_.begin(), received_.begin() + static_cast<long>(n));
        return n;
    }
    std::size_t waitForBytes(std::size_t count, int timeoutMs) override {
        longestWaitMs = std::max(longestWaitMs, timeoutMs);
        deliver();
        const std::int64_t end = now_ + std::max(timeoutMs, 0);
        while (received_.size() < count && !pending_.empty() && pending_.begin()->first <= end) {
            step(std::max(now_, pending_.begin()->first));
            deliver();
        }
        if (received_.size() < count) step(end);
        return received_.size();
    }
    void purge() override {
        deliver();
        received_.clear();
    }
    std::int64_t nowMs() override { return now_; }
    bool isOpen() const override { return open_; }

    void close() { open_ = false; }
    // Bytes scheduled and not yet arrived.
    bool allDelivered() const { return pending_.empty(); }

private:
    void step(std::int64_t to) {
        now_ = to;
        if (onClock) onClock(now_);
    }
    void deliver() {
        while (!pending_.empty() && pending_.begin()->first <= now_) {
            const Bytes& b = pending_.begin()->second;
            received_.insert(received_.end(), b.begin(), b.end());
            pending_.erase(pending_.begin());
        }
    }

    std::multimap<std::int64_t, Bytes> pending_;
    std::deque<std::uint8_t> received_;
    std::int64_t now_ = 0;
    bool open_ = true;
};

}  // namespace korvex::monitor::testing
