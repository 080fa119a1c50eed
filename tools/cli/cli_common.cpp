#include "cli_common.h"

#include <iostream>

#include "mapping/plc_blocks.h"
#include "model/encoding.h"
#include "model/kvx_file.h"
#include "model/texts.h"

#ifdef KORVEX_CLI_WITH_IO
#include "io/serial_byte_link.h"
#endif

namespace korvex::cli {

int fail(const Message& message) {
    std::cerr << message.text() << '\n';
    return kExitFailure;
}

std::string printable(std::string_view bytes) {
    std::string out = windows1252ToUtf8(bytes);
    std::string clean;
    clean.reserve(out.size());
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n') continue;
        clean += out[i];
    }
    return clean;
}

void printMessageLine(const Message& message) {
    std::string text = printable(message.text());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::cout << text << '\n';
}

int usage(const std::string& what) {
    std::cerr << "korvex-cli: " << what << "\n(run korvex-cli --help for the commands)\n";
    return kExitUsage;
}

std::optional<std::string> Options::value(const std::string& name) {
    std::optional<std::string> found;
    for (size_t i = 0; i < args_.size();) {
        if (args_[i] == name) {
            if (i + 1 >= args_.size()) {
                error_ = name + " needs a value";
                args_.erase(args_.begin() + static_cast<long>(i));
                continue;
            }
            if (found && error_.empty()) error_ = name + " is given more than once";
            found = args_[i + 1];
            args_.erase(args_.begin() + static_cast<long>(i), args_.begin() + static_cast<long>(i) + 2);
            continue;
        }
        ++i;
    }
    return found;
}

std::vector<std::string> Options::values(const std::string& name) {
    std::vector<std::string> found;
    for (size_t i = 0; i < args_.size();) {
        if (args_[i] == name) {
            if (i + 1 >= args_.size()) {
                error_ = name + " needs a value";
                args_.erase(args_.begin() + static_cast<long>(i));
                continue;
            }
            found.push_back(args_[i + 1]);
            args_.erase(args_.begin() + static_cast<long>(i), args_.begin() + static_cast<long>(i) + 2);
            continue;
        }
        ++i;
    }
    return found;
}

bool Options::flag(const std::string& name) {
    bool found = false;
    for (size_t i = 0; i < args_.size();) {
        if (args_[i] == name) {
            found = true;
            args_.erase(args_.begin() + static_cast<long>(i));
            continue;
        }
        ++i;
    }
    return found;
}

std::vector<std::string> Options::positional() {
    for (const auto& a : args_) {
        if (a.size() > 1 && a[0] == '-' && error_.empty()) error_ = "unknown option " + a;
    }
    return args_;
}

bool loadProject(const std::string& path, Project& project, const PlcAddressing* plc) {
    if (auto err = openProject(path, project, plc)) {
        fail(*err);
        return false;
    }
    return true;
}

bool saveProject(const std::string& path, Project& project, const PlcAddressing* plc) {
    if (auto err = writeProject(path, project, plc)) {
        fail(*err);
        return false;
    }
    return true;
}

namespace {
PlcBlocksParser& plcParser() {
    static PlcBlocksParser parser = nullptr;
    return parser;
}
}  // namespace

bool registerPlcBlocksParser(PlcBlocksParser parser) {
    plcParser() = parser;
    return true;
}

bool takePlcBlocksOption(Options& options, std::unique_ptr<PlcAddressing>& plc, std::string& error) {
    const auto text = options.value("--plc-blocks");
    if (!text) return true;
    if (!plcParser()) {
        error = "--plc-blocks is not available in this build";
        return false;
    }
    plc = plcParser()(*text, error);
    return plc != nullptr;
}

const PlcBlocks* TransferOptions::blocks() const { return dynamic_cast<const PlcBlocks*>(plc.get()); }

#ifdef KORVEX_CLI_WITH_IO
std::unique_ptr<serial::ByteLink> openSerialPort(const std::string& path) {
    std::string reason;
    auto link = io::SerialByteLink::open(path, io::LineSettings{}, &reason);
    if (!link) fail({texts::PortOpenFailed, {path}});
    return link;
}
#endif

}  // namespace korvex::cli
