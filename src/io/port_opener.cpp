#include "io/port_opener.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "io/serial_byte_link.h"

namespace korvex::io {

namespace {

Parity toIoParity(serial::Parity parity) {
    switch (parity) {
        case serial::Parity::Odd: return Parity::Odd;
        case serial::Parity::Even: return Parity::Even;
        case serial::Parity::Mark: return Parity::Mark;
        case serial::Parity::Space: return Parity::Space;
        case serial::Parity::None: break;
    }
    return Parity::None;
}

}  // namespace

std::unique_ptr<serial::ByteLink> SerialPortOpener::open(const serial::PortOpenRequest& request,
                                                         serial::PortOpenError& error) {
    LineSettings line;
    line.baudRate = request.line.baudRate;
    line.dataBits = request.line.dataBits;
    line.parity = toIoParity(request.line.parity);
    line.stopBits = request.line.stopBits;
    line.readBufferSize = request.queueSize;
    std::string reason;
    bool permissionDenied = false;
    std::unique_ptr<SerialByteLink> link = SerialByteLink::open(request.path, line, &reason, &permissionDenied);
    if (link) return link;
    error.stage = serial::PortOpenError::Stage::Open;
    error.reason = reason;
    error.permissionDenied = permissionDenied;
    if (permissionDenied) error.owningGroup = owningGroupOf(request.path);
    return nullptr;
}

std::string owningGroupOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    long size = ::sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    struct group entry {};
    struct group* found = nullptr;
    if (::getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
    return found->gr_name ? std::string(found->gr_name) : std::string();
}

}  // namespace korvex::io
