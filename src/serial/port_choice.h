#pragma once
// Which serial port a transfer uses: the list of ports the system offers (plus
// ports named on the command line, in KORVEX_SERIAL_PORTS or typed into the port
// dialog), the USB adapters among them, and the rules that pick one.
//
// Port names are Linux device paths (/dev/ttyUSB0, /dev/ttyACM0, /dev/ttyS0,
// /dev/serial/by-id/..., a pseudo-terminal /dev/pts/N) and are opened as they
// are listed.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "serial/serial_settings.h"

namespace korvex::serial {

// One port as the system reports it.
struct PortEntry {
    std::string path;
    bool usbAttached = false;

    bool operator==(const PortEntry&) const = default;
};

// Where the system's ports come from: the io layer asks the system, tests use a
// fixed list.
class PortSource {
public:
    virtual ~PortSource() = default;
    virtual std::vector<PortEntry> systemPorts() = 0;
};

// USB adapters recorded beyond this many are not counted.
inline constexpr std::size_t kMaxUsbPorts = 24;

// The ports of the last enumeration, in list order.
struct PortLists {
    std::vector<std::string> ports;
    // List positions of the USB-attached ports (at most kMaxUsbPorts).
    std::vector<std::size_t> usbPositions;

    std::vector<std::string> usbPorts() const;
};

// The process-wide serial state: the settings, the lists, and the ports added
// by hand (command line, environment, typed paths) that every enumeration keeps.
struct SerialPorts {
    SerialSettings settings;
    PortLists lists;
    std::vector<std::string> addedPorts;
};

// Builds the lists: the added ports first, in the order given, then the
// system's ports that are not already listed. An added port the system also
// reports takes the system's USB identity.
PortLists buildPortLists(const std::vector<std::string>& addedPorts, const std::vector<PortEntry>& systemPorts);

// Rebuilds the lists and sets the baud index to the kind's default (start-up,
// New, and every opening of the port dialog).
void enumerateSerialPorts(SerialPorts& state, PortSource& source, std::int32_t deviceKind);

// Run first by Download, Upload and Debug: rebuilds the lists; a lone USB
// adapter becomes the chosen port (no dialog needed); the line settings go back
// to 19200 8N1 for every kind.
void prepareForTransfer(SerialPorts& state, PortSource& source);

// Whether the port dialog must be shown before a transfer: no port was chosen
// yet, or the chosen index no longer names a port because the list shrank (an
// adapter was unplugged). In the latter case the index is reset to the first
// port so the dialog shows it selected.
bool portDialogNeeded(SerialPorts& state);

// Shows the port dialog (through `runPortDialog`) when portDialogNeeded, then
// marks the settings as chosen, whichever button closed the dialog.
void ensureSettingsChosen(SerialPorts& state, const std::function<void()>& runPortDialog);

// The name of the chosen port as it is opened (a negative index reads as 0);
// nothing when the list is empty or the index lies past its end.
std::optional<std::string> chosenPortName(const SerialPorts& state);

// ---- The port dialog ("Serial Port Configuration"), without its widgets ----

// What the dialog shows when it opens.
struct PortDialogView {
    std::vector<std::string> ports;
    int portSelection = -1;  // -1: the list is empty
    int baudIndex = 0;
    int parityIndex = 0;
    int dataBitsIndex = 0;
    int stopBitsIndex = 0;
};

// Construction and opening: the kind's first baud default, an enumeration, and
// the selections (a port index past the list selects, and stores, the first
// port).
PortDialogView openPortDialog(SerialPorts& state, PortSource& source, std::int32_t deviceKind);

// What the user left in the dialog at OK.
struct PortDialogChoice {
    int portSelection = -1;  // list position, or -1 for none
    std::string typedPath;   // text of the port box when it is not a list entry
    int baudIndex = 0;
    int parityIndex = 0;
    int dataBitsIndex = 0;
    int stopBitsIndex = 0;
};

// OK: stores the selections and marks the settings as chosen. A typed device
// path is added to the ports (kept for the run) and chosen. With no port
// listed and nothing typed the previous port index is kept. Returns false,
// storing nothing, when the typed text is no usable device path.
bool acceptPortDialog(SerialPorts& state, const PortDialogChoice& choice);

// ---- Port names from outside ----

// A device path typed by the user: surrounding blanks removed, a bare name such
// as "ttyUSB0" taken as /dev/ttyUSB0. Nothing for an empty text, a relative
// path with a folder, control characters or a path longer than 1024 bytes.
std::optional<std::string> typedDevicePath(std::string_view typed);

// The paths of KORVEX_SERIAL_PORTS: separated by ':', empty parts skipped,
// each checked as a typed path; unusable parts are dropped.
std::vector<std::string> portPathsFromList(std::string_view text);

// Appends a path to the added ports unless it is already there.
void addPort(std::vector<std::string>& addedPorts, const std::string& path);

// Whether the system reports a USB identity for a port: both a vendor and a
// product identifier, or a USB bus on the way to its device in the system's
// device tree (a path element "usbN" or one with a "usb" prefix such as
// "usb-serial").
bool isUsbIdentity(bool hasVendorId, bool hasProductId, std::string_view deviceTreePath);

}  // namespace korvex::serial
