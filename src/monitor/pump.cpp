#include "monitor/pump.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "monitor/debug_entry.h"
#include "monitor/debug_session.h"
#include "monitor/monitor_frames.h"
#include "monitor/stream_reader.h"

namespace korvex::monitor {

void PumpControl::setPendingWrite(PendingWrite write) {
    std::lock_guard lock(mutex_);
    write_ = std::move(write);
}

std::optional<PendingWrite> PumpControl::takePendingWrite() {
    std::lock_guard lock(mutex_);
    auto taken = std::move(write_);
    write_.reset();
    return taken;
}

bool PumpControl::hasPendingWrite() const {
    std::lock_guard lock(mutex_);
    return write_.has_value();
}

namespace {

// A write taken from the controls, waiting for a report to answer.
class HeldWrite {
public:
    // Takes a newer write from the controls (it replaces one not sent yet).
    void take(PumpControl& control, std::int64_t now) {
        if (auto w = control.takePendingWrite()) {
            write_ = std::move(w);
            since_ = now;
        }
    }
    bool held() const { return write_.has_value(); }
    const PendingWrite& write() const { return *write_; }
    void clear() { write_.reset(); }
    // How long the pump may wait before the write's time is up.
    int waitBound(std::int64_t now, int wanted) const {
        if (!write_) return wanted;
        return static_cast<int>(std::clamp<std::int64_t>(since_ + kWriteWaitMs - now, 0, wanted));
    }
    // Drops a write that found no report within kWriteWaitMs.
    void dropIfStale(std::int64_t now, ReportHandler& handler) {
        if (write_ && now - since_ >= kWriteWaitMs) {
            handler.writeDropped(*write_);
            write_.reset();
        }
    }

private:
    std::optional<PendingWrite> write_;
    std::int64_t since_ = 0;
};

// Dotted IPv4 text as a number, so "127.0.0.1" and "127.000.000.001" match.
std::optional<std::uint32_t> ipv4Value(const std::string& text) {
    std::uint32_t value = 0;
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        std::uint32_t part = 0;
        std::size_t digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
            part = part * 10 + static_cast<std::uint32_t>(text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || part > 255) return std::nullopt;
        value = value << 8 | part;
        ++parts;
        if (parts < 4) {
            if (i >= text.size() || text[i] != '.') return std::nullopt;
            ++i;
        }
    }
    if (i != text.size()) return std::nullopt;
    return value;
}

bool sameAddress(const std::string& a, const std::string& b) {
    const auto x = ipv4Value(a);
    const auto y = ipv4Value(b);
    if (x && y) return *x == *y;
    return a == b;
}

class SteadyClock : public net::Clock {
public:
    std::int64_t nowMs() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void sleepUntil(std::int64_t ms) override {
        const std::int64_t now = nowMs();
        if (ms > now) std::this_thread::sleep_for(std::chrono::milliseconds(ms - now));
    }
};

}  // namespace

PumpEnd runSerialMonitor(serial::ByteLink& link, PumpControl& control, ReportHandler& handler) {
    detail::StreamReader reader(link, cutSerialReport, handler);
    HeldWrite write;
    while (true) {
        if (control.stopRequested()) return PumpEnd::Stopped;
        if (!link.isOpen()) return PumpEnd::LinkFailed;
        write.take(control, link.nowMs());
        const auto bytes = reader.next(write.waitBound(link.nowMs(), kPumpPollMs));
        if (!bytes) {
            write.dropIfStale(link.nowMs(), handler);
            continue;
        }
        const auto report = readSerialReport(*bytes);
        if (!report) continue;  // the cutter only passes reports
        handler.serialReport(*report);
        write.take(control, link.nowMs());
        if (write.held()) {
            if (!link.send(serialWriteReply(write.write()))) return PumpEnd::LinkFailed;
            handler.writeSent(write.write());
            write.clear();
        } else if (!link.send(serialAcknowledgement())) {
            return PumpEnd::LinkFailed;
        }
    }
}

PumpEnd runDebugMonitor(serial::ByteLink& link, DebugLayout layout, PumpControl& control, ReportHandler& handler) {
    if (!link.isOpen() || !link.send(debugStartReporting())) return PumpEnd::LinkFailed;
    detail::StreamReader reader(
        link, [layout](std::span<const std::uint8_t> b) { return cutDebugReport(layout, b); }, handler);
    // The debug monitor's write waits for its report however long that takes.
    std::optional<PendingWrite> write;
    while (true) {
        if (control.stopRequested()) {
            sendDebugStop(link);
            if (control.leaveOnStop()) leaveDebugState(link);
            return PumpEnd::Stopped;
        }
        if (!link.isOpen()) return PumpEnd::LinkFailed;
        if (auto w = control.takePendingWrite()) write = std::move(w);
        const auto bytes = reader.next(kPumpPollMs);
        if (!bytes) continue;
        const DebugReport report = readDebugReport(layout, *bytes);
        handler.debugReport(report);
        if (!debugReportGetsReply(report, control.displaying())) continue;
        if (auto w = control.takePendingWrite()) write = std::move(w);
        if (write) {
            if (!link.send(debugWriteRequest(*write))) return PumpEnd::LinkFailed;
            handler.writeSent(*write);
            write.reset();
        } else if (!link.send(debugAcknowledgement())) {
            return PumpEnd::LinkFailed;
        }
    }
}

PumpEnd runEthernetMonitor(net::DatagramSocket& socket, const std::string& gateway, PumpControl& control,
                           ReportHandler& handler, net::Clock& clock) {
    if (!socket.sendTo(ethernetStartFrame(), gateway, kMonitorGatewayPort)) return PumpEnd::StartFailed;
    HeldWrite write;
    while (true) {
        if (control.stopRequested()) {
            socket.sendTo(ethernetStopFrame(), gateway, kMonitorGatewayPort);
            return PumpEnd::Stopped;
        }
        write.take(control, clock.nowMs());
        write.dropIfStale(clock.nowMs(), handler);
        const auto datagram = socket.receiveFrom(kMaxEthernetReport, write.waitBound(clock.nowMs(), kPumpPollMs));
        if (!datagram) continue;
        if (!sameAddress(datagram->address, gateway)) {
            handler.reportRefused(RefusedReport::ForeignSender);
            continue;
        }
        const auto report = readEthernetReport(datagram->bytes);
        if (!report) {
            handler.reportRefused(RefusedReport::BadDatagram);
            continue;
        }
        handler.ethernetReport(*report);
        write.take(control, clock.nowMs());
        if (write.held()) {
            if (socket.sendTo(ethernetWriteReply(write.write()), gateway, kMonitorGatewayPort))
                handler.writeSent(write.write());
            else
                handler.writeDropped(write.write());
            write.clear();
        } else {
            socket.sendTo(ethernetAcknowledgement(), gateway, kMonitorGatewayPort);
        }
    }
}

PumpEnd runEthernetMonitor(net::DatagramSocket& socket, const std::string& gateway, PumpControl& control,
                           ReportHandler& handler) {
    SteadyClock clock;
    return runEthernetMonitor(socket, gateway, control, handler, clock);
}

}  // namespace korvex::monitor
