#pragma once
// The simulator's serial side: a pseudo-terminal it creates (or a serial
// device it is given), bytes read from it fed to the engine, the engine's
// answers written back. Paced at a baud rate, it hands each answer byte over
// when it would have arrived on a line at that rate, and answers a request only
// when the request itself would have arrived, so transfers take the time they
// take on a real line. Reports the device sends on its own go out when due.
// On a pseudo-terminal it watches the terminal for programs opening and
// closing it and tells the device (a monitor stream starts a session then).
#include <csignal>
#include <cstdint>
#include <deque>
#include <span>
#include <string>

#include "line_device.h"

namespace korvex::gatewaysim {

class LineServer {
public:
    // A program that opened the terminal gets this long to set the line up and
    // purge it before a session's first report.
    static constexpr std::int64_t kSessionSettleMs = 200;

    LineServer(LineDevice& device, int paceBaud, bool verbose);
    ~LineServer();
    LineServer(const LineServer&) = delete;
    LineServer& operator=(const LineServer&) = delete;

    // Creates a pseudo-terminal in raw mode; *path is the side to hand to the
    // program under test. The simulator keeps that side open as well, so the
    // terminal survives clients that come and go.
    bool openPseudoTerminal(std::string* path, std::string* error);
    // Opens a serial device in raw mode at `baud`.
    bool openDevice(const std::string& path, int baud, std::string* error);

    // Serves requests until `stop` is set or, when idleSeconds > 0, no request
    // came for that long. Returns the exit status.
    int run(const volatile std::sig_atomic_t& stop, int idleSeconds);

private:
    struct Outgoing {
        std::int64_t dueNs;
        std::uint8_t byte;
    };
    // Feeds bytes read at `nowNs` to the engine and schedules its answers.
    void receive(std::span<const std::uint8_t> bytes, std::int64_t nowNs);
    void schedule(const Answer& answer, std::int64_t nowNs);
    void writeDue(std::int64_t nowNs);
    void sendDueReports(std::int64_t nowNs);
    // Reads the open and close events of the terminal.
    void readTerminalEvents(std::int64_t nowNs);

    LineDevice& device_;
    int paceBaud_;
    bool verbose_;
    int fd_ = -1;       // the side the simulator reads and writes
    int keepFd_ = -1;   // the pseudo-terminal's other side, held open
    int watchFd_ = -1;  // inotify on the terminal's path
    bool openAtStart_ = false;  // a serial device: the line counts as open from the start
    std::deque<Outgoing> outgoing_;
    std::int64_t lineFreeNs_ = 0;     // our answers occupy the line until then
    std::int64_t inboundFreeNs_ = 0;  // paced: the request bytes are in by then
};

}  // namespace korvex::gatewaysim
