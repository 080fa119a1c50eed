#include "io/net_sockets.h"

#include <chrono>
#include <thread>

#include <QDeadlineTimer>
#include <QHostAddress>

#include "net/device_search.h"

namespace korvex::io {

std::unique_ptr<UdpDatagramSocket> UdpDatagramSocket::open(std::string* error, std::uint16_t localPort) {
    std::unique_ptr<UdpDatagramSocket> s(new UdpDatagramSocket);
    if (!s->socket_.bind(QHostAddress::AnyIPv4, localPort, QAbstractSocket::ShareAddress)) {
        if (error) *error = s->socket_.errorString().toStdString();
        return nullptr;
    }
    return s;
}

bool UdpDatagramSocket::sendTo(std::span<const std::uint8_t> bytes, const std::string& address, std::uint16_t port) {
    const QHostAddress to(QString::fromStdString(address));
    if (to.isNull() || to.protocol() != QAbstractSocket::IPv4Protocol) return false;
    const auto sent = socket_.writeDatagram(reinterpret_cast<const char*>(bytes.data()),
                                            static_cast<qint64>(bytes.size()), to, port);
    return sent == static_cast<qint64>(bytes.size());
}

std::optional<net::Datagram> UdpDatagramSocket::receiveFrom(std::size_t maxSize, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!socket_.hasPendingDatagrams()) {
        if (deadline.hasExpired() || !socket_.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            if (!socket_.hasPendingDatagrams()) return std::nullopt;
    }
    const qint64 size = socket_.pendingDatagramSize();
    QByteArray data(static_cast<qsizetype>(size < 0 ? 0 : size), '\0');
    QHostAddress from;
    quint16 fromPort = 0;
    const qint64 got = socket_.readDatagram(data.data(), data.size(), &from, &fromPort);
    if (got < 0) return std::nullopt;
    net::Datagram out;
    out.bytes.assign(data.begin(), data.begin() + std::min<qint64>(got, static_cast<qint64>(maxSize)));
    // An IPv4 sender may be reported in its IPv6-mapped form; the dotted form is
    // what callers compare with.
    bool isV4 = false;
    const quint32 v4 = from.toIPv4Address(&isV4);
    out.address = isV4 ? QHostAddress(v4).toString().toStdString() : from.toString().toStdString();
    out.port = fromPort;
    return out;
}

bool TcpStreamSocket::connectTo(const std::string& address, std::uint16_t port, int timeoutMs) {
    close();
    const QHostAddress to(QString::fromStdString(address));
    if (to.isNull() || to.protocol() != QAbstractSocket::IPv4Protocol) return false;
    socket_ = std::make_unique<QTcpSocket>();
    socket_->connectToHost(to, port);
    if (socket_->waitForConnected(timeoutMs)) return true;
    socket_->abort();
    socket_.reset();
    return false;
}

bool TcpStreamSocket::send(std::span<const std::uint8_t> bytes, int timeoutMs) {
    if (!isOpen()) return false;
    if (socket_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size()))
        return false;
    QDeadlineTimer deadline(timeoutMs);
    while (socket_->bytesToWrite() > 0) {
        if (deadline.hasExpired() || !socket_->waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            return socket_->bytesToWrite() == 0;
    }
    return true;
}

std::optional<net::Bytes> TcpStreamSocket::receive(std::size_t wanted, int timeoutMs) {
    if (!socket_) return std::nullopt;
    net::Bytes out;
    QDeadlineTimer deadline(timeoutMs);
    while (out.size() < wanted) {
        if (socket_->bytesAvailable() > 0) {
            const QByteArray got = socket_->read(static_cast<qint64>(wanted - out.size()));
            out.insert(out.end(), got.begin(), got.end());
            continue;
        }
        if (socket_->state() != QAbstractSocket::ConnectedState || deadline.hasExpired()) break;
        if (!socket_->waitForReadyRead(static_cast<int>(deadline.remainingTime())) && socket_->bytesAvailable() == 0)
            break;
    }
    if (out.empty()) return std::nullopt;
    return out;
}

void TcpStreamSocket::close() {
    if (!socket_) return;
    socket_->disconnectFromHost();
    if (socket_->state() != QAbstractSocket::UnconnectedState) socket_->waitForDisconnected(1000);
    socket_.reset();
}

bool TcpStreamSocket::isOpen() const { return socket_ && socket_->state() == QAbstractSocket::ConnectedState; }

std::int64_t SteadyClock::nowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SteadyClock::sleepUntil(std::int64_t ms) {
    const std::int64_t now = nowMs();
    if (ms > now) std::this_thread::sleep_for(std::chrono::milliseconds(ms - now));
}

std::string searchBroadcastAddress() {
    const QString set = qEnvironmentVariable("KORVEX_SEARCH_BROADCAST");
    return set.isEmpty() ? std::string(net::kDefaultBroadcastAddress) : set.toStdString();
}

}  // namespace korvex::io
