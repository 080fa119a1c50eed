#include "editor/session_helpers.h"

#include <cctype>
#include <limits>

#include "model/value_checks.h"

namespace korvex::editor {

int functionCodeOf(const ModbusCommand& c) {
    if (functionText(c.functionCode).empty()) return 0;
    return static_cast<int>(parseDecimal(c.functionCode).value_or(0));
}

std::int64_t cAtoi(std::string_view t) {
    size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\n' || t[i] == '\r' || t[i] == '\v' || t[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    std::int64_t v = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
        if (v < std::numeric_limits<std::int32_t>::max()) v = v * 10 + (t[i] - '0');
    }
    v = std::min<std::int64_t>(v, std::numeric_limits<std::int32_t>::max());
    return negative ? -v : v;
}

std::int64_t cStrtolHex(std::string_view t) {
    size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    if (i + 2 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X') &&
        std::isxdigit(static_cast<unsigned char>(t[i + 2])))
        i += 2;
    std::int64_t v = 0;
    for (; i < t.size() && std::isxdigit(static_cast<unsigned char>(t[i])); ++i) {
        const char ch = t[i];
        const int d = ch <= '9' ? ch - '0' : (ch | 0x20) - 'a' + 10;
        if (v < 0x7FFFFFFF) v = v * 16 + d;
    }
    v = std::min<std::int64_t>(v, 0x7FFFFFFF);
    return negative ? -v : v;
}

std::optional<std::int64_t> canonicalDecimal(std::string_view t) {
    const auto v = parseDecimal(t);
    if (!v || std::to_string(*v) != t) return std::nullopt;
    return v;
}

std::uint32_t mapValueOf(std::string_view text) {
    if (text.empty() || text == "-1") return 0;
    return static_cast<std::uint32_t>(cStrtolHex(text));
}

std::string lower(std::string s) {
    for (auto& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

std::vector<std::string> strings(std::initializer_list<std::string_view> list) {
    std::vector<std::string> out;
    for (auto s : list) out.emplace_back(s);
    return out;
}

bool sameValues(const Project& a, const Project& b) {
    return a.deviceKind == b.deviceKind && a.flags == b.flags && a.fieldbus == b.fieldbus && a.subnets == b.subnets &&
           a.fileVersion == b.fileVersion;
}

std::string bytesCell(const ModbusCommand& c) {
    const int fc = functionCodeOf(c);
    if (fc == 5) return "1";
    if (fc == 6) return "2";
    return blank1(c.byteCount);
}

}  // namespace korvex::editor
