#pragma once
// Frames written in tests as they appear in a protocol trace: "01 00 01".
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::testing {

// Hexadecimal byte pairs separated by blanks; throws on anything else, so a
// typo in a fixture fails loudly instead of shortening it.
inline std::vector<std::uint8_t> hexBytes(std::string_view text) {
    std::vector<std::uint8_t> out;
    auto digit = [&](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        throw std::invalid_argument("not a hex digit in \"" + std::string(text) + "\"");
    };
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) throw std::invalid_argument("odd digit in \"" + std::string(text) + "\"");
        out.push_back(static_cast<std::uint8_t>(digit(text[i]) * 16 + digit(text[i + 1])));
        i += 2;
    }
    return out;
}

// The same bytes written back, upper case, blank-separated (for messages).
inline std::string hexText(const std::vector<std::uint8_t>& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t b : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

}  // namespace korvex::testing
