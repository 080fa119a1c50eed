#include "debug_stream.h"

namespace korvex::gatewaysim {

void DebugStream::start(std::vector<TrafficCommand> commands, std::int64_t nowMs) {
    commands_ = std::move(commands);
    if (commands_.empty()) commands_.push_back(TrafficCommand{});
    next_ = 1;
    pacer_.start(nowMs);
}

bool DebugStream::reply(std::span<const std::uint8_t> data, std::int64_t nowMs) {
    if (!pacer_.replied(nowMs)) return false;
    // A write: 01, address, at least one data byte.
    if (data.size() >= 4 && data[0] == 0x01) {
        const std::uint32_t address = static_cast<std::uint32_t>(data[1] << 8 | data[2]);
        if (output_.write(address, data.subspan(3), kDebugWriteEnd)) ++writes_;
    }
    return true;
}

std::optional<Bytes> DebugStream::takeReport(std::int64_t nowMs) {
    if (!pacer_.takeDue(nowMs)) return std::nullopt;
    return debugReport(makeTrafficReport(next_++, commands_, output_, true), layout_);
}

}  // namespace korvex::gatewaysim
