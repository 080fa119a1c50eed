#include "io/serial_byte_link.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSerialPort>

#include <algorithm>

namespace korvex::io {
namespace {

QSerialPort::DataBits toDataBits(int bits) {
    switch (bits) {
        case 5: return QSerialPort::Data5;
        case 6: return QSerialPort::Data6;
        case 7: return QSerialPort::Data7;
        default: return QSerialPort::Data8;
    }
}

QSerialPort::Parity toParity(Parity parity) {
    switch (parity) {
        case Parity::Odd: return QSerialPort::OddParity;
        case Parity::Even: return QSerialPort::EvenParity;
        case Parity::Mark: return QSerialPort::MarkParity;
        case Parity::Space: return QSerialPort::SpaceParity;
        case Parity::None: break;
    }
    return QSerialPort::NoParity;
}

// Errors after which the port is gone (device removed, peer closed the
// pseudo-terminal) as opposed to a wait that simply ended.
bool isFatal(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::NoError:
        case QSerialPort::TimeoutError:
            return false;
        default:
            return true;
    }
}

// How long writing `count` bytes may take at `baudRate` (10 bits a byte), with
// a generous margin for a driver or adapter that buffers.
int writeTimeoutMs(std::size_t count, int baudRate) {
    const std::int64_t wireMs =
        static_cast<std::int64_t>(count) * 10 * 1000 / std::max(baudRate, 1);
    return static_cast<int>(std::min<std::int64_t>(1000 + 2 * wireMs, 60000));
}

// QSerialPort sets up a socket notifier when it opens, which needs an event
// dispatcher in the owning thread (the link never uses it: it polls). A
// program without a QCoreApplication, such as korvex-cli, gets one on the
// first open, and a thread without a dispatcher gets one from a QEventLoop.
void prepareThreadForQt() {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "korvex";
        static char* argv[] = {name, nullptr};
        static QCoreApplication application(argc, argv);
    }
    QEventLoop dispatcherForThisThread;
}

}  // namespace

std::unique_ptr<SerialByteLink> SerialByteLink::open(const std::string& path,
                                                     const LineSettings& settings,
                                                     std::string* error,
                                                     bool* permissionDenied) {
    if (error) error->clear();
    if (permissionDenied) *permissionDenied = false;
    prepareThreadForQt();
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(QString::fromStdString(path));
    const bool opened = port->open(QIODevice::ReadWrite) &&
                        port->setBaudRate(settings.baudRate) &&
                        port->setDataBits(toDataBits(settings.dataBits)) &&
                        port->setParity(toParity(settings.parity)) &&
                        port->setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop
                                                                 : QSerialPort::OneStop) &&
                        port->setFlowControl(QSerialPort::NoFlowControl);
    if (!opened) {
        if (error) *error = port->errorString().toStdString();
        if (permissionDenied) *permissionDenied = port->error() == QSerialPort::PermissionError;
        return nullptr;
    }
    port->setReadBufferSize(std::max(settings.readBufferSize, 0));
    port->clear(QSerialPort::AllDirections);
    return std::unique_ptr<SerialByteLink>(new SerialByteLink(std::move(port), path, settings));
}

SerialByteLink::SerialByteLink(std::unique_ptr<QSerialPort> port, std::string path,
                               LineSettings settings)
    : port_(std::move(port)),
      path_(std::move(path)),
      settings_(settings),
      epoch_(std::chrono::steady_clock::now()) {}

SerialByteLink::~SerialByteLink() = default;

bool SerialByteLink::isOpen() const { return !failed_ && port_->isOpen(); }

void SerialByteLink::close() {
    if (port_->isOpen()) port_->close();
}

void SerialByteLink::checkForFailure() {
    const auto error = port_->error();
    if (isFatal(error)) {
        lastError_ = port_->errorString().toStdString();
        // The port stays open so bytes that arrived before the failure can still
        // be read; isOpen() reports the failure.
        failed_ = true;
    }
    if (error != QSerialPort::NoError) port_->clearError();
}

void SerialByteLink::pullPending() {
    if (!isOpen()) return;
    // One poll takes what the driver holds; a few more catch bytes that arrived
    // meanwhile. Bounded, so a chattering peer cannot keep us here.
    for (int i = 0; i < 8 && port_->waitForReadyRead(0); ++i) {
    }
    checkForFailure();
}

bool SerialByteLink::send(std::span<const std::uint8_t> bytes) {
    if (!isOpen()) return false;
    if (bytes.empty()) return true;
    port_->clearError();
    const auto written = port_->write(reinterpret_cast<const char*>(bytes.data()),
                                      static_cast<qint64>(bytes.size()));
    if (written != static_cast<qint64>(bytes.size())) {
        checkForFailure();
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(writeTimeoutMs(bytes.size(), settings_.baudRate));
    while (port_->bytesToWrite() > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0 || !port_->waitForBytesWritten(static_cast<int>(left))) break;
    }
    const bool allWritten = port_->bytesToWrite() == 0;
    checkForFailure();
    return allWritten && isOpen();
}

std::size_t SerialByteLink::bytesWaiting() {
    pullPending();
    return port_->isOpen() ? static_cast<std::size_t>(port_->bytesAvailable()) : 0;
}

std::size_t SerialByteLink::read(std::span<std::uint8_t> out) {
    if (out.empty() || !port_->isOpen()) return 0;
    if (static_cast<std::size_t>(port_->bytesAvailable()) < out.size()) pullPending();
    if (!port_->isOpen()) return 0;
    const auto got = port_->read(reinterpret_cast<char*>(out.data()), static_cast<qint64>(out.size()));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

std::size_t SerialByteLink::waitForBytes(std::size_t count, int timeoutMs) {
    pullPending();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    while (isOpen() && static_cast<std::size_t>(port_->bytesAvailable()) < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) break;
        port_->waitForReadyRead(static_cast<int>(left));
        checkForFailure();
    }
    return port_->isOpen() ? static_cast<std::size_t>(port_->bytesAvailable()) : 0;
}

void SerialByteLink::purge() {
    if (!port_->isOpen()) return;
    pullPending();
    if (!failed_) port_->clear(QSerialPort::Input);
    port_->readAll();
}

std::int64_t SerialByteLink::nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 epoch_)
        .count();
}

}  // namespace korvex::io
