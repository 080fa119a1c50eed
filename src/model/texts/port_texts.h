#pragma once
// Texts of the serial port layer: the "Serial Port Configuration" dialog, the
// messages of opening a port, and the serial transfer commands' own messages.
#include "model/texts/serial_texts.h"
#include "model/texts/text.h"

namespace korvex::texts {

// "Serial Port Configuration" dialog
KORVEX_TEXT(PortDialogTitle, "Serial Port Configuration");
KORVEX_TEXT(PortDialogPort, "Com");
KORVEX_TEXT(PortDialogBaudRate, "Baud  Rate");
KORVEX_TEXT(PortDialogParity, "Check  Bit");
KORVEX_TEXT(PortDialogDataBits, "Data   Bits");
KORVEX_TEXT(PortDialogStopBits, "Stop   Bits");
KORVEX_TEXT(PortDialogOk, "OK");
KORVEX_TEXT(PortDialogCancel, "Cancel");
KORVEX_TEXT(PortPathInvalid, "\"%1\" is not a device path such as /dev/ttyUSB0.");

KORVEX_TEXT(Baud300, "300");
KORVEX_TEXT(Baud600, "600");
KORVEX_TEXT(Baud1200, "1200");
KORVEX_TEXT(Baud2400, "2400");
KORVEX_TEXT(Baud4800, "4800");
KORVEX_TEXT(Baud9600, "9600");
KORVEX_TEXT(Baud19200, "19200");
KORVEX_TEXT(Baud115200, "115200");
KORVEX_TEXT(ParityNone, "None");
KORVEX_TEXT(ParityOdd, "Odd");
KORVEX_TEXT(ParityEven, "Even");
KORVEX_TEXT(ParityMark, "Mark");
KORVEX_TEXT(ParitySpace, "Space");
KORVEX_TEXT(DataBits8, "8");
KORVEX_TEXT(DataBits7, "7");
KORVEX_TEXT(DataBits6, "6");
KORVEX_TEXT(DataBits5, "5");
KORVEX_TEXT(StopBits1, "1");
KORVEX_TEXT(StopBits2, "2");

// Opening a port
// (NoSerialPort and PortOpenFailed are among the transfer texts, serial_texts.h.)
KORVEX_TEXT(PortLineStateReadFailed, "Failing in reading serial port");
// The mark after "Error" is the full-width exclamation mark of the Chinese
// code page as a windows-1252 reader shows it.
KORVEX_TEXT(PortLineStateWriteFailed, "Error\xC2\xA3\xC2\xA1" "Com port can not be opened!");
KORVEX_TEXT(FixedRatePortOpenFailed, "Failed to open the serial port %1 ");


// What the system said, shown below the message of a port that could not be
// opened, and the hint for the most common cause on Linux.
KORVEX_TEXT(PortFailureWithReason, "%1\n\n%2");
KORVEX_TEXT(PortPermissionHint,
            "Your user account may not use %1. Add it to the group \"%2\" that owns the device "
            "(for example: sudo adduser $USER %2), then log out and in again.");
KORVEX_TEXT(PortPermissionHintNoGroup,
            "Your user account may not use %1. Add it to the group that owns the device "
            "(dialout on Debian), then log out and in again.");

// Command line of the desktop application
KORVEX_TEXT(CliSerialPort,
            "Add the serial device PATH (for example a pseudo-terminal of korvex-gatewaysim) to the list "
            "of ports; may be given more than once. KORVEX_SERIAL_PORTS adds paths separated by \":\".");

}  // namespace korvex::texts
