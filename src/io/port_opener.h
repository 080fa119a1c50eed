#pragma once
// The transfers' PortOpener over the real port: a SerialByteLink with the
// requested line settings and queue size. When the system refuses permission,
// the error names the group that owns the device, so the message can tell the
// user which group to join.
#include <string>

#include "serial/port_open.h"

namespace korvex::io {

class SerialPortOpener : public serial::PortOpener {
public:
    std::unique_ptr<serial::ByteLink> open(const serial::PortOpenRequest& request,
                                           serial::PortOpenError& error) override;
};

// The name of the group that owns the device file (symbolic links followed);
// empty when it cannot be found.
std::string owningGroupOf(const std::string& path);

}  // namespace korvex::io
