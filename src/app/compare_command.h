#pragma once
// Tools > "Compare with File...": the open dialog, the chosen file read into
// memory (a file that cannot be read is reported as Open reports it), the
// comparison with the open project, and the window listing the differences.
// The open project is only read.
#include "app/compare_window.h"
#include "app/ui_services.h"
#include "model/operator.h"
#include "model/plc_addressing.h"
#include "model/project.h"

namespace korvex::app {

// Returns the window, shown and deleted when closed; nullptr when the dialog
// was cancelled or the file could not be read.
CompareWindow* runCompareWithFile(QWidget* parent, UiServices& ui, Operator& op, const Project& project,
                                  const PlcAddressing* plc);

}  // namespace korvex::app
