#include "net_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>

#include "net/net_header.h"
#include "report_frames.h"

namespace korvex::gatewaysim {
namespace {

constexpr int kMaxClients = 8;
constexpr const char* kLoopbackBroadcast = "127.255.255.255";

int boundSocket(int type, const std::string& address, std::string* error,
                std::uint16_t port = net::kGatewayPort) {
    const int fd = ::socket(AF_INET, type, 0);
    if (fd < 0) {
        *error = std::string("socket: ") + std::strerror(errno);
        return -1;
    }
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.c_str(), &a.sin_addr) != 1 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        *error = "cannot bind " + address + ":" + std::to_string(port) + ": " + std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

bool isLoopback(const sockaddr_in& a) { return (ntohl(a.sin_addr.s_addr) >> 24) == 127; }

std::int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

MonitorPeer peerOf(const sockaddr_in& a) {
    MonitorPeer peer;
    const std::uint32_t host = ntohl(a.sin_addr.s_addr);
    peer.address = {static_cast<std::uint8_t>(host >> 24), static_cast<std::uint8_t>(host >> 16),
                    static_cast<std::uint8_t>(host >> 8), static_cast<std::uint8_t>(host)};
    peer.port = ntohs(a.sin_port);
    return peer;
}

sockaddr_in addressOf(const MonitorPeer& peer) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(peer.port);
    a.sin_addr.s_addr = htonl(static_cast<std::uint32_t>(peer.address[0]) << 24 | peer.address[1] << 16 |
                              peer.address[2] << 8 | peer.address[3]);
    return a;
}

}  // namespace

NetServer::NetServer(NetGatewayEngine& engine, bool verbose) : engine_(engine), verbose_(verbose) {}

NetServer::~NetServer() {
    for (const Client& c : clients_) ::close(c.fd);
    for (int fd : {udp_, broadcast_, listener_, monitor_})
        if (fd >= 0) ::close(fd);
}

bool NetServer::open(const std::string& address, std::string* error) {
    udp_ = boundSocket(SOCK_DGRAM, address, error);
    if (udp_ < 0) return false;
    std::string ignored;
    broadcast_ = boundSocket(SOCK_DGRAM, kLoopbackBroadcast, &ignored);
    if (broadcast_ < 0 && verbose_) std::cerr << "korvex-gatewaysim: no broadcast socket: " << ignored << '\n';
    monitor_ = boundSocket(SOCK_DGRAM, address, error, kMonitorUdpPort);
    if (monitor_ < 0) return false;
    listener_ = boundSocket(SOCK_STREAM, address, error);
    if (listener_ < 0) return false;
    if (::listen(listener_, 4) != 0) {
        *error = std::string("listen: ") + std::strerror(errno);
        return false;
    }
    return true;
}

void NetServer::answerDatagram(int fd) {
    std::uint8_t buf[2048];
    sockaddr_in from{};
    socklen_t len = sizeof from;
    const ssize_t n = ::recvfrom(fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (n <= 0 || !isLoopback(from)) return;
    const auto answer = engine_.answerSearch(std::span<const std::uint8_t>(buf, static_cast<std::size_t>(n)));
    if (verbose_) std::cerr << "search datagram of " << n << " bytes" << (answer ? ", answered\n" : ", ignored\n");
    if (answer)
        ::sendto(udp_, answer->data(), answer->size(), 0, reinterpret_cast<sockaddr*>(&from), sizeof from);
}

void NetServer::receiveMonitorDatagram() {
    std::uint8_t buf[2048];
    sockaddr_in from{};
    socklen_t len = sizeof from;
    const ssize_t n = ::recvfrom(monitor_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (n <= 0 || !isLoopback(from)) return;
    const bool wasReporting = engine_.monitor().reporting();
    engine_.receiveMonitorDatagram(std::span<const std::uint8_t>(buf, static_cast<std::size_t>(n)), peerOf(from),
                                   nowMs());
    if (verbose_ && wasReporting != engine_.monitor().reporting()) {
        std::cerr << (wasReporting ? "monitor stopped\n" : "monitor started\n");
    }
}

void NetServer::sendDueReports() {
    const std::int64_t now = nowMs();
    for (auto due = engine_.monitor().nextReportMs(); due && *due <= now; due = engine_.monitor().nextReportMs()) {
        const auto report = engine_.monitor().takeReport(now);
        if (!report) return;
        const sockaddr_in to = addressOf(report->to);
        // Only loopback peers ever start a stream, so reports stay on loopback.
        if (isLoopback(to)) {
            ::sendto(monitor_, report->bytes.data(), report->bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                     sizeof to);
        }
    }
}

void NetServer::acceptClient() {
    const int fd = ::accept(listener_, nullptr, nullptr);
    if (fd < 0) return;
    if (static_cast<int>(clients_.size()) >= kMaxClients) {
        ::close(fd);
        return;
    }
    clients_.push_back({fd, {}});
}

bool NetServer::serveClient(Client& c) {
    std::uint8_t buf[4096];
    const ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
    if (n > 0) {
        const int writes = engine_.writes(), restarts = engine_.restarts();
        const auto answer = engine_.receive(c.connection, std::span<const std::uint8_t>(buf, static_cast<std::size_t>(n)));
        std::size_t sent = 0;
        while (sent < answer.size()) {
            const ssize_t w = ::send(c.fd, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
            if (w <= 0) break;
            sent += static_cast<std::size_t>(w);
        }
        if (verbose_ && engine_.writes() != writes) std::cerr << "configuration written\n";
        if (verbose_ && engine_.restarts() != restarts) std::cerr << "restart requested\n";
        if (verbose_ && !answer.empty()) std::cerr << "answered " << answer.size() << " bytes\n";
        if (!c.connection.closeNow) return true;
    }
    ::close(c.fd);
    return false;
}

int NetServer::run(const volatile std::sig_atomic_t& stop, int idleSeconds) {
    std::int64_t lastActivity = nowSeconds();
    while (!stop) {
        sendDueReports();
        std::vector<pollfd> fds;
        for (int fd : {udp_, broadcast_, listener_, monitor_})
            if (fd >= 0) fds.push_back({fd, POLLIN, 0});
        const std::size_t fixed = fds.size();
        for (const Client& c : clients_) fds.push_back({c.fd, POLLIN, 0});
        int waitMs = 100;
        if (const auto due = engine_.monitor().nextReportMs()) {
            waitMs = static_cast<int>(std::clamp<std::int64_t>(*due - nowMs(), 0, waitMs));
        }
        const int ready = ::poll(fds.data(), fds.size(), waitMs);
        if (ready < 0 && errno != EINTR) return 1;
        if (ready <= 0) {
            if (idleSeconds > 0 && nowSeconds() - lastActivity >= idleSeconds) return 0;
            continue;
        }
        lastActivity = nowSeconds();
        for (std::size_t i = 0; i < fixed; ++i) {
            if (!(fds[i].revents & POLLIN)) continue;
            if (fds[i].fd == listener_) acceptClient();
            else if (fds[i].fd == monitor_) receiveMonitorDatagram();
            else answerDatagram(fds[i].fd);
        }
        std::vector<Client> kept;
        for (std::size_t i = fixed; i < fds.size(); ++i) {
            Client& c = clients_[i - fixed];
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)) || serveClient(c)) kept.push_back(std::move(c));
        }
        // Clients accepted in this round were not polled yet.
        for (std::size_t i = fds.size() - fixed; i < clients_.size(); ++i) kept.push_back(std::move(clients_[i]));
        clients_ = std::move(kept);
    }
    return 0;
}

}  // namespace korvex::gatewaysim
