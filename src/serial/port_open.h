#pragma once
// Opening a serial port for a transfer or for the fixed-rate Debug link, and the
// messages a failure shows. The open itself goes through PortOpener, which the
// io layer implements over the real port and tests with a stand-in.
#include <memory>
#include <optional>
#include <string>

#include "model/texts/text.h"
#include "serial/byte_link.h"
#include "serial/port_choice.h"
#include "serial/serial_settings.h"

namespace korvex::serial {

// Why an open failed, as the system said it.
struct PortOpenError {
    enum class Stage {
        Open,            // the device could not be opened
        ReadLineState,   // its line settings could not be read
        WriteLineState,  // the line settings could not be applied
    };
    Stage stage = Stage::Open;
    std::string reason;             // the system's words, may be empty
    bool permissionDenied = false;  // the user may not open the device
    std::string owningGroup;        // the device's group, when known
};

// What to open: the device, its line settings and the size of its queues. The
// port is purged (both directions) once it is set up.
struct PortOpenRequest {
    std::string path;
    LineSettings line;
    int queueSize = kPortQueueSize;
};

class PortOpener {
public:
    virtual ~PortOpener() = default;
    // The open link, or null with `error` filled. The link belongs to the thread
    // that called open.
    virtual std::unique_ptr<ByteLink> open(const PortOpenRequest& request, PortOpenError& error) = 0;
};

enum class TransferDirection { Download, Upload };

struct OpenedPort {
    std::unique_ptr<ByteLink> link;
    // The name opened (or tried), remembered so the window can reopen it.
    std::string name;
    // Shown when the port could not be opened (nothing when there was simply no
    // port to open and the upload window says nothing about it).
    std::optional<Message> failure;
    // The failure ends the window (a port that exists but would not open); an
    // empty port list leaves the window open without a port.
    bool closesWindow = false;
};

// The port a transfer window opens when it appears: the chosen entry of the
// port list with the settings' line settings. An empty list shows "Failed to
// find serial port" for a download and nothing for an upload.
OpenedPort openTransferPort(PortOpener& opener, const SerialPorts& state, TransferDirection direction);

// A later attempt of the same window: the remembered name again, with the
// settings' line settings.
OpenedPort reopenTransferPort(PortOpener& opener, const std::string& name, const SerialSettings& settings);

// The Debug command's port: `name` at `baudRate`, 8 data bits, no parity, one
// stop bit. On failure `failure` holds "Failed to open the serial port ...".
std::unique_ptr<ByteLink> openFixedRatePort(PortOpener& opener, const std::string& name, int baudRate,
                                            std::optional<Message>& failure);

// The message of a failed open: the text of its stage, then the system's
// reason and, when permission was refused, the hint about the device's group.
Message portFailureMessage(const Message& stageMessage, const std::string& path, const PortOpenError& error);

}  // namespace korvex::serial
