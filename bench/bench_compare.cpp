// Comparing two full four-subnet projects (4 x 100 commands under 10 nodes
// each): offline, identical and with a few differences, and in gateway scope,
// which first puts both projects through a download into the simulated gateway
// and an upload back. The offline goal is under 5 ms.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "compare/gateway_image.h"
#include "compare/project_compare.h"
#include "model/project.h"
#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex {
namespace {

std::unique_ptr<Project> fullProject() {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p, 2);
    static const char* kCodes[] = {"1", "2", "3", "4", "5", "6", "15", "16"};
    for (int s = 0; s < kSubnetCount; ++s) {
        SubnetConfig& c = p->subnet(s);
        c.protocolMode = texts::ModbusMaster.str();
        c.nodeCount = 10;
        for (int n = 0; n < 10; ++n) c.nodes[static_cast<size_t>(n)] = {std::to_string(n + 1), "Node-" + std::to_string(n + 1)};
        c.commandCount = kMaxCommands;
        int input = 0, output = 0x4000;
        for (int k = 0; k < kMaxCommands; ++k) {
            ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
            const std::string fc = kCodes[k % 8];
            const bool read = fc == "1" || fc == "2" || fc == "3" || fc == "4";
            cmd.functionCode = fc;
            cmd.nodeIndex = k / 10 + 1;
            cmd.slaveAddress = std::to_string(cmd.nodeIndex);
            cmd.startAddress = std::to_string(k * 10);
            cmd.dataCount = "4";
            cmd.byteCount = fc == "1" || fc == "2" || fc == "5" || fc == "15" ? "1" : "8";
            int& at = read ? input : output;
            cmd.mappingAddress = toHexText(static_cast<std::uint32_t>(at), false);
            at += 8;
            cmd.bitOffset = "0";
            cmd.scanType = texts::FastScan.str();
            cmd.dataFilter = "Fullword";
        }
    }
    return p;
}

void BM_CompareIdentical(benchmark::State& state) {
    const auto a = fullProject();
    const auto b = fullProject();
    for (auto _ : state) benchmark::DoNotOptimize(compareProjects(*a, *b).differences.size());
}
BENCHMARK(BM_CompareIdentical)->Unit(benchmark::kMillisecond);

void BM_CompareWithDifferences(benchmark::State& state) {
    const auto a = fullProject();
    auto b = fullProject();
    for (int s = 0; s < kSubnetCount; ++s) {
        b->subnet(s).commands[50].dataCount = "5";
        b->subnet(s).nodes[3].name = "Pump";
    }
    b->subnet(2).commandCount = 90;
    for (auto _ : state) benchmark::DoNotOptimize(compareProjects(*a, *b).differences.size());
}
BENCHMARK(BM_CompareWithDifferences)->Unit(benchmark::kMillisecond);

void BM_CompareGatewayScope(benchmark::State& state) {
    const auto a = fullProject();
    auto b = fullProject();
    b->subnet(1).commands[7].startAddress = "9";
    CompareOptions options;
    options.scope = CompareScope::Gateway;
    options.gatewayImage = gatewayImageFunction(std::nullopt, nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(compareProjects(*a, *b, options).differences.size());
}
BENCHMARK(BM_CompareGatewayScope)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvex

BENCHMARK_MAIN();
