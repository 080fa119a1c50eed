#pragma once
// The frame of the gateway's serial configuration protocol: command byte, data
// length N, N data bytes, and an 8-bit additive checksum of everything before it.
// A frame is N + 3 bytes; a frame without data is `command 00 command`.
//
// Firmware from major version 6 on exchanges most frames with their data bytes
// scrambled by one fixed mask, the same constant in Korvex and in the gateway
// (and in korvex-gatewaysim).
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace korvex::serial {

using Bytes = std::vector<std::uint8_t>;

// The one-byte scrambling mask shared with the gateway firmware.
inline constexpr std::uint8_t kScrambleMask = 0xA5;

// Bytes before the data (command, length) and after it (checksum).
inline constexpr std::size_t kFrameOverhead = 3;

// 8-bit sum of the bytes, modulo 256.
std::uint8_t additiveChecksum(std::span<const std::uint8_t> bytes);

// command, N, data..., checksum. Data longer than 255 bytes is cut at 255.
Bytes makeFrame(std::uint8_t command, std::span<const std::uint8_t> data);
Bytes makeFrame(std::uint8_t command, std::initializer_list<std::uint8_t> data);

// Scrambles (or unscrambles: the operation is its own inverse) the data bytes
// of a frame in place and recomputes its checksum. Bytes 00 and the mask pass
// unchanged; command, length and frames without data are never changed. A
// frame shorter than its length byte announces is left untouched.
void scrambleFrame(std::span<std::uint8_t> frame);

// The whole length of a frame whose first two bytes are known: N + 3.
inline std::size_t frameLengthFromHeader(std::uint8_t lengthByte) {
    return static_cast<std::size_t>(lengthByte) + kFrameOverhead;
}

// Whether `frame` is a complete frame whose last byte is the checksum of the
// bytes before it, and whose length byte matches its size.
bool hasValidChecksum(std::span<const std::uint8_t> frame);

}  // namespace korvex::serial
