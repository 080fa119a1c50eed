#pragma once
// Which help text a click on a grid row puts in the prompt pane. The choice
// depends on the kind of the selected tree item, the row, the gateway variant,
// a few variant flags and the PLC address mode; some rows empty the pane and
// some leave the text of the previous click.
#include "editor/tree_model.h"
#include "model/project.h"
#include "model/texts/text.h"

namespace korvex {

// The prompt pane outcome of a click.
enum class PromptUpdate { Unchanged, Empty, Text };

struct HelpChoice {
    PromptUpdate update = PromptUpdate::Unchanged;
    const Text* text = nullptr;  // the help text when update is Text
};

HelpChoice chooseHelpText(const Project& project, bool plcAddressMode, NodeKind kind, int row);

}  // namespace korvex
