#include "line_server.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <iostream>
#include <vector>

namespace korvex::gatewaysim {
namespace {

std::int64_t steadyNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// Answers the peer never reads pile up here; beyond this they are dropped.
constexpr std::size_t kMaxOutgoing = 64 * 1024;

void logFrame(const char* direction, std::span<const std::uint8_t> bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string text = direction;
    for (std::uint8_t b : bytes) {
        text += ' ';
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    std::cerr << text << '\n';
}

speed_t speedFor(int baud) {
    switch (baud) {
        case 300: return B300;
        case 600: return B600;
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        default: return B19200;
    }
}

}  // namespace

LineServer::LineServer(LineDevice& device, int paceBaud, bool verbose)
    : device_(device), paceBaud_(paceBaud), verbose_(verbose) {}

LineServer::~LineServer() {
    for (int fd : {fd_, keepFd_, watchFd_})
        if (fd >= 0) ::close(fd);
}

bool LineServer::openPseudoTerminal(std::string* path, std::string* error) {
    termios raw{};
    cfmakeraw(&raw);
    cfsetspeed(&raw, B19200);
    std::array<char, 256> name{};
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, name.data(), &raw, nullptr) != 0) {
        *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    fd_ = master;
    keepFd_ = slave;
    *path = name.data();
    // Opens and closes by other programs from now on (ours came before).
    watchFd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watchFd_ >= 0 && inotify_add_watch(watchFd_, name.data(), IN_OPEN | IN_CLOSE) < 0) {
        ::close(watchFd_);
        watchFd_ = -1;
    }
    return true;
}

bool LineServer::openDevice(const std::string& path, int baud, std::string* error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        cfsetspeed(&t, speedFor(baud));
        t.c_cflag |= CLOCAL | CREAD;
        tcsetattr(fd, TCSANOW, &t);
        tcflush(fd, TCIOFLUSH);
    }
    fd_ = fd;
    openAtStart_ = true;
    return true;
}

void LineServer::readTerminalEvents(std::int64_t nowNs) {
    alignas(inotify_event) char buffer[1024];
    for (;;) {
        const ssize_t got = ::read(watchFd_, buffer, sizeof buffer);
        if (got <= 0) return;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_OPEN) {
                if (verbose_) std::cerr << "terminal opened\n";
                device_.peerOpened(nowNs / 1'000'000 + kSessionSettleMs);
            }
            if (event->mask & IN_CLOSE) {
                if (verbose_) std::cerr << "terminal closed\n";
                device_.peerClosed();
                // What the closed program did not read is of no use to the next.
                outgoing_.clear();
                lineFreeNs_ = 0;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

void LineServer::sendDueReports(std::int64_t nowNs) {
    const std::int64_t nowMs = nowNs / 1'000'000;
    for (auto due = device_.nextReportMs(); due && *due <= nowMs; due = device_.nextReportMs()) {
        auto report = device_.takeReport(nowMs);
        if (!report) return;
        // Paced, a report goes out no sooner than the reply before it came in
        // (the device's clock counts whole milliseconds).
        schedule(Answer{std::move(*report), 0}, paceBaud_ > 0 ? std::max(nowNs, inboundFreeNs_) : nowNs);
    }
}

void LineServer::schedule(const Answer& answer, std::int64_t nowNs) {
    if (verbose_) logFrame("<", answer.bytes);
    const std::int64_t byteNs = paceBaud_ > 0 ? 10'000'000'000LL / paceBaud_ : 0;
    std::int64_t at = std::max(nowNs + static_cast<std::int64_t>(answer.delayMs) * 1'000'000, lineFreeNs_);
    for (std::uint8_t b : answer.bytes) {
        if (outgoing_.size() >= kMaxOutgoing) break;
        // A paced byte is handed over when its last bit would have arrived.
        at += byteNs;
        outgoing_.push_back({at, b});
    }
    lineFreeNs_ = at;
}

void LineServer::receive(std::span<const std::uint8_t> bytes, std::int64_t nowNs) {
    if (paceBaud_ <= 0) {
        for (const Answer& answer : device_.receive(bytes, nowNs / 1'000'000)) schedule(answer, nowNs);
        return;
    }
    // Paced, a request counts as received when its last byte would have come
    // over a line at that rate, however fast the terminal delivered it.
    const std::int64_t byteNs = 10'000'000'000LL / paceBaud_;
    for (std::uint8_t b : bytes) {
        inboundFreeNs_ = std::max(inboundFreeNs_, nowNs) + byteNs;
        // The device hears the byte when it would have arrived, so a report
        // that follows a reply waits for the reply's last byte.
        for (const Answer& answer : device_.receive(std::span(&b, 1), inboundFreeNs_ / 1'000'000)) {
            schedule(answer, inboundFreeNs_);
        }
    }
}

void LineServer::writeDue(std::int64_t nowNs) {
    std::vector<std::uint8_t> chunk;
    for (const Outgoing& o : outgoing_) {
        if (o.dueNs > nowNs) break;
        chunk.push_back(o.byte);
    }
    if (chunk.empty()) return;
    const ssize_t written = ::write(fd_, chunk.data(), chunk.size());
    if (written > 0) outgoing_.erase(outgoing_.begin(), outgoing_.begin() + written);
}

int LineServer::run(const volatile std::sig_atomic_t& stop, int idleSeconds) {
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigset_t waitMask;
    // Signals are held back except inside ppoll, so none is lost between the
    // check of `stop` and the wait.
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);

    std::int64_t lastRequestNs = steadyNs();
    if (openAtStart_) device_.peerOpened(lastRequestNs / 1'000'000);
    std::array<std::uint8_t, 512> buffer{};
    while (!stop) {
        std::int64_t now = steadyNs();
        sendDueReports(now);
        writeDue(now);
        if (idleSeconds > 0 && now - lastRequestNs > idleSeconds * 1'000'000'000LL) break;

        std::int64_t waitNs = 1'000'000'000;
        if (!outgoing_.empty()) waitNs = std::clamp<std::int64_t>(outgoing_.front().dueNs - now, 0, waitNs);
        if (const auto due = device_.nextReportMs()) {
            // Woken at the start of the millisecond the report is due in; paced,
            // it then goes out when the reply before it has come in.
            waitNs = std::clamp<std::int64_t>(*due * 1'000'000 - now, 0, waitNs);
        }
        pollfd p[2] = {{fd_, POLLIN, 0}, {watchFd_, POLLIN, 0}};
        // A peer that cannot take more makes the write wait for room.
        if (!outgoing_.empty() && outgoing_.front().dueNs <= now) {
            p[0].events |= POLLOUT;
            waitNs = 1'000'000'000;
        }
        const timespec timeout{static_cast<time_t>(waitNs / 1'000'000'000),
                               static_cast<long>(waitNs % 1'000'000'000)};
        const int ready = ppoll(p, watchFd_ >= 0 ? 2 : 1, &timeout, &waitMask);
        if (ready < 0) {
            if (errno == EINTR) continue;
            std::cerr << "korvex-gatewaysim: " << std::strerror(errno) << '\n';
            return 1;
        }
        if (ready == 0) continue;
        if (watchFd_ >= 0 && (p[1].revents & POLLIN)) {
            lastRequestNs = steadyNs();
            readTerminalEvents(lastRequestNs);
        }
        if (p[0].revents & POLLIN) {
            const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
            if (got > 0) {
                now = steadyNs();
                lastRequestNs = now;
                const auto bytes = std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(got));
                if (verbose_) logFrame(">", bytes);
                receive(bytes, now);
            }
        } else if (p[0].revents & (POLLHUP | POLLERR)) {
            // A device whose other end is gone: wait a moment instead of spinning.
            const timespec pause{0, 50'000'000};
            nanosleep(&pause, nullptr);
        }
    }
    return 0;
}

}  // namespace korvex::gatewaysim
