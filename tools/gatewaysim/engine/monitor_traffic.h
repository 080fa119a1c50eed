#pragma once
// What the simulated gateway reports to a monitor: its Modbus commands taken in
// turn, with made-up but predictable outcomes. Report k (counted from 1 in
// every monitoring session) shows command (k - 1) mod count, and by k mod 10:
//   3: the slave answered with an exception (status 1), codes 1 to 8 in turn;
//   6: the slave did not answer (status 3, no data);
//   9: a hidden report (status FF, or direction FF in the debug slave and user
//      layouts) on the serial line; over UDP an ordinary one;
//   otherwise the slave answered correctly (status 0) with the command's data.
// The data of read commands (1 to 4) are bytes counting up from k; write
// commands (5, 6, 15, 16) carry the output memory at their mapping address, so
// a monitor's write shows up in the next report of such a command.
#include <cstdint>
#include <span>
#include <vector>

#include "gateway_memory.h"
#include "output_memory.h"
#include "net/net_header.h"

namespace korvex::gatewaysim {

struct TrafficCommand {
    std::uint8_t port = 0;  // subnet, counted from 0
    std::uint8_t slave = 1;
    std::uint8_t function = 3;
    std::uint16_t start = 0;
    std::uint16_t count = 1;
    std::uint16_t mapping = 0;
};

// Reports carry at most this many data bytes, so every layout stays within
// what its reader takes.
inline constexpr std::size_t kMaxReportData = 240;

enum class ReportOutcome : std::uint8_t { Correct, Exception, Timeout, Hidden };

struct TrafficReport {
    std::uint32_t number = 0;  // k
    ReportOutcome outcome = ReportOutcome::Correct;
    TrafficCommand command;
    std::uint8_t exceptionCode = 0;  // Exception only
    std::vector<std::uint8_t> data;  // Correct and Hidden
};

// Report k over `commands` (which must not be empty). Hidden outcomes become
// Correct when `allowHidden` is false.
TrafficReport makeTrafficReport(std::uint32_t k, std::span<const TrafficCommand> commands,
                                const OutputMemory& output, bool allowHidden);

// The commands a serial gateway holds (every subnet in order), or when it holds
// none those of a new project of its device type, so a gateway that was never
// configured still has traffic to report.
std::vector<TrafficCommand> commandsOfGateway(const GatewayMemory& memory, std::uint8_t deviceType);
// The commands of an Ethernet write block (subnets 1 and 2), or when it has
// none those of a new EtherNet/IP project.
std::vector<TrafficCommand> commandsOfWriteBlock(std::span<const std::uint8_t> block);

}  // namespace korvex::gatewaysim
