#pragma once
// The command-line options of korvex-gatewaysim, parsed without I/O so the
// parsing is tested like the engine.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gateway_engine.h"
#include "net_engine.h"

namespace korvex::gatewaysim {

struct SimulatorOptions {
    DeviceOptions device;
    // Paces the answer bytes at this rate (10 bits a byte); 0 sends at once.
    int paceBaud = 0;
    std::string configFile;  // .kvx to start with
    std::string framesFile;  // frames to start with, one hex line each
    std::vector<std::pair<std::uint8_t, Fault>> faults;
    std::string devicePath;  // serve this device instead of a new pseudo-terminal
    int quitAfterIdleSeconds = 0;  // 0: run until SIGTERM or SIGINT
    // --net: serve the network side on this loopback address instead of a terminal.
    std::string netAddress;
    NetDeviceOptions net;
    // --monitor: the serial line carries the monitor report stream instead of
    // the configuration protocol.
    bool serialMonitor = false;
    bool verbose = false;
    bool help = false;
};

// Parses the arguments after the program name. On a bad argument returns
// nullopt with the reason in *error.
std::optional<SimulatorOptions> parseSimulatorOptions(const std::vector<std::string>& args,
                                                      std::string* error);

// "fast" or a number of reports per second, 1 to 1000.
std::optional<ReportRate> parseReportRate(const std::string& text);

// "10=error", "0x10=error:03", "32=badsum", "16=late:700", "15=silent".
std::optional<std::pair<std::uint8_t, Fault>> parseFaultSpec(const std::string& text);

// Frames as `korvex-cli frames` prints them: one per line, hex bytes separated
// by blanks; blank lines are skipped. Nullopt with the line named in *error
// when a line is not hex bytes.
std::optional<std::vector<Bytes>> parseFrameLines(const std::string& text, std::string* error);

extern const char* const kSimulatorUsage;

}  // namespace korvex::gatewaysim
