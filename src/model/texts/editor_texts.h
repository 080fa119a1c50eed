#pragma once
// Texts of the configuration editor: tree labels, grid row
// labels, choice entries, messages and questions.
#include "model/texts/text.h"

namespace korvex::texts {

// Tree roots
KORVEX_TEXT(RootFieldbus, "Fieldbus");
KORVEX_TEXT(RootEthernet, "Ethernet");
KORVEX_TEXT(RootSubnet, "Subnet");
KORVEX_TEXT(RootSubnet2, "Subnet2");
KORVEX_TEXT(RootSubnet3, "Subnet3");
KORVEX_TEXT(RootSubnet4, "Subnet4");
// DeviceKind 4: "Subnet" and the Roman numeral one / two. Raw: GB2312 A2 F1 / A2 F2.
KORVEX_TEXT(RootSubnetRomanOneRaw, " Subnet\xA2\xF1");
KORVEX_TEXT(RootSubnetRomanTwoRaw, "Subnet\xA2\xF2");
KORVEX_TEXT(RootSubnetRomanOne, " Subnet\u2160");
KORVEX_TEXT(RootSubnetRomanTwo, "Subnet\u2161");

}  // namespace korvex::texts

namespace korvex::texts {

// Grid labels: Fieldbus item
KORVEX_TEXT(LabelTypeOfProtocol, "Type of Protocol");
KORVEX_TEXT(LabelDeviceNetAddress, "DeviceNet address(0-63)");
KORVEX_TEXT(LabelDeviceNetBaudRate, "DeviceNet Baud rate");
KORVEX_TEXT(LabelDeviceNetInputSize, "Size of DeviceNet Input Buffe");
KORVEX_TEXT(LabelDeviceNetOutputSize, "Size of DeviceNet Output Buffe");
KORVEX_TEXT(LabelProfibusInputBytes, "Number of PROFIBUS Input Bytes");
KORVEX_TEXT(LabelProfibusOutputBytes, "Number of PROFIBUS Output  Bytes");
KORVEX_TEXT(LabelInputFaultReset, "Input data double fault reset");
KORVEX_TEXT(LabelTimeoutAction, "Actions After Response Timeout");
KORVEX_TEXT(LabelRetransmissionTimes, "Modbus Command Retransmission Times");
KORVEX_TEXT(LabelProfibusAddress, "PROFIBUS Address");
KORVEX_TEXT(LabelCompatibilityMode, "Compatibility Mode");
KORVEX_TEXT(LabelConfigurationMode, "Configuration Mode");
KORVEX_TEXT(LabelInputLengthPrefix, "PROFIBUS Input-data Effective Length ");
KORVEX_TEXT(LabelProfibusConfigMode, "PROFIBUS configuration mode");
KORVEX_TEXT(LabelProfibusConfigData, "PROFIBUS configuration data (up to 8 bytes)");
KORVEX_TEXT(LabelAssignIpMode, "Assign IP Mode");
KORVEX_TEXT(LabelIpAddress, "IP address");
KORVEX_TEXT(LabelSubnetMask, "Subnet mask");
KORVEX_TEXT(LabelGatewayAddress, "Gateway address");
KORVEX_TEXT(LabelDns1, "DNS1");
KORVEX_TEXT(LabelDns2, "DNS2");

// Grid labels: Subnet item
KORVEX_TEXT(LabelProtocolsMode, "Protocols Mode");
KORVEX_TEXT(LabelBaudRate, "Baud Rate");
KORVEX_TEXT(LabelModbusBaudRate, "Modbus communication baud rate ");
KORVEX_TEXT(LabelDataBits, "Data Bits");
KORVEX_TEXT(LabelParityCheck, "Parity Check");
KORVEX_TEXT(LabelStopBits, "Stop Bits");
KORVEX_TEXT(LabelSlaveAddress, "Slave Address");
KORVEX_TEXT(LabelTransmissionMode, "Transmission Mode");
KORVEX_TEXT(LabelResponseTimeout, "Response Timeout(5-60000ms)");
KORVEX_TEXT(LabelPollDelay, "Delay between Polls(0-2500ms)");
KORVEX_TEXT(LabelOutputMode, "Output Mode");
KORVEX_TEXT(LabelOutputPulse, "Output Pulse(200-2500ms)");
KORVEX_TEXT(LabelScanRate, "Scan Rate(1-255)");
KORVEX_TEXT(LabelResponseStatus, "Status of Modbus Command Response");
KORVEX_TEXT(LabelFrameType, "Frame Type");
KORVEX_TEXT(LabelCharInterval, "Time Interval between Characters");
KORVEX_TEXT(LabelFrameLength, "Frame Length");
KORVEX_TEXT(LabelAutoSending, "Auto Sending");
KORVEX_TEXT(LabelAutoSendPeriod, "Period of Auto Sending");
KORVEX_TEXT(LabelCrcCheck, "CRC Check");
KORVEX_TEXT(LabelCommInterface, "Communication Interface");
KORVEX_TEXT(LabelDebugInterface, "Debug Interface");
KORVEX_TEXT(LabelStartCharacter, "Start character");
KORVEX_TEXT(LabelStopCharacter, "Stop character");
KORVEX_TEXT(LabelCharIntervalSend, "Time Interval between Characters(Sending)");
KORVEX_TEXT(LabelCharIntervalReceive, "Time Interval between Characters(Receiving)");
KORVEX_TEXT(ValueUsb, "USB");

// Grid labels: Node and Command items
KORVEX_TEXT(LabelNodeSlaveAddress, "Slave Address(1-247)");
KORVEX_TEXT(LabelFunctionCode, "Function Code");
KORVEX_TEXT(LabelStartingAddress, "Starting Address");
KORVEX_TEXT(LabelNumberOfData, "Number of Data");
KORVEX_TEXT(LabelMappingAddress, "Mapping Address(HEX)");
KORVEX_TEXT(LabelPlcMappingAddress, "PROFIBUS PLC Memory Address(DEC)");
KORVEX_TEXT(LabelBitOffset, "Bit Offset(0-7)");
KORVEX_TEXT(LabelPlcBitOffset, "PROFIBUS PLC Memory Bit Offset(0-7)");
KORVEX_TEXT(LabelNumberOfBytes, "Number of Bytes");
KORVEX_TEXT(LabelDataFilter, "Data Filter");
KORVEX_TEXT(LabelByteSwap, "Byte Swap");
KORVEX_TEXT(LabelTypeOfCheck, "Type of Check");
KORVEX_TEXT(LabelTypeOfScan, "Type of Scan");

// The edit box text after choosing "Enter Address Value"
KORVEX_TEXT(EnterAddressValuePrompt, "Enter address value");

// Messages and questions
KORVEX_TEXT(NodeRepetitive, "Node can not be repetitive!");
KORVEX_TEXT(SlaveAddressRange, "Slave address range is 1 ~ 247");
KORVEX_TEXT(DataOutOfBounds, "Data out of bounds!");
KORVEX_TEXT(ConvertPlcAddressQuestion,
            "The address you entered may be the PLC address, will be converted to the protocol address!");
KORVEX_TEXT(InputLengthCannotEnable,
            "Subnet configuration has been configured to the maximum character length can not be Enable!");
KORVEX_TEXT(EffectiveLengthMax242,
            "The effective length of data has been opened, the maximum number of allowed only 242!\n");

// Why a typed value was not stored where no message box says it (the window
// shows these in its status bar). %1 is the typed text.
KORVEX_TEXT(RefusedEmpty, "An empty value was not stored.");
KORVEX_TEXT(RefusedPlainNumber, "\"%1\" was not stored: enter a number from %2 to %3, without leading zeros.");
KORVEX_TEXT(RefusedNumber, "\"%1\" was not stored: enter a number from %2 to %3.");
KORVEX_TEXT(RefusedPositiveNumber, "\"%1\" was not stored: enter a number above 0, without leading zeros.");
KORVEX_TEXT(RefusedIpAddress, "\"%1\" was not stored: an IP address is four numbers from 0 to 255 joined by dots.");
KORVEX_TEXT(RefusedConfigData,
            "\"%1\" was not stored: enter up to 8 hex bytes separated by blanks, such as \"D1 E1\".");
KORVEX_TEXT(RefusedFrameLength243,
            "\"%1\" was not stored: with the PROFIBUS Input-data Effective Length enabled a frame is at most 242 "
            "bytes long.");
KORVEX_TEXT(NodeAddressCleared, "\"%1\" is not a plain number: the node has no slave address now.");
KORVEX_TEXT(RefusedPastMappingArea, "\"%1\" was not stored: the data would reach past the end of the mapping area.");
KORVEX_TEXT(RefusedMappingAddressForm, "\"%1\" was not stored: enter a hex address such as 4000 or 4000H.");
KORVEX_TEXT(RefusedPlcAddressForm, "\"%1\" was not stored: enter the PLC memory address as a decimal number.");
KORVEX_TEXT(RefusedInputMarkOnRead, "\"%1\" was not stored: only a write command can be marked (input).");
KORVEX_TEXT(RefusedMappingAddressRange, "\"%1\" was not stored: the address is outside the mapping area of this command.");
KORVEX_TEXT(RefusedPlcBlocks, "\"%1\" was not stored: the data do not fit in the PLC data blocks from this address.");

// korvex-cli editor commands
KORVEX_TEXT(CliNoSuchItem, "There is no tree item %1.");
KORVEX_TEXT(CliNoEditBox, "Row %1 of %2 opens no edit box.");
KORVEX_TEXT(CliNoList, "Row %1 of %2 opens no list.");
KORVEX_TEXT(CliNotInList, "\"%1\" is not an entry of the list of row %2.");
KORVEX_TEXT(CliNotEnabled, "%1 is not enabled for %2.");
KORVEX_TEXT(CliNotWindows1252, "\"%1\" has characters a project text cannot hold.");
KORVEX_TEXT(CliUnchanged, "(unchanged)");

}  // namespace korvex::texts
