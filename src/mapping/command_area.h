#pragma once
// How the mapping code reads a command's texts: its function code, where its data
// lies, its size. Every number is read through the shared parsers and capped, so
// absurd texts from a file can never overflow the arithmetic.
#include <cstdint>
#include <string_view>

#include "model/project.h"

namespace korvex {

// 1, 2, 3, 4, 5, 6, 15 or 16; 0 for any other text.
int functionCodeNumber(std::string_view functionCode);
inline bool isReadCode(int fc) { return fc >= 1 && fc <= 4; }
inline bool isWriteCode(int fc) { return fc == 5 || fc == 6 || fc == 15 || fc == 16; }
inline bool isBitCode(int fc) { return fc == 1 || fc == 2 || fc == 5 || fc == 15; }

// "Not assigned": an empty mapping address or "-1".
bool isUnassigned(std::string_view mappingAddress);
// A write whose PLC address carries the "(input)" suffix: its data lie in the
// input area (local data exchange).
bool hasInputSuffix(std::string_view mappingAddress);

// The largest count the mapping arithmetic takes from a text; larger values are
// capped (they overflow every area anyway).
constexpr std::int64_t kCountCap = 0x7FFFFF;
// Whole-text decimal, 0 when it is not a number, capped at kCountCap.
std::int64_t decimalOrZero(std::string_view text);

// Number of response-status bytes at the start of the input area: the number in
// front of "Bytes" in subnet 1's responseStatus while extendedSettingsFlag is set
// and subnet 1 is "Modbus Master"; otherwise 0. Capped at kCountCap.
std::int64_t statusByteCount(const Project& project);
// The same without the protocol condition (the conflict views and the download
// test only ask for extendedSettingsFlag).
std::int64_t statusByteCountAnyMode(const Project& project);

// Size in bytes of a command of function code fc with dataCount n (automatic
// mapping table): ceil(n/8) for 1, 2, 15; 2n for 3, 4, 16; 1 for 5; 2 for 6.
std::int64_t commandSize(int fc, std::int64_t n);

}  // namespace korvex
