#include "serial/exchange.h"

#include <algorithm>

namespace korvex::serial {

ReceiveBuffer::ReceiveBuffer(std::size_t capacity)
    : capacity_(std::clamp<std::size_t>(capacity, 1, kCommandBatchBufferSize)) {}

std::size_t ReceiveBuffer::readFrom(ByteLink& link, std::size_t count) {
    const std::size_t room = capacity_ - size_;
    const std::size_t n = link.read(std::span(data_).subspan(size_, std::min(count, room)));
    size_ += std::min(n, room);
    return n;
}

void ReceiveBuffer::assign(std::span<const std::uint8_t> bytes) {
    size_ = std::min(bytes.size(), capacity_);
    std::copy_n(bytes.begin(), size_, data_.begin());
}

bool sendRequest(ByteLink& link, Bytes frame, bool scramble) {
    if (!link.isOpen()) return false;
    link.purge();
    if (scramble) scrambleFrame(frame);
    return link.send(frame);
}

WaitOutcome receiveFrame(ByteLink& link, ReceiveBuffer& buffer, int limitMs) {
    const std::int64_t deadline = link.nowMs() + std::max(limitMs, 0);
    while (true) {
        // Until the length byte is in, a frame is at least its header long;
        // afterwards the length byte says how long it is.
        const std::size_t frameLength = buffer.size() < 2 ? 2 : frameLengthFromHeader(buffer.at(1));
        const std::size_t wanted = std::min(frameLength, buffer.capacity());
        if (buffer.size() >= wanted && buffer.size() >= 2) return WaitOutcome::Frame;
        if (buffer.size() >= buffer.capacity()) return WaitOutcome::Frame;
        if (!link.isOpen()) return WaitOutcome::LinkLost;
        const std::int64_t left = deadline - link.nowMs();
        if (left <= 0) break;
        const std::size_t missing = wanted - buffer.size();
        link.waitForBytes(missing, static_cast<int>(std::min<std::int64_t>(left, 60'000)));
        buffer.readFrom(link, missing);
    }
    if (!link.isOpen()) return WaitOutcome::LinkLost;
    return buffer.empty() ? WaitOutcome::Nothing : WaitOutcome::Partial;
}

WaitOutcome waitForDeviceType(ByteLink& link, ReceiveBuffer& buffer) {
    return receiveFrame(link, buffer, wait_limit::DeviceType);
}

WaitOutcome waitForAcknowledgement(ByteLink& link, ReceiveBuffer& buffer) {
    return receiveFrame(link, buffer, wait_limit::Acknowledgement);
}

WaitOutcome waitForReadAnswer(ByteLink& link, ReceiveBuffer& buffer) {
    return receiveFrame(link, buffer, wait_limit::ReadAnswer);
}

WaitOutcome waitForShortAnswer(ByteLink& link, ReceiveBuffer& buffer) {
    return receiveFrame(link, buffer, wait_limit::ShortAnswer);
}

WaitOutcome waitForConfigurationData(ByteLink& link, ReceiveBuffer& buffer) {
    return receiveFrame(link, buffer, wait_limit::ConfigurationData);
}

WaitOutcome waitForSettingAnswer(ByteLink& link, ReceiveBuffer& buffer, bool written) {
    return receiveFrame(link, buffer, written ? wait_limit::SettingAfterPause : wait_limit::Setting);
}

WaitOutcome waitForStateSwitch(ByteLink& link, ReceiveBuffer& buffer) {
    return receiveFrame(link, buffer, wait_limit::StateSwitch);
}

WaitOutcome waitForIntervalAcknowledgement(ByteLink& link, ReceiveBuffer& buffer) {
    return receiveFrame(link, buffer, wait_limit::IntervalAcknowledgement);
}

WaitOutcome waitForCommandBatch(ByteLink& link, ReceiveBuffer& buffer) {
    return receiveFrame(link, buffer, wait_limit::CommandBatch);
}

WaitOutcome waitForCharIntervals(ByteLink& link, ReceiveBuffer& buffer) {
    return receiveFrame(link, buffer, wait_limit::CharIntervals);
}

bool answerIs(const ReceiveBuffer& buffer, std::span<const std::uint8_t> expected) {
    return std::ranges::equal(buffer.bytes(), expected);
}

}  // namespace korvex::serial
