#include "model/encoding.h"

namespace korvex {

namespace {

// Code points of bytes 0x80..0x9F; the five bytes the code page leaves open map to
// the C1 control of the same value.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<std::uint8_t>(ch);
        char32_t cp = b;
        if (b >= 0x80 && b <= 0x9F) cp = kHigh[b - 0x80];
        appendUtf8(out, cp);
    }
    return out;
}

std::optional<std::uint8_t> codePointToWindows1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<std::uint8_t>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == cp) return static_cast<std::uint8_t>(0x80 + i);
    }
    return std::nullopt;
}

std::optional<std::string> utf8ToWindows1252(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<std::uint8_t>(s[i]);
        char32_t cp = 0;
        size_t len = 0;
        if (b0 < 0x80) { cp = b0; len = 1; }
        else if ((b0 & 0xE0) == 0xC0) { cp = b0 & 0x1F; len = 2; }
        else if ((b0 & 0xF0) == 0xE0) { cp = b0 & 0x0F; len = 3; }
        else if ((b0 & 0xF8) == 0xF0) { cp = b0 & 0x07; len = 4; }
        else return std::nullopt;
        if (i + len > s.size()) return std::nullopt;
        for (size_t k = 1; k < len; ++k) {
            const auto b = static_cast<std::uint8_t>(s[i + k]);
            if ((b & 0xC0) != 0x80) return std::nullopt;
            cp = (cp << 6) | (b & 0x3F);
        }
        i += len;
        const auto byte = codePointToWindows1252(cp);
        if (!byte) return std::nullopt;
        out += static_cast<char>(*byte);
    }
    return out;
}

}  // namespace korvex
