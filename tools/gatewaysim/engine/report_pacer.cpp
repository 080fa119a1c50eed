#include "report_pacer.h"

#include <algorithm>

namespace korvex::gatewaysim {

void ReportPacer::start(std::int64_t firstAtMs) {
    running_ = true;
    awaiting_ = false;
    dueMs_ = firstAtMs;
}

void ReportPacer::stop() {
    running_ = false;
    awaiting_ = false;
}

std::optional<std::int64_t> ReportPacer::nextReportMs() const {
    if (!running_) return std::nullopt;
    return awaiting_ ? sentMs_ + kReplyTimeoutMs : dueMs_;
}

bool ReportPacer::takeDue(std::int64_t nowMs) {
    const auto due = nextReportMs();
    if (!due || *due > nowMs) return false;
    awaiting_ = true;
    sentMs_ = nowMs;
    return true;
}

bool ReportPacer::replied(std::int64_t nowMs) {
    if (!awaitingReply()) return false;
    awaiting_ = false;
    const std::int64_t interval = rate_.fast() ? 0 : 1000 / std::clamp(rate_.perSecond, 1, ReportRate::kFastest);
    dueMs_ = std::max(nowMs, sentMs_ + interval);
    return true;
}

}  // namespace korvex::gatewaysim
