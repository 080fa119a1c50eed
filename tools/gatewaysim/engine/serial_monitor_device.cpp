#include "serial_monitor_device.h"

#include "report_frames.h"

namespace korvex::gatewaysim {

SerialMonitorDevice::SerialMonitorDevice(std::vector<TrafficCommand> commands, ReportRate rate)
    : commands_(std::move(commands)), pacer_(rate) {
    if (commands_.empty()) commands_.push_back(TrafficCommand{});
}

void SerialMonitorDevice::startSession(std::int64_t firstAtMs) {
    next_ = 1;
    reply_.clear();
    pacer_.start(firstAtMs);
}

void SerialMonitorDevice::stopSession() {
    reply_.clear();
    pacer_.stop();
}

std::optional<serial::Bytes> SerialMonitorDevice::takeReport(std::int64_t nowMs) {
    if (!pacer_.takeDue(nowMs)) return std::nullopt;
    // A reply still incomplete belonged to the report given up.
    reply_.clear();
    ++sent_;
    return serialMonitorReport(makeTrafficReport(next_++, commands_, output_, true));
}

std::vector<Answer> SerialMonitorDevice::receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs) {
    if (!reply_.empty() && nowMs - lastByteMs_ > kReplyGapMs) reply_.clear();
    lastByteMs_ = nowMs;
    for (std::uint8_t b : bytes) {
        if (!pacer_.awaitingReply()) continue;
        if (reply_.empty() && b != 0x00 && b != 0x01) continue;
        reply_.push_back(b);
        if (reply_[0] == 0x00 || (reply_.size() >= 4 && reply_.size() == 4u + reply_[3])) finishReply(nowMs);
    }
    return {};
}

void SerialMonitorDevice::finishReply(std::int64_t nowMs) {
    if (reply_[0] == 0x01) {
        const std::uint32_t address = static_cast<std::uint32_t>(reply_[1] << 8 | reply_[2]);
        const auto data = std::span<const std::uint8_t>(reply_).subspan(4);
        if (output_.write(address, data, kMonitorWriteEnd)) ++writes_;
    }
    reply_.clear();
    ++replies_;
    pacer_.replied(nowMs);
}

}  // namespace korvex::gatewaysim
