#pragma once
// The search request and the decoding of a search answer into the texts of one
// found gateway. Answers come from the network: anything short, of another
// command or malformed is refused without harm.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "net/net_header.h"

namespace korvex::net {

// The bytes of an answer the search reads; the rest of a longer datagram is dropped.
constexpr std::size_t kSearchAnswerSize = 68;
// Broadcast answers must be longer than this; a fixed-address answer only needs
// its command code.
constexpr std::size_t kBroadcastAnswerMinimum = 16;
constexpr std::size_t kFixedAnswerMinimum = 4;

// One found gateway: the six column texts and the permission it reported.
struct FoundDevice {
    std::string indexText;
    std::string modelText;
    std::string ipText;
    std::string macText;
    std::string firmwareText;
    std::string remoteConfigText;
    bool remoteConfigAllowed = false;

    bool operator==(const FoundDevice&) const = default;
};

// 00 00 00 03 00 00 00 00.
Bytes searchRequest();

// Decodes an answer of at least `minimumSize` bytes whose command is Search.
// Bytes missing from a short answer read as zero; bytes past 68 are not read.
// indexText is left empty for the caller.
std::optional<FoundDevice> decodeSearchAnswer(std::span<const std::uint8_t> datagram, std::size_t minimumSize);

// "%2d" of a running number (" 1", " 2", ..., "10").
std::string searchIndexText(int runningNumber);

}  // namespace korvex::net
