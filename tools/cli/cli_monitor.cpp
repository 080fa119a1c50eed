// korvex-cli monitor and debug: the Monitor/Modify window and the debug monitor,
// headless.
//
// Standard output holds only the rows the window would show, one line each in
// arrival order (the debug window shows the newest on top; here the oldest
// comes first), the window's columns in its order separated by tabs. Messages
// and questions go to standard error. Every report received is answered before
// the command ends; --count N ends it after N reports, otherwise it runs until
// SIGINT or SIGTERM.
#include <atomic>
#include <cerrno>
#include <csignal>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli_common.h"
#include "model/file_io.h"
#include "model/texts.h"
#include "model/value_checks.h"
#include "monitor/debug_session.h"
#include "monitor/monitor_session.h"
#include "monitor/pump.h"
#include "monitor/record_file.h"
#include "monitor/send_checks.h"

#ifdef KORVEX_CLI_WITH_IO
#include "io/net_sockets.h"
#include "io/port_opener.h"
#include "monitor/debug_entry.h"
#include "serial/port_open.h"
#endif

namespace korvex::cli {
namespace {

using monitor::PendingWrite;

void printError(const Message& message) {
    std::string text = printable(message.text());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::cerr << text << '\n';
}

// The options both commands share.
struct MonitorOptions {
    std::optional<std::string> port;
    std::optional<std::string> ethernet;
    std::optional<std::string> save;
    std::optional<std::uint64_t> count;
    std::optional<std::string> writeAddress;
    std::optional<std::string> writeData;
    bool leave = false;
};

// "0a1b" becomes "0a 1b", the form the windows' data fields take; a text with
// blanks is taken as typed.
std::string dataFieldText(const std::string& hex) {
    if (hex.find(' ') != std::string::npos || hex.size() < 3) return hex;
    std::string out;
    for (std::size_t i = 0; i < hex.size(); ++i) {
        if (i && i % 2 == 0) out += ' ';
        out += hex[i];
    }
    return out;
}

// Reads the options; returns a usage exit code when the command line is wrong.
std::optional<int> takeOptions(const Args& args, bool debug, MonitorOptions& o) {
    Options options(args);
    o.port = options.value("--port");
    if (!debug) o.ethernet = options.value("--ethernet");
    o.save = options.value("--save");
    const auto count = options.value("--count");
    const auto write = options.value("--write");
    if (debug) o.leave = options.flag("--leave");
    const auto pos = options.positional();
    const std::string name = debug ? "debug" : "monitor";
    if (!options.error().empty()) return usage(options.error());
    if (!pos.empty()) return usage(name + " takes no positional arguments");
    if (debug && !o.port) return usage("debug needs --port PATH");
    if (!debug && o.port.has_value() == o.ethernet.has_value()) return usage("monitor needs either --port PATH or --ethernet A");
    if (o.ethernet && !isValidIPv4(*o.ethernet)) return usage("--ethernet takes an IPv4 address such as 127.0.0.1");
    if (o.save && o.save->empty()) return usage("--save needs a file name");
    if (count) {
        const auto n = parseDecimal(*count);
        if (!n || *n < 1) return usage("--count takes a number of reports, 1 or more");
        o.count = static_cast<std::uint64_t>(*n);
    }
    if (write) {
        const auto eq = write->find('=');
        if (eq == std::string::npos) return usage("--write takes ADDR=HEXBYTES, for example 4000=0a1b");
        o.writeAddress = write->substr(0, eq);
        o.writeData = dataFieldText(write->substr(eq + 1));
    }
    return std::nullopt;
}

// The write of --write through the window's Send checks; false (message shown)
// when the window would refuse it.
bool checkWrite(const MonitorOptions& o, bool debug, std::optional<PendingWrite>& write) {
    if (!o.writeAddress) return true;  // nothing to write
    if (debug) {
        auto check = monitor::checkDebugSend(*o.writeAddress, *o.writeData);
        if (check.redField) printError(*check.redField);
        if (check.message) printError(*check.message);
        write = std::move(check.write);
    } else {
        auto check = monitor::checkMonitorSend(*o.writeAddress, *o.writeData);
        if (check.message) printError(*check.message);
        write = std::move(check.write);
    }
    return write.has_value();
}

#ifdef KORVEX_CLI_WITH_IO

// One row on standard output: its cells tab-separated.
void printRow(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i) line += '\t';
        line += printable(cells[i]);
    }
    line += '\n';
    std::cout << line << std::flush;
}

// SIGINT and SIGTERM stop the running pump (an atomic store, safe in a handler).
std::atomic<monitor::PumpControl*> gRunning{nullptr};

extern "C" void stopOnSignal(int) {
    if (auto* control = gRunning.load()) control->requestStop();
}

class SignalStop {
public:
    explicit SignalStop(monitor::PumpControl& control) {
        gRunning.store(&control);
        struct sigaction action {};
        action.sa_handler = stopOnSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~SignalStop() {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
        gRunning.store(nullptr);
    }
    SignalStop(const SignalStop&) = delete;
    SignalStop& operator=(const SignalStop&) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

// What both handlers share: counting reports toward --count and the fate of
// the --write.
class CountingHandler : public monitor::ReportHandler {
public:
    CountingHandler(monitor::PumpControl& control, std::optional<std::uint64_t> count)
        : control_(control), count_(count) {}

    void writeSent(const PendingWrite&) override { writeSent_ = true; }
    bool writeWasSent() const { return writeSent_; }

protected:
    void counted() {
        ++received_;
        if (count_ && received_ >= *count_) control_.requestStop();
    }

private:
    monitor::PumpControl& control_;
    std::optional<std::uint64_t> count_;
    std::uint64_t received_ = 0;
    bool writeSent_ = false;
};

class MonitorPrinter : public CountingHandler {
public:
    MonitorPrinter(monitor::PumpControl& control, std::optional<std::uint64_t> count, monitor::MonitorMode mode,
                   monitor::RecordFile* record)
        : CountingHandler(control, count), session_(mode), record_(record) {
        session_.setSaving(record != nullptr);
    }

    void serialReport(const monitor::SerialMonitorReport& report) override { take(session_.show(report)); }
    void ethernetReport(const monitor::EthernetMonitorReport& report) override { take(session_.show(report)); }
    void writeDropped(const PendingWrite&) override {
        if (session_.mode() == monitor::MonitorMode::Serial) printError({texts::MonitorPortReadFailed, {}});
    }
    bool recordFailed() const { return recordFailed_; }

private:
    void take(const monitor::MonitorUpdate& update) {
        if (update.insertRow) printRow(update.cells);
        if (record_ && !update.record.empty() && !recordFailed_ && !record_->append(update.record)) {
            recordFailed_ = true;
            printError(fileErrorMessage(errno, record_->path(), FileAction::Save));
        }
        counted();
    }

    monitor::MonitorSession session_;
    monitor::RecordFile* record_;
    bool recordFailed_ = false;
};

class DebugPrinter : public CountingHandler {
public:
    DebugPrinter(monitor::PumpControl& control, std::optional<std::uint64_t> count, monitor::DebugLayout layout)
        : CountingHandler(control, count), session_(layout) {}

    void debugReport(const monitor::DebugReport& report) override {
        const auto update = session_.show(report);
        if (update.insertRow) printRow(update.cells);
        counted();
    }
    const monitor::DebugSession& session() const { return session_; }

private:
    monitor::DebugSession session_;
};

int cmdMonitor(const Args& args) {
    MonitorOptions o;
    if (auto wrong = takeOptions(args, false, o)) return *wrong;
    std::optional<PendingWrite> write;
    if (!checkWrite(o, false, write)) return kExitFailure;

    monitor::RecordFile record;
    if (o.save) {
        if (auto error = record.open(*o.save)) return fail(*error);
    }
    monitor::PumpControl control;
    if (write) control.setPendingWrite(*write);
    const auto mode = o.port ? monitor::MonitorMode::Serial : monitor::MonitorMode::Ethernet;
    MonitorPrinter printer(control, o.count, mode, o.save ? &record : nullptr);

    monitor::PumpEnd end;
    if (o.port) {
        io::SerialPortOpener opener;
        serial::PortOpenRequest request;
        request.path = *o.port;
        request.line = serial::LineSettings{monitor::kSerialMonitorBaud, 8, serial::Parity::None, 1};
        serial::PortOpenError error;
        auto link = opener.open(request, error);
        if (!link) return fail(serial::portFailureMessage({texts::MonitorPortOpenFailed, {}}, *o.port, error));
        SignalStop stopOnSignals(control);
        end = monitor::runSerialMonitor(*link, control, printer);
        if (end == monitor::PumpEnd::LinkFailed) printError({texts::MonitorPortOpenFailed, {}});
    } else {
        std::string reason;
        auto socket = io::UdpDatagramSocket::open(&reason);
        if (!socket) return fail({texts::SearchPortInUse, {std::to_string(net::kLocalUdpPort)}});
        SignalStop stopOnSignals(control);
        end = monitor::runEthernetMonitor(*socket, *o.ethernet, control, printer);
        if (end == monitor::PumpEnd::StartFailed)
            std::cerr << "korvex-cli: the start frame could not be sent to " << *o.ethernet << '\n';
    }
    record.close();
    bool ok = end == monitor::PumpEnd::Stopped && !printer.recordFailed();
    if (write && !printer.writeWasSent()) {
        std::cerr << "korvex-cli: the write was not sent: no report came to answer with it\n";
        ok = false;
    }
    return ok ? kExitOk : kExitFailure;
}

int cmdDebug(const Args& args) {
    MonitorOptions o;
    if (auto wrong = takeOptions(args, true, o)) return *wrong;
    std::optional<PendingWrite> write;
    if (!checkWrite(o, true, write)) return kExitFailure;

    io::SerialPortOpener opener;
    std::optional<Message> failure;
    auto link = serial::openFixedRatePort(opener, *o.port, monitor::kDebugBaud, failure);
    if (!link) return fail(*failure);
    const monitor::DebugEntry entry = monitor::enterDebugState(*link);
    if (!entry.openMonitor) return fail(*entry.failure);
    const monitor::DebugInformationCheck information = monitor::readDebugInformation(*link);
    if (!information.layout) return fail(*information.failure);

    monitor::PumpControl control;
    if (write) control.setPendingWrite(*write);
    DebugPrinter printer(control, o.count, *information.layout);
    monitor::PumpEnd end;
    {
        SignalStop stopOnSignals(control);
        end = monitor::runDebugMonitor(*link, *information.layout, control, printer);
    }
    bool ok = end == monitor::PumpEnd::Stopped;
    if (end == monitor::PumpEnd::LinkFailed) printError({texts::MonitorPortOpenFailed, {}});
    // "Stop debug and exit": the pump has sent the stop request; firmware newer
    // than 5.2 is asked whether it shall leave the debug state (--leave answers Yes).
    if (ok && information.information.asksBeforeLeaving()) {
        printError({texts::DebugLeaveQuestion, {}});
        if (o.leave) ok = monitor::leaveDebugState(*link);
    }
    if (o.save) {
        if (auto error = monitor::writeSavedFile(*o.save, printer.session().savedFileText())) {
            printError(*error);
            ok = false;
        }
    }
    if (write && !printer.writeWasSent()) {
        std::cerr << "korvex-cli: the write was not sent: no report came to answer with it\n";
        ok = false;
    }
    return ok ? kExitOk : kExitFailure;
}

#else

int cmdMonitor(const Args& args) {
    MonitorOptions o;
    if (auto wrong = takeOptions(args, false, o)) return *wrong;
    std::optional<PendingWrite> write;
    if (!checkWrite(o, false, write)) return kExitFailure;
    return usage("monitor needs a build with korvex_io");
}

int cmdDebug(const Args& args) {
    MonitorOptions o;
    if (auto wrong = takeOptions(args, true, o)) return *wrong;
    std::optional<PendingWrite> write;
    if (!checkWrite(o, true, write)) return kExitFailure;
    return usage("debug needs a build with korvex_io");
}

#endif  // KORVEX_CLI_WITH_IO

}  // namespace

KORVEX_CLI_COMMAND("monitor",
                   "monitor (--port PATH | --ethernet A) [--save FILE] [--count N] [--write ADDR=HEXBYTES]   "
                   "rows of Monitor/Modify, tab-separated",
                   cmdMonitor);
KORVEX_CLI_COMMAND("debug",
                   "debug --port PATH [--count N] [--save FILE] [--write ADDR=HEXBYTES] [--leave]   "
                   "rows of the debug monitor, oldest first",
                   cmdDebug);

}  // namespace korvex::cli
