#pragma once
// The debug-mode report stream of a serial gateway: after D2 01 EA BD it sends
// D3 reports in the layout of its subnet, each answered by a D4 frame, either
// the acknowledgement D4 01 00 D5 or a write D4 n+3 01 addrHi addrLo data sum
// into the output memory (0x4000..0x40F3); D2 01 F0 C3 stops it. Reports are
// stop-and-wait as on the monitor line. The frames reach it already cut and
// checked by the gateway engine.
#include <vector>

#include "monitor_traffic.h"
#include "output_memory.h"
#include "report_frames.h"
#include "report_pacer.h"

namespace korvex::gatewaysim {

class DebugStream {
public:
    DebugStream(DebugLayout layout, ReportRate rate) : layout_(layout), pacer_(rate) {}

    DebugLayout layout() const { return layout_; }
    // Starts a session with report 1 due at once.
    void start(std::vector<TrafficCommand> commands, std::int64_t nowMs);
    void stop() { pacer_.stop(); }
    bool reporting() const { return pacer_.running(); }

    // The data bytes of a D4 frame that came at `nowMs`. False when no report
    // awaited a reply (the frame is ignored).
    bool reply(std::span<const std::uint8_t> data, std::int64_t nowMs);

    std::optional<std::int64_t> nextReportMs() const { return pacer_.nextReportMs(); }
    std::optional<Bytes> takeReport(std::int64_t nowMs);

    const OutputMemory& output() const { return output_; }
    std::uint32_t writesStored() const { return writes_; }

private:
    DebugLayout layout_;
    ReportPacer pacer_;
    OutputMemory output_;
    std::vector<TrafficCommand> commands_;
    std::uint32_t next_ = 1;
    std::uint32_t writes_ = 0;
};

}  // namespace korvex::gatewaysim
