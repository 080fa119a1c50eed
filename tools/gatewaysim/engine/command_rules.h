#pragma once
// The simulated gateway's table of requests: for every command code what kind
// of request it is, the data lengths it accepts, from which firmware on the
// device knows it and on which device types. The engine consults only this
// table to decide whether a request is well-formed and allowed.
#include <array>
#include <cstdint>

namespace korvex::gatewaysim {

enum class Access : std::uint8_t {
    Identify,     // answered in every state, never scrambled
    SwitchState,  // changes the operating state
    Write,        // changes the stored configuration: configuration state only (firmware 6 on)
    Read,         // answered in every state
};

enum class DeviceFamily : std::uint8_t { Any, DeviceNet, Profibus };

struct CommandRule {
    std::uint8_t code;
    Access access;
    std::array<std::uint8_t, 2> lengths;  // accepted values of the length byte
    int minFirmware;                      // major × 10 + minor
    DeviceFamily family;
};

// The rule of `code`, or null for a code this gateway does not know.
const CommandRule* findRule(std::uint8_t code);

// Whether a device of this type and firmware knows the request.
bool knowsRequest(const CommandRule& rule, std::uint8_t deviceType, int firmwareVersion);

}  // namespace korvex::gatewaysim
