#pragma once
// A gateway reporting its Modbus traffic on the serial monitor line (115200
// baud on the real device): one report, then the program's reply, either 00
// (acknowledge) or 01 addrHi addrLo n data (write n bytes into the output
// memory at 0x4000..0x406F), then the next report. Bytes that come while no
// report awaits a reply, a first byte other than 00 or 01, and a write that
// stays incomplete for longer than kReplyGapMs are dropped; a write outside
// the range is answered like an acknowledgement and stores nothing.
#include <vector>

#include "line_device.h"
#include "monitor_traffic.h"
#include "output_memory.h"
#include "report_pacer.h"

namespace korvex::gatewaysim {

class SerialMonitorDevice final : public LineDevice {
public:
    static constexpr std::int64_t kReplyGapMs = 200;

    SerialMonitorDevice(std::vector<TrafficCommand> commands, ReportRate rate);

    // A session starts with report 1 at `firstAtMs`; stopping ends the stream
    // until the next session (the line server starts one whenever a program
    // opens the terminal and stops it when the program closes it).
    void startSession(std::int64_t firstAtMs);
    void stopSession();

    void peerOpened(std::int64_t firstReportMs) override { startSession(firstReportMs); }
    void peerClosed() override { stopSession(); }

    std::vector<Answer> receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs) override;
    std::optional<std::int64_t> nextReportMs() const override { return pacer_.nextReportMs(); }
    std::optional<serial::Bytes> takeReport(std::int64_t nowMs) override;

    const OutputMemory& output() const { return output_; }
    std::uint32_t reportsSent() const { return sent_; }
    std::uint32_t repliesReceived() const { return replies_; }
    std::uint32_t writesStored() const { return writes_; }

private:
    void finishReply(std::int64_t nowMs);

    std::vector<TrafficCommand> commands_;
    ReportPacer pacer_;
    OutputMemory output_;
    std::uint32_t next_ = 1;  // number of the next report in the session
    std::vector<std::uint8_t> reply_;
    std::int64_t lastByteMs_ = 0;
    std::uint32_t sent_ = 0;
    std::uint32_t replies_ = 0;
    std::uint32_t writes_ = 0;
};

}  // namespace korvex::gatewaysim
