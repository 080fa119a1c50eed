#pragma once
// The command catalogue of the gateway's serial configuration protocol, shared by
// the transfer code and the gateway simulator so both sides agree on every code.
#include <cstdint>

namespace korvex::serial {

namespace command {
inline constexpr std::uint8_t ReadDeviceType = 0x01;
inline constexpr std::uint8_t SetOperatingState = 0x0F;
inline constexpr std::uint8_t WriteDeviceNetParameters = 0x21;
inline constexpr std::uint8_t ReadDeviceNetParameters = 0x22;
inline constexpr std::uint8_t WriteProfibusParameters = 0x30;
inline constexpr std::uint8_t ReadProfibusParameters = 0x31;
inline constexpr std::uint8_t WriteSubnetParameters = 0x03;
inline constexpr std::uint8_t ReadSubnetParameters = 0x04;
inline constexpr std::uint8_t ClearSubnetCommands = 0x14;
inline constexpr std::uint8_t ReadCommandCount = 0x15;
inline constexpr std::uint8_t AddCommand = 0x10;
inline constexpr std::uint8_t ReadCommandBatch = 0x16;
inline constexpr std::uint8_t WriteTimeoutHandling = 0x32;
inline constexpr std::uint8_t ReadTimeoutHandling = 0x33;
inline constexpr std::uint8_t WriteCharIntervals = 0x05;
inline constexpr std::uint8_t ReadCharIntervals = 0x06;
inline constexpr std::uint8_t WriteProfibusAddress = 0x36;
inline constexpr std::uint8_t ReadProfibusAddress = 0x37;
inline constexpr std::uint8_t WriteConfigurationModes = 0x3A;
inline constexpr std::uint8_t ReadConfigurationModes = 0x3B;
inline constexpr std::uint8_t ReadProfibusConfigData = 0x35;
// An error answer carries the request's code with this bit set and two data bytes.
inline constexpr std::uint8_t ErrorBit = 0x80;
}  // namespace command

// Data byte of SetOperatingState.
enum class OperatingState : std::uint8_t { Communication = 0, Configuration = 1, Debug = 2 };

// The gateway's answer to a switch into configuration or debug state (after
// unscrambling): 0F 02 00 00 11.
inline constexpr std::uint8_t kStateSwitchAcknowledgement[] = {0x0F, 0x02, 0x00, 0x00, 0x11};

// Length bytes of the long forms of the PROFIBUS and subnet parameter frames.
inline constexpr std::uint8_t kLongProfibusParametersLength = 0x03;
inline constexpr std::uint8_t kLongSubnetParametersLength = 0x17;

// Whether a request with this command and length byte travels with its data
// scrambled when the firmware is new (the device-type request never does; the
// PROFIBUS and subnet parameter frames only in their long forms).
constexpr bool requestIsScrambled(std::uint8_t cmd, std::uint8_t lengthByte) {
    switch (cmd) {
        case command::SetOperatingState:
        case command::ReadSubnetParameters:
        case command::ClearSubnetCommands:
        case command::ReadCommandCount:
        case command::AddCommand:
        case command::ReadCommandBatch:
        case command::WriteTimeoutHandling:
        case command::WriteCharIntervals:
        case command::WriteProfibusAddress:
        case command::WriteConfigurationModes:
            return true;
        case command::WriteProfibusParameters:
            return lengthByte == kLongProfibusParametersLength;
        case command::WriteSubnetParameters:
            return lengthByte == kLongSubnetParametersLength;
        default:
            return false;
    }
}

// Commands read back per batch in an upload. The gateway answers batch b with the
// commands b * size .. b * size + size - 1 of the subnet. Kinds 5 and 6 are
// single-subnet PROFIBUS variants like 1 and 3 and use the same size.
constexpr int commandBatchSize(std::int32_t deviceKind) { return deviceKind == 2 ? 20 : 6; }

// One command record of a batch answer: the command index and the 11 data bytes
// of its add-command frame (offsets 4 to 14).
inline constexpr int kCommandRecordSize = 12;

}  // namespace korvex::serial
