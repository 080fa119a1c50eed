#include "command_rules.h"

#include <algorithm>

#include "serial/gateway_protocol.h"

namespace korvex::gatewaysim {
namespace {

namespace cmd = serial::command;

constexpr CommandRule kRules[] = {
    {cmd::ReadDeviceType, Access::Identify, {0, 0}, 0, DeviceFamily::Any},
    {cmd::SetOperatingState, Access::SwitchState, {1, 1}, 0, DeviceFamily::Any},
    {cmd::WriteDeviceNetParameters, Access::Write, {4, 4}, 0, DeviceFamily::DeviceNet},
    {cmd::ReadDeviceNetParameters, Access::Read, {0, 0}, 0, DeviceFamily::DeviceNet},
    {cmd::WriteProfibusParameters, Access::Write, {2, 3}, 0, DeviceFamily::Profibus},
    {cmd::ReadProfibusParameters, Access::Read, {0, 0}, 0, DeviceFamily::Profibus},
    {cmd::WriteSubnetParameters, Access::Write, {0x0E, 0x17}, 0, DeviceFamily::Any},
    {cmd::ReadSubnetParameters, Access::Read, {1, 1}, 0, DeviceFamily::Any},
    {cmd::ClearSubnetCommands, Access::Write, {3, 3}, 0, DeviceFamily::Any},
    {cmd::ReadCommandCount, Access::Read, {1, 1}, 0, DeviceFamily::Any},
    {cmd::AddCommand, Access::Write, {0x0D, 0x0D}, 0, DeviceFamily::Any},
    {cmd::ReadCommandBatch, Access::Read, {2, 2}, 0, DeviceFamily::Any},
    {cmd::WriteTimeoutHandling, Access::Write, {1, 1}, 40, DeviceFamily::Any},
    {cmd::ReadTimeoutHandling, Access::Read, {0, 0}, 40, DeviceFamily::Any},
    {cmd::WriteCharIntervals, Access::Write, {4, 4}, 50, DeviceFamily::Any},
    {cmd::ReadCharIntervals, Access::Read, {0, 0}, 50, DeviceFamily::Any},
    {cmd::WriteProfibusAddress, Access::Write, {1, 1}, 60, DeviceFamily::Any},
    {cmd::ReadProfibusAddress, Access::Read, {0, 0}, 60, DeviceFamily::Any},
    {cmd::WriteConfigurationModes, Access::Write, {2, 2}, 60, DeviceFamily::Any},
    {cmd::ReadConfigurationModes, Access::Read, {0, 0}, 60, DeviceFamily::Any},
    {cmd::ReadProfibusConfigData, Access::Read, {0, 0}, 30, DeviceFamily::Any},
};

// Device type 5, the EtherNet/IP gateway, takes the timeout-handling frames of
// old projects whatever its firmware.
bool ignoresFirmwareGate(std::uint8_t code, std::uint8_t deviceType) {
    return deviceType == 5 &&
           (code == cmd::WriteTimeoutHandling || code == cmd::ReadTimeoutHandling);
}

bool inFamily(DeviceFamily family, std::uint8_t deviceType) {
    switch (family) {
        case DeviceFamily::Any: return true;
        case DeviceFamily::DeviceNet: return deviceType == 1;
        case DeviceFamily::Profibus:
            return deviceType == 2 || deviceType == 4 || deviceType == 6 || deviceType == 7;
    }
    return false;
}

}  // namespace

const CommandRule* findRule(std::uint8_t code) {
    const auto* it = std::find_if(std::begin(kRules), std::end(kRules),
                                  [code](const CommandRule& r) { return r.code == code; });
    return it == std::end(kRules) ? nullptr : it;
}

bool knowsRequest(const CommandRule& rule, std::uint8_t deviceType, int firmwareVersion) {
    if (!inFamily(rule.family, deviceType)) return false;
    return firmwareVersion >= rule.minFirmware || ignoresFirmwareGate(rule.code, deviceType);
}

}  // namespace korvex::gatewaysim
