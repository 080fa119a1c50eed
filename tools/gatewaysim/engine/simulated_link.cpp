#include "simulated_link.h"

#include <algorithm>

namespace korvex::gatewaysim {

SimulatedLink::SimulatedLink(GatewayEngine& engine, SimulatedLineOptions options)
    : engine_(engine),
      options_(options),
      byteNs_(10'000'000'000LL / std::max(options.baudRate, 1)) {}

bool SimulatedLink::send(std::span<const std::uint8_t> bytes) {
    if (unplugged_) return false;
    if (bytes.empty()) return true;
    std::int64_t t = std::max(nowNs_, toGatewayFreeNs_);
    transcript_.push_back({t / 1000, false, Bytes(bytes.begin(), bytes.end())});
    bytesSent_ += bytes.size();
    // The gateway sees each byte when its last bit is in and answers a
    // request as soon as its last byte has come.
    for (std::uint8_t b : bytes) {
        t += byteNs_;
        for (Answer& answer : engine_.receive(std::span(&b, 1), t / 1'000'000)) {
            std::int64_t at = std::max<std::int64_t>(t + options_.turnaroundUs * 1000LL +
                                           static_cast<std::int64_t>(answer.delayMs) * 1'000'000,
                                       toToolFreeNs_);
            transcript_.push_back({at / 1000, true, answer.bytes});
            bytesAnswered_ += answer.bytes.size();
            for (std::uint8_t a : answer.bytes) {
                at += byteNs_;
                inFlight_.push_back({at, a});
            }
            toToolFreeNs_ = at;
        }
    }
    toGatewayFreeNs_ = t;
    return true;
}

void SimulatedLink::advanceTo(std::int64_t ns) {
    nowNs_ = std::max(nowNs_, ns);
    while (!inFlight_.empty() && inFlight_.front().arrivesNs <= nowNs_) {
        received_.push_back(inFlight_.front().byte);
        inFlight_.pop_front();
    }
}

void SimulatedLink::advanceMs(int ms) { advanceTo(nowNs_ + std::max(ms, 0) * 1'000'000LL); }

std::size_t SimulatedLink::bytesWaiting() {
    advanceTo(nowNs_);
    return received_.size();
}

std::size_t SimulatedLink::read(std::span<std::uint8_t> out) {
    advanceTo(nowNs_);
    const std::size_t n = std::min(out.size(), received_.size());
    std::copy_n(received_.begin(), n, out.begin());
    received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

std::size_t SimulatedLink::waitForBytes(std::size_t count, int timeoutMs) {
    advanceTo(nowNs_);
    if (unplugged_ || received_.size() >= count) return received_.size();
    const std::int64_t deadline = nowNs_ + std::max(timeoutMs, 0) * 1'000'000LL;
    const std::size_t missing = count - received_.size();
    if (missing <= inFlight_.size() && inFlight_[missing - 1].arrivesNs <= deadline) {
        advanceTo(inFlight_[missing - 1].arrivesNs);
    } else {
        advanceTo(deadline);
    }
    return received_.size();
}

void SimulatedLink::purge() {
    advanceTo(nowNs_);
    received_.clear();
}

std::int64_t SimulatedLink::wireTimeUs() const {
    return static_cast<std::int64_t>(bytesSent_ + bytesAnswered_) * byteNs_ / 1000;
}

}  // namespace korvex::gatewaysim
