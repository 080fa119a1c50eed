#pragma once
// korvex-cli command registry. Each cli_*.cpp registers its commands with a
// static KORVEX_CLI_COMMAND so areas can add commands without a shared list.
#include <functional>
#include <string>
#include <vector>

namespace korvex::cli {

using Args = std::vector<std::string>;  // the arguments after the command name

struct Command {
    std::string name;
    std::string synopsis;  // one usage line, shown by `korvex-cli --help`
    std::function<int(const Args&)> run;
};

bool registerCommand(Command command);
const std::vector<Command>& commands();

}  // namespace korvex::cli

#define KORVEX_CLI_CONCAT2(a, b) a##b
#define KORVEX_CLI_CONCAT(a, b) KORVEX_CLI_CONCAT2(a, b)
#define KORVEX_CLI_COMMAND(name, synopsis, fn) \
    static const bool KORVEX_CLI_CONCAT(kRegistered_, __LINE__) = ::korvex::cli::registerCommand({name, synopsis, fn})
