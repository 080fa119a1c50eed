#pragma once
// The simulated gateway's output memory as the monitors see it: the bytes from
// 0x4000 that a monitor's write reply fills and that the reports of write-type
// commands carry. The debug monitor may write 0x4000 to 0x40F3, the serial and
// UDP monitors 0x4000 to 0x406F.
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace korvex::gatewaysim {

inline constexpr std::uint16_t kOutputMemoryStart = 0x4000;
// One past the last address each kind of monitor may write.
inline constexpr std::uint32_t kMonitorWriteEnd = 0x4070;
inline constexpr std::uint32_t kDebugWriteEnd = 0x40F4;

class OutputMemory {
public:
    static constexpr std::size_t kSize = kDebugWriteEnd - kOutputMemoryStart;

    // Stores `bytes` from `address` when they lie within [0x4000, end); false
    // (nothing stored) otherwise. An empty write is accepted and changes nothing.
    bool write(std::uint32_t address, std::span<const std::uint8_t> bytes, std::uint32_t end) {
        if (address < kOutputMemoryStart || end > kDebugWriteEnd || address + bytes.size() > end) return false;
        std::copy(bytes.begin(), bytes.end(), bytes_.begin() + (address - kOutputMemoryStart));
        return true;
    }

    // `count` bytes from `address`; addresses outside the memory read as 0.
    std::vector<std::uint8_t> read(std::uint32_t address, std::size_t count) const {
        std::vector<std::uint8_t> out(count, 0);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t at = address + static_cast<std::uint32_t>(i);
            if (at >= kOutputMemoryStart && at < kDebugWriteEnd) out[i] = bytes_[at - kOutputMemoryStart];
        }
        return out;
    }

private:
    std::array<std::uint8_t, kSize> bytes_{};
};

}  // namespace korvex::gatewaysim
