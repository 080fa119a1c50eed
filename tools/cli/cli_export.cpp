// korvex-cli export: the project written into a workbook made from the export
// templates, as the window's "Export EXCEL" does.
#include <memory>

#include "cli_common.h"
#include "export/excel_export.h"

namespace korvex::cli {
namespace {

int cmdExport(const Args& args) {
    Options o(args);
    std::unique_ptr<PlcAddressing> plc;
    std::string plcError;
    if (!takePlcBlocksOption(o, plc, plcError)) return usage(plcError);
    const auto templates = o.value("--templates");
    const auto pos = o.positional();
    if (!o.error().empty()) return usage(o.error());
    if (pos.size() != 2) return usage("export needs a project file and an output workbook");
    auto project = std::make_unique<Project>();
    if (!loadProject(pos[0], *project, plc.get())) return kExitFailure;
    const std::vector<std::string> dirs =
        templates ? std::vector<std::string>{*templates} : templateSearchDirectories(executableDirectory());
    if (auto err = exportProjectToExcel(*project, plc != nullptr, dirs, pos[1])) return fail(*err);
    return kExitOk;
}

KORVEX_CLI_COMMAND("export",
                   "export [--templates DIR] FILE.kvx OUT.xlsx   the project as an Excel workbook (from the templates)",
                   cmdExport);

}  // namespace
}  // namespace korvex::cli
