#pragma once
// The help texts of the prompt information pane: a click on a grid row shows the
// text that explains that row. Each is named Help + what it explains; a parameter
// with more than one text names the variant (the range it states, or the layout
// it belongs to). Bytes as the program shows them (windows-1252;
// HelpNumberOfDataUpTo84 carries the bytes A1 A2).
#include "model/texts/text.h"

namespace korvex::texts {

// Fieldbus item
KORVEX_TEXT(HelpFieldbusProtocol, "PROFIBUS DP");
KORVEX_TEXT(HelpDeviceNetAddress, "DeviceNet Address");
KORVEX_TEXT(HelpDeviceNetBaudRate, "DeviceNet Baud rate");
KORVEX_TEXT(HelpDeviceNetInputBytes, "DeviceNet most input-bytes, Dunmore and Dunmore-X most input-bytes are 160,input + output <240");
KORVEX_TEXT(HelpDeviceNetOutputBytes, "DeviceNet most output-bytes, Dunmore and Dunmore-X most output-bytes are 112, input + output <240");
KORVEX_TEXT(HelpProfibusInputBuffer, "Size of PROFIBUS DP Input buffer");
KORVEX_TEXT(HelpProfibusOutputBuffer, "Size of PROFIBUS DP Output buffer");
KORVEX_TEXT(HelpInputLengthPrefix, "When the protocol type is \"User Config\", PROFIBUS Input-data Effective Length is effective. \r\nEnable:The first byte of PROFIBUS input-data show the length of receiving data frames.");
KORVEX_TEXT(HelpTimeoutAction, "When a Read Command's successive response timeout for N times, the gateway will clear input data (PROFIBUS DP) \r\nof the corresponding Read Command if you select \"Clear Data\". And if you select \"Hold Data\" the gateway will hold input \r\ndata (PROFIBUS DP) of the corresponding Read Command.");
KORVEX_TEXT(HelpRetransmissionTimes, "When the Modbus command response is wrong, set the number of retransmissions of the command. The range is 2-254. Default: 3");
KORVEX_TEXT(HelpProfibusAddress, "PROFIBUS Address:\r\n    Address Setting Using Hardware: Download the configuration without changing the address value.\r\n    Enter Address Value: After selecting, you can enter address value to be set.\r\n    The address value can also be modified by double-clicking the button on the gateway.");
KORVEX_TEXT(HelpCompatibilityMode, "Compatibility Mode:\r\n    Disable: Support GSD files of Tessaly V6.0 and above.\r\n    Enable: Support GSD files of Tessaly V5.x and below.");
KORVEX_TEXT(HelpConfigurationMode, "Configuration Mode:\r\n    Via Korvex: Use Tessaly configuration software to set all gateway configuration parameters.\r\n    Via the Configuration Software of PROFIBUS DP Master: After selecting this option, the parameters in the configuration software are only valid for \"PROFIBUS Address\",\r\n \"Compatibility Mode\" and \"Configuration Mode\", and other parameters use the configuration of the PROFIBUS DP master station configuration.");

// Subnet item
KORVEX_TEXT(HelpProtocolsMode, "There are three protocols that you can select: Modbus Master, Modbus Slave, and User Config.\r\nIf communication protocol of your device is not Modbus, you can choose the \"User Config\".");
KORVEX_TEXT(HelpModbusBaudRate, "This parameter is used to setting baud rate of Modbus. The range of the parameter value is 300 to 115200.\r\nDefault value is 19200.");
KORVEX_TEXT(HelpBaudRateBrief, "Baud Rate");
KORVEX_TEXT(HelpDataBits, "The number of data bits of every byte.");
KORVEX_TEXT(HelpParityCheck, "Parity check mode.");
KORVEX_TEXT(HelpStopBits, "Defines the quantity of stop bits, to be used in protocol for serial data communication 1, 2. Default: 1.");
KORVEX_TEXT(HelpGatewaySlaveAddress, "When you select \"Modbus Slave\", this parameter can be modified and is the gateway's address as Modbus slave.\r\nThe range of the parameter value is 0 to 247.   ");
KORVEX_TEXT(HelpTransmissionMode, "Modbus has two transmission modes: Modbus RTU and Modbus ASCII");
KORVEX_TEXT(HelpResponseTimeout, "After the gateway sends request, it waits the Modbus slave's response for max time which is in ms.\r\nThe range of the parameter value is 5 to 60000ms. ");
KORVEX_TEXT(HelpPollDelay, "Delay between polls means delay between a response has been received and sending next request. \r\nThe range of the parameter value is 0 to 2500ms. ");
KORVEX_TEXT(HelpOutputMode, "There are three types of output: \r\nCycle: The write command will be sent periodically.\r\nForbidden: The gateway will not send write command.\r\nChange of Value: When the output data change, the write command will be sent.");
KORVEX_TEXT(HelpOutputPulse, "When the Output Mode is pulse output, the time interval of output commands.");
KORVEX_TEXT(HelpScanRate, "Scan Rate is ratio of fast scan to slow scan. Every Modbus command can be set to fast scan or slow scan. \r\nIf this parameter value is set to 10 then every fast scan command will be sent 10 times and those slow commands will be sent once. ");
KORVEX_TEXT(HelpFrameType, "In \"User Config\" mode, there are two methods to decide whether a frame is terminated or not.\r\nTime Interval between Characters: To determine the end of one frame serial data by judging the time interval between characters.\r\nFrame Length: To determine the end of one frame serial data by judging the length of frame.");
KORVEX_TEXT(HelpCharInterval, "In \"User Config\" mode, it is maximum time interval between characters and used to decide whether a frame is terminated or not.\r\nThe range of the parameter value is 10 to 60000ms. ");
KORVEX_TEXT(HelpFrameLength, "In \"User Config\" mode, it is the length of a frame and used to decide whether a frame is terminated or not.\r\nThe range of the parameter value is 1 to 243. ");
KORVEX_TEXT(HelpAutoSending, "When you enable auto sending, the gateway will send data periodically according to the \"Period of Auto Sending\". \r\nIf you disable auto sending the gateway will not send data until the data is changed.");
KORVEX_TEXT(HelpAutoSendPeriod, "When enable Auto Sending it will be valid and can be modified.\r\nThe range of the parameter value is 10 to 60000ms. ");
KORVEX_TEXT(HelpCrcCheck, "In \"User Config\" mode, you can use the CRC check. The CRC check will not appear in  input buffer of PROFIBUS DP.");
KORVEX_TEXT(HelpCommInterface, "Choose for communication interface.");
KORVEX_TEXT(HelpDebugInterface, "Choose for debug interface.");
KORVEX_TEXT(HelpResponseStatus, "It can reflect whether a Modbus command is respond correctly to PROFIBUS DP master if you don't choose \"Disable\". \r\nEvery command takes a bit of the front part of PROFIBUS DP input buffer. \r\nIf you have configured 1 to 8 Modbus commands and want to monitor every command's status you must select \"One Byte\".\r\nIf you have configured 9 to 16 Modbus commands and want to monitor every command's status you must select \"Two Bytes\". \r\nAnd so on");
KORVEX_TEXT(HelpCharIntervalSend, "This is an advanced parameter. Default value is zero. If slave is always timeout you can increase the value of the parameter.\r\nThe range of the parameter value is 0 to 6000ms.");
KORVEX_TEXT(HelpCharIntervalReceive, "This is an advanced parameter. Default value is zero. If Time Interval between Characters of slave does not accord to the \r\nModbus protocol you can increase the value of the parameter.\r\nThe range of the parameter value is 0 to 6000ms.");
// The two interface rows of older gateways (the second names the other
// interface as the debug one); HelpCommInterface and HelpDebugInterface are
// the rows of the User Config layout.
KORVEX_TEXT(HelpPairedCommInterface, "Choose for communication interface");
KORVEX_TEXT(HelpPairedDebugInterface, "Choose for debug interface.");

// Node and command items (the node's slave address also explains row 0 of a command)
KORVEX_TEXT(HelpNodeSlaveAddress, "Modbus Slave address");
KORVEX_TEXT(HelpFunctionCode, "Modbus Function");
KORVEX_TEXT(HelpStartingAddress, "Modbus slave register, switching value or coils starting address. The range of the parameter value is 0 to 65535.");
// Number of Data: older gateways, extended settings, the others
KORVEX_TEXT(HelpNumberOfDataUpTo84, "The number of data: 1-84 (Modbus functional code 3\xA1\xA2" "4\xA1\xA2" "16).\r\n1-400( Modbus functional code 1\xA1\xA2" "2\xA1\xA2" "15)");
KORVEX_TEXT(HelpNumberOfDataUpTo56, "The number of data: 1-56 (Modbus functional code 3,4,16).\r\n1-400 (Modbus functional code 1,2,15) ");
KORVEX_TEXT(HelpNumberOfDataUpTo122, "Number of data:\r\n1~122 (Modbus function code 3, 4, 16).\r\n1~400 (Modbus function code 1, 2, 15).");
// Mapping Address: older gateways, PLC address mode, the others
KORVEX_TEXT(HelpMappingAddressTo00A7, "The address range of data mapping in the module memory\nPellam range:\r\n  Read command:0x0000~0x00A7\r\n  Write command:0x4000~0x40A7\r\nusers can click on \"Automatic calculation of mapping address\" to let the software calculation");
KORVEX_TEXT(HelpPlcMappingAddress, "PROFIBUS data mapping in the PLC module in memory");
KORVEX_TEXT(HelpMappingAddressTo00F3, "The address range of data mapping in the module memory\r\nRange: Read command: 0x0000-0x00F3\r\nWrite command: 0x4000-0x40F3\r\nWrite command as a local area can also be used for data exchange: 0x0000-0x00F3");
KORVEX_TEXT(HelpBitOffset, "When reading or writing a coil or reading input status, its value will be mapped into bits of input or output buffer.");
KORVEX_TEXT(HelpDataFilter, "When reading or writing a register you can map a whole register into two bytes of buffer, \r\nor you can also map part of a register into one byte of buffer.");
KORVEX_TEXT(HelpByteSwap, "There are three types: No Swap, Two Bytes Swap, Four Bytes Swap.\r\nThe byte order of Modbus, PROFIBUS DP is the most significant byte (MSB) first.\r\nUsers may need to swap the byte order to get the right value.");
KORVEX_TEXT(HelpScanType, "Every Modbus command can be set to fast scan or slow scan. The gateway will send Modbus command according to the \"Scan Rate\". \r\nScan Rate is ratio of fast scan to slow scan.");

}  // namespace korvex::texts
