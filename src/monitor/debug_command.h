#pragma once
// The Debug command's decisions: which Monitor/Modify mode a project gets, when
// the firmware generation is asked, what each answer leads to, and which
// windows need the serial port.
#include <optional>

#include "model/project.h"
#include "monitor/monitor_types.h"

namespace korvex::monitor {

// The entries of "Select Firmware version", in list order.
enum class FirmwareGeneration {
    FiveAndAbove,  // "5.0 and above": the gateway is put into its debug state
    FourOrThree,   // "4.X or 3.X": the Monitor/Modify window
};

int firmwareGenerationIndex(FirmwareGeneration generation);
// The entry at a list position; anything but position 1 reads as the first entry.
FirmwareGeneration firmwareGenerationAt(int index);

// The Monitor/Modify mode of a project: serial for kind 3 or legacyFlag233b,
// Ethernet for kind 4, none for the other kinds (the window then opens without
// columns and receives nothing).
std::optional<MonitorMode> monitorModeFor(const Project& project);

// What the Debug command does after the port choice, and after each answer.
enum class DebugStep {
    AskFirmwareVersion,  // show "Select Firmware version"
    OpenMonitor,         // the Monitor/Modify window
    EnterDebugState,     // switch the gateway, then the debug-mode window
    End,                 // nothing more
};

// Without extendedSettingsFlag the Monitor/Modify window opens at once.
DebugStep firstDebugStep(const Project& project);
// The answer of "Select Firmware version" (nullopt: it was cancelled).
DebugStep stepAfterFirmwareChoice(std::optional<FirmwareGeneration> choice);

// Whether the step opens the serial port: the debug state always does, the
// Monitor/Modify window in serial mode. A step that needs the port and finds
// none in the port list shows "Failing in opening serial port!" instead.
bool stepNeedsSerialPort(DebugStep step, const Project& project);

}  // namespace korvex::monitor
