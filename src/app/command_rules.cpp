#include "app/command_rules.h"

namespace korvex::app {

CommandEnabling commandEnabling(const Project& project, const FrameFlags& flags) {
    const VariantFlags& v = project.flags;
    const int kind = project.deviceKind;
    CommandEnabling e;
    e.addNode = flags.canAddNode;
    e.deleteNode = flags.canDeleteNode;
    e.addCommand = flags.canAddCommand;
    e.deleteCommand = flags.canDeleteCommand;
    e.serialConnection = kind != 4;
    e.ethernetConnection = kind == 4;
    e.upload = true;
    e.download = true;
    e.conflictDetection = v.extendedSettingsFlag ? (flags.mappingToolsEnabled && !v.legacyFlag243) : !v.legacyFlag243;
    e.exportExcel = true;
    e.debug = (kind == 3 || kind == 4 || v.legacyFlag233b) && !v.legacyFlag243;
    e.calculateMapping = v.extendedSettingsFlag ? flags.mappingToolsEnabled : !(kind == 2 || v.legacyFlag243);
    e.editBaseAddress = true;
    e.cancelBaseAddress = flags.baseAddressEditActive;
    return e;
}

}  // namespace korvex::app
