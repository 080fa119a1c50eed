#pragma once
// The serial ports of this computer, as the port dialog and the transfers list
// them: what QSerialPortInfo finds, each marked USB-attached when the system
// reports a USB identity for it.
#include <string>
#include <vector>

#include "serial/port_choice.h"

namespace korvex::io {

class SystemPortSource : public serial::PortSource {
public:
    std::vector<serial::PortEntry> systemPorts() override;
};

// The ports KORVEX_SERIAL_PORTS names (device paths separated by ':').
std::vector<std::string> portsFromEnvironment();

}  // namespace korvex::io
