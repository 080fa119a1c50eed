#include "app/monitor/monitor_commands.h"

#include "app/monitor/debug_monitor_dialog.h"
#include "app/monitor/firmware_version_dialog.h"
#include "app/monitor/monitor_worker.h"
#include "app/search_dialog.h"
#include "model/operator.h"
#include "model/texts.h"
#include "monitor/debug_command.h"
#include "monitor/debug_entry.h"

namespace korvex::app {

namespace {

void openMonitorModify(const DebugCommandContext& c) {
    const SerialCommandContext& s = c.serial;
    const std::optional<monitor::MonitorMode> mode = monitor::monitorModeFor(s.project);
    MonitorDialog dialog(s.parent, s.ui, s.opener, c.sockets);
    if (mode == monitor::MonitorMode::Serial) {
        if (!dialog.openSerial(s.ports)) return;
    } else if (mode == monitor::MonitorMode::Ethernet) {
        bool accepted = false;
        {
            SearchDialog search(s.parent, c.target);
            accepted = search.exec() == QDialog::Accepted;
        }
        if (!dialog.openEthernet(accepted, c.target.targetAddress)) return;
    }
    // Any other kind: the window opens empty and receives nothing.
    dialog.exec();
}

// Switches the gateway into its debug state over the chosen port at 19200, on
// a worker thread (the main window keeps painting). True when the debug-mode
// window may open.
bool enterDebugState(const SerialCommandContext& s) {
    const std::optional<std::string> name = serial::chosenPortName(s.ports);
    if (!name) return false;
    MonitorWorker worker(s.opener, s.op);
    std::optional<Message> failure;
    worker.openPort([&](serial::PortOpener& opener) {
        serial::OpenedPort out;
        out.name = *name;
        out.link = serial::openFixedRatePort(opener, *name, monitor::kDebugBaud, failure);
        return out;
    });
    if (failure) {
        s.op.showMessage(*failure);
        return false;
    }
    monitor::DebugEntry entry;
    worker.runAndWait([&entry](std::unique_ptr<serial::ByteLink>& link, ForwardingOperator&) {
        if (link) entry = monitor::enterDebugState(*link);
        // The debug-mode window opens the port again itself.
        link.reset();
    });
    if (entry.failure) s.op.showMessage(*entry.failure);
    return entry.openMonitor;
}

}  // namespace

void runDebugCommand(const DebugCommandContext& c) {
    const SerialCommandContext& s = c.serial;
    serial::prepareForTransfer(s.ports, s.source);
    ensurePortChosen(s);
    monitor::DebugStep step = monitor::firstDebugStep(s.project);
    if (step == monitor::DebugStep::AskFirmwareVersion) {
        FirmwareVersionDialog versions(s.parent);
        std::optional<monitor::FirmwareGeneration> choice;
        if (versions.exec() == QDialog::Accepted) choice = versions.choice();
        step = monitor::stepAfterFirmwareChoice(choice);
    }
    if (step == monitor::DebugStep::End) return;
    if (monitor::stepNeedsSerialPort(step, s.project) && !serial::chosenPortName(s.ports)) {
        s.op.showMessage(Message{texts::MonitorPortOpenFailed, {}});
        return;
    }
    if (step == monitor::DebugStep::OpenMonitor) {
        openMonitorModify(c);
        return;
    }
    if (!enterDebugState(s)) return;
    DebugMonitorDialog dialog(s.parent, s.ui, s.opener);
    if (dialog.open(s.ports)) dialog.exec();
}

}  // namespace korvex::app
