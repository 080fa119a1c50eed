#pragma once
// The real ByteLink: a serial port (or any serial device path, pseudo-terminals
// included) opened through QSerialPort.
//
// The link belongs to the thread that opened it: every call must come from that
// thread. That thread needs no running event loop: the waits poll the port
// themselves (QSerialPort only counts bytes it has already pulled from the
// driver, so every wait and every bytesWaiting() pulls first).
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "serial/byte_link.h"

class QSerialPort;

namespace korvex::io {

enum class Parity : std::uint8_t { None, Odd, Even, Mark, Space };

// Line settings of a port. The defaults are the gateway's configuration port:
// 19200 baud, 8 data bits, no parity, 1 stop bit.
struct LineSettings {
    int baudRate = 19200;
    int dataBits = 8;  // 5 to 8
    Parity parity = Parity::None;
    int stopBits = 1;  // 1 or 2
    // Bytes the link holds in its receive queue before it stops pulling from the
    // driver (the transfer code reads far smaller answers).
    int readBufferSize = 4069;
};

class SerialByteLink final : public serial::ByteLink {
public:
    // Opens `path` with `settings` and discards everything already pending in
    // both directions. On failure returns null, stores the system's reason in
    // *error (when given) and whether the reason was a refused permission in
    // *permissionDenied (when given).
    static std::unique_ptr<SerialByteLink> open(const std::string& path,
                                                const LineSettings& settings,
                                                std::string* error = nullptr,
                                                bool* permissionDenied = nullptr);
    ~SerialByteLink() override;
    SerialByteLink(const SerialByteLink&) = delete;
    SerialByteLink& operator=(const SerialByteLink&) = delete;

    bool send(std::span<const std::uint8_t> bytes) override;
    std::size_t bytesWaiting() override;
    std::size_t read(std::span<std::uint8_t> out) override;
    std::size_t waitForBytes(std::size_t count, int timeoutMs) override;
    void purge() override;
    std::int64_t nowMs() override;
    bool isOpen() const override;

    const std::string& path() const { return path_; }
    const LineSettings& settings() const { return settings_; }
    // The reason of the last failure of the open link (empty while it works).
    const std::string& lastError() const { return lastError_; }
    // Closes the port; isOpen() is false afterwards.
    void close();

private:
    SerialByteLink(std::unique_ptr<QSerialPort> port, std::string path, LineSettings settings);
    // Pulls whatever the driver holds into the port's queue without waiting.
    void pullPending();
    // Records a failure of the port (unplugged, closed by the peer).
    void checkForFailure();

    std::unique_ptr<QSerialPort> port_;
    std::string path_;
    LineSettings settings_;
    std::string lastError_;
    bool failed_ = false;
    std::chrono::steady_clock::time_point epoch_;
};

}  // namespace korvex::io
