// korvex-cli new, dump and build: creating, printing and rebuilding project files.
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "cli_common.h"
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

int cmdBuild(const Args& args) {
    Options o(args);
    const auto pos = o.positional();
    if (!o.error().empty()) return usage(o.error());
    if (pos.size() != 2) return usage("build needs a JSON file and an output file");
    std::string text;
    if (pos[0] == "-") {
        std::ostringstream ss;
        ss << std::cin.rdbuf();
        text = ss.str();
    } else {
        std::ifstream in(pos[0], std::ios::binary);
        if (!in) return fail({texts::FileNotFound, {pos[0]}});
        std::ostringstream ss;
        ss << in.rdbuf();
        text = ss.str();
    }
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
