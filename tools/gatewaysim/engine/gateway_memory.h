#pragma once
// What the simulated gateway keeps of a configuration: the data bytes of every
// configuration frame a download wrote, so the matching reads return them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvex::gatewaysim {

// One command as the gateway stores it: bytes 4 to 14 of its add-command frame
// (slave address, function code, start address, data count, mapping address,
// bit offset, scan type, data handling).
using CommandRecord = std::array<std::uint8_t, 11>;

struct SubnetMemory {
    // Bytes 2 onward of the last subnet-parameter frame without its checksum:
    // the subnet index and 13 (short form) or 22 (long form) parameter bytes.
    std::vector<std::uint8_t> parameters;
    std::vector<CommandRecord> commands;
};

struct GatewayMemory {
    // Data bytes of the DeviceNet parameter frame: address, baud, input, output.
    std::array<std::uint8_t, 4> deviceNet{};
    // Data bytes of the PROFIBUS parameter frame: input, output and, in the long
    // form, the length-prefix flag.
    std::array<std::uint8_t, 3> profibus{};
    std::array<SubnetMemory, 4> subnets;
    std::uint8_t timeoutHandling = 0;
    // Send interval and receive interval, each big-endian.
    std::array<std::uint8_t, 4> charIntervals{};
    std::uint8_t profibusAddress = 0;
    // Configuration mode (1: configured by Korvex) and compatibility mode.
    std::array<std::uint8_t, 2> modes{1, 0};
    // PROFIBUS configuration data as the master set it (at most 8 bytes kept).
    std::vector<std::uint8_t> profibusConfigData;
};

}  // namespace korvex::gatewaysim
