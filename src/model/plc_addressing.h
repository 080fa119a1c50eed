#pragma once
// The hooks through which the PLC base-address mode reaches the rest of the core.
// While the mode is on, mapping addresses are shown and entered as decimal PLC
// memory addresses; the gateway, the project file and the frames always use
// gateway offsets. The data blocks and the conversions themselves live in
// mapping/ (which implements this interface); model/ and editor/ only see it.
// Everywhere a `const PlcAddressing*` is taken, nullptr means "mode off".
#include <optional>
#include <string>
#include <string_view>

#include "model/project.h"

namespace korvex {

class MappingAddressForm {
public:
    virtual ~MappingAddressForm() = default;
    // Shown (PLC) address of a command -> gateway module address text for the file.
    virtual std::string toModuleAddress(std::string_view shown) const = 0;
    // Gateway module address text from the file -> shown (PLC) address.
    virtual std::string toShownAddress(std::string_view module) const = 0;
};

class PlcAddressing : public MappingAddressForm {
public:
    // The gateway offset text of a command whose mappingAddress is in PLC form
    // (hex text, output area from "4000"); nullopt when it lies in no block.
    virtual std::optional<std::string> gatewayOffset(const INSTRUCTION& command) const = 0;
};

}  // namespace korvex
