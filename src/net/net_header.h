#pragma once
// The 8-byte header that starts every network message exchanged with a gateway:
// a command code and the length of the payload that follows, both unsigned
// 32-bit big-endian. Also the big-endian helpers the network layouts share.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace korvex::net {

using Bytes = std::vector<std::uint8_t>;

// The gateway's well-known port (search over UDP, transfers over TCP) and the
// local port every UDP socket of the program binds.
constexpr std::uint16_t kGatewayPort = 18801;
constexpr std::uint16_t kLocalUdpPort = 10002;

enum class NetCommand : std::uint32_t {
    Search = 3,
    ReadConfig = 5,
    WriteConfig = 6,
    Restart = 10,
};

struct NetHeader {
    std::uint32_t command = 0;
    std::uint32_t length = 0;

    static constexpr std::size_t kSize = 8;

    bool is(NetCommand c) const { return command == static_cast<std::uint32_t>(c); }
    // Appends the 8 header bytes.
    void appendTo(Bytes& out) const;
    // The header at the start of bytes; nullopt when fewer than 8 bytes.
    static std::optional<NetHeader> read(std::span<const std::uint8_t> bytes);
};

// Big-endian access. The readers take the offset as given and must only be
// called with offset + size within the span.
std::uint16_t readU16(std::span<const std::uint8_t> bytes, std::size_t offset);
std::uint32_t readU32(std::span<const std::uint8_t> bytes, std::size_t offset);
void writeU16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value);
void writeU32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value);

// Whether bytes start with the command code (the first four bytes).
bool startsWithCommand(std::span<const std::uint8_t> bytes, NetCommand command);

}  // namespace korvex::net
