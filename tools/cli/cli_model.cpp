// korvex-cli new, dump and build: creating, printing and rebuilding project files.
#include <iostream>
#include <memory>
#include <optional>
#include <vector>

#include "cli_common.h"
#include "model/file_io.h"
#include "model/kvx_file.h"
#include "model/texts.h"
#include "project_json.h"

namespace korvex::cli {
namespace {

int cmdNew(const Args& args) {
    Options o(args);
    const auto kindText = o.value("--kind");
    const auto pos = o.positional();
    if (!o.error().empty()) return usage(o.error());
    if (pos.size() != 1) return usage("new needs one output file");
    std::int32_t kind = 3;
    if (kindText) {
        if (kindText->size() != 1 || (*kindText)[0] < '0' || (*kindText)[0] > '6')
            return usage("--kind takes a device kind from 0 to 6");
        kind = (*kindText)[0] - '0';
    }
    auto project = std::make_unique<Project>();
    // The first New of a run: defaults and the default node.
    resetToDefaults(*project, kind);
    addDefaultNode(*project);
    return saveProject(pos[0], *project) ? kExitOk : kExitFailure;
}

int cmdDump(const Args& args) {
    Options o(args);
    std::unique_ptr<PlcAddressing> plc;
    std::string plcError;
    if (!takePlcBlocksOption(o, plc, plcError)) return usage(plcError);
    const auto pos = o.positional();
    if (!o.error().empty()) return usage(o.error());
    if (pos.size() != 1) return usage("dump needs one project file");
    auto project = std::make_unique<Project>();
    if (!loadProject(pos[0], *project, plc.get())) return kExitFailure;
    std::cout << projectToJson(*project).dump(2) << '\n';
    return kExitOk;
}

// Largest JSON build reads: the description of the largest project file Korvex
// saves, with every byte written as a six-character escape, and room to spare.
constexpr std::size_t kMaxJsonBytes = 8 * kMaxProjectFileBytes;

// The JSON text from a file or, for "-", from standard input.
std::optional<Message> readJsonText(const std::string& name, std::string& text) {
    if (name == "-") {
        std::vector<char> buf(65536);
        text.clear();
        while (std::cin.read(buf.data(), static_cast<std::streamsize>(buf.size())) || std::cin.gcount() > 0) {
            text.append(buf.data(), static_cast<size_t>(std::cin.gcount()));
            if (text.size() > kMaxJsonBytes) return Message{texts::CliBadJson, {name, "it is too large"}};
        }
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    if (auto err = readWholeFile(name, bytes, kMaxJsonBytes)) {
        if (err->id == texts::UnexpectedFileFormat) return Message{texts::CliBadJson, {name, "it is too large"}};
        return err;
    }
    text.assign(bytes.begin(), bytes.end());
    return std::nullopt;
}

int cmdBuild(const Args& args) {
    Options o(args);
    const auto pos = o.positional();
    if (!o.error().empty()) return usage(o.error());
    if (pos.size() != 2) return usage("build needs a JSON file and an output file");
    std::string text;
    if (auto err = readJsonText(pos[0], text)) return fail(*err);
    const auto json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded()) return fail({texts::CliBadJson, {pos[0], "it is not JSON"}});
    auto project = std::make_unique<Project>();
    if (const std::string err = projectFromJson(json, *project); !err.empty())
        return fail({texts::CliBadJson, {pos[0], err}});
    return saveProject(pos[1], *project) ? kExitOk : kExitFailure;
}

KORVEX_CLI_COMMAND("new", "new [--kind N] OUT.kvx        a new project (default node and its two commands)", cmdNew);
KORVEX_CLI_COMMAND("dump", "dump FILE.kvx                 the whole project as JSON", cmdDump);
KORVEX_CLI_COMMAND("build", "build IN.json OUT.kvx         a project file from JSON (the reverse of dump)", cmdBuild);

}  // namespace
}  // namespace korvex::cli
