#pragma once
// Conversions between the bytes of project texts (windows-1252, the WHATWG
// mapping in which every byte has a code point) and UTF-8 for display and JSON.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

// Every byte maps, so decoding never fails and encode(decode(x)) == x.
std::string windows1252ToUtf8(std::string_view bytes);
// nullopt when the text has a character windows-1252 cannot hold or bad UTF-8.
std::optional<std::string> utf8ToWindows1252(std::string_view utf8);
// One code point to its windows-1252 byte, or nullopt.
std::optional<std::uint8_t> codePointToWindows1252(char32_t cp);

}  // namespace korvex
