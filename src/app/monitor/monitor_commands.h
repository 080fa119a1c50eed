#pragma once
// The Debug command (Ctrl+K): the port choice, "Select Firmware version" for
// current projects, then the Monitor/Modify window (serial, or over UDP after
// the device search) or, for "5.0 and above", the gateway switched into its
// debug state and the debug-mode window. The decisions are
// monitor/debug_command.h; this file shows the windows they name.
#include "app/monitor/monitor_dialog.h"
#include "app/transfer/transfer_commands.h"
#include "net/ethernet_target.h"

namespace korvex::app {

struct DebugCommandContext {
    SerialCommandContext serial;
    net::EthernetTarget& target;
    DatagramSocketFactory sockets;
};

void runDebugCommand(const DebugCommandContext& c);

}  // namespace korvex::app
