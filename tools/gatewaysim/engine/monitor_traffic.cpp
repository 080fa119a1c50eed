#include "monitor_traffic.h"

#include <algorithm>
#include <memory>

#include "mapping/command_area.h"
#include "model/project.h"
#include "net/config_block.h"
#include "serial/download_frames.h"

namespace korvex::gatewaysim {
namespace {

TrafficCommand fromRecord(std::uint8_t port, const CommandRecord& r) {
    TrafficCommand c;
    c.port = port;
    c.slave = r[0];
    c.function = r[1];
    c.start = static_cast<std::uint16_t>(r[2] << 8 | r[3]);
    c.count = static_cast<std::uint16_t>(r[4] << 8 | r[5]);
    c.mapping = static_cast<std::uint16_t>(r[6] << 8 | r[7]);
    return c;
}

// The commands of a new project of `deviceKind`, through the frames a download
// of it would write.
std::vector<TrafficCommand> commandsOfNewProject(std::int32_t deviceKind) {
    auto project = std::make_unique<Project>();
    resetToDefaults(*project, deviceKind);
    addDefaultNode(*project);
    std::vector<TrafficCommand> out;
    for (int s = 0; s < 4; ++s) {
        const SubnetConfig& subnet = project->subnet(s);
        const int count = std::clamp<int>(subnet.commandCount, 0, static_cast<int>(subnet.commands.size()));
        for (int k = 0; k < count; ++k) {
            const serial::Bytes frame = serial::addCommandFrame(*project, s, k, nullptr);
            CommandRecord record{};
            std::copy_n(frame.begin() + 4, record.size(), record.begin());
            out.push_back(fromRecord(static_cast<std::uint8_t>(s), record));
        }
    }
    return out;
}

}  // namespace

TrafficReport makeTrafficReport(std::uint32_t k, std::span<const TrafficCommand> commands,
                                const OutputMemory& output, bool allowHidden) {
    TrafficReport r;
    r.number = k;
    r.command = commands[(k - 1) % commands.size()];
    switch (k % 10) {
        case 3:
            r.outcome = ReportOutcome::Exception;
            r.exceptionCode = static_cast<std::uint8_t>((k / 10) % 8 + 1);
            return r;
        case 6:
            r.outcome = ReportOutcome::Timeout;
            return r;
        case 9:
            r.outcome = allowHidden ? ReportOutcome::Hidden : ReportOutcome::Correct;
            break;
        default:
            r.outcome = ReportOutcome::Correct;
    }
    const int fc = r.command.function;
    const auto size = static_cast<std::size_t>(
        std::clamp<std::int64_t>(commandSize(fc, r.command.count), 0, kMaxReportData));
    if (isWriteCode(fc)) {
        r.data = output.read(r.command.mapping, size);
    } else {
        r.data.resize(size);
        for (std::size_t i = 0; i < size; ++i) r.data[i] = static_cast<std::uint8_t>(k + i);
    }
    return r;
}

std::vector<TrafficCommand> commandsOfGateway(const GatewayMemory& memory, std::uint8_t deviceType) {
    std::vector<TrafficCommand> out;
    for (std::size_t s = 0; s < memory.subnets.size(); ++s) {
        for (const CommandRecord& record : memory.subnets[s].commands) {
            out.push_back(fromRecord(static_cast<std::uint8_t>(s), record));
        }
    }
    if (out.empty()) out = commandsOfNewProject(std::clamp<std::int32_t>(deviceType - 1, 0, 6));
    return out;
}

std::vector<TrafficCommand> commandsOfWriteBlock(std::span<const std::uint8_t> block) {
    std::vector<TrafficCommand> out;
    if (block.size() >= net::kWriteBlockSize) {
        for (int s = 0; s < net::kTransferSubnets; ++s) {
            const net::SubnetOffsets o = net::writeLayoutOffsets(s);
            const auto count = std::min<std::uint32_t>(net::readU32(block, o.commandCount), net::kWriteSlots);
            for (std::uint32_t k = 0; k < count; ++k) {
                const auto slot = net::CommandSlot::readFrom(block, o.slots + k * net::CommandSlot::kSize);
                out.push_back({static_cast<std::uint8_t>(s), slot.slaveAddress, slot.functionCode,
                               slot.startAddress, slot.dataCount, slot.mappingAddress});
            }
        }
    }
    if (out.empty()) out = commandsOfNewProject(4);
    return out;
}

}  // namespace korvex::gatewaysim
