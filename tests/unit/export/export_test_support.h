#pragma once
// Helpers of the export tests: scratch folders, projects with commands, and the
// independent workbook reader (tests/unit/export/xlsx_tool.py over openpyxl).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "model/project.h"

namespace korvex::testing {

inline std::string shellQuoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

// Runs the reader tool; returns its standard output and whether it exited 0.
inline bool runXlsxTool(const std::string& arguments, std::string& output) {
    const std::string cmd = std::string("/usr/bin/python3 ") + shellQuoted(KORVEX_XLSX_TOOL) + " " + arguments;
    FILE* pipe = ::popen(cmd.c_str(), "r");
    if (!pipe) return false;
    char buf[65536];
    size_t n;
    output.clear();
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) output.append(buf, n);
    return ::pclose(pipe) == 0;
}

// The workbook as the independent reader sees it (see xlsx_tool.py dump).
inline nlohmann::json readWorkbook(const std::string& path) {
    std::string out;
    if (!runXlsxTool("dump " + shellQuoted(path), out)) return nullptr;
    return nlohmann::json::parse(out, nullptr, false);
}

// A template variant made by the tool (drop-sheet, replace, add-calcchain).
inline bool makeVariant(const std::string& arguments) {
    std::string out;
    return runXlsxTool(arguments, out);
}

inline std::string templatePath(const std::string& name) {
    return std::string(KORVEX_TEST_TEMPLATES_DIR) + "/" + name + ".xlsx";
}

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchDir {
public:
    ScratchDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "korvex-export-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data());
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline std::unique_ptr<Project> newProject(int kind) {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p, kind);
    return p;
}

// Appends a register-read command with the given mapping address to a subnet.
inline ModbusCommand& addCommand(SubnetConfig& subnet, const std::string& mapping, const std::string& slave = "1",
                               const std::string& function = "3") {
    ModbusCommand& c = subnet.commands.at(static_cast<size_t>(subnet.commandCount++));
    c.slaveAddress = slave;
    c.functionCode = function;
    c.startAddress = "0";
    c.dataCount = "8";
    c.mappingAddress = mapping;
    c.bitOffset = "";
    c.byteCount = "16";
    c.checkType = "CRC";
    return c;
}

}  // namespace korvex::testing
