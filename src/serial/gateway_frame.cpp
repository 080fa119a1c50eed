#include "serial/gateway_frame.h"

#include <algorithm>

namespace korvex::serial {

std::uint8_t additiveChecksum(std::span<const std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum + b);
    return sum;
}

Bytes makeFrame(std::uint8_t command, std::span<const std::uint8_t> data) {
    const std::size_t n = std::min<std::size_t>(data.size(), 255);
    Bytes frame;
    frame.reserve(n + kFrameOverhead);
    frame.push_back(command);
    frame.push_back(static_cast<std::uint8_t>(n));
    frame.insert(frame.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
    frame.push_back(additiveChecksum(frame));
    return frame;
}

Bytes makeFrame(std::uint8_t command, std::initializer_list<std::uint8_t> data) {
    return makeFrame(command, std::span<const std::uint8_t>(data.begin(), data.size()));
}

void scrambleFrame(std::span<std::uint8_t> frame) {
    if (frame.size() < kFrameOverhead) return;
    const std::size_t n = frame[1];
    if (n == 0 || frame.size() < n + kFrameOverhead) return;
    for (std::size_t i = 2; i < 2 + n; ++i) {
        if (frame[i] != 0x00 && frame[i] != kScrambleMask) frame[i] ^= kScrambleMask;
    }
    frame[2 + n] = additiveChecksum(frame.first(2 + n));
}

bool hasValidChecksum(std::span<const std::uint8_t> frame) {
    if (frame.size() < kFrameOverhead) return false;
    if (frame.size() != frameLengthFromHeader(frame[1])) return false;
    return frame.back() == additiveChecksum(frame.first(frame.size() - 1));
}

}  // namespace korvex::serial
