#include "net/search_answer.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "model/texts/net_texts.h"

namespace korvex::net {

Bytes searchRequest() {
    Bytes out;
    NetHeader{static_cast<std::uint32_t>(NetCommand::Search), 0}.appendTo(out);
    return out;
}

std::optional<FoundDevice> decodeSearchAnswer(std::span<const std::uint8_t> datagram, std::size_t minimumSize) {
    if (datagram.size() < std::max(minimumSize, std::size_t{4})) return std::nullopt;
    if (!startsWithCommand(datagram, NetCommand::Search)) return std::nullopt;
    // A fresh zeroed area per answer: a short answer never shows bytes of another.
    std::array<std::uint8_t, kSearchAnswerSize> area{};
    std::copy_n(datagram.begin(), std::min(datagram.size(), area.size()), area.begin());
    const std::span<const std::uint8_t> a(area);

    FoundDevice d;
    d.modelText = texts::GatewayModelName.str();
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d.%d", readU16(a, 24), readU16(a, 26));
    d.firmwareText = buf;
    std::snprintf(buf, sizeof buf, "%02x-%02x-%02x-%02x-%02x-%02x", a[28], a[29], a[30], a[31], a[32], a[33]);
    d.macText = buf;
    std::snprintf(buf, sizeof buf, "%d.%d.%d.%d", a[36], a[37], a[38], a[39]);
    d.ipText = buf;
    d.remoteConfigAllowed = readU32(a, 64) == 1;
    d.remoteConfigText =
        (d.remoteConfigAllowed ? texts::RemoteConfigAllowedText : texts::RemoteConfigProhibitedText).str();
    return d;
}

std::string searchIndexText(int runningNumber) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%2d", runningNumber);
    return buf;
}

}  // namespace korvex::net
