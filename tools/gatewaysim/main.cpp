// korvex-gatewaysim: a stand-in for a gateway on its serial configuration port.
#include <csignal>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "gateway_engine.h"
#include "line_server.h"
#include "model/kvx_file.h"
#include "serial_monitor_device.h"
#include "net_server.h"
#include "simulator_options.h"
#include "start_configuration.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

bool readFile(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    *text = s.str();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace korvex::gatewaysim;
    std::string error;
    const auto options = parseSimulatorOptions(std::vector<std::string>(argv + 1, argv + argc), &error);
    if (!options) {
        std::cerr << "korvex-gatewaysim: " << error << '\n' << kSimulatorUsage;
        return 2;
    }
    if (options->help) {
        std::cout << kSimulatorUsage;
        return 0;
    }

    GatewayEngine engine(options->device);
    for (const auto& [command, fault] : options->faults) engine.setFault(command, fault);
    if (!options->framesFile.empty()) {
        std::string text;
        if (!readFile(options->framesFile, &text)) {
            std::cerr << "korvex-gatewaysim: cannot read " << options->framesFile << '\n';
            return 1;
        }
        const auto frames = parseFrameLines(text, &error);
        if (!frames || !engine.loadConfiguration(*frames, &error)) {
            std::cerr << "korvex-gatewaysim: " << options->framesFile << ": " << error << '\n';
            return 1;
        }
    }
    const bool net = !options->netAddress.empty();
    if (!net && !options->configFile.empty() && !loadProjectFile(engine, options->configFile, &error)) {
        std::cerr << "korvex-gatewaysim: " << options->configFile << ": " << error << '\n';
        return 1;
    }

    std::signal(SIGTERM, requestStop);
    std::signal(SIGINT, requestStop);
    std::signal(SIGPIPE, SIG_IGN);

    if (net) {
        NetGatewayEngine netEngine(options->net);
        if (!options->configFile.empty()) {
            auto project = std::make_unique<korvex::Project>();
            if (const auto message = korvex::openProject(options->configFile, *project)) {
                std::cerr << "korvex-gatewaysim: " << options->configFile << ": " << message->text() << '\n';
                return 1;
            }
            netEngine.loadProject(*project);
        }
        NetServer netServer(netEngine, options->verbose);
        if (!netServer.open(options->netAddress, &error)) {
            std::cerr << "korvex-gatewaysim: " << error << '\n';
            return 1;
        }
        std::cout << options->netAddress << std::endl;
        return netServer.run(stopRequested, options->quitAfterIdleSeconds);
    }

    // With --monitor the line carries the monitor stream of the configured commands.
    SerialMonitorDevice monitor(commandsOfGateway(engine.memory(), options->device.deviceType),
                                options->device.reportRate);
    LineServer server(options->serialMonitor ? static_cast<LineDevice&>(monitor) : engine, options->paceBaud,
                      options->verbose);
    std::string path;
    const bool opened = options->devicePath.empty()
                            ? server.openPseudoTerminal(&path, &error)
                            : server.openDevice(options->devicePath, options->paceBaud > 0 ? options->paceBaud : 19200, &error);
    if (!opened) {
        std::cerr << "korvex-gatewaysim: " << error << '\n';
        return 1;
    }
    if (!options->devicePath.empty()) path = options->devicePath;
    std::cout << path << std::endl;
    return server.run(stopRequested, options->quitAfterIdleSeconds);
}
