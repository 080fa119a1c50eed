#pragma once
// The hooks through which the PLC base-address mode reaches the rest of the core.
// While the mode is on, mapping addresses are shown and entered as decimal PLC
// memory addresses; the gateway, the project file and the frames always use
// gateway offsets. The data blocks and the conversions themselves live in
// mapping/ (which implements this interface); model/ and editor/ only see it.
// Everywhere a `const PlcAddressing*` is taken, nullptr means "mode off".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/project.h"

namespace korvex {

class MappingAddressForm {
public:
    virtual ~MappingAddressForm() = default;
    // The command's mappingAddress is the shown (PLC) address; returns the gateway
    // module address text for the file. The function code decides the data block
    // list (reads and local writes: inputs; other writes: outputs).
    virtual std::string toModuleAddress(const ModbusCommand& command) const = 0;
    // The command's mappingAddress is the module address text from the file;
    // returns the shown (PLC) address.
    virtual std::string toShownAddress(const ModbusCommand& command) const = 0;
};

class PlcAddressing : public MappingAddressForm {
public:
    // The gateway offset text of a command whose mappingAddress is in PLC form
    // (hex text, output area from "4000"); nullopt when it lies in no block.
    virtual std::optional<std::string> gatewayOffset(const ModbusCommand& command) const = 0;

    // Editor hooks (command rows "Number of Data" and "Mapping Address"
    // in PLC mode). inputArea selects inputBlocks (true) or outputBlocks (false).
    // The list total: E of the last used block (the sum of the used byte counts).
    virtual std::int64_t areaTotal(bool inputArea) const = 0;
    // For the last used block j of the list with base(j) <= plcAddress <
    // base(j) + byteCount(j): base(j) + byteCount(j) - plcAddress + the byte counts
    // of all used blocks after j, i.e. the bytes from the address to the end of the
    // list's last block. nullopt when no used block contains the address.
    virtual std::optional<std::int64_t> bytesToAreaEnd(bool inputArea, std::int64_t plcAddress) const = 0;
};

}  // namespace korvex
