#pragma once
// How project texts become the bytes of the configuration frames and back. Each
// table serves both directions, so a download and the upload of what it wrote
// agree by construction.
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/project.h"

namespace korvex::serial {

// A number text as the frames take it: an optional minus sign and the leading
// decimal digits ("12abc" is 12, "-1" is -1, "" and "abc" are 0), held within
// 32 bits. Bytes take the low 8 bits, 16-bit fields the low 16.
std::int64_t wireNumber(std::string_view text);
inline std::uint8_t lowByte(std::int64_t v) { return static_cast<std::uint8_t>(v & 0xFF); }
inline std::uint8_t highByte(std::int64_t v) { return static_cast<std::uint8_t>((v >> 8) & 0xFF); }

// Subnet serial settings. Unknown texts give 0; unknown codes give nullopt (the
// field keeps its default).
std::uint8_t baudRateCode(std::string_view rate);  // 4800 is 9
std::optional<std::string_view> baudRateOfCode(std::uint8_t code);
std::uint8_t parityCode(std::string_view parity);
std::optional<std::string_view> parityOfCode(std::uint8_t code);
std::uint8_t dataBitsCode(std::string_view bits);  // "7" 1, otherwise 0
std::uint8_t stopBitsCode(std::string_view bits);  // "2" 1, otherwise 0
std::uint8_t protocolCode(std::string_view protocolMode);
std::optional<std::string_view> protocolOfCode(std::uint8_t code);
std::uint8_t outputModeCode(std::string_view outputMode);  // 1 to 4, other 0
std::optional<std::string_view> outputModeOfCode(std::uint8_t code);

// Fieldbus settings.
std::uint8_t deviceNetBaudCode(std::string_view rate);
std::optional<std::string_view> deviceNetBaudOfCode(std::uint8_t code);
std::uint8_t deviceNetInputSizeCode(std::string_view size);
std::optional<std::string_view> deviceNetInputSizeOfCode(std::uint8_t code);
std::uint8_t deviceNetOutputSizeCode(std::string_view size);
std::optional<std::string_view> deviceNetOutputSizeOfCode(std::uint8_t code);
std::uint8_t profibusSizeCode(std::string_view size);
std::string_view profibusSizeOfCode(std::uint8_t code);  // any unknown code is "112"

// The data-handling byte of a command (which register bytes are mapped, how they
// are swapped). Projects whose dataFilter field holds a byte-swap choice (kinds
// other than 3 without legacyFlag233a) send that choice as 01 / 02, the codes
// their upload reads back as "Two Bytes Swap" / "Four Bytes Swap".
std::uint8_t dataHandlingCode(const ModbusCommand& command);
// Sets dataFilter and byteSwap of a command from the byte as the project reads
// it; unknown bytes leave the command's defaults.
void applyDataHandling(std::uint8_t code, const Project& project, ModbusCommand& command);

}  // namespace korvex::serial
