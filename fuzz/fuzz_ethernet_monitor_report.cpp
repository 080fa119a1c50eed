// Feeds arbitrary bytes as one monitor datagram: the reader looks at no more
// than 300 bytes and never past what arrived, whatever the payload length says.
#include <cstddef>
#include <cstdint>
#include <span>

#include "monitor/monitor_reports.h"
#include "monitor/monitor_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvex::monitor;
    const auto report = readEthernetReport(std::span<const std::uint8_t>(data, size));
    if (!report) return 0;
    if (size < 20 || report->status > 3) __builtin_trap();
    if (report->data.size() + 20 > kMaxEthernetReport || report->data.size() + 20 > size) __builtin_trap();
    MonitorSession session(MonitorMode::Ethernet);
    session.setSaving(true);
    const auto update = session.show(*report);
    if (update.cells.size() != 5 || update.record.empty()) __builtin_trap();
    return 0;
}
