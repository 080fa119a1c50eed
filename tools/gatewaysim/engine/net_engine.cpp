#include "net_engine.h"

#include <algorithm>
#include <memory>

#include "model/project.h"
#include "net/config_block.h"
#include "net/search_answer.h"

namespace korvex::gatewaysim {
namespace {

// A request larger than this is not one of ours: the connection is dropped.
constexpr std::uint32_t kLargestPayload = 4096;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::array<std::uint8_t, 6>> parseMac(const std::string& text) {
    std::array<std::uint8_t, 6> mac{};
    if (text.size() != 17) return std::nullopt;
    for (std::size_t i = 0; i < 6; ++i) {
        const int hi = hexDigit(text[3 * i]), lo = hexDigit(text[3 * i + 1]);
        if (hi < 0 || lo < 0 || (i < 5 && text[3 * i + 2] != '-' && text[3 * i + 2] != ':')) return std::nullopt;
        mac[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return mac;
}

std::optional<std::array<std::uint8_t, 4>> parseAddress(const std::string& text) {
    std::array<std::uint8_t, 4> out{};
    std::size_t at = 0;
    for (std::size_t part = 0; part < 4; ++part) {
        int value = 0, digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
            value = value * 10 + (text[at++] - '0');
            ++digits;
        }
        if (digits == 0 || value > 255) return std::nullopt;
        out[part] = static_cast<std::uint8_t>(value);
        if (part < 3) {
            if (at >= text.size() || text[at] != '.') return std::nullopt;
            ++at;
        }
    }
    if (at != text.size()) return std::nullopt;
    return out;
}

NetGatewayEngine::NetGatewayEngine(NetDeviceOptions options) : options_(options), monitor_(options.reportRate) {
    auto project = std::make_unique<Project>();
    resetToDefaults(*project, 4);
    addDefaultNode(*project);
    written_ = net::composeWriteBlock(*project);
}

std::optional<net::Bytes> NetGatewayEngine::answerSearch(std::span<const std::uint8_t> datagram) const {
    const auto header = net::NetHeader::read(datagram);
    if (!header || !header->is(net::NetCommand::Search)) return std::nullopt;
    net::Bytes a(net::kSearchAnswerSize, 0);
    net::writeU32(a, 0, static_cast<std::uint32_t>(net::NetCommand::Search));
    net::writeU32(a, 4, static_cast<std::uint32_t>(net::kSearchAnswerSize - net::NetHeader::kSize));
    net::writeU16(a, 24, options_.firmwareMajor);
    net::writeU16(a, 26, options_.firmwareMinor);
    std::copy(options_.mac.begin(), options_.mac.end(), a.begin() + 28);
    std::copy(options_.address.begin(), options_.address.end(), a.begin() + 36);
    net::writeU32(a, 64, options_.remoteConfigAllowed ? 1 : 0);
    return a;
}

void NetGatewayEngine::loadProject(const Project& project) { written_ = net::composeWriteBlock(project); }

void NetGatewayEngine::receiveMonitorDatagram(std::span<const std::uint8_t> datagram, const MonitorPeer& from,
                                              std::int64_t nowMs) {
    monitor_.receive(datagram, from, nowMs, [this] { return commandsOfWriteBlock(written_); });
}

net::Bytes NetGatewayEngine::readBlock() const {
    net::Bytes r(net::kReadBlockSize, 0);
    const auto slotsBytes = static_cast<std::ptrdiff_t>(net::kReadSlots * net::CommandSlot::kSize);
    std::copy(written_.begin(), written_.begin() + 84 + slotsBytes, r.begin());
    const auto w2 = net::writeLayoutOffsets(1), r2 = net::readLayoutOffsets(1);
    const auto from = static_cast<std::ptrdiff_t>(w2.responseTimeout);
    const auto to = static_cast<std::ptrdiff_t>(w2.slots) + slotsBytes;
    std::copy(written_.begin() + from, written_.begin() + to, r.begin() + static_cast<std::ptrdiff_t>(r2.responseTimeout));
    net::writeU32(r, 0, static_cast<std::uint32_t>(net::NetCommand::ReadConfig));
    net::writeU32(r, 4, static_cast<std::uint32_t>(net::kReadBlockSize - net::NetHeader::kSize));
    return r;
}

net::Bytes NetGatewayEngine::receive(Connection& c, std::span<const std::uint8_t> bytes) {
    c.pending.insert(c.pending.end(), bytes.begin(), bytes.end());
    net::Bytes out;
    while (!c.closeNow) {
        const auto header = net::NetHeader::read(c.pending);
        if (!header) break;
        std::size_t whole;
        if (header->is(net::NetCommand::WriteConfig)) {
            // The write layout is longer than its length field says.
            whole = net::kWriteBlockSize;
        } else if (header->length <= kLargestPayload) {
            whole = net::NetHeader::kSize + header->length;
        } else {
            c.closeNow = true;
            break;
        }
        if (c.pending.size() < whole) break;
        const std::span<const std::uint8_t> request(c.pending.data(), whole);
        if (header->is(net::NetCommand::ReadConfig)) {
            const net::Bytes block = readBlock();
            out.insert(out.end(), block.begin(), block.end());
        } else if (header->is(net::NetCommand::WriteConfig)) {
            if (options_.keepsWrites) written_.assign(request.begin(), request.end());
            ++writes_;
            net::Bytes answer(net::kWriteAnswerSize, 0);
            net::writeU32(answer, 0, options_.writeAnswerCode);
            net::writeU32(answer, 4, static_cast<std::uint32_t>(net::kWriteAnswerSize - net::NetHeader::kSize));
            out.insert(out.end(), answer.begin(), answer.end());
        } else if (header->is(net::NetCommand::Restart)) {
            ++restarts_;
        } else {
            c.closeNow = true;
        }
        c.pending.erase(c.pending.begin(), c.pending.begin() + static_cast<std::ptrdiff_t>(whole));
    }
    return out;
}

}  // namespace korvex::gatewaysim
