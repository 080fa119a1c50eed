// Feeds arbitrary bytes as a search answer (both acceptance rules) and as a
// configuration block read from a gateway: decoding must refuse or decode
// without reading past the bytes, and an accepted block leaves every count and
// node index within the model's tables.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "model/project.h"
#include "net/config_block.h"
#include "net/search_answer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvex;
    const std::span<const std::uint8_t> bytes(data, size);
    for (std::size_t minimum : {net::kBroadcastAnswerMinimum, net::kFixedAnswerMinimum}) {
        const auto device = net::decodeSearchAnswer(bytes, minimum);
        if (device && (size < minimum || device->macText.size() != 17)) __builtin_trap();
    }
    static auto project = [] {
        auto p = std::make_unique<Project>();
        resetToDefaults(*p, 4);
        return p;
    }();
    const bool refused = net::decodeReadBlock(bytes, *project).has_value();
    if (!refused && size < net::kReadBlockSize) __builtin_trap();
    for (int s = 0; s < 2; ++s) {
        const SubnetConfig& c = project->subnet(s);
        if (c.commandCount < 0 || c.commandCount > net::kReadSlots || c.nodeCount < 0 || c.nodeCount > c.commandCount)
            __builtin_trap();
        for (int k = 0; k < c.commandCount; ++k) {
            const auto index = c.commands[static_cast<std::size_t>(k)].nodeIndex;
            if (index < 1 || index > c.nodeCount) __builtin_trap();
        }
    }
    return 0;
}
