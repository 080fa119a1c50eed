// Feeds arbitrary request bytes to the gateway simulator's engine: whatever
// arrives, in whatever pieces, every answer is one complete frame with its
// checksum, the debug reports it sends on its own stay within what the debug
// monitor reads, and the stored configuration stays within its tables.
//
// Input: byte 0 chooses the device type and firmware, byte 1 a fault; then
// pieces of request bytes, each preceded by its length and a time step.
#include <cstddef>
#include <cstdint>
#include <span>

#include "gateway_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvex::gatewaysim;
    if (size < 2) return 0;
    static constexpr std::uint8_t kFirmware[][2] = {{3, 0}, {4, 5}, {5, 1}, {5, 2}, {5, 9}, {6, 0}, {7, 3}};
    const auto& fw = kFirmware[(data[0] >> 3) % 7];
    const DebugLayout layouts[] = {DebugLayout::Master, DebugLayout::Slave, DebugLayout::User};
    GatewayEngine engine(DeviceOptions{static_cast<std::uint8_t>(data[0] % 7 + 1), fw[0], fw[1], 244,
                                       layouts[(data[1] >> 6) % 3], ReportRate{0}});
    const bool badSums = (data[1] & 3) == 1;
    if (data[1] & 3) {
        const FaultKind kinds[] = {FaultKind::BadChecksum, FaultKind::ErrorFrame, FaultKind::Silent};
        engine.setFault(data[1] >> 2, Fault{kinds[(data[1] & 3) - 1], 0, 0x0E});
    }
    std::int64_t now = 0;
    std::size_t i = 2;
    while (i + 2 <= size) {
        const std::size_t length = data[i];
        now += data[i + 1];
        i += 2;
        const auto piece = std::span(data + i, std::min(length, size - i));
        i += piece.size();
        for (const Answer& answer : engine.receive(piece, now)) {
            const auto& b = answer.bytes;
            if (b.size() < 3 || b.size() != korvex::serial::frameLengthFromHeader(b[1])) __builtin_trap();
            if (!badSums && !korvex::serial::hasValidChecksum(b)) __builtin_trap();
        }
        while (const auto report = engine.takeReport(now)) {
            if (report->size() < 4 || report->size() > 249) __builtin_trap();
        }
    }
    for (const auto& subnet : engine.memory().subnets) {
        if (subnet.commands.size() > engine.commandCapacity()) __builtin_trap();
        if (subnet.parameters.size() > 0x17) __builtin_trap();
    }
    return 0;
}
