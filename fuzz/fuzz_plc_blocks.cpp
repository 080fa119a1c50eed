// Feeds arbitrary text to the --plc-blocks parser and, when it accepts the
// blocks, arbitrary mapping addresses to the PLC conversions, the conflict view
// and the download checks. First line: the blocks; every further line: one
// command, its first character choosing the function code, the rest its address.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "mapping/auto_mapping.h"
#include "mapping/conflicts.h"
#include "mapping/plc_blocks.h"
#include "model/operator.h"
#include "model/value_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvex;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const size_t eol = text.find('\n');
    std::string error;
    const auto blocks = parsePlcBlocks(text.substr(0, eol), error);
    if (!blocks) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    if (blocks->inputBlocks.total() > kMaxAreaBytes || blocks->outputBlocks.total() > kMaxAreaBytes) __builtin_trap();

    static const char* kCodes[] = {"1", "2", "3", "4", "5", "6", "15", "16", "7", ""};
    auto project = std::make_unique<Project>();
    resetToDefaults(*project);
    SubnetConfig& c = project->subnet(0);
    std::string_view rest = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    while (!rest.empty() && c.commandCount < kMaxCommands) {
        const size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (line.empty()) continue;
        ModbusCommand& cmd = c.commands[static_cast<size_t>(c.commandCount++)];
        cmd.functionCode = kCodes[static_cast<unsigned char>(line[0]) % 10];
        cmd.mappingAddress = std::string(line.substr(1));
        cmd.dataCount = std::to_string(static_cast<unsigned char>(line[0]));
        cmd.byteCount = cmd.dataCount;
        cmd.bitOffset = std::to_string(static_cast<unsigned char>(line[0]) % 9);

        // A PLC address that has a gateway offset converts back to itself.
        if (const auto offset = blocks->plcToGatewayOffset(cmd)) {
            const std::string back = blocks->gatewayOffsetToPlc(cmd, *offset);
            if (leadingDecimal(back) != leadingDecimal(cmd.mappingAddress)) __builtin_trap();
        }
        (void)blocks->toShownAddress(cmd);
    }

    (void)hasMappingConflict(*project, blocks.get());
    (void)plcRangeCheck(*project, *blocks);
    applyEmptyAddressDefaults(*project, *blocks);
    ConflictCounter view(*project, blocks.get());
    for (size_t line = 0; line < view.lines().size(); ++line) view.toggle(line);
    for (int p = 0; p < view.cellCount(); ++p)
        if (view.colour(Grid::Input, p) != CellColour::Standard && view.colour(Grid::Input, p) != CellColour::Grey)
            __builtin_trap();  // every line is unchecked: nothing is counted
    MappingState state;
    ScriptedOperator op;
    (void)calculateMappingAddresses(*project, state, blocks.get(), op);
    convertProjectToOffsets(*project, *blocks);
    return 0;
}
