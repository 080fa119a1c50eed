#pragma once
// Shared pieces of the korvex-cli commands: exit codes, messages, option parsing,
// loading and saving projects.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command_registry.h"
#include "model/plc_addressing.h"
#include "model/project.h"
#include "model/texts/text.h"
#include "serial/byte_link.h"

namespace korvex {
class PlcBlocks;
}

namespace korvex::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the program refused: its message went to stderr
constexpr int kExitUsage = 2;    // the command line was wrong

// Prints the message text to stderr and returns kExitFailure.
int fail(const Message& message);
// Project texts (windows-1252) as UTF-8, Windows line breaks as "\n".
std::string printable(std::string_view bytes);
// A shown message or question on one stdout line (printable, trailing line
// breaks dropped): how every command reports what the user would have seen.
void printMessageLine(const Message& message);
// Prints "korvex-cli: <what>" and the command's synopsis to stderr, returns kExitUsage.
int usage(const std::string& what);

// Simple option scanner: options may come before or after positional arguments.
class Options {
public:
    explicit Options(const Args& args) : args_(args) {}
    // Takes "--name VALUE"; nullopt when absent. Sets error when the option is
    // the last word or is given more than once.
    std::optional<std::string> value(const std::string& name);
    // Takes every "--name VALUE" in order.
    std::vector<std::string> values(const std::string& name);
    // Takes "--name" without a value.
    bool flag(const std::string& name);
    // What remains after the options were taken. Sets error when an unknown option
    // ("-x" or "--x") remains.
    std::vector<std::string> positional();
    const std::string& error() const { return error_; }

private:
    Args args_;
    std::string error_;
};

// Opens a project file; on failure prints the message and returns false. With a
// PLC addressing the mapping addresses are converted as opening does in PLC mode.
bool loadProject(const std::string& path, Project& project, const PlcAddressing* plc = nullptr);
// Saves a project file; on failure prints the message and returns false.
bool saveProject(const std::string& path, Project& project, const PlcAddressing* plc = nullptr);

// The global option --plc-blocks "IN:base:count,base:count;OUT:base:count,...":
// PLC address mode is on while it is given. The mapping commands register the
// parser that turns its text into the PLC addressing (nullptr plus an error
// text when the text is bad).
using PlcBlocksParser = std::unique_ptr<PlcAddressing> (*)(const std::string& text, std::string& error);
bool registerPlcBlocksParser(PlcBlocksParser parser);
// Takes --plc-blocks from the options. Returns false when its text is refused
// (the reason is in error); plc stays null when the option is absent.
bool takePlcBlocksOption(Options& options, std::unique_ptr<PlcAddressing>& plc, std::string& error);

// The options of a command that reads projects and runs transfers or
// comparisons in PLC address mode when --plc-blocks is given: the scanner with
// that option already taken (first, as every command takes it).
struct TransferOptions {
    explicit TransferOptions(const Args& args) : options(args) { plcAccepted = takePlcBlocksOption(options, plc, plcError); }
    // The PLC data blocks the transfers take (nullptr: the mode is off).
    const PlcBlocks* blocks() const;

    Options options;
    std::unique_ptr<PlcAddressing> plc;
    bool plcAccepted = true;  // false: usage(plcError)
    std::string plcError;
};

#ifdef KORVEX_CLI_WITH_IO
// Opens a serial device for a transfer (19200 8N1); null after printing the
// program's message when it cannot be opened.
std::unique_ptr<serial::ByteLink> openSerialPort(const std::string& path);
#endif

}  // namespace korvex::cli
