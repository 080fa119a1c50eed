#include "report_frames.h"

#include <algorithm>

#include "mapping/command_area.h"
#include "net/net_header.h"

namespace korvex::gatewaysim {
namespace {

std::uint8_t statusByte(ReportOutcome outcome) {
    switch (outcome) {
        case ReportOutcome::Correct: return 0x00;
        case ReportOutcome::Exception: return 0x01;
        case ReportOutcome::Timeout: return 0x03;
        case ReportOutcome::Hidden: return 0xFF;
    }
    return 0x00;
}

// The slave and user-config layouts have a direction instead of a status: data
// a read brought from Modbus go towards PROFIBUS (0), data of a write the other
// way (1). They know no exceptions or time-outs: those reports carry the data.
std::uint8_t directionByte(const TrafficReport& report) {
    if (report.outcome == ReportOutcome::Hidden) return 0xFF;
    return isWriteCode(report.command.function) ? 0x01 : 0x00;
}

void appendSum(Bytes& frame) { frame.push_back(serial::additiveChecksum(frame)); }

std::uint8_t hi(std::uint16_t v) { return static_cast<std::uint8_t>(v >> 8); }
std::uint8_t lo(std::uint16_t v) { return static_cast<std::uint8_t>(v & 0xFF); }

}  // namespace

std::optional<DebugLayout> parseDebugLayout(const std::string& text) {
    if (text == "master") return DebugLayout::Master;
    if (text == "slave") return DebugLayout::Slave;
    if (text == "user") return DebugLayout::User;
    return std::nullopt;
}

Bytes serialMonitorReport(const TrafficReport& r) {
    const bool exception = r.outcome == ReportOutcome::Exception;
    Bytes out(5 + (exception ? 1 : r.data.size()), 0x00);
    out[0] = statusByte(r.outcome);
    out[1] = r.command.slave;
    out[2] = hi(r.command.start);
    out[3] = lo(r.command.start);
    if (exception) {
        out[5] = r.exceptionCode;
    } else {
        out[4] = static_cast<std::uint8_t>(r.data.size());
        std::copy(r.data.begin(), r.data.end(), out.begin() + 5);
    }
    return out;
}

Bytes debugReport(const TrafficReport& r, DebugLayout layout) {
    Bytes out;
    out.reserve(r.data.size() + 10);
    out.push_back(debug_frame::Report);
    if (layout == DebugLayout::Master) {
        const bool exception = r.outcome == ReportOutcome::Exception;
        const std::size_t n = exception ? 1 : r.data.size();
        out.push_back(static_cast<std::uint8_t>(6 + n));
        out.push_back(statusByte(r.outcome));
        out.push_back(r.command.slave);
        out.push_back(r.command.function);
        out.push_back(hi(r.command.start));
        out.push_back(lo(r.command.start));
        out.push_back(static_cast<std::uint8_t>(n));
        if (exception) out.push_back(r.exceptionCode);
        for (std::uint8_t b : r.data) out.push_back(b);
    } else {
        // These layouts know no exceptions or time-outs: such a report carries
        // the slave address and function code as its data.
        const bool standIn = r.data.empty() && r.outcome != ReportOutcome::Correct;
        const std::size_t n = standIn ? 2 : r.data.size();
        out.push_back(layout == DebugLayout::Slave ? debug_frame::SlaveMarker : static_cast<std::uint8_t>(1 + n));
        out.push_back(directionByte(r));
        if (standIn) {
            out.push_back(r.command.slave);
            out.push_back(r.command.function);
        }
        for (std::uint8_t b : r.data) out.push_back(b);
    }
    appendSum(out);
    return out;
}

Bytes udpMonitorReport(const TrafficReport& r) {
    const bool exception = r.outcome == ReportOutcome::Exception;
    const std::size_t n = exception ? 4 : r.outcome == ReportOutcome::Timeout ? 0 : r.data.size();
    Bytes out(20 + n, 0x00);
    net::writeU32(out, 0, kMonitorReportCommand);
    net::writeU32(out, 4, static_cast<std::uint32_t>(12 + n));
    net::writeU32(out, 8, r.command.port);
    net::writeU32(out, 12, r.outcome == ReportOutcome::Hidden ? 0 : statusByte(r.outcome));
    out[17] = r.command.slave;
    net::writeU16(out, 18, r.command.start);
    if (exception) {
        out[23] = r.exceptionCode;
    } else {
        std::copy_n(r.data.begin(), n, out.begin() + 20);
    }
    return out;
}

Bytes debugInformationAnswer(std::uint8_t firmwareMajor, std::uint8_t firmwareMinor, DebugLayout layout) {
    Bytes out(15, 0x00);
    out[0] = debug_frame::ReadInformation;
    out[1] = 0x0D;
    out[12] = firmwareMajor;
    out[13] = firmwareMinor;
    out[14] = static_cast<std::uint8_t>(layout);
    appendSum(out);
    return out;
}

}  // namespace korvex::gatewaysim
