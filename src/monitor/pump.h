#pragma once
// The pumps: each reads a gateway's report stream as it arrives, cuts it into
// reports, hands every report to a ReportHandler and answers it at once (the
// acknowledgement, or the write waiting in PumpControl). A pump runs until a
// stop is requested or its link fails; it looks at its controls at least every
// kPumpPollMs, so a stop or a new write is seen promptly, and it never waits
// without a bound.
//
// A pump runs on the thread that owns its link (a worker thread in the desktop,
// the main thread in korvex-cli); PumpControl is the only thing other threads
// touch, and the handler is called on the pump's thread.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "monitor/monitor_reports.h"
#include "monitor/monitor_types.h"
#include "net/net_link.h"
#include "serial/byte_link.h"

namespace korvex::monitor {

// Thread-safe controls of a running pump.
class PumpControl {
public:
    void requestStop() { stop_.store(true); }
    bool stopRequested() const { return stop_.load(); }

    // The next report is answered with this write (replacing a write not sent yet).
    void setPendingWrite(PendingWrite write);
    // Takes the write set since the last take (the pump calls this).
    std::optional<PendingWrite> takePendingWrite();
    bool hasPendingWrite() const;

    // Whether the debug monitor displays reports (a slave-layout report without
    // its marker gets no reply while displaying). True at start.
    void setDisplaying(bool on) { displaying_.store(on); }
    bool displaying() const { return displaying_.load(); }

    // Debug monitor: after the stop request, also send the leave-debug-state
    // frame ("Stop debug and exit" answered Yes).
    void setLeaveOnStop(bool on) { leave_.store(on); }
    bool leaveOnStop() const { return leave_.load(); }

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> displaying_{true};
    std::atomic<bool> leave_{false};
    mutable std::mutex mutex_;
    std::optional<PendingWrite> write_;
};

// Why some bytes were dropped without an answer.
enum class RefusedReport {
    BadStatus,      // a serial report with a status that is no report
    Incomplete,     // a report that stayed incomplete for kIncompleteReportMs
    BadDatagram,    // a datagram too short for its fields or with a status outside 0..3
    ForeignSender,  // a datagram from another address than the gateway's
};

// Called on the pump's thread. Each report call comes before the report is answered.
class ReportHandler {
public:
    virtual ~ReportHandler() = default;
    virtual void serialReport(const SerialMonitorReport& /*report*/) {}
    virtual void ethernetReport(const EthernetMonitorReport& /*report*/) {}
    virtual void debugReport(const DebugReport& /*report*/) {}
    // The write went out as the answer to the report just handled.
    virtual void writeSent(const PendingWrite& /*write*/) {}
    // A Monitor/Modify write found no report to answer within kWriteWaitMs and
    // was dropped (the serial window shows "Failing in reading serial port!").
    virtual void writeDropped(const PendingWrite& /*write*/) {}
    // Bytes or a datagram were dropped unanswered.
    virtual void reportRefused(RefusedReport /*why*/) {}
};

enum class PumpEnd {
    Stopped,     // a stop was requested; the stream was ended as the mode does
    LinkFailed,  // the port failed or an answer could not be written
    StartFailed, // Ethernet: the start frame could not be sent
};

// Monitor/Modify over the serial port (115200 baud, opened by the caller).
// Nothing is sent when it stops.
PumpEnd runSerialMonitor(serial::ByteLink& link, PumpControl& control, ReportHandler& handler);

// The debug monitor over its port (19200 baud, after readDebugInformation):
// sends the start-reporting frame, then answers each report (a write waits for
// the next report). On stop it sends the stop request D2 01 F0 C3 and, when
// leaveOnStop() is set, leaves the debug state (leaveDebugState).
PumpEnd runDebugMonitor(serial::ByteLink& link, DebugLayout layout, PumpControl& control, ReportHandler& handler);

// Monitor/Modify over UDP: sends the start frame to gateway:18802, answers every
// report that comes from the gateway's address (datagrams from elsewhere are
// ignored), and sends the stop frame when stopped. `socket` is bound to local
// port 10002 by the caller. The clock measures how long a write waits.
PumpEnd runEthernetMonitor(net::DatagramSocket& socket, const std::string& gateway, PumpControl& control,
                           ReportHandler& handler, net::Clock& clock);
// The same on the steady clock.
PumpEnd runEthernetMonitor(net::DatagramSocket& socket, const std::string& gateway, PumpControl& control,
                           ReportHandler& handler);

}  // namespace korvex::monitor
