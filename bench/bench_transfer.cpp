// Serial download and upload of full projects to korvex-gatewaysim over a
// pseudo-terminal, the simulator pacing its bytes at 19200 baud, through the
// real SerialByteLink and the transfer code. Each transfer's time is compared
// with the wire time of the bytes exchanged (10 bits a byte at 19200 baud) and
// with the time the fixed sleeps and poll steps of the original wait rules
// imply for the same exchanges.
//
//   build/bench/bench_transfer [--runs N]
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "io/serial_byte_link.h"
#include "mapping/auto_mapping.h"
#include "model/operator.h"
#include "model/project.h"
#include "serial/download.h"
#include "serial/gateway_protocol.h"
#include "serial/upload.h"

namespace {

using namespace korvex;
constexpr int kBaud = 19200;

// The simulator program, started for one device type and ended at the end.
class Simulator {
public:
    explicit Simulator(int deviceType) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            const std::string type = std::to_string(deviceType);
            const std::string baud = std::to_string(kBaud);
            execl(KORVEX_GATEWAYSIM, KORVEX_GATEWAYSIM, "--device-type", type.c_str(), "--firmware", "6.0",
                  "--baud", baud.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        ::close(out[1]);
        char c = 0;
        pollfd p{out[0], POLLIN, 0};
        while (poll(&p, 1, 5000) == 1 && ::read(out[0], &c, 1) == 1 && c != '\n') path_ += c;
        ::close(out[0]);
    }
    ~Simulator() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& path() const { return path_; }

private:
    pid_t pid_ = -1;
    std::string path_;
};

// One request and the bytes read until the next one.
struct Exchange {
    double atMs = 0;  // when the request went out, from the start of the transfer
    std::uint8_t command = 0;
    std::uint8_t firstData = 0;
    std::size_t sent = 0;
    std::size_t received = 0;
};

// Passes everything to the real link and notes what went each way.
class CountingLink final : public serial::ByteLink {
public:
    explicit CountingLink(serial::ByteLink& link) : link_(link) {}
    bool send(std::span<const std::uint8_t> bytes) override {
        if (!bytes.empty()) {
            const double at =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
            exchanges.push_back({at, bytes[0], bytes.size() > 2 ? bytes[2] : std::uint8_t{0}, bytes.size(), 0});
        }
        return link_.send(bytes);
    }
    std::size_t bytesWaiting() override { return link_.bytesWaiting(); }
    std::size_t read(std::span<std::uint8_t> out) override {
        const std::size_t n = link_.read(out);
        if (!exchanges.empty()) exchanges.back().received += n;
        return n;
    }
    std::size_t waitForBytes(std::size_t count, int timeoutMs) override {
        return link_.waitForBytes(count, timeoutMs);
    }
    void purge() override { link_.purge(); }
    std::int64_t nowMs() override { return link_.nowMs(); }
    bool isOpen() const override { return link_.isOpen(); }

    std::vector<Exchange> exchanges;

private:
    serial::ByteLink& link_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

double wireMs(std::size_t bytes) { return static_cast<double>(bytes) * 10.0 * 1000.0 / kBaud; }

// What an exchange takes at least under the original wait rules: their fixed
// sleeps and poll steps, or the bytes' own time where that is longer.
double originalWaitMs(const Exchange& x, bool download) {
    namespace cmd = serial::command;
    const double wire = wireMs(x.sent + x.received);
    double fixed = 0;
    switch (x.command) {
        case cmd::ReadDeviceType:
            // Download: settle 100 ms, then after identification a 50 ms sleep
            // and polls for 300 ms that read nothing. Upload: a 50 ms sleep.
            fixed = download ? 100 + 50 + 300 : 50;
            break;
        case cmd::SetOperatingState:
            fixed = x.firstData == 0 ? 0 : 50;  // no answer is read to the return to communication
            break;
        case cmd::WriteDeviceNetParameters:
        case cmd::WriteProfibusParameters:
        case cmd::WriteSubnetParameters:
        case cmd::ClearSubnetCommands:
        case cmd::AddCommand:
            fixed = 100;  // a 50 ms poll step until data, then 50 ms for a short answer
            break;
        case cmd::ReadDeviceNetParameters:
        case cmd::ReadProfibusParameters:
        case cmd::ReadSubnetParameters:
        case cmd::ReadCommandCount:
            fixed = 100;
            break;
        case cmd::ReadCommandBatch:
            // 100 ms sleep, then 100 ms poll steps until the whole batch is in.
            fixed = std::max(100.0, 100.0 * std::ceil(wire / 100.0));
            break;
        case cmd::WriteTimeoutHandling:
        case cmd::ReadTimeoutHandling:
        case cmd::ReadProfibusConfigData:
        case cmd::ReadCharIntervals:
            fixed = 50;
            break;
        case cmd::WriteCharIntervals:
            fixed = 100;
            break;
        case cmd::WriteProfibusAddress:
        case cmd::WriteConfigurationModes:
            fixed = 300 + 100;
            break;
        case cmd::ReadProfibusAddress:
        case cmd::ReadConfigurationModes:
            fixed = 100;
            break;
        default:
            break;
    }
    return std::max(fixed, wire);
}

// A project of `kind` whose "Modbus Master" subnets each hold 100 commands,
// half reads and half writes, spread over ten slaves, with mapping addresses
// from the automatic calculation.
std::unique_ptr<Project> fullProject(int kind, int subnets) {
    auto project = std::make_unique<Project>();
    resetToDefaults(*project, kind);
    const bool bitCommands = kind == 2;  // four subnets share the gateway's memory
    for (int s = 0; s < subnets; ++s) {
        SubnetConfig& subnet = project->subnet(s);
        subnet.nodeCount = 10;
        for (int n = 0; n < 10; ++n) {
            subnet.nodes[static_cast<std::size_t>(n)] = {std::to_string(n + 1), "Node-" + std::to_string(n + 1)};
        }
        subnet.commandCount = kMaxCommands;
        for (int k = 0; k < kMaxCommands; ++k) {
            ModbusCommand& c = subnet.commands[static_cast<std::size_t>(k)];
            const bool read = k % 2 == 0;
            c.slaveAddress = std::to_string(k % 10 + 1);
            c.nodeIndex = k % 10 + 1;
            c.functionCode = bitCommands ? (read ? "1" : "15") : (read ? "3" : "16");
            c.startAddress = std::to_string(100 + k);
            c.dataCount = bitCommands ? "8" : "2";
            c.mappingAddress = "";
            c.bitOffset = "0";
            c.dataFilter = "Fullword";
            c.byteSwap = "No Swap";
            c.scanType = "Fast Scan";
            c.checkType = "CRC";
        }
    }
    MappingState mapping;
    ScriptedOperator op;
    if (!calculateMappingAddresses(*project, mapping, nullptr, op)) {
        std::fprintf(stderr, "bench_transfer: the automatic mapping refused the kind %d project\n", kind);
    }
    return project;
}

struct Measurement {
    double ms = 0;
    double wire = 0;
    double original = 0;
    std::size_t exchanges = 0;
    bool ok = false;
};

template <typename Transfer>
Measurement measure(const std::string& port, bool download, Transfer transfer) {
    Measurement m;
    std::string error;
    auto link = io::SerialByteLink::open(port, {}, &error, nullptr);
    if (!link) {
        std::fprintf(stderr, "bench_transfer: %s: %s\n", port.c_str(), error.c_str());
        return m;
    }
    CountingLink counting(*link);
    const auto start = std::chrono::steady_clock::now();
    m.ok = transfer(counting);
    m.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::size_t bytes = 0;
    for (const Exchange& x : counting.exchanges) {
        bytes += x.sent + x.received;
        m.original += originalWaitMs(x, download);
    }
    m.wire = wireMs(bytes);
    if (std::getenv("KORVEX_BENCH_TRACE")) {
        // Each exchange: its time until the next request, and its wire time.
        for (std::size_t i = 0; i < counting.exchanges.size(); ++i) {
            const Exchange& x = counting.exchanges[i];
            const double next = i + 1 < counting.exchanges.size() ? counting.exchanges[i + 1].atMs : m.ms;
            std::fprintf(stderr, "%02X %3zu+%3zu bytes %7.1f ms, wire %6.1f ms\n", x.command, x.sent,
                         x.received, next - x.atMs, wireMs(x.sent + x.received));
        }
    }
    m.exchanges = counting.exchanges.size();
    return m;
}

void printShown(const char* transfer, const ScriptedOperator& op) {
    for (const auto& key : op.shownKeys()) std::fprintf(stderr, "%s showed %s\n", transfer, key.c_str());
}

void report(const char* name, std::vector<Measurement> runs) {
    std::sort(runs.begin(), runs.end(), [](const auto& a, const auto& b) { return a.ms < b.ms; });
    const Measurement& m = runs[runs.size() / 2];
    const bool allOk = std::all_of(runs.begin(), runs.end(), [](const auto& r) { return r.ok; });
    std::printf("%-28s %9zu %9.0f %11.0f %7.2f %13.0f %8.1fx %s\n", name, m.exchanges, m.wire, m.ms,
                m.ms / m.wire, m.original, m.original / m.ms, allOk ? "" : "  (FAILED)");
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 3;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[++i]));
    }
    std::printf("Serial transfers to korvex-gatewaysim at %d baud, median of %d runs (times in ms)\n",
                kBaud, runs);
    std::printf("%-28s %9s %9s %11s %7s %13s %9s\n", "transfer", "exchanges", "wire", "measured",
                "ratio", "original-waits", "gain");
    struct Scenario {
        const char* name;
        int kind;
        int subnets;
    };
    for (const Scenario& s : {Scenario{"kind 3, 100 commands", 3, 1}, Scenario{"kind 2, 4 x 100 commands", 2, 4}}) {
        Simulator sim(s.kind + 1);
        if (sim.path().empty()) {
            std::fprintf(stderr, "bench_transfer: korvex-gatewaysim did not start\n");
            return 1;
        }
        std::vector<Measurement> downloads;
        std::vector<Measurement> uploads;
        for (int r = 0; r < runs; ++r) {
            auto project = fullProject(s.kind, s.subnets);
            downloads.push_back(measure(sim.path(), true, [&](serial::ByteLink& link) {
                ScriptedOperator op;
                MappingState mapping;
                const auto result = serial::runDownload(link, op, *project, mapping, nullptr);
                const bool ok =
                    result.outcome == serial::TransferOutcome::Completed && result.everythingAcknowledged;
                if (!ok) printShown("download", op);
                return ok;
            }));
            uploads.push_back(measure(sim.path(), false, [&](serial::ByteLink& link) {
                Project uploaded;
                resetToDefaults(uploaded, s.kind);
                ScriptedOperator op;
                const auto result = serial::runUpload(link, op, uploaded, nullptr);
                const bool ok = result.outcome == serial::TransferOutcome::Completed &&
                                uploaded.subnet(s.subnets - 1).commandCount == kMaxCommands;
                if (!ok) printShown("upload", op);
                return ok;
            }));
        }
        report((std::string("download ") + s.name).c_str(), downloads);
        report((std::string("upload ") + s.name).c_str(), uploads);
    }
    std::printf("ratio = measured / wire (goal <= 1.3); gain = original-waits / measured\n");
    return 0;
}
