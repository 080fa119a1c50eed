// Reports per second the monitors handle end to end (cut, read, shown in the
// window's model, answered) with korvex-gatewaysim sending as fast as it is
// answered (--report-rate fast): the serial monitor at 115200 baud and the
// debug monitor (master layout) at 19200 baud over a pseudo-terminal, the
// simulator pacing its bytes at the baud rate, and the Ethernet monitor on
// loopback. Each rate is compared with the wire limit (report and reply bytes
// at 10 bits a byte) and with the cap the original timer design puts on it
// (one report per 200 ms, 300 ms and 100 ms tick).
//
//   build/bench/bench_monitor [--reports N]
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "io/net_sockets.h"
#include "io/serial_byte_link.h"
#include "monitor/debug_entry.h"
#include "monitor/debug_session.h"
#include "monitor/monitor_session.h"
#include "monitor/pump.h"

namespace {

using namespace korvex;
using Clock = std::chrono::steady_clock;

// The simulator, started with `args` and ended at the end.
class Simulator {
public:
    explicit Simulator(std::vector<std::string> args) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv{const_cast<char*>(KORVEX_GATEWAYSIM)};
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(KORVEX_GATEWAYSIM, argv.data());
            _exit(127);
        }
        ::close(out[1]);
        char c = 0;
        pollfd p{out[0], POLLIN, 0};
        while (poll(&p, 1, 5000) == 1 && ::read(out[0], &c, 1) == 1 && c != '\n') first_ += c;
        ::close(out[0]);
    }
    ~Simulator() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    // The terminal path or the address it printed.
    const std::string& firstLine() const { return first_; }

private:
    pid_t pid_ = -1;
    std::string first_;
};

// Passes everything to the real link and splits each report's turn into the
// program's part (from the read that completed a report to its reply) and the
// line's part (from the reply to the first bytes of the next report: the
// simulator's reaction plus the reply's and the first byte's wire time).
class TimingLink final : public serial::ByteLink {
public:
    explicit TimingLink(serial::ByteLink& link) : link_(link) {}
    bool send(std::span<const std::uint8_t> bytes) override {
        const auto now = Clock::now();
        if (lastRead_ != Clock::time_point{}) {
            programUs_ += std::chrono::duration<double, std::micro>(now - lastRead_).count();
            ++replies_;
        }
        sentAt_ = now;
        return link_.send(bytes);
    }
    std::size_t bytesWaiting() override { return link_.bytesWaiting(); }
    std::size_t read(std::span<std::uint8_t> out) override {
        const std::size_t n = link_.read(out);
        if (n > 0) {
            const auto now = Clock::now();
            if (sentAt_ != Clock::time_point{}) {
                lineUs_ += std::chrono::duration<double, std::micro>(now - sentAt_).count();
                ++turns_;
                sentAt_ = {};
            }
            lastRead_ = now;
        }
        return n;
    }
    std::size_t waitForBytes(std::size_t count, int timeoutMs) override { return link_.waitForBytes(count, timeoutMs); }
    void purge() override { link_.purge(); }
    std::int64_t nowMs() override { return link_.nowMs(); }
    bool isOpen() const override { return link_.isOpen(); }

    void print(int baud, double replyBytes) const {
        if (replies_ == 0 || turns_ == 0) return;
        const double byteUs = 10e6 / baud;
        std::printf("    per report: program %.0f us from the last read to the reply; reply to next report's first"
                    " bytes %.0f us (wire %.0f us for the reply and one byte)\n",
                    programUs_ / static_cast<double>(replies_), lineUs_ / static_cast<double>(turns_),
                    (replyBytes + 1) * byteUs);
    }

private:
    serial::ByteLink& link_;
    Clock::time_point lastRead_{}, sentAt_{};
    double programUs_ = 0, lineUs_ = 0;
    std::size_t replies_ = 0, turns_ = 0;
};

// Counts reports and their bytes from the first report on, shows each in the
// window's model like the dialogs do, and stops the pump after `wanted`.
class Counter : public monitor::ReportHandler {
public:
    Counter(monitor::PumpControl& control, std::size_t wanted, monitor::MonitorMode mode)
        : control_(control), wanted_(wanted), monitorSession_(mode), debugSession_(monitor::DebugLayout::Master) {}

    void serialReport(const monitor::SerialMonitorReport& r) override {
        monitorSession_.show(r);
        count(5 + (r.status == 1 ? 1 : r.data.size()), 1);
    }
    void ethernetReport(const monitor::EthernetMonitorReport& r) override {
        monitorSession_.show(r);
        count(20 + (r.status == 1 ? 4 : r.data.size()), 12);
    }
    void debugReport(const monitor::DebugReport& r) override {
        debugSession_.show(r);
        count(r.length, 4);
    }

    std::size_t reports = 0;
    std::size_t bytes = 0;  // report and reply bytes after the first report
    Clock::time_point first, last;

private:
    void count(std::size_t reportBytes, std::size_t replyBytes) {
        const auto now = Clock::now();
        if (reports == 0) {
            first = now;
        } else {
            bytes += reportBytes + replyBytes;
        }
        last = now;
        if (++reports >= wanted_) control_.requestStop();
    }

    monitor::PumpControl& control_;
    std::size_t wanted_;
    monitor::MonitorSession monitorSession_;
    monitor::DebugSession debugSession_;
};

void print(const char* name, const Counter& c, int baud, double capPerSecond) {
    if (c.reports < 2) {
        std::printf("%-28s no reports\n", name);
        return;
    }
    const double seconds = std::chrono::duration<double>(c.last - c.first).count();
    const double rate = static_cast<double>(c.reports - 1) / seconds;
    std::printf("%-28s %6zu reports %8.1f reports/s", name, c.reports, rate);
    if (baud > 0) {
        const double perReport = static_cast<double>(c.bytes) / static_cast<double>(c.reports - 1);
        const double wireLimit = baud / 10.0 / perReport;
        std::printf("  wire limit %7.1f/s (%5.1f bytes each way and back) = %5.1f %%", wireLimit, perReport,
                    100.0 * rate / wireLimit);
    }
    std::printf("  timer design cap %4.1f/s: x%.0f\n", capPerSecond, rate / capPerSecond);
}

void serialMonitor(std::size_t n) {
    Simulator sim({"--monitor", "--baud", "115200", "--report-rate", "fast"});
    io::LineSettings line;
    line.baudRate = monitor::kSerialMonitorBaud;
    std::string error;
    auto link = io::SerialByteLink::open(sim.firstLine(), line, &error);
    if (!link) {
        std::printf("serial monitor: %s\n", error.c_str());
        return;
    }
    monitor::PumpControl control;
    Counter counter(control, n, monitor::MonitorMode::Serial);
    TimingLink timing(*link);
    monitor::runSerialMonitor(timing, control, counter);
    print("serial monitor, 115200", counter, monitor::kSerialMonitorBaud, 5.0);
    timing.print(monitor::kSerialMonitorBaud, 1);
}

void debugMonitor(std::size_t n) {
    // Firmware 5.2 serves the debug frames without the state switch.
    Simulator sim({"--baud", "19200", "--firmware", "5.2", "--debug-layout", "master", "--report-rate", "fast"});
    io::LineSettings line;
    line.baudRate = monitor::kDebugBaud;
    std::string error;
    auto link = io::SerialByteLink::open(sim.firstLine(), line, &error);
    if (!link || !monitor::readDebugInformation(*link).layout) {
        std::printf("debug monitor: no link or no information answer %s\n", error.c_str());
        return;
    }
    monitor::PumpControl control;
    Counter counter(control, n, monitor::MonitorMode::Serial);
    TimingLink timing(*link);
    monitor::runDebugMonitor(timing, monitor::DebugLayout::Master, control, counter);
    print("debug monitor, 19200", counter, monitor::kDebugBaud, 1000.0 / 300.0);
    timing.print(monitor::kDebugBaud, 4);
}

void ethernetMonitor(std::size_t n) {
    const std::string address = "127.0.0." + std::to_string(100 + getpid() % 100);
    Simulator sim({"--net", address, "--report-rate", "fast"});
    std::string error;
    auto socket = io::UdpDatagramSocket::open(&error);
    if (!socket || sim.firstLine() != address) {
        std::printf("ethernet monitor: %s\n", socket ? "the simulator did not start" : error.c_str());
        return;
    }
    monitor::PumpControl control;
    Counter counter(control, n, monitor::MonitorMode::Ethernet);
    monitor::runEthernetMonitor(*socket, address, control, counter);
    print("ethernet monitor, loopback", counter, 0, 10.0);
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t n = 2000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--reports") == 0) n = static_cast<std::size_t>(std::max(2, std::atoi(argv[i + 1])));
    }
    serialMonitor(n);
    debugMonitor(std::max<std::size_t>(n / 10, 2));
    ethernetMonitor(n * 5);
    return 0;
}
