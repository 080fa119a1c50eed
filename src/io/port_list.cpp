#include "io/port_list.h"

#include <QByteArray>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace korvex::io {

namespace {

// Where the device sits in the system's device tree, for example
// /sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0; empty when the
// system has no entry for it (pseudo-terminals).
std::string deviceTreePath(const QSerialPortInfo& info) {
    const QFileInfo link(QStringLiteral("/sys/class/tty/%1/device").arg(info.portName()));
    return link.exists() ? link.canonicalFilePath().toStdString() : std::string();
}

}  // namespace

std::vector<serial::PortEntry> SystemPortSource::systemPorts() {
    std::vector<serial::PortEntry> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        serial::PortEntry entry;
        entry.path = info.systemLocation().toStdString();
        entry.usbAttached =
            serial::isUsbIdentity(info.hasVendorIdentifier(), info.hasProductIdentifier(), deviceTreePath(info));
        out.push_back(std::move(entry));
    }
    return out;
}

std::vector<std::string> portsFromEnvironment() {
    const QByteArray value = qgetenv("KORVEX_SERIAL_PORTS");
    return serial::portPathsFromList(std::string_view(value.constData(), static_cast<std::size_t>(value.size())));
}

}  // namespace korvex::io
