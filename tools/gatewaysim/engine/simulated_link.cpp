#include "simulated_link.h"

#include <algorithm>

namespace korvex::gatewaysim {

SimulatedLink::SimulatedLink(LineDevice& device, SimulatedLineOptions options)
    : device_(device),
      options_(options),
      byteNs_(10'000'000'000LL / std::max(options.baudRate, 1)) {}

bool SimulatedLink::send(std::span<const std::uint8_t> bytes) {
    if (unplugged_) return false;
    if (bytes.empty()) return true;
    std::int64_t t = std::max(nowNs_, toGatewayFreeNs_);
    transcript_.push_back({t / 1000, false, serial::Bytes(bytes.begin(), bytes.end())});
    bytesSent_ += bytes.size();
    // The gateway sees each byte when its last bit is in and answers a
    // request as soon as its last byte has come.
    for (std::uint8_t b : bytes) {
        t += byteNs_;
        pumpReports(t);
        for (Answer& answer : device_.receive(std::span(&b, 1), t / 1'000'000)) {
            putOnLine(answer.bytes, t + options_.turnaroundUs * 1000LL +
                                        static_cast<std::int64_t>(answer.delayMs) * 1'000'000);
        }
    }
    toGatewayFreeNs_ = t;
    return true;
}

void SimulatedLink::putOnLine(const serial::Bytes& bytes, std::int64_t fromNs) {
    std::int64_t at = std::max(fromNs, toToolFreeNs_);
    transcript_.push_back({at / 1000, true, bytes});
    bytesAnswered_ += bytes.size();
    for (std::uint8_t a : bytes) {
        at += byteNs_;
        inFlight_.push_back({at, a});
    }
    toToolFreeNs_ = at;
}

void SimulatedLink::pumpReports(std::int64_t ns) {
    for (auto due = device_.nextReportMs(); due && *due * 1'000'000 <= ns; due = device_.nextReportMs()) {
        const auto report = device_.takeReport(*due);
        if (!report) break;
        putOnLine(*report, *due * 1'000'000);
    }
}

void SimulatedLink::advanceTo(std::int64_t ns) {
    nowNs_ = std::max(nowNs_, ns);
    pumpReports(nowNs_);
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
    // Nothing comes from this side while it waits: whatever the far end sends
    // on its own until the deadline is settled now.
    pumpReports(deadline);
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
