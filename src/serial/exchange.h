#pragma once
// One request and its answer over a ByteLink: the receive buffers, sending a
// request, and the waits for each kind of answer.
//
// Every wait ends as soon as a complete frame has arrived (its length byte says
// how long it is) or the buffer is full, and never later than its time limit,
// counted from the moment the wait starts (right after the request went out).
// Time comes from the link's clock only, so a simulated link runs the waits on
// its virtual clock.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "serial/byte_link.h"
#include "serial/gateway_frame.h"

namespace korvex::serial {

// Receive buffer sizes: most answers fit in 26 bytes; the larger answers get
// their own buffers. A read never takes more than its buffer holds.
inline constexpr std::size_t kAnswerBufferSize = 26;
inline constexpr std::size_t kCommandBatchBufferSize = 250;
inline constexpr std::size_t kTimeoutHandlingBufferSize = 128;
inline constexpr std::size_t kSettingsBufferSize = 100;  // PROFIBUS address and modes
inline constexpr std::size_t kStateSwitchBufferSize = 8;

// Time limits of the waits, in milliseconds.
namespace wait_limit {
inline constexpr int DeviceType = 100;           // device type, download
inline constexpr int Acknowledgement = 3000;     // written configuration frames
inline constexpr int ReadAnswer = 400;           // device type, parameters and counts, upload
inline constexpr int ShortAnswer = 350;          // timeout handling, both directions
inline constexpr int ConfigurationData = 300;    // PROFIBUS configuration data
inline constexpr int Setting = 400;              // PROFIBUS address and modes
inline constexpr int SettingAfterPause = 700;    // the same, written (the gateway stores them first)
inline constexpr int StateSwitch = 200;          // switch into configuration state
inline constexpr int IntervalAcknowledgement = 100;  // written character intervals
inline constexpr int CommandBatch = 1100;        // one batch of commands
inline constexpr int CharIntervals = 50;         // character intervals read back
}  // namespace wait_limit

// A fixed-capacity buffer for one answer; cleared before each exchange.
class ReceiveBuffer {
public:
    // capacity is clamped to the largest buffer size.
    explicit ReceiveBuffer(std::size_t capacity = kAnswerBufferSize);

    void clear() { size_ = 0; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }
    std::span<const std::uint8_t> bytes() const { return {data_.data(), size_}; }
    std::span<std::uint8_t> bytes() { return {data_.data(), size_}; }
    // Byte i of the answer, 0 past what was received (the buffer is zero-cleared).
    std::uint8_t at(std::size_t i) const { return i < size_ ? data_[i] : 0; }

    // Moves up to `count` waiting bytes from the link (never past the capacity).
    std::size_t readFrom(ByteLink& link, std::size_t count);
    // Test and fuzz helper: replaces the content (cut at the capacity).
    void assign(std::span<const std::uint8_t> bytes);

private:
    std::array<std::uint8_t, kCommandBatchBufferSize> data_{};
    std::size_t size_ = 0;
    std::size_t capacity_ = kAnswerBufferSize;
};

// How a wait ended.
enum class WaitOutcome {
    Frame,     // a complete frame (or as much as the buffer holds) arrived
    Partial,   // the time limit passed with part of a frame received
    Nothing,   // the time limit passed and nothing came
    LinkLost,  // the link failed (device gone)
};

// Sends one request: first discards whatever an earlier exchange left in the
// receive queue, then scrambles the frame when `scramble` is set, then writes
// it. False when the link has failed.
bool sendRequest(ByteLink& link, Bytes frame, bool scramble);

// Reads into `buffer` (which the caller cleared) until a complete frame or the
// buffer's capacity has arrived, or `limitMs` has passed.
WaitOutcome receiveFrame(ByteLink& link, ReceiveBuffer& buffer, int limitMs);

// The waits, each named by what it waits for.
WaitOutcome waitForDeviceType(ByteLink& link, ReceiveBuffer& buffer);
WaitOutcome waitForAcknowledgement(ByteLink& link, ReceiveBuffer& buffer);
WaitOutcome waitForReadAnswer(ByteLink& link, ReceiveBuffer& buffer);
WaitOutcome waitForShortAnswer(ByteLink& link, ReceiveBuffer& buffer);
WaitOutcome waitForConfigurationData(ByteLink& link, ReceiveBuffer& buffer);
WaitOutcome waitForSettingAnswer(ByteLink& link, ReceiveBuffer& buffer, bool written);
WaitOutcome waitForStateSwitch(ByteLink& link, ReceiveBuffer& buffer);
WaitOutcome waitForIntervalAcknowledgement(ByteLink& link, ReceiveBuffer& buffer);
WaitOutcome waitForCommandBatch(ByteLink& link, ReceiveBuffer& buffer);
WaitOutcome waitForCharIntervals(ByteLink& link, ReceiveBuffer& buffer);

// Whether the received bytes are exactly `expected` (acknowledgements such as
// 05 00 05).
bool answerIs(const ReceiveBuffer& buffer, std::span<const std::uint8_t> expected);

}  // namespace korvex::serial
