// korvex-gatewaysim: a stand-in for a gateway on its serial configuration port.
#include <csignal>
#include <fstream>
#include <iostream>
#include <sstream>

#include "gateway_engine.h"
#include "line_server.h"
#include "simulator_options.h"

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
    if (!options->configFile.empty()) {
        std::cerr << "korvex-gatewaysim: --config is not available in this build; use --frames\n";
        return 1;
    }

    std::signal(SIGTERM, requestStop);
    std::signal(SIGINT, requestStop);
    std::signal(SIGPIPE, SIG_IGN);

    LineServer server(engine, options->paceBaud, options->verbose);
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
