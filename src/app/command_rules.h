#pragma once
// Which main-window commands are enabled, from the project, the editor's
// selection flags and the window's own flags. Plain data in, plain data out,
// no Qt, so the rules read as one table.
#include "model/project.h"

namespace korvex::app {

// The window's view flags that take part in enabling.
struct FrameFlags {
    bool canAddNode = false;
    bool canDeleteNode = false;
    bool canAddCommand = false;
    bool canDeleteCommand = false;
    // Conflict detection and automatic mapping: true after every New and Open,
    // then follows whether subnet 1 is "Modbus Master".
    bool mappingToolsEnabled = true;
    // A base-address edit is in force (Cancel Base Address).
    bool baseAddressEditActive = false;
};

struct CommandEnabling {
    bool addNode = false;
    bool deleteNode = false;
    bool addCommand = false;
    bool deleteCommand = false;
    bool serialConnection = false;
    bool ethernetConnection = false;
    bool upload = true;
    bool download = true;
    bool conflictDetection = false;
    bool exportExcel = true;
    bool debug = false;
    bool calculateMapping = false;
    bool editBaseAddress = true;
    bool cancelBaseAddress = false;

    bool operator==(const CommandEnabling&) const = default;
};

CommandEnabling commandEnabling(const Project& project, const FrameFlags& flags);

}  // namespace korvex::app
