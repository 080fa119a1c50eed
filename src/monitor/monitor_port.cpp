#include "monitor/monitor_port.h"

#include "model/texts.h"
#include "monitor/monitor_types.h"

namespace korvex::monitor {

MonitorPortOpen openMonitorPort(serial::PortOpener& opener, const serial::SerialPorts& ports) {
    MonitorPortOpen out;
    const std::optional<std::string> name = serial::chosenPortName(ports);
    if (!name) {
        out.failure = Message{texts::MonitorPortOpenFailed, {}};
        return out;
    }
    out.name = *name;
    serial::PortOpenRequest request;
    request.path = *name;
    request.line = serial::lineSettingsOf(ports.settings);
    request.line.baudRate = kSerialMonitorBaud;
    request.line.dataBits = 8;
    request.line.parity = serial::Parity::None;
    serial::PortOpenError error;
    out.link = opener.open(request, error);
    if (out.link) return out;
    Message stage{texts::MonitorPortOpenFailed, {}};
    if (error.stage == serial::PortOpenError::Stage::ReadLineState) stage = Message{texts::PortLineStateReadFailed, {}};
    if (error.stage == serial::PortOpenError::Stage::WriteLineState)
        stage = Message{texts::PortLineStateWriteFailed, {}};
    out.failure = serial::portFailureMessage(stage, *name, error);
    return out;
}

}  // namespace korvex::monitor
