#pragma once
// The configuration frames a download writes, composed byte for byte from the
// Project. Pure functions: the download sequence sends them, `korvex-cli frames`
// prints them, the tests compare them with frames written out by hand.
#include <cstdint>
#include <vector>

#include "model/project.h"
#include "serial/gateway_frame.h"
#include "serial/identification.h"

namespace korvex {
class PlcBlocks;
}

namespace korvex::serial {

// The fieldbus data sizes derived from subnet 1's commands: with
// extendedSettingsFlag and subnet 1 in "Modbus Master", the largest end
// (gateway offset + size) of the read commands, and the largest end of the write
// commands counted from 0x4000; otherwise both 0. Sizes come from the function
// code and data count. `plc`: PLC address mode (nullptr: off).
struct FieldbusTotals {
    std::int64_t input = 0;
    std::int64_t output = 0;
    bool operator==(const FieldbusTotals&) const = default;
};
FieldbusTotals fieldbusTotals(const Project& project, const PlcBlocks* plc);
// Whether the totals are computed from the commands (otherwise they are 0).
bool totalsFromCommands(const Project& project);
// Sets every command's byteCount from its function code and data count
// (commands with an unknown function code keep theirs).
void refreshByteCounts(SubnetConfig& subnet);

// The gateway offset of a command's mapping address (writes to the output area
// from 0x4000); nullopt when it is not assigned or cannot be read.
std::optional<std::int64_t> commandGatewayOffset(const ModbusCommand& command, const PlcBlocks* plc);

// Single frames, unscrambled.
Bytes deviceNetParametersFrame(const Project& project);
// The short form (kind 1) or the long form (kinds 3 and 6, with subnet 1's
// length-prefix flag); offsets 2 and 3 carry the low bytes of the totals.
Bytes profibusParametersFrame(const Project& project, const FieldbusTotals& totals, bool longForm);
// The short 17-byte form or the long 26-byte form of subnet `subnet` (0-based).
Bytes subnetParametersFrame(const Project& project, int subnet, bool longForm);
Bytes clearCommandsFrame(int subnet);
Bytes addCommandFrame(const Project& project, int subnet, int command, const PlcBlocks* plc);
Bytes timeoutHandlingFrame(const Project& project);
Bytes charIntervalsFrame(const Project& project);
Bytes profibusAddressFrame(const Project& project);
Bytes configurationModesFrame(const Project& project);

// Whether a project's subnet parameters go in the long form.
bool usesLongSubnetForm(const Project& project);
// Whether a subnet's protocol is "Modbus Master" (it gets a command list).
bool isModbusMaster(const SubnetConfig& subnet);

enum class FrameRole {
    FieldbusParameters,
    SubnetParameters,
    ClearCommands,
    AddCommand,
    TimeoutHandling,
    CharIntervals,
    ProfibusAddress,
    ConfigurationModes,
};

struct PlannedFrame {
    FrameRole role = FrameRole::FieldbusParameters;
    int subnet = 0;    // subnet frames: 0-based subnet
    int command = -1;  // add-command frames: 0-based index in the subnet
    Bytes bytes;       // unscrambled

    bool operator==(const PlannedFrame&) const = default;
};

// Every frame a download sends after the identification, in order, for a gateway
// with this identity (which frames apply depends on the firmware version). The
// return to communication at the very end, sent only when the user agrees, is
// not part of it.
std::vector<PlannedFrame> planDownloadFrames(const Project& project, const GatewayIdentity& identity,
                                             const PlcBlocks* plc);
// The same, bytes only.
std::vector<Bytes> composeDownloadFrames(const Project& project, const GatewayIdentity& identity,
                                         const PlcBlocks* plc);

}  // namespace korvex::serial
