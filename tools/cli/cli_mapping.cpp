// korvex-cli automap and conflicts: the automatic mapping addresses and the
// mapping conflict views, headless. Also provides the --plc-blocks parser.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "cli_common.h"
#include "mapping/auto_mapping.h"
#include "mapping/conflicts.h"
#include "mapping/plc_blocks.h"
#include "model/operator.h"
#include "model/texts.h"

namespace korvex::cli {
namespace {

std::unique_ptr<PlcAddressing> parsePlcBlocksOption(const std::string& text, std::string& error) {
    return parsePlcBlocks(text, error);
}

const bool kPlcParserRegistered = registerPlcBlocksParser(&parsePlcBlocksOption);

// Common start of both commands: --plc-blocks and one project file.
bool loadWithOptions(Options& o, const char* name, std::unique_ptr<PlcAddressing>& plc, Project& project,
                     int& exitCode) {
    std::string plcError;
    if (!takePlcBlocksOption(o, plc, plcError)) {
        exitCode = usage(plcError);
        return false;
    }
    const auto pos = o.positional();
    if (!o.error().empty()) {
        exitCode = usage(o.error());
        return false;
    }
    if (pos.size() != 1) {
        exitCode = usage(std::string(name) + " needs one project file");
        return false;
    }
    if (!loadProject(pos[0], project, plc.get())) {
        exitCode = kExitFailure;
        return false;
    }
    return true;
}

int cmdAutomap(const Args& args) {
    (void)kPlcParserRegistered;
    Options o(args);
    const auto out = o.value("-o");
    std::unique_ptr<PlcAddressing> plc;
    auto project = std::make_unique<Project>();
    int exitCode = kExitOk;
    if (!loadWithOptions(o, "automap", plc, *project, exitCode)) return exitCode;
    const auto* blocks = dynamic_cast<const PlcBlocks*>(plc.get());

    MappingState state;
    ScriptedOperator op;
    const bool ok = calculateMappingAddresses(*project, state, blocks, op);
    for (const auto& shown : op.shown()) std::cout << shown.message.text() << '\n';
    std::cout << (ok ? "ok" : "overflow") << '\n';
    if (out && !saveProject(*out, *project, plc.get())) return kExitFailure;
    return kExitOk;
}

void printRun(const char* grid, const std::string& first, const std::string& last, CellColour colour) {
    std::cout << grid << '\t' << first << '-' << last << '\t' << colourName(colour) << '\n';
}

std::string hex4(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%4.4X", static_cast<unsigned>(value));
    return buf;
}

std::string dec4(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%4.4d", value);
    return buf;
}

// Runs of equally coloured bytes of the plain grids, by gateway offset.
void printPlainRuns(const ConflictCounter& view, Grid grid) {
    const char* name = grid == Grid::Input ? "input" : "output";
    const int shift = grid == Grid::Input ? 0 : 0x4000;
    int runStart = -1;
    CellColour runColour = CellColour::Standard;
    for (int p = 0; p <= kPlainCells; ++p) {
        const CellColour c = p < kPlainCells ? view.colour(grid, p) : CellColour::Standard;
        if (runStart >= 0 && c != runColour) {
            printRun(name, hex4(runStart + shift), hex4(p - 1 + shift), runColour);
            runStart = -1;
        }
        if (runStart < 0 && c != CellColour::Standard) {
            runStart = p;
            runColour = c;
        }
    }
}

// Runs of the PLC-address grids, by PLC address (cells of the data blocks only).
void printPlcRuns(const ConflictCounter& view, Grid grid) {
    const char* name = grid == Grid::Input ? "input" : "output";
    bool open = false;
    int first = 0, last = 0;
    CellColour runColour = CellColour::Standard;
    auto close = [&] {
        if (open) printRun(name, dec4(first), dec4(last), runColour);
        open = false;
    };
    for (int cell = 0; cell < kPlcColouredCells; ++cell) {
        if (!view.cellInBlock(grid, cell)) {
            close();
            continue;
        }
        const std::string label = view.rowLabel(grid, cell / 10);
        if (label.empty()) {
            close();
            continue;
        }
        const int address = std::stoi(label) + cell % 10;
        const CellColour c = view.colour(grid, cell);
        if (open && (c != runColour || address != last + 1)) close();
        if (c == CellColour::Standard) continue;
        if (!open) {
            open = true;
            first = address;
            runColour = c;
        }
        last = address;
    }
    close();
}

int cmdConflicts(const Args& args) {
    Options o(args);
    std::unique_ptr<PlcAddressing> plc;
    auto project = std::make_unique<Project>();
    int exitCode = kExitOk;
    if (!loadWithOptions(o, "conflicts", plc, *project, exitCode)) return exitCode;
    const auto* blocks = dynamic_cast<const PlcBlocks*>(plc.get());

    std::cout << (hasMappingConflict(*project, blocks) ? "conflict" : "clear") << '\n';
    if (blocks) {
        applyEmptyAddressDefaults(*project, *blocks);
        const ConflictCounter view(*project, blocks);
        printPlcRuns(view, Grid::Input);
        printPlcRuns(view, Grid::Output);
    } else {
        const ConflictCounter view(*project, nullptr);
        printPlainRuns(view, Grid::Input);
        printPlainRuns(view, Grid::Output);
    }
    return kExitOk;
}

KORVEX_CLI_COMMAND("automap",
                   "automap FILE.kvx [-o OUT.kvx]  calculate the mapping addresses; prints the messages, then ok or "
                   "overflow",
                   cmdAutomap);
KORVEX_CLI_COMMAND("conflicts",
                   "conflicts FILE.kvx            conflict or clear (download test), then the coloured byte runs",
                   cmdConflicts);

}  // namespace
}  // namespace korvex::cli
