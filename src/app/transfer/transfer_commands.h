#pragma once
// The main window's serial commands, each one call: Serial Connection (Ctrl+P),
// Download (Ctrl+D) and Upload (Ctrl+U). The window keeps the run's
// SerialPorts and passes them in with the project.
#include <functional>

#include "app/mapping_commands.h"
#include "serial/port_open.h"

class QWidget;

namespace korvex {
class Operator;
struct Project;
}  // namespace korvex

namespace korvex::app {

class UiServices;

struct SerialCommandContext {
    QWidget* parent;
    UiServices& ui;
    Operator& op;
    Project& project;
    MappingProgramState& mapping;
    serial::SerialPorts& ports;
    serial::PortSource& source;
    serial::PortOpener& opener;
};

enum class CommandEnd {
    Done,
    NotBuilt,  // the EtherNet/IP variant's transfers are not part of this build
};

// Before a serial window opens: the port dialog when no port is chosen yet or
// the chosen one is gone.
void ensurePortChosen(const SerialCommandContext& c);

// "Serial Port Configuration".
void runSerialConnection(const SerialCommandContext& c);

// Download: the checks (which may run the automatic mapping; `projectChanged`
// is then set), the port preparation, then the "Download configuration"
// window unless the gateway forbids configuration from afar.
CommandEnd runDownloadCommand(const SerialCommandContext& c, bool remoteConfigAllowed, bool& projectChanged);

// Upload: the port preparation, the "Upload Configuration " window
// (`onReplaced` runs when it replaced the project), then the byte counts of
// every command recomputed.
CommandEnd runUploadCommand(const SerialCommandContext& c, const std::function<void()>& onReplaced);

}  // namespace korvex::app
