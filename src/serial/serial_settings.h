#pragma once
// The user's choice of serial port and line settings, kept for the whole run
// (not in the project file). Every field is an index into one of the lists of
// the "Serial Port Configuration" dialog, so a list position equals the index.
#include <array>
#include <cstdint>
#include <string_view>

#include "model/texts/text.h"

namespace korvex::serial {

enum class Parity : std::uint8_t { None, Odd, Even, Mark, Space };

// Line settings as the port is set up with them.
struct LineSettings {
    int baudRate = 19200;
    int dataBits = 8;
    Parity parity = Parity::None;
    int stopBits = 1;

    bool operator==(const LineSettings&) const = default;
};

// The dialog's lists, in their order.
inline constexpr std::array<int, 8> kBaudRates = {300, 600, 1200, 2400, 4800, 9600, 19200, 115200};
inline constexpr std::array<int, 4> kDataBits = {8, 7, 6, 5};
inline constexpr int kParityCount = 5;    // None, Odd, Even, Mark, Space
inline constexpr int kStopBitsCount = 2;  // 1, 2

inline constexpr int kBaud19200Index = 6;
inline constexpr int kBaud115200Index = 7;

// The size the port's receive and send queues are set to (4069, not 4096, as
// the gateway's configuration tool has always asked for).
inline constexpr int kPortQueueSize = 4069;

struct SerialSettings {
    int portIndex = 0;
    int baudIndex = kBaud19200Index;
    int parityIndex = 0;
    int dataBitsIndex = 0;
    int stopBitsIndex = 0;
    // The user confirmed a port in the dialog (or one was picked automatically);
    // once true it stays true for the run.
    bool settingsChosen = false;
    // The first opening of the port dialog has not yet applied the baud default
    // of the project's kind.
    bool baudDefaultPending = true;

    bool operator==(const SerialSettings&) const = default;
};

// The baud index a project of this kind starts with: 115200 for the
// four-subnet gateway (kind 2), 19200 for every other kind.
int defaultBaudIndex(std::int32_t deviceKind);

// The first construction of the port dialog in a run: kinds 0, 1 and 3 get
// 19200, kind 2 gets 115200, other kinds keep their index.
void applyFirstDialogBaudDefault(SerialSettings& settings, std::int32_t deviceKind);

// Every transfer (Download, Upload, Debug) runs at 19200 baud, no parity,
// 8 data bits, 1 stop bit, whatever the dialog showed before.
void resetLineSettingsForTransfer(SerialSettings& settings);

// The line settings the indexes stand for. An index outside its list takes the
// list's first entry; data bits index 3 is 5 bits, any stop-bits index but 0 is
// two stop bits.
LineSettings lineSettingsOf(const SerialSettings& settings);

// The entries of the dialog's four line-setting lists, as the user sees them.
std::array<Text, 8> baudRateEntries();
std::array<Text, 5> parityEntries();
std::array<Text, 4> dataBitsEntries();
std::array<Text, 2> stopBitsEntries();

}  // namespace korvex::serial
