#pragma once
// What an upload has read from the gateway, as raw bytes, before it becomes a
// Project. Filled by the upload-side validator while the answers arrive; every
// table has exactly the room of the model's tables, and the validator refuses
// answers that would write past them.
#include <array>
#include <bitset>
#include <cstdint>

#include "model/project.h"

namespace korvex::serial {

// A subnet parameter record: the bytes of the subnet parameter frame from its
// protocol byte on (22 in the long form, 13 in the short form).
inline constexpr int kSubnetRecordSize = 22;
inline constexpr int kShortSubnetRecordSize = 13;
// A command record: slave address, function code, start address (2), data
// count (2), mapping address (2), bit offset, scan type, data handling.
inline constexpr int kCommandDataSize = 11;

struct UploadStore {
    // Answer 22: address, baud code, input code, output code. Answer 31: input
    // code, output code and, in its 3-byte form, the length-prefix flag.
    std::array<std::uint8_t, 4> fieldbus{};
    std::array<std::array<std::uint8_t, kSubnetRecordSize>, kSubnetCount> subnetRecords{};
    std::array<bool, kSubnetCount> subnetRead{};
    std::array<int, kSubnetCount> commandCounts{};
    std::array<std::array<std::array<std::uint8_t, kCommandDataSize>, kMaxCommands>, kSubnetCount> commands{};
    std::array<std::bitset<kMaxCommands>, kSubnetCount> commandReceived;

    void clear() { *this = UploadStore{}; }
};

}  // namespace korvex::serial
