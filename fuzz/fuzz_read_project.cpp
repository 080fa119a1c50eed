// Feeds arbitrary bytes to the project file reader: it must refuse or accept
// them without crashing, leaking or touching memory it does not own.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "model/kvx_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto project = std::make_unique<korvex::Project>();
    const auto err = korvex::readProject({data, size}, *project);
    if (!err) {
        // What was read must write out and read back to the same project.
        const auto bytes = korvex::projectFileBytes(*project);
        auto again = std::make_unique<korvex::Project>();
        if (korvex::readProject(bytes, *again)) __builtin_trap();
    }
    return 0;
}
