#pragma once
// Small helpers the parts of EditorSession share (internal to src/editor): the
// protocol-mode tests, the grid's blank for "-1", function-code classes, and the
// way typed numbers are read (as C's atoi and strtol read them, which is what
// the stored projects and the gateway expect).
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/project.h"
#include "model/texts.h"

namespace korvex::editor {

inline bool isMode(const SubnetConfig& c, const Text& mode) { return c.protocolMode == mode.text; }
inline bool isMaster(const SubnetConfig& c) { return isMode(c, texts::ModbusMaster); }

// "-1" (not set) shows as an empty cell.
inline std::string blank1(const std::string& s) { return s == "-1" ? std::string() : s; }

// A stored count clamped to the table it counts.
inline int usedCount(std::int32_t count, int max) { return std::clamp<std::int32_t>(count, 0, max); }

// The function code as a number: 1..6, 15, 16; 0 for any other text.
int functionCodeOf(const ModbusCommand& c);
inline bool isBitFc(int fc) { return fc == 1 || fc == 2 || fc == 5 || fc == 15; }
inline bool isRegisterFc(int fc) { return fc == 3 || fc == 4 || fc == 6 || fc == 16; }
inline bool isReadFc(int fc) { return fc >= 1 && fc <= 4; }

// C's atoi: leading blanks, an optional sign, the digits that follow; 0 when there
// are none. Saturates instead of overflowing.
std::int64_t cAtoi(std::string_view t);
// C's strtol(text, 16): leading blanks, an optional sign, an optional "0x", the
// hex digits that follow; 0 when there are none. Saturates.
std::int64_t cStrtolHex(std::string_view t);
// The whole text is the decimal number printed back with "%d".
std::optional<std::int64_t> canonicalDecimal(std::string_view t);
// A command's mapping address as the gateway offset the limits use: "-1" and
// empty (not assigned) count as 0, anything else as C's strtol base 16, as an
// unsigned 32-bit value.
std::uint32_t mapValueOf(std::string_view text);
std::string lower(std::string s);

std::vector<std::string> strings(std::initializer_list<std::string_view> list);
inline std::vector<std::string> enableDisable() { return strings({texts::Enable.text, texts::Disable.text}); }

// Every stored value of the two projects is the same (the modified and
// loaded-from-file flags aside).
bool sameValues(const Project& a, const Project& b);

// The "Number of Bytes" cell of a command (row 6).
std::string bytesCell(const ModbusCommand& c);

}  // namespace korvex::editor
