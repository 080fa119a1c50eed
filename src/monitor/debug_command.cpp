#include "monitor/debug_command.h"

namespace korvex::monitor {

int firmwareGenerationIndex(FirmwareGeneration generation) {
    return generation == FirmwareGeneration::FourOrThree ? 1 : 0;
}

FirmwareGeneration firmwareGenerationAt(int index) {
    return index == 1 ? FirmwareGeneration::FourOrThree : FirmwareGeneration::FiveAndAbove;
}

std::optional<MonitorMode> monitorModeFor(const Project& project) {
    if (project.deviceKind == 3 || project.flags.legacyFlag233b) return MonitorMode::Serial;
    if (project.deviceKind == 4) return MonitorMode::Ethernet;
    return std::nullopt;
}

DebugStep firstDebugStep(const Project& project) {
    return project.flags.extendedSettingsFlag ? DebugStep::AskFirmwareVersion : DebugStep::OpenMonitor;
}

DebugStep stepAfterFirmwareChoice(std::optional<FirmwareGeneration> choice) {
    if (!choice) return DebugStep::End;
    return *choice == FirmwareGeneration::FourOrThree ? DebugStep::OpenMonitor : DebugStep::EnterDebugState;
}

bool stepNeedsSerialPort(DebugStep step, const Project& project) {
    switch (step) {
        case DebugStep::EnterDebugState: return true;
        case DebugStep::OpenMonitor: return monitorModeFor(project) == MonitorMode::Serial;
        case DebugStep::AskFirmwareVersion:
        case DebugStep::End: break;
    }
    return false;
}

}  // namespace korvex::monitor
