// korvex-cli config-block: the Ethernet link, headless.
//
// config-block prints the configuration block an Ethernet download would write
// for a project, without the download's checks: 16 bytes a line, upper-case hex
// pairs separated by blanks.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "cli_common.h"
#include "net/config_block.h"

namespace korvex::cli {
namespace {

void printHexLines(const net::Bytes& bytes) {
    for (std::size_t i = 0; i < bytes.size(); i += 16) {
        std::string line;
        for (std::size_t k = i; k < std::min(i + 16, bytes.size()); ++k) {
            char pair[4];
            std::snprintf(pair, sizeof pair, k == i ? "%02X" : " %02X", bytes[k]);
            line += pair;
        }
        std::cout << line << '\n';
    }
}

int cmdConfigBlock(const Args& args) {
    Options o(args);
    const auto pos = o.positional();
    if (!o.error().empty()) return usage(o.error());
    if (pos.size() != 1) return usage("config-block needs one project file");
    auto project = std::make_unique<Project>();
    if (!loadProject(pos[0], *project)) return kExitFailure;
    printHexLines(net::composeWriteBlock(*project));
    return kExitOk;
}

KORVEX_CLI_COMMAND("config-block", "config-block FILE.kvx   the block an Ethernet download writes, 16 bytes a line",
                   cmdConfigBlock);

}  // namespace
}  // namespace korvex::cli
