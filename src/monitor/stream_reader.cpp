#include "monitor/stream_reader.h"

#include <algorithm>
#include <array>

namespace korvex::monitor::detail {

namespace {
// More than two reports of any layout; bytes beyond wait in the link.
constexpr std::size_t kBufferLimit = 1024;
}  // namespace

void StreamReader::pull() {
    std::array<std::uint8_t, 512> chunk{};
    while (buffer_.size() < kBufferLimit && link_.bytesWaiting() > 0) {
        const std::size_t room = std::min(chunk.size(), kBufferLimit - buffer_.size());
        const std::size_t got = link_.read(std::span(chunk).first(room));
        if (got == 0) break;
        if (buffer_.empty()) firstByteAt_ = link_.nowMs();
        buffer_.insert(buffer_.end(), chunk.begin(), chunk.begin() + static_cast<long>(got));
    }
}

std::optional<Bytes> StreamReader::cutBuffered() {
    while (!buffer_.empty()) {
        const Cut cut = cutter_(buffer_);
        switch (cut.result) {
            case CutResult::NeedMore:
                return std::nullopt;
            case CutResult::Bad:
                buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(std::min(cut.length, buffer_.size())));
                handler_.reportRefused(RefusedReport::BadStatus);
                continue;
            case CutResult::CompleteWhenQuiet:
                // The report may still be growing: a byte right behind it belongs to it.
                if (link_.bytesWaiting() > 0 || link_.waitForBytes(1, kSlaveReportQuietMs) > 0) {
                    const std::size_t before = buffer_.size();
                    pull();
                    if (buffer_.size() > before) continue;
                }
                [[fallthrough]];
            case CutResult::Complete: {
                const std::size_t length = std::min(cut.length, buffer_.size());
                Bytes report(buffer_.begin(), buffer_.begin() + static_cast<long>(length));
                buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(length));
                // Bytes left behind arrived with this report: their time-out starts now.
                if (!buffer_.empty()) firstByteAt_ = link_.nowMs();
                return report;
            }
        }
    }
    return std::nullopt;
}

std::optional<Bytes> StreamReader::next(int waitMs) {
    if (auto report = cutBuffered()) return report;
    int wait = std::max(waitMs, 0);
    if (!buffer_.empty()) {
        const std::int64_t left = firstByteAt_ + kIncompleteReportMs - link_.nowMs();
        wait = static_cast<int>(std::clamp<std::int64_t>(left, 0, wait));
    }
    if (link_.isOpen()) {
        link_.waitForBytes(1, wait);
        pull();
    }
    if (auto report = cutBuffered()) return report;
    if (!buffer_.empty() && link_.nowMs() - firstByteAt_ >= kIncompleteReportMs) {
        buffer_.clear();
        handler_.reportRefused(RefusedReport::Incomplete);
    }
    return std::nullopt;
}

}  // namespace korvex::monitor::detail
