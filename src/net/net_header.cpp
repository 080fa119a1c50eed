#include "net/net_header.h"

namespace korvex::net {

void NetHeader::appendTo(Bytes& out) const {
    const std::size_t at = out.size();
    out.resize(at + kSize);
    writeU32(out, at, command);
    writeU32(out, at + 4, length);
}

std::optional<NetHeader> NetHeader::read(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kSize) return std::nullopt;
    return NetHeader{readU32(bytes, 0), readU32(bytes, 4)};
}

std::uint16_t readU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>((bytes[offset] << 8) | bytes[offset + 1]);
}

std::uint32_t readU32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return (std::uint32_t{bytes[offset]} << 24) | (std::uint32_t{bytes[offset + 1]} << 16) |
           (std::uint32_t{bytes[offset + 2]} << 8) | std::uint32_t{bytes[offset + 3]};
}

void writeU16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value >> 8);
    bytes[offset + 1] = static_cast<std::uint8_t>(value);
}

void writeU32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value >> 24);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 16);
    bytes[offset + 2] = static_cast<std::uint8_t>(value >> 8);
    bytes[offset + 3] = static_cast<std::uint8_t>(value);
}

bool startsWithCommand(std::span<const std::uint8_t> bytes, NetCommand command) {
    return bytes.size() >= 4 && readU32(bytes, 0) == static_cast<std::uint32_t>(command);
}

}  // namespace korvex::net
