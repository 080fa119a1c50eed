#include "app/mapping_commands.h"

#include "app/mapping_conflict_view.h"
#include "app/mapping_edit_base_dialog.h"

namespace korvex::app {

bool runCalculateMapping(Project& project, MappingProgramState& state, Operator& op) {
    return runCalculateMappingCommand(project, state.mapping, state.plc.active(), op) != CalculateOutcome::Declined;
}

bool runConflictDetection(QWidget* parent, Project& project, MappingProgramState& state, Operator& op) {
    const bool before = state.plc.plcAddressMode;
    runConflictCommand(parent, project, state.plc, state.baseQuestionDone, op);
    return state.plc.plcAddressMode != before;
}

bool runEditBaseAddressCommand(QWidget* parent, Project& project, MappingProgramState& state, Operator& op) {
    return runEditBaseAddress(parent, state.plc, project, op);
}

void runCancelBaseAddress(Project& project, MappingProgramState& state) { cancelBaseAddress(state.plc, project); }

}  // namespace korvex::app
