#pragma once
// A ByteLink for the tests: a virtual clock and a script of answers, one per
// request in order (or computed by a responder when the script is empty). Waits
// advance the clock to the moment the awaited bytes arrive, or by their whole
// time-out, so every exchange runs instantly and deterministically.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "serial/byte_link.h"
#include "serial/gateway_frame.h"

namespace korvex::serial::testing {

class ScriptedLink : public ByteLink {
public:
    struct Reply {
        Bytes bytes;
        int delayMs = 2;  // until the first byte arrives
        int byteMs = 0;   // between two bytes
    };

    // The next request is answered with `bytes` (silence when nullopt).
    void queue(Bytes bytes, int delayMs = 2, int byteMs = 0) { script_.push_back(Reply{std::move(bytes), delayMs, byteMs}); }
    void queueSilence() { script_.push_back(std::nullopt); }
    // Answers the requests the script does not cover; nullopt: silence.
    std::function<std::optional<Reply>(const Bytes& request)> responder;
    // The link fails when request number n (0-based) is sent.
    int failAtRequest = -1;

    std::vector<Bytes> sent;
    int purges = 0;

    bool send(std::span<const std::uint8_t> bytes) override {
        if (!open_) return false;
        if (static_cast<int>(sent.size()) == failAtRequest) {
            open_ = false;
            return false;
        }
        sent.emplace_back(bytes.begin(), bytes.end());
        std::optional<Reply> reply;
        if (!script_.empty()) {
            reply = script_.front();
            script_.pop_front();
        } else if (responder) {
            reply = responder(sent.back());
        }
        if (reply) {
            std::int64_t at = now_ + reply->delayMs;
            for (std::uint8_t b : reply->bytes) {
                pending_.push_back({at, b});
                at += reply->byteMs;
            }
        }
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
        deliver();
        const std::int64_t end = now_ + std::max(timeoutMs, 0);
        while (received_.size() < count && !pending_.empty() && pending_.front().at <= end) {
            now_ = std::max(now_, pending_.front().at);
            deliver();
        }
        if (received_.size() < count) now_ = end;
        return received_.size();
    }
    void purge() override {
        deliver();
        received_.clear();
        ++purges;
    }
    std::int64_t nowMs() override { return now_; }
    bool isOpen() const override { return open_; }

    void advance(std::int64_t ms) { now_ += ms; }
    bool scriptUsed() const { return script_.empty(); }

private:
    struct Timed {
        std::int64_t at;
        std::uint8_t byte;
    };
    void deliver() {
        while (!pending_.empty() && pending_.front().at <= now_) {
            received_.push_back(pending_.front().byte);
            pending_.pop_front();
        }
    }

    std::deque<std::optional<Reply>> script_;
    std::deque<Timed> pending_;
    std::deque<std::uint8_t> received_;
    std::int64_t now_ = 0;
    bool open_ = true;
};

// A frame scrambled as new firmware sends it.
inline Bytes scrambled(Bytes frame) {
    scrambleFrame(frame);
    return frame;
}

}  // namespace korvex::serial::testing
