#pragma once
// The byte stream to a gateway: a serial port, a pseudo-terminal, or in tests an
// in-process simulated gateway on a virtual clock. The transfer code talks to the
// gateway only through this interface and reads time only from it, so a whole
// download runs deterministically against the simulator.
#include <cstddef>
#include <cstdint>
#include <span>

namespace korvex::serial {

class ByteLink {
public:
    virtual ~ByteLink() = default;

    // Writes all bytes. False when the link failed (device unplugged, closed).
    virtual bool send(std::span<const std::uint8_t> bytes) = 0;
    // Bytes received and not yet read.
    virtual std::size_t bytesWaiting() = 0;
    // Moves up to out.size() waiting bytes into out; returns how many.
    virtual std::size_t read(std::span<std::uint8_t> out) = 0;
    // Returns as soon as at least `count` bytes wait, or when `timeoutMs` has
    // passed; returns the number of bytes waiting then. Never waits longer.
    virtual std::size_t waitForBytes(std::size_t count, int timeoutMs) = 0;
    // Discards everything received and not yet read.
    virtual void purge() = 0;
    // Milliseconds on the link's clock (monotonic; virtual in tests).
    virtual std::int64_t nowMs() = 0;
    // False once the link has failed (for example the adapter was unplugged).
    virtual bool isOpen() const = 0;
};

}  // namespace korvex::serial
