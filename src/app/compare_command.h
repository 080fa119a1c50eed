#pragma once
// Tools > "Compare with File...": the open dialog, the chosen file read into
// memory (a file that cannot be read is reported as Open reports it), the
// comparison with the open project, and the window listing the differences.
// The open project is only read.
#include <functional>

#include "app/compare_window.h"
#include "app/transfer/transfer_commands.h"
#include "app/ui_services.h"
#include "mapping/plc_blocks.h"
#include "model/operator.h"
#include "model/plc_addressing.h"
#include "model/project.h"
#include "net/ethernet_target.h"

namespace korvex::app {

// Returns the window, shown and deleted when closed; nullptr when the dialog
// was cancelled or the file could not be read.
CompareWindow* runCompareWithFile(QWidget* parent, UiServices& ui, Operator& op, const Project& project,
                                  const PlcAddressing* plc);

// Tools > "Compare with Gateway...": the port prepared and chosen as for an
// Upload, then the comparison window (modal, like the transfer windows); each
// finished comparison is handed to `show`. Over the serial line.
CommandEnd runCompareWithGateway(const SerialCommandContext& c, const std::function<void(const CompareResult&)>& show);

// The same for an EtherNet/IP project: the search window picks the gateway, as
// for an Upload, then the Ethernet comparison window.
void runCompareWithEthernetGateway(QWidget* parent, const Project& project, const PlcBlocks* plc,
                                   net::EthernetTarget& target, Operator& op,
                                   const std::function<void(const CompareResult&)>& show);

}  // namespace korvex::app
