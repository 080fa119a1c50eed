#pragma once
// Texts of the Monitor/Modify window, the Debug command and the debug monitor:
// the report statuses, exceptions and directions, the columns, the buttons and
// the messages of both windows.
#include "model/texts/text.h"

namespace korvex::texts {

// Report statuses (both windows). "Respond abnormally " ends with a blank.
KORVEX_TEXT(StatusRespondCorrectly, "Respond correctly");
KORVEX_TEXT(StatusRespondAbnormally, "Respond abnormally ");
KORVEX_TEXT(StatusRespondIncorrectly, "Respond incorrectly");
KORVEX_TEXT(StatusResponseTimeout, "Response timeout");
KORVEX_TEXT(NodeNoResponse, "The node has no response");

// Exception codes of a serial report with status 1 (any unknown code reads as 01).
KORVEX_TEXT(Exception01, "01 (Incorrect function code)");
KORVEX_TEXT(Exception02, "02 (Incorrect data address)");
KORVEX_TEXT(Exception03, "03 (Incorrect data)");
KORVEX_TEXT(Exception04, "04 (Slave equipment error)");
KORVEX_TEXT(Exception05, "05 (OK)");
KORVEX_TEXT(Exception06, "06 (Slave equipment is bussy)");
KORVEX_TEXT(Exception07, "07 (NO)");
KORVEX_TEXT(Exception08, "08 (The parity check of memory is wrong)");

// Debug report directions. The user-config texts are joined from "Serial port"
// and "->PROFIBUS" / "PROFIBUS->" and "Serial port".
KORVEX_TEXT(DirectionModbusToProfibus, "Modbus->PROFIBUS");
KORVEX_TEXT(DirectionProfibusToModbus, "PROFIBUS->Modbus");
KORVEX_TEXT(DirectionSerialToProfibus, "Serial port->PROFIBUS");
KORVEX_TEXT(DirectionProfibusToSerial, "PROFIBUS->Serial port");

// Columns (also the labels of the Monitor/Modify record).
KORVEX_TEXT(ColumnStatus, "Status");
KORVEX_TEXT(ColumnSlaveAddress, "Slave Address");
KORVEX_TEXT(ColumnStartingAddress, "Starting Address");
KORVEX_TEXT(ColumnDataOrException, "Data/Exception Code");
KORVEX_TEXT(ColumnSerialPortIndex, "Serial port index");
KORVEX_TEXT(ColumnIndex, "Index");
KORVEX_TEXT(ColumnFunctionCode, "Function Code");
KORVEX_TEXT(ColumnData, "Data");

// The windows (the Exit button is ExitButton of the transfer texts).
KORVEX_TEXT(MonitorWindowTitle, "Monitor/Modify");
KORVEX_TEXT(MonitorAddressLabel, "Memory mapping address:");
KORVEX_TEXT(MonitorDataLabel, "Data:");
KORVEX_TEXT(MonitorReadDataLabel, " Read data");
KORVEX_TEXT(MonitorSend, "Send");
KORVEX_TEXT(MonitorSaveContent, "Save Content");
KORVEX_TEXT(MonitorStopSaving, "Stop Saving");
KORVEX_TEXT(MonitorStopDisplaying, "Stop Displaying");
KORVEX_TEXT(MonitorContinueDisplay, "Continue to Display");
KORVEX_TEXT(MonitorClearData, "Clear data");
KORVEX_TEXT(MonitorStopDebugAndExit, "Stop debug and exit");
KORVEX_TEXT(MonitorSaveFilter, ".txt");

// Firmware-version choice of the Debug command.
KORVEX_TEXT(FirmwareChoiceTitle, "Select Firmware version");
KORVEX_TEXT(FirmwareChoiceCurrent, "5.0 and above");
KORVEX_TEXT(FirmwareChoiceOld, "4.X or 3.X");

// Monitor/Modify messages (the line-settings failures are the port texts'
// PortLineStateReadFailed and PortLineStateWriteFailed).
KORVEX_TEXT(MonitorPortOpenFailed, "Failing in opening serial port!");
KORVEX_TEXT(MonitorPortReadFailed, "Failing in reading serial port!");
KORVEX_TEXT(MonitorFillForm, "Please completely fill in the form!");
KORVEX_TEXT(MonitorNotHex, "Having inputted wrong data, please input correct data with hex as its format!");
KORVEX_TEXT(MonitorDataFormat, "The input-data format is wrong! ");
KORVEX_TEXT(MonitorAddressRange, "Memory mapping address go beyond appointed range!");
KORVEX_TEXT(MonitorReceivedFormat, "The format of received data is wrong!");
KORVEX_TEXT(MonitorSaveQuestion, "Save data to hard disk?");

// Debug command and debug monitor messages (the failed open is the port texts'
// FixedRatePortOpenFailed).
KORVEX_TEXT(DebugSwitchFailed, "Conversion to debug mode failed!");
KORVEX_TEXT(DebugProductMismatch, "Product version does not match!");
KORVEX_TEXT(DebugIllegalSubnet, "the gateway's sub network is illegal.");
KORVEX_TEXT(DebugDataTooLong, "The length of data out of range!");
KORVEX_TEXT(DebugIllegalCharacter, "Illegal character!");
KORVEX_TEXT(DebugAddressTooLong, "The size of mapping address exceed 244 bytes");
KORVEX_TEXT(DebugAddressNotHex, "Mapping address contains illegal characters");
KORVEX_TEXT(DebugAddressRange, "The range should be from 0x4000 to 0x40F3");
KORVEX_TEXT(DebugPortNotOpen, "fail to open the serial port. ");
KORVEX_TEXT(DebugLeaveQuestion, "Tessaly in debug state, whether changes to the configuration state?");

}  // namespace korvex::texts
