// Turns an arbitrary raw upload store (any counts and bytes, even ones the
// answer checks would refuse) into a project, with an arbitrary identity and
// variant flags, with and without PLC address mode, and writes the result as a
// project file. Bytes: identity (8), flags (1), then the store's tables in order.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "mapping/plc_blocks.h"
#include "model/kvx_file.h"
#include "model/project.h"
#include "serial/upload_conversion.h"

namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t next() { return pos_ < size_ ? data_[pos_++] : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvex;
    using namespace korvex::serial;
    Reader in(data, size);
    std::array<std::uint8_t, 8> device{};
    for (auto& b : device) b = in.next();
    const GatewayIdentity identity = GatewayIdentity::fromDeviceData(device);
    const std::uint8_t flags = in.next();

    auto store = std::make_unique<UploadStore>();
    for (auto& b : store->fieldbus) b = in.next();
    for (int s = 0; s < kSubnetCount; ++s) {
        for (auto& b : store->subnetRecords[static_cast<std::size_t>(s)]) b = in.next();
        store->subnetRead[static_cast<std::size_t>(s)] = in.next() & 1;
        // Counts beyond the table (and negative ones) must be bounded by the conversion.
        store->commandCounts[static_cast<std::size_t>(s)] = static_cast<std::int8_t>(in.next()) * 2;
    }
    for (auto& subnet : store->commands)
        for (auto& record : subnet)
            for (auto& b : record) b = in.next();

    std::string error;
    const auto blocks = parsePlcBlocks("IN:100:10,200:20;OUT:500:16", error);
    for (const PlcBlocks* plc : {static_cast<const PlcBlocks*>(nullptr), blocks.get()}) {
        auto project = std::make_unique<Project>();
        resetToDefaults(*project, device[0] % 7);
        project->flags.legacyFlag233a = flags & 0x01;
        project->flags.legacyFlag233b = flags & 0x02;
        project->flags.legacyFlag244 = flags & 0x04;
        project->flags.extendedSettingsFlag = flags & 0x08;
        resetForUpload(*project);
        convertUploadStore(*store, identity, *project, plc);
        recomputeByteCounts(*project);
        if (project->deviceKind < 0 || project->deviceKind > 6) __builtin_trap();
        for (const SubnetConfig& c : project->subnets) {
            if (c.commandCount < 0 || c.commandCount > kMaxCommands || c.nodeCount < 0 || c.nodeCount > kMaxNodes)
                __builtin_trap();
            for (int k = 0; k < c.commandCount; ++k) {
                const std::int32_t node = c.commands[static_cast<std::size_t>(k)].nodeIndex;
                if (node < 1 || node > c.nodeCount) __builtin_trap();
            }
        }
        (void)projectFileBytes(*project, plc);
    }
    return 0;
}
