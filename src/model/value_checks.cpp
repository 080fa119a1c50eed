#include "model/value_checks.h"

#include <limits>

#include "model/operator.h"
#include "model/texts.h"

namespace korvex {

namespace {

std::optional<std::int64_t> parseDigits(std::string_view text, int base) {
    if (text.empty()) return std::nullopt;
    std::int64_t v = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return std::nullopt;
        if (v > (std::numeric_limits<std::int64_t>::max() - d) / base) return std::nullopt;
        v = v * base + d;
    }
    return v;
}

}  // namespace

std::optional<std::int64_t> parseDecimal(std::string_view text) { return parseDigits(text, 10); }
std::optional<std::int64_t> parseHex(std::string_view text) { return parseDigits(text, 16); }

std::optional<std::int64_t> leadingDecimal(std::string_view text) {
    size_t n = 0;
    while (n < text.size() && text[n] >= '0' && text[n] <= '9') ++n;
    return parseDigits(text.substr(0, n), 10);
}

bool checkIntegerField(Operator& op, std::string_view value, std::int64_t min, std::int64_t max,
                       std::string_view label) {
    if (value.empty()) return false;
    for (char c : value) {
        if (c < '0' || c > '9') {
            op.showMessage({texts::IllegalCharacters, {std::string(label)}});
            return false;
        }
    }
    const auto v = parseDecimal(value);  // nullopt only on overflow: certainly above max
    if (!v || *v < min || *v > max) {
        op.showMessage({texts::ValueOutOfRange, {std::string(label)}});
        return false;
    }
    return true;
}

bool isValidIPv4(std::string_view text) {
    std::string_view rest = text;
    for (int part = 0; part < 4; ++part) {
        std::string_view piece;
        if (part < 3) {
            const auto dot = rest.find('.');
            if (dot == std::string_view::npos) return false;
            piece = rest.substr(0, dot);
            rest = rest.substr(dot + 1);
            if (piece.size() > 3) return false;
        } else {
            piece = rest;
        }
        const auto v = parseDecimal(piece);
        if (!v || *v > 255) return false;
    }
    return true;
}

std::string byteToHexText(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    const std::uint32_t high = value / 16;
    if (high != 0) out += high < 16 ? std::string(1, kDigits[high]) : toHexText(high, false);
    out += kDigits[value % 16];
    return out;
}

std::string toHexText(std::uint32_t value, bool upperCase) {
    const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string out;
    do {
        out.insert(out.begin(), digits[value % 16]);
        value /= 16;
    } while (value != 0);
    return out;
}

}  // namespace korvex
