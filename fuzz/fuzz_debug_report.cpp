// Feeds arbitrary bytes as a debug monitor stream in each layout, and as the
// debug information answer: cuts stay within the bytes, every report reads and
// shows without looking past them, and an accepted information answer is 16
// bytes with a right sum and a known layout.
#include <cstddef>
#include <cstdint>
#include <span>

#include "monitor/debug_session.h"
#include "monitor/monitor_reports.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvex::monitor;
    const std::span<const std::uint8_t> bytes(data, size);
    for (DebugLayout layout : {DebugLayout::Master, DebugLayout::Slave, DebugLayout::UserConfig}) {
        DebugSession session(layout);
        std::span<const std::uint8_t> rest = bytes;
        while (!rest.empty()) {
            Cut cut = cutDebugReport(layout, rest);
            // A stream that stops is taken as it stands (a slave report waits
            // for quiet; anything else is dropped after its time-out).
            if (cut.result == CutResult::NeedMore) cut = {CutResult::Complete, rest.size()};
            if (cut.length == 0 || cut.length > rest.size()) __builtin_trap();
            const DebugReport report = readDebugReport(layout, rest.first(cut.length));
            if (report.length != cut.length || report.data.size() > cut.length) __builtin_trap();
            const auto update = session.show(report);
            if (update.insertRow && update.cells.size() != debugColumns(layout).size()) __builtin_trap();
            rest = rest.subspan(cut.length);
        }
        session.clickRow(0);
        (void)session.savedFileText();
    }
    const auto check = checkDebugInformation(bytes);
    if (check.layout) {
        if (size < kDebugInformationSize || bytes[0] != 0xD0 || check.failure) __builtin_trap();
        std::uint8_t sum = 0;
        for (std::size_t i = 0; i < 15; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
        if (sum != bytes[15]) __builtin_trap();
    } else if (!check.failure) {
        __builtin_trap();
    }
    return 0;
}
