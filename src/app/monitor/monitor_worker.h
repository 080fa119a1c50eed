#pragma once
// The thread a monitor window's exchanges run on, built on the transfer thread:
// the port is opened, used and closed only there, the pump runs there until it
// is stopped, and every report reaches the window as a queued call, so the
// window never waits for the gateway.
//
// A window uses it in this order: openPort (waits), runAndWait for short steps
// such as the debug information read (the window keeps painting meanwhile),
// startPump, and stopPump when it closes (the pump sees the stop within
// monitor::kPumpPollMs and ends the stream as its mode does).
#include <QObject>
#include <functional>
#include <memory>

#include "app/transfer/transfer_thread.h"
#include "monitor/pump.h"

namespace korvex::app {

// A ReportHandler for a pump on the worker: each call is handed to the window's
// thread (queued on `context`; dropped when the context has gone) and the
// window's callbacks run there, in the order the pump made them.
class ReportRelay : public monitor::ReportHandler {
public:
    struct Callbacks {
        std::function<void(const monitor::SerialMonitorReport&)> serial;
        std::function<void(const monitor::EthernetMonitorReport&)> ethernet;
        // `displayed`: whether the reports were displayed when the pump took
        // this one (the click that changed it may not have reached the pump).
        std::function<void(const monitor::DebugReport&, bool displayed)> debug;
        std::function<void(const monitor::PendingWrite&)> writeSent;
        std::function<void(const monitor::PendingWrite&)> writeDropped;
    };

    ReportRelay(QObject* context, Callbacks callbacks) : context_(context), callbacks_(std::move(callbacks)) {}

    // The controls of the pump this relay serves (set on the worker before the
    // pump starts): each debug report carries the display switch as the pump
    // saw it when it answered the report.
    void watch(const monitor::PumpControl& control) { control_ = &control; }

    void serialReport(const monitor::SerialMonitorReport& report) override { post(callbacks_.serial, report); }
    void ethernetReport(const monitor::EthernetMonitorReport& report) override { post(callbacks_.ethernet, report); }
    void debugReport(const monitor::DebugReport& report) override {
        if (!callbacks_.debug) return;
        const bool displayed = !control_ || control_->displaying();
        QMetaObject::invokeMethod(
            context_, [callback = callbacks_.debug, report, displayed] { callback(report, displayed); },
            Qt::QueuedConnection);
    }
    void writeSent(const monitor::PendingWrite& write) override { post(callbacks_.writeSent, write); }
    void writeDropped(const monitor::PendingWrite& write) override { post(callbacks_.writeDropped, write); }

private:
    template <typename T>
    void post(const std::function<void(const T&)>& callback, const T& value) {
        if (!callback) return;
        QMetaObject::invokeMethod(context_, [callback, value] { callback(value); }, Qt::QueuedConnection);
    }

    QObject* context_;
    Callbacks callbacks_;
    const monitor::PumpControl* control_ = nullptr;
};

// What the pump does on the worker: `link` is the worker's open port (null for
// a pump that opens its own socket there).
using PumpJob = std::function<monitor::PumpEnd(std::unique_ptr<serial::ByteLink>& link, monitor::PumpControl& control)>;

class MonitorWorker : public QObject {
    Q_OBJECT
public:
    MonitorWorker(serial::PortOpener& opener, Operator& interfaceOperator, QObject* parent = nullptr);
    // Stops the pump and waits for it.
    ~MonitorWorker() override;

    // Opens the port on the worker and waits for the outcome.
    serial::OpenedPort openPort(std::function<serial::OpenedPort(serial::PortOpener&)> open);
    // Runs a short step over the port on the worker; the windows keep painting
    // (user input waits) until it has ended.
    void runAndWait(TransferJob job);

    // Starts the pump; pumpEnded() follows when it ends, stopped or not. The
    // port is closed when the pump ends.
    void startPump(PumpJob job);
    bool pumpRunning() const { return pumpRunning_; }
    // The end of the last pump run (meaningful after pumpEnded).
    monitor::PumpEnd pumpEnd() const { return *end_; }
    // The running pump's controls (a write to send, the display switch).
    monitor::PumpControl& control() { return *control_; }
    // Asks the pump to stop and waits until it has ended (bounded by its poll);
    // the window keeps painting meanwhile.
    void stopPump();

signals:
    void pumpEnded();

private:
    std::unique_ptr<TransferThread> thread_;
    std::shared_ptr<monitor::PumpControl> control_;
    std::shared_ptr<monitor::PumpEnd> end_;
    bool pumpRunning_ = false;
};

}  // namespace korvex::app
