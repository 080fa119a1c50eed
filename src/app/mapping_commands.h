#pragma once
// The four data-mapping commands of the main window, each one call. The window
// keeps one MappingProgramState for the whole run (kept across New and Open).
// After each command that returns true the window rebuilds the tree and the grid
// and hands `state.plc.active()` to the editor session (setPlcAddressing), which
// is also the addressing to pass to openProject / writeProject.
#include "mapping/auto_mapping.h"
#include "mapping/plc_blocks.h"

class QWidget;

namespace korvex {
class Operator;
struct Project;
}

namespace korvex::app {

struct MappingProgramState {
    PlcState plc;                   // plcAddressMode, cancelBaseEnabled, the data blocks
    MappingState mapping;           // mappingOverflow and the last configuration-data sums
    bool baseQuestionDone = false;  // "Whether to edit base address?" no longer asked
};

// "Calculate Mapping Address" (Ctrl+M): the question, then the calculation. True
// when it ran (the tree and grid need a refresh); the project's modified flag is
// not set.
bool runCalculateMapping(Project& project, MappingProgramState& state, Operator& op);
// "Mapping Address Conflict Detection" (Ctrl+T). True when PLC mode was turned on
// on the way (the base-address dialog closed with OK); the view itself may also
// have given empty register addresses their PLC default, so refresh either way.
bool runConflictDetection(QWidget* parent, Project& project, MappingProgramState& state, Operator& op);
// "Edit Base Address": true when the dialog closed with OK.
bool runEditBaseAddressCommand(QWidget* parent, Project& project, MappingProgramState& state, Operator& op);
// "Cancel Base Address": leaves PLC mode; addresses back to gateway offsets.
void runCancelBaseAddress(Project& project, MappingProgramState& state);

}  // namespace korvex::app
