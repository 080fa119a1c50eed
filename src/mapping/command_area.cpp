#include "mapping/command_area.h"

#include <algorithm>
#include <string>

#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex {

int functionCodeNumber(std::string_view functionCode) {
    const auto v = parseDecimal(functionCode);
    if (!v) return 0;
    switch (*v) {
        case 1: case 2: case 3: case 4: case 5: case 6: case 15: case 16:
            // "03" is not a function code text; only the canonical spelling counts.
            return functionCode.size() == std::to_string(*v).size() ? static_cast<int>(*v) : 0;
        default:
            return 0;
    }
}

bool isUnassigned(std::string_view mappingAddress) { return mappingAddress.empty() || mappingAddress == "-1"; }

bool hasInputSuffix(std::string_view mappingAddress) {
    constexpr std::string_view kSuffix = "(input)";
    return mappingAddress.size() > kSuffix.size() &&
           mappingAddress.substr(mappingAddress.size() - kSuffix.size()) == kSuffix;
}

std::int64_t decimalOrZero(std::string_view text) {
    const auto v = parseDecimal(text);
    if (!v) {
        // parseDecimal refuses only non-digits and values beyond int64: the latter
        // are certainly above the cap.
        const bool digits = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
        return digits ? kCountCap : 0;
    }
    return std::min(*v, kCountCap);
}

std::int64_t statusByteCountAnyMode(const Project& project) {
    if (!project.flags.extendedSettingsFlag) return 0;
    const std::string_view status = project.subnet(0).responseStatus;
    size_t digits = 0;
    while (digits < status.size() && status[digits] >= '0' && status[digits] <= '9') ++digits;
    if (digits == 0) return 0;
    return decimalOrZero(status.substr(0, digits));
}

std::int64_t statusByteCount(const Project& project) {
    if (project.subnet(0).protocolMode != texts::ModbusMaster.text) return 0;
    return statusByteCountAnyMode(project);
}

std::int64_t commandSize(int fc, std::int64_t n) {
    switch (fc) {
        case 1: case 2: case 15: return (n + 7) / 8;
        case 3: case 4: case 16: return 2 * n;
        case 5: return 1;
        case 6: return 2;
        default: return 0;
    }
}

}  // namespace korvex
