#pragma once
// The checks a project passes before it is downloaded: those of the Download
// command before its window opens, and those the download itself makes before
// it sends anything.
#include "model/project.h"

namespace korvex {
class Operator;
class PlcBlocks;
struct MappingState;
}  // namespace korvex

namespace korvex::serial {

struct FieldbusTotals;

// The Download command's checks, in order: vacant values of "Modbus Master"
// subnets, the DeviceNet size limit, the slave address of a "Modbus Slave"
// subnet 1, nodes without commands, overlapping mappings (the user may let the
// automatic mapping repair them; this changes the project), the PROFIBUS
// configuration data and the mapping ranges. The first failing check shows its
// message; false means the command ends. `plc`: PLC address mode (nullptr: off).
bool checkBeforeDownload(Project& project, MappingState& mapping, const PlcBlocks* plc, Operator& op);

// The checks at the start of the download sequence: PROFIBUS sizes of old
// projects, vacant node addresses, nodes without commands and mapping conflicts
// (questions), and an automatic mapping that overflowed (question). False: stop,
// nothing was sent.
bool checkBeforeSending(const Project& project, const MappingState& mapping, const PlcBlocks* plc, Operator& op);

// Whether a gateway whose capacity byte is below 244 refuses the project: the
// byte counts of subnet 1's commands and the fieldbus totals against 224 bytes.
bool exceedsSmallFirmwareLimit(const Project& project, const FieldbusTotals& totals);

// Whether some node of some subnet is the slave of none of its subnet's commands.
bool hasNodeWithoutCommands(const Project& project);

}  // namespace korvex::serial
