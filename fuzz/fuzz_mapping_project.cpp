// Feeds arbitrary project file bytes to the mapping code: whatever a file holds,
// the automatic mapping, the conflict view and the download test must not crash
// or count outside their tables.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "mapping/auto_mapping.h"
#include "mapping/conflicts.h"
#include "model/kvx_file.h"
#include "model/operator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvex;
    auto project = std::make_unique<Project>();
    if (readProject({data, size}, *project)) return 0;
    (void)hasMappingConflict(*project, nullptr);
    {
        ConflictCounter view(*project, nullptr);
        for (size_t line = 0; line < view.lines().size(); ++line) view.toggle(line);
        for (int p = 0; p < view.cellCount(); ++p)
            if (view.colour(Grid::Input, p) != CellColour::Standard || view.colour(Grid::Output, p) != CellColour::Standard)
                __builtin_trap();  // every line is unchecked: nothing is counted
    }
    MappingState state;
    ScriptedOperator op;
    (void)calculateMappingAddresses(*project, state, nullptr, op);
    (void)hasMappingConflict(*project, nullptr);
    return 0;
}
