#pragma once
// Automatic mapping addresses: lays the commands of subnet 1 (and of subnet 2 for
// DeviceKind 4) out one after the other in the gateway memory, reads from the
// input area, writes from 0x4000, and checks that they fit.
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/project.h"

namespace korvex {

class Operator;
class PlcBlocks;

// Program-wide state of the calculation.
struct MappingState {
    // Set by a run whose checks failed; the download refuses to continue after a
    // recalculation that set it. Cleared at the start of every run.
    bool mappingOverflow = false;
    // Input and output byte sums of the last accepted PROFIBUS configuration data;
    // empty configuration data keeps them in force.
    std::int64_t configInputBytes = 0;
    std::int64_t configOutputBytes = 0;
};

struct ConfigDataSums {
    std::int64_t inputBytes = 0;
    std::int64_t outputBytes = 0;
};

// Reads PROFIBUS-DP configuration data ("D1 E1": hex byte pairs at positions 0-1,
// 3-4, 6-7, ...; a character that is not a hex digit counts as 0) and sums the
// input and output lengths of its identifiers (compact and special formats; a word
// counts two bytes). nullopt when there are more than 8 bytes, when the identifiers
// do not end exactly at the end of the data, or when a sum exceeds 112. Empty text
// gives zero sums.
std::optional<ConfigDataSums> parseProfibusConfigData(std::string_view text);

// The calculation (no question). Messages go to op. Returns false when it set
// mappingOverflow. While PLC mode is on (plc not null) the laid-out addresses are
// stored in PLC form. Does not set the project's modified flag.
bool calculateMappingAddresses(Project& project, MappingState& state, const PlcBlocks* plc, Operator& op);

// Whether "Calculate Mapping Address" is enabled: with extendedSettingsFlag while
// subnet 1 is "Modbus Master"; without it unless DeviceKind is 2 or legacyFlag243.
bool calculateMappingEnabled(const Project& project);

enum class CalculateOutcome { Declined, Done, Overflow };
// The menu command: asks first; anything but Yes changes nothing.
CalculateOutcome runCalculateMappingCommand(Project& project, MappingState& state, const PlcBlocks* plc,
                                            Operator& op);

}  // namespace korvex
