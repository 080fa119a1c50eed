#pragma once
// When a simulated gateway sends its next monitor report. Reports are
// stop-and-wait: one report, then the reply; the next one follows the reply,
// but no sooner than the report rate allows. A report that gets no reply
// within kReplyTimeoutMs is given up (nothing is resent) and the next one
// follows, so a client that starts late or misses one does not stall the
// stream. Times are milliseconds on the caller's clock.
#include <cstdint>
#include <optional>

namespace korvex::gatewaysim {

struct ReportRate {
    // Reports per second; 0 means as fast as the replies come.
    int perSecond = 20;

    static constexpr int kFastest = 1000;
    bool fast() const { return perSecond <= 0; }
};

class ReportPacer {
public:
    static constexpr std::int64_t kReplyTimeoutMs = 1000;

    explicit ReportPacer(ReportRate rate = {}) : rate_(rate) {}

    // Starts a session: the first report is due at `firstAtMs`.
    void start(std::int64_t firstAtMs);
    void stop();
    bool running() const { return running_; }
    // Whether a report is out and its reply has not come yet.
    bool awaitingReply() const { return running_ && awaiting_; }

    // When the next report is due (it may be in the past); nullopt when stopped.
    std::optional<std::int64_t> nextReportMs() const;
    // Whether a report is due at `nowMs`; if so the caller sends it and this
    // marks it as out, awaiting its reply.
    bool takeDue(std::int64_t nowMs);
    // The reply to the report that is out came at `nowMs`. False (and nothing
    // changes) when no report awaits a reply.
    bool replied(std::int64_t nowMs);

private:
    ReportRate rate_;
    bool running_ = false;
    bool awaiting_ = false;
    std::int64_t dueMs_ = 0;   // next report, when not awaiting
    std::int64_t sentMs_ = 0;  // the report that is out
};

}  // namespace korvex::gatewaysim
