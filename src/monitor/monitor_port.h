#pragma once
// Opening the serial port of the monitor windows: the Monitor/Modify window's
// port at 115200 baud with its own messages, and the chosen port's name for the
// debug-mode exchanges (opened at 19200 with serial::openFixedRatePort).
#include <memory>
#include <optional>
#include <string>

#include "model/texts/text.h"
#include "serial/port_open.h"

namespace korvex::monitor {

struct MonitorPortOpen {
    std::unique_ptr<serial::ByteLink> link;
    std::string name;                // the port opened or tried
    std::optional<Message> failure;  // shown, then the window closes
};

// The chosen port at 115200 baud, 8 data bits, no parity, the settings' stop
// bits. No port in the list, or one that will not open: "Failing in opening
// serial port!"; line settings that cannot be read: "Failing in reading serial
// port"; that cannot be applied: the port texts' write failure. The system's
// reason follows the message when it gave one.
MonitorPortOpen openMonitorPort(serial::PortOpener& opener, const serial::SerialPorts& ports);

}  // namespace korvex::monitor
