#include "export/excel_export.h"

#include <sys/stat.h>
#include <unistd.h>

#include "export/xlsx_workbook.h"
#include "model/encoding.h"
#include "model/file_io.h"
#include "model/texts.h"

namespace korvex {
namespace {

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string joinPath(const std::string& dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    return dir.back() == '/' ? dir + std::string(name) : dir + "/" + std::string(name);
}

}  // namespace

std::string executableDirectory() {
    std::string buf(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return {};
    buf.resize(static_cast<size_t>(n));
    const auto slash = buf.find_last_of('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? "/" : buf.substr(0, slash);
}

std::vector<std::string> templateSearchDirectories(const std::string& executableDir) {
    std::vector<std::string> dirs;
    if (!executableDir.empty()) {
        dirs.push_back(executableDir);
        dirs.push_back(joinPath(executableDir, "templates"));
        dirs.push_back(joinPath(executableDir, "../share/korvex/templates"));
    }
#ifdef KORVEX_BUILD_TEMPLATES_DIR
    dirs.push_back(KORVEX_BUILD_TEMPLATES_DIR);
#endif
    return dirs;
}

std::optional<Message> findTemplate(std::string_view name, const std::vector<std::string>& directories,
                                     std::string& path) {
    for (const auto& dir : directories) {
        for (const std::string& candidate : {joinPath(dir, name), joinPath(dir, name) + ".xlsx"}) {
            if (isRegularFile(candidate)) {
                path = candidate;
                return std::nullopt;
            }
        }
    }
    std::string where;
    for (const auto& dir : directories) where += (where.empty() ? "" : ", ") + dir;
    return Message{texts::ExportTemplateNotFound, {std::string(name), where.empty() ? std::string(".") : where}};
}

std::optional<Message> buildWorkbook(const ExportPlan& plan, const std::vector<std::string>& templateDirectories,
                                     std::vector<std::uint8_t>& bytes) {
    std::string templatePath;
    if (auto err = findTemplate(plan.templateName, templateDirectories, templatePath)) return err;
    XlsxWorkbook book;
    if (auto err = book.open(templatePath)) return err;
    std::vector<int> handles;
    for (const auto& sheet : plan.sheets) {
        int handle = -1;
        if (auto err = book.findSheet(sheet.name, handle)) return err;
        handles.push_back(handle);
    }
    for (size_t i = 0; i < plan.sheets.size(); ++i)
        if (auto err = book.setVerticalAlignmentTop(handles[i])) return err;
    for (size_t i = 0; i < plan.sheets.size(); ++i)
        for (const auto& cell : plan.sheets[i].cells)
            if (auto err = book.setCellText(handles[i], cell.row, cell.column, windows1252ToUtf8(cell.text))) return err;
    return book.saveToBytes(bytes);
}

std::optional<Message> exportProjectToExcel(const Project& project, bool plcAddressMode,
                                            const std::vector<std::string>& templateDirectories,
                                            const std::string& outPath) {
    ExportPlan plan;
    if (auto err = planExport(project, plcAddressMode, plan)) return err;
    std::vector<std::uint8_t> bytes;
    if (auto err = buildWorkbook(plan, templateDirectories, bytes)) return err;
    return writeFileAtomically(outPath, bytes);
}

}  // namespace korvex
