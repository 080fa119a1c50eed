#include "monitor/monitor_reports.h"

#include <algorithm>

#include "model/texts.h"
#include "net/net_header.h"
#include "serial/gateway_frame.h"

namespace korvex::monitor {

namespace {

// Byte i of a received report; 0 past what arrived (the receive area is cleared).
std::uint8_t byteAt(std::span<const std::uint8_t> bytes, std::size_t i) { return i < bytes.size() ? bytes[i] : 0; }

bool isSerialReportStatus(std::uint8_t status) { return status <= serial_status::Timeout || status == serial_status::Hidden; }

// Serial report layout.
constexpr std::size_t kSerialHeader = 5;

// Ethernet report layout (offsets into the datagram).
constexpr std::size_t kPortOffset = 8;
constexpr std::size_t kStatusOffset = 12;
constexpr std::size_t kSlaveOffset = 17;
constexpr std::size_t kStartOffset = 18;
constexpr std::size_t kDataOffset = 20;
constexpr std::size_t kExceptionOffset = 23;
constexpr std::uint32_t kPayloadBeforeData = 12;

// Debug master layout: data from byte 8 to N + 1.
constexpr std::size_t kMasterDataOffset = 8;
constexpr std::size_t kOtherDataOffset = 3;
constexpr std::size_t kMinSlaveReport = 4;

}  // namespace

Cut cutSerialReport(std::span<const std::uint8_t> buffered) {
    if (buffered.empty()) return {};
    if (!isSerialReportStatus(buffered[0])) return {CutResult::Bad, buffered.size()};
    if (buffered.size() < kSerialHeader) return {};
    const std::size_t n = buffered[4];
    const std::size_t length = kSerialHeader + (buffered[0] == serial_status::Abnormal ? std::max<std::size_t>(n, 1) : n);
    if (buffered.size() < length) return {};
    return {CutResult::Complete, length};
}

std::optional<SerialMonitorReport> readSerialReport(std::span<const std::uint8_t> report) {
    if (report.size() < kSerialHeader || !isSerialReportStatus(report[0])) return std::nullopt;
    SerialMonitorReport r;
    r.status = report[0];
    r.slave = report[1];
    r.start = static_cast<std::uint16_t>(report[2] << 8 | report[3]);
    const std::size_t n = report[4];
    if (r.status == serial_status::Abnormal) {
        if (report.size() < kSerialHeader + 1) return std::nullopt;
        r.exception = report[5];
        return r;
    }
    if (report.size() < kSerialHeader + n) return std::nullopt;
    r.data.assign(report.begin() + kSerialHeader, report.begin() + static_cast<long>(kSerialHeader + n));
    return r;
}

std::optional<EthernetMonitorReport> readEthernetReport(std::span<const std::uint8_t> datagram) {
    const auto bytes = datagram.first(std::min(datagram.size(), kMaxEthernetReport));
    if (bytes.size() < kDataOffset) return std::nullopt;
    EthernetMonitorReport r;
    r.status = net::readU32(bytes, kStatusOffset);
    if (r.status > serial_status::Timeout) return std::nullopt;
    r.portIndex = net::readU32(bytes, kPortOffset);
    r.slave = bytes[kSlaveOffset];
    r.start = net::readU16(bytes, kStartOffset);
    if (r.status == serial_status::Abnormal) {
        if (bytes.size() <= kExceptionOffset) return std::nullopt;
        r.exception = bytes[kExceptionOffset];
        return r;
    }
    const std::uint32_t payload = net::readU32(bytes, 4);
    const std::size_t announced = payload > kPayloadBeforeData ? payload - kPayloadBeforeData : 0;
    const std::size_t count = std::min(announced, bytes.size() - kDataOffset);
    r.data.assign(bytes.begin() + kDataOffset, bytes.begin() + static_cast<long>(kDataOffset + count));
    return r;
}

Cut cutDebugReport(DebugLayout layout, std::span<const std::uint8_t> buffered) {
    if (layout != DebugLayout::Slave) {
        if (buffered.size() < 2) return {};
        const std::size_t length = serial::frameLengthFromHeader(buffered[1]);
        if (buffered.size() < length) return {};
        return {CutResult::Complete, length};
    }
    if (buffered.size() >= kMaxSlaveReport) return {CutResult::Complete, kMaxSlaveReport};
    if (buffered.size() < kMinSlaveReport) return {};
    if (serial::additiveChecksum(buffered.first(buffered.size() - 1)) != buffered.back()) return {};
    return {CutResult::CompleteWhenQuiet, buffered.size()};
}

DebugReport readDebugReport(DebugLayout layout, std::span<const std::uint8_t> report) {
    DebugReport r;
    r.layout = layout;
    r.length = report.size();
    r.marker = byteAt(report, 1);
    r.statusOrDirection = byteAt(report, 2);
    std::size_t first = kOtherDataOffset;
    std::size_t end = report.size() >= 2 ? report.size() - 1 : 0;  // the sum is not data
    if (layout == DebugLayout::Master) {
        r.slave = byteAt(report, 3);
        r.function = byteAt(report, 4);
        r.start = static_cast<std::uint16_t>(byteAt(report, 5) << 8 | byteAt(report, 6));
        first = kMasterDataOffset;
        // Bytes 8 .. N + 1, never past what arrived.
        end = std::min<std::size_t>(end, static_cast<std::size_t>(r.marker) + 2);
    }
    if (end > first) r.data.assign(report.begin() + static_cast<long>(first), report.begin() + static_cast<long>(end));
    return r;
}

std::optional<DebugLayout> layoutOfProtocol(std::uint8_t code) {
    switch (code) {
        case 0: return DebugLayout::Master;
        case 1: return DebugLayout::Slave;
        case 3: return DebugLayout::UserConfig;
        default: return std::nullopt;
    }
}

DebugInformationCheck checkDebugInformation(std::span<const std::uint8_t> answer) {
    const auto bytes = answer.first(std::min(answer.size(), kDebugInformationSize));
    DebugInformationCheck check;
    check.information.firmwareMajor = byteAt(bytes, 12);
    check.information.firmwareMinor = byteAt(bytes, 13);
    check.information.protocolCode = byteAt(bytes, 14);
    const bool whole = bytes.size() == kDebugInformationSize;
    if (!whole || bytes[0] != 0xD0 || serial::additiveChecksum(bytes.first(15)) != bytes[15]) {
        check.failure = Message{texts::DebugProductMismatch, {}};
        return check;
    }
    check.layout = layoutOfProtocol(check.information.protocolCode);
    if (!check.layout) check.failure = Message{texts::DebugIllegalSubnet, {}};
    return check;
}

}  // namespace korvex::monitor
