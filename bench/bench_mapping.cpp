// Mapping views on a full project: 4 subnets x 100 commands. Opening a view
// counts every command and colours both grids; toggling a line re-colours only
// the cells its command touches.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "mapping/auto_mapping.h"
#include "mapping/conflicts.h"
#include "mapping/plc_blocks.h"
#include "model/operator.h"
#include "model/project.h"
#include "model/value_checks.h"

namespace korvex {
namespace {

// Every subnet: 100 commands, reads and writes of bits and registers, laid out
// one after the other with a few overlaps so that all colours occur.
std::unique_ptr<Project> fullProject() {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p, 2);
    static const char* kCodes[] = {"1", "2", "3", "4", "5", "6", "15", "16"};
    int input = 0, output = 0x4000;
    for (int s = 0; s < kSubnetCount; ++s) {
        SubnetConfig& c = p->subnet(s);
        c.nodeCount = 1;
        c.nodes[0] = {"1", "Node-1"};
        c.commandCount = kMaxCommands;
        for (int k = 0; k < kMaxCommands; ++k) {
            ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
            const std::string fc = kCodes[k % 8];
            cmd.functionCode = fc;
            const bool read = fc == "1" || fc == "2" || fc == "3" || fc == "4";
            const bool bits = fc == "1" || fc == "2" || fc == "5" || fc == "15";
            cmd.dataCount = bits ? "13" : "6";
            cmd.bitOffset = bits ? "3" : "";
            cmd.dataFilter = "Fullword";
            int& at = read ? input : output;
            cmd.mappingAddress = toHexText(static_cast<std::uint32_t>(at), false);
            at += bits ? 2 : 11;  // registers overlap their successor by one byte
            cmd.nodeIndex = 1;
        }
    }
    return p;
}

int colourAll(const ConflictCounter& view) {
    int coloured = 0;
    for (Grid g : {Grid::Input, Grid::Output})
        for (int p = 0; p < view.cellCount(); ++p) coloured += view.colour(g, p) != CellColour::Standard;
    return coloured;
}

void BM_OpenPlainView(benchmark::State& state) {
    const auto project = fullProject();
    for (auto _ : state) {
        ConflictCounter view(*project, nullptr);
        benchmark::DoNotOptimize(colourAll(view));
    }
}
BENCHMARK(BM_OpenPlainView)->Unit(benchmark::kMillisecond);

void BM_OpenPlcView(benchmark::State& state) {
    auto project = fullProject();
    PlcBlocks blocks;
    blocks.inputBlocks.setCount(4);
    blocks.outputBlocks.setCount(4);
    for (int j = 0; j < 4; ++j) {
        blocks.inputBlocks.at(j) = {100 * j, 61};
        blocks.outputBlocks.at(j) = {100 * j + 3, 61};
    }
    convertProjectToPlc(*project, blocks);
    for (auto _ : state) {
        ConflictCounter view(*project, &blocks);
        benchmark::DoNotOptimize(colourAll(view));
    }
}
BENCHMARK(BM_OpenPlcView)->Unit(benchmark::kMillisecond);

void BM_ToggleLine(benchmark::State& state) {
    const auto project = fullProject();
    ConflictCounter view(*project, nullptr);
    size_t line = 0;
    for (auto _ : state) {
        int coloured = 0;
        for (const CellRef& cell : view.toggle(line)) coloured += view.colour(cell.grid, cell.position) != CellColour::Standard;
        benchmark::DoNotOptimize(coloured);
        line = (line + 37) % view.lines().size();
    }
}
BENCHMARK(BM_ToggleLine)->Unit(benchmark::kMicrosecond);

void BM_DownloadTest(benchmark::State& state) {
    auto project = fullProject();
    for (int s = 0; s < kSubnetCount; ++s)  // no overlap: the test runs through all subnets
        for (int k = 0; k < kMaxCommands; ++k)
            project->subnet(s).commands[static_cast<size_t>(k)].mappingAddress =
                toHexText(static_cast<std::uint32_t>((s * kMaxCommands + k) * 32 + (k % 8 >= 4 ? 0x4000 : 0)), false);
    for (auto _ : state) benchmark::DoNotOptimize(hasMappingConflict(*project, nullptr));
}
BENCHMARK(BM_DownloadTest)->Unit(benchmark::kMicrosecond);

void BM_AutoMap(benchmark::State& state) {
    auto project = fullProject();
    project->deviceKind = 4;
    MappingState st;
    for (auto _ : state) {
        ScriptedOperator op;
        benchmark::DoNotOptimize(calculateMappingAddresses(*project, st, nullptr, op));
    }
}
BENCHMARK(BM_AutoMap)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvex
BENCHMARK_MAIN();
