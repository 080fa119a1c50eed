// korvex-cli: the headless front end of Korvex over the same core as the window.
#include <algorithm>
#include <iostream>

#include "command_registry.h"
#include "cli_common.h"

namespace korvex::cli {

std::vector<Command>& registry() {
    static std::vector<Command> all;
    return all;
}

bool registerCommand(Command command) {
    registry().push_back(std::move(command));
    return true;
}

const std::vector<Command>& commands() { return registry(); }

}  // namespace korvex::cli

namespace {

void printHelp(std::ostream& out) {
    out << "usage: korvex-cli COMMAND [ARGS]\n\ncommands:\n";
    auto all = korvex::cli::commands();
    std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    for (const auto& c : all) out << "  " << c.synopsis << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    using namespace korvex::cli;
    if (argc < 2) {
        printHelp(std::cerr);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printHelp(std::cout);
        return kExitOk;
    }
    for (const auto& c : commands()) {
        if (c.name == name) {
            Args args(argv + 2, argv + argc);
            try {
                return c.run(args);
            } catch (const std::exception& e) {
                std::cerr << "korvex-cli: " << e.what() << '\n';
                return kExitFailure;
            }
        }
    }
    return usage("unknown command " + name);
}
