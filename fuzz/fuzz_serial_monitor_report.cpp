// Feeds arbitrary bytes as a serial monitor stream: the cutter and the reader
// must never look past the bytes, every cut length must lie within them, a
// complete report must read back, and the row and record texts must build.
#include <cstddef>
#include <cstdint>
#include <span>

#include "monitor/monitor_reports.h"
#include "monitor/monitor_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvex::monitor;
    std::span<const std::uint8_t> rest(data, size);
    MonitorSession session(MonitorMode::Serial);
    session.setSaving(true);
    while (!rest.empty()) {
        const Cut cut = cutSerialReport(rest);
        if (cut.result == CutResult::NeedMore) {
            if (readSerialReport(rest) && rest.size() >= 5 && rest[0] != 1 && rest.size() < 5u + rest[4])
                __builtin_trap();  // a report shorter than its count was accepted
            break;
        }
        if (cut.length == 0 || cut.length > rest.size()) __builtin_trap();
        if (cut.result == CutResult::Complete) {
            const auto report = readSerialReport(rest.first(cut.length));
            if (!report) __builtin_trap();
            const auto update = session.show(*report);
            if (update.row < 0 || update.row >= kMaxMonitorRows) __builtin_trap();
            if (serialRowCells(*report).size() != 4) __builtin_trap();
        }
        rest = rest.subspan(cut.length);
    }
    return 0;
}
