// Export of a full DeviceKind 2 project (4 subnets x 100 commands) from the
// generated template: the cell plan, filling the workbook and building its bytes.
#include <benchmark/benchmark.h>

#include <memory>

#include "export/excel_export.h"

namespace {

std::unique_ptr<korvex::Project> fullKind2Project() {
    auto p = std::make_unique<korvex::Project>();
    korvex::resetToDefaults(*p, 2);
    for (int n = 0; n < korvex::kSubnetCount; ++n) {
        auto& s = p->subnet(n);
        s.nodeCount = 1;
        s.nodes[0] = {"1", "Node-1"};
        s.commandCount = korvex::kMaxCommands;
        for (int i = 0; i < korvex::kMaxCommands; ++i) {
            auto& c = s.commands[static_cast<size_t>(i)];
            c = {"1", i % 2 ? "16" : "3", std::to_string(i * 8), "8", std::to_string(i * 16), "", "16",
                 "No Swap", "CRC", "Fast Scan", "No Swap", 1};
        }
    }
    return p;
}

void BM_PlanFullKind2(benchmark::State& state) {
    auto p = fullKind2Project();
    for (auto _ : state) {
        korvex::ExportPlan plan;
        benchmark::DoNotOptimize(korvex::planExport(*p, false, plan));
        benchmark::DoNotOptimize(plan);
    }
}
BENCHMARK(BM_PlanFullKind2)->Unit(benchmark::kMillisecond);

void BM_ExportFullKind2(benchmark::State& state) {
    auto p = fullKind2Project();
    const auto dirs = korvex::templateSearchDirectories(korvex::executableDirectory());
    for (auto _ : state) {
        korvex::ExportPlan plan;
        korvex::planExport(*p, false, plan);
        std::vector<std::uint8_t> bytes;
        if (auto err = korvex::buildWorkbook(plan, dirs, bytes)) {
            state.SkipWithError(err->text().c_str());
            return;
        }
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_ExportFullKind2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
