#pragma once
// Cuts a serial byte stream into reports as the bytes arrive (used by the serial
// and debug pumps; not part of the monitor's public interface).
#include <functional>
#include <optional>

#include "monitor/monitor_reports.h"
#include "monitor/pump.h"
#include "serial/byte_link.h"

namespace korvex::monitor::detail {

class StreamReader {
public:
    using Cutter = std::function<Cut(std::span<const std::uint8_t>)>;

    StreamReader(serial::ByteLink& link, Cutter cutter, ReportHandler& handler)
        : link_(link), cutter_(std::move(cutter)), handler_(handler) {}

    // The next complete report: one already buffered, or one completed by bytes
    // arriving within waitMs (never longer, plus the slave layout's short quiet
    // check). Drops a report that stayed incomplete for kIncompleteReportMs and
    // bytes that are no report, telling the handler.
    std::optional<Bytes> next(int waitMs);

private:
    std::optional<Bytes> cutBuffered();
    void pull();

    serial::ByteLink& link_;
    Cutter cutter_;
    ReportHandler& handler_;
    Bytes buffer_;
    std::int64_t firstByteAt_ = 0;
};

}  // namespace korvex::monitor::detail
