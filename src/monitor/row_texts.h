#pragma once
// The texts a report's fields become in the monitor windows: statuses,
// exception codes, directions and data bytes.
#include <cstdint>
#include <span>
#include <string>

#include "model/texts/text.h"

namespace korvex::monitor {

// 0 "Respond correctly", 1 "Respond abnormally ", 2 "Respond incorrectly",
// 3 "Response timeout"; any other code an empty text.
Text statusText(std::uint8_t status);
// Exception codes 2..8 their own texts; any other "01 (Incorrect function code)".
Text exceptionText(std::uint8_t code);
// Slave layout 0 "Modbus->PROFIBUS", 1 "PROFIBUS->Modbus"; user config
// 0 "Serial port->PROFIBUS", 1 "PROFIBUS->Serial port"; otherwise empty.
Text slaveDirectionText(std::uint8_t direction);
Text userConfigDirectionText(std::uint8_t direction);

// Each byte as two lower-case digits followed by a blank: "12 34 ".
std::string lowerHexBytes(std::span<const std::uint8_t> bytes);

}  // namespace korvex::monitor
