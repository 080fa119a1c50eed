#pragma once
// The Excel export: the project's cells (export_plan.h) written into a copy of
// the matching template workbook (xlsx_workbook.h), saved under the chosen name.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/export_plan.h"
#include "model/project.h"
#include "model/texts/text.h"

namespace korvex {

// The folder of the running program, or empty when it cannot be told.
std::string executableDirectory();

// The folders the templates are looked up in, in order: the program's folder,
// its "templates" subfolder, the installed data folder (../share/korvex/templates)
// and, in a build tree, the folder the build generated them into.
std::vector<std::string> templateSearchDirectories(const std::string& executableDir);

// The template file for `name`: the first folder holding a file of exactly that
// name or that name followed by ".xlsx".
std::optional<Message> findTemplate(std::string_view name, const std::vector<std::string>& directories,
                                     std::string& path);

// Fills the template named by the plan and returns the new workbook's bytes.
std::optional<Message> buildWorkbook(const ExportPlan& plan, const std::vector<std::string>& templateDirectories,
                                     std::vector<std::uint8_t>& bytes);

// The whole export to outPath (written to a temporary file and renamed over
// outPath; on failure outPath is as before).
std::optional<Message> exportProjectToExcel(const Project& project, bool plcAddressMode,
                                            const std::vector<std::string>& templateDirectories,
                                            const std::string& outPath);

}  // namespace korvex
