#pragma once
// The shared value checks and conversions every editing rule uses. Numbers are
// parsed here and nowhere else ad hoc.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

class Operator;

// Empty: false, silently. A character other than '0'..'9': "\"label\" contains
// illegal characters". Below min or above max: "The value of label is out of
// range.". Otherwise true.
bool checkIntegerField(Operator& op, std::string_view value, std::int64_t min, std::int64_t max,
                       std::string_view label);

// Three parts each followed by "." and a last part; the first three have 1 to 3
// characters; every part is digits only, not empty, and at most 255.
bool isValidIPv4(std::string_view text);

// High nibble (omitted when 0) and low nibble as lower-case hex digits:
// 0x05 -> "5", 0x0A -> "a", 0xF3 -> "f3", 0 -> "0".
std::string byteToHexText(std::uint32_t value);

// Whole-text decimal of digits only (no sign, no blanks); nullopt when empty, when
// a character is not a digit or when the value exceeds INT64_MAX.
std::optional<std::int64_t> parseDecimal(std::string_view text);
// Whole-text hexadecimal (0-9, a-f, A-F; no prefix or suffix); nullopt likewise.
std::optional<std::int64_t> parseHex(std::string_view text);
// The leading decimal digits of text ("12(input)" -> 12); nullopt when none.
std::optional<std::int64_t> leadingDecimal(std::string_view text);
// Upper- or lower-case hex text without leading zeros ("0", "1a", "4000").
std::string toHexText(std::uint32_t value, bool upperCase);

}  // namespace korvex
