#pragma once
// Fixed value texts of the project model and the messages of the project file.
// Values are stored in project files exactly as written here.
#include "model/texts/text.h"

namespace korvex::texts {

// Protocol types (fieldbus side)
KORVEX_TEXT(ProtocolProfibus, "PROFIBUS");
KORVEX_TEXT(ProtocolDeviceNet, "DeviceNet");
KORVEX_TEXT(ProtocolEtherNetIp, "EtherNet/IP");

// DeviceNet baud rates
KORVEX_TEXT(Baud125K, "125K");
KORVEX_TEXT(Baud250K, "250K");
KORVEX_TEXT(Baud500K, "500K");
KORVEX_TEXT(InterceptAutomatically, "Intercept automatically");

// PROFIBUS settings
KORVEX_TEXT(UseBytesSelection, "Use bytes selection");
KORVEX_TEXT(InputConfigurationData, "Input configuration data");
KORVEX_TEXT(AddressSettingUsingHardware, "Address Setting Using Hardware");
KORVEX_TEXT(EnterAddressValue, "Enter Address Value");
KORVEX_TEXT(ViaKorvex, "Via Korvex");
KORVEX_TEXT(ViaProfibusMasterSoftware, "Via the Configuration Software of PROFIBUS DP Master");
KORVEX_TEXT(SettingThroughHardwareConfiguration, "Setting through Hardware Configuration of PROFIBUS DP");

// IP assignment
KORVEX_TEXT(ManualAssign, "Manual Assign");
KORVEX_TEXT(Bootp, "BOOTP");
KORVEX_TEXT(Dhcp, "DHCP");
KORVEX_TEXT(DefaultIpAddress, "192.168.0.10");
KORVEX_TEXT(DefaultSubnetMask, "255.255.255.0");
KORVEX_TEXT(DefaultGatewayAddress, "192.168.0.1");
KORVEX_TEXT(ZeroIpAddress, "0.0.0.0");

// Enable / Disable
KORVEX_TEXT(Enable, "Enable");
KORVEX_TEXT(Disable, "Disable");

// Subnet protocol modes
KORVEX_TEXT(ModbusMaster, "Modbus Master");
KORVEX_TEXT(ModbusSlave, "Modbus Slave");
KORVEX_TEXT(UserConfig, "User Config");
KORVEX_TEXT(SelfDefiningProtocol, "Self-defining protocol");

// Serial settings
KORVEX_TEXT(Parity_None, "None");
KORVEX_TEXT(Parity_Odd, "Odd");
KORVEX_TEXT(Parity_Even, "Even");
KORVEX_TEXT(Parity_Mark, "Mark");
KORVEX_TEXT(Parity_Space, "Space");
KORVEX_TEXT(Rtu, "RTU");
KORVEX_TEXT(Ascii, "ASCII");
KORVEX_TEXT(Rs485, "RS485");
KORVEX_TEXT(Rs232, "RS232");

// Output modes
KORVEX_TEXT(OutputCycle, "Cycle");
KORVEX_TEXT(OutputForbidden, "Forbidden");
KORVEX_TEXT(OutputChangeOfValue, "Change of Value");
KORVEX_TEXT(OutputPulse, "Pluse output");

// Response status and timeout action
KORVEX_TEXT(Bytes, "Bytes");
KORVEX_TEXT(ClearData, "Clear Data");
KORVEX_TEXT(HoldData, "Hold  Data");

// User Config frames
KORVEX_TEXT(FrameTypeCharInterval, "Time Interval between Characters");
KORVEX_TEXT(FrameTypeFrameLength, "Frame Length");

// Nodes
KORVEX_TEXT(NewNodeName, "New Node");
KORVEX_TEXT(NodeNamePrefix, "Node-");

// Commands
KORVEX_TEXT(Fullword, "Fullword");
KORVEX_TEXT(HighByte, "High byte");
KORVEX_TEXT(LowByte, "Low byte");
KORVEX_TEXT(NoSwap, "No Swap");
KORVEX_TEXT(TwoBytesSwap, "Two Bytes Swap");
KORVEX_TEXT(FourBytesSwap, "Four Bytes Swap");
KORVEX_TEXT(Crc, "CRC");
KORVEX_TEXT(Lrc, "LRC");
KORVEX_TEXT(FastScan, "Fast Scan");
KORVEX_TEXT(SlowScan, "Slow Scan");
KORVEX_TEXT(ReadCoilStatus, "Read Coil Status");
KORVEX_TEXT(ReadInputStatus, "Read Input Status");
KORVEX_TEXT(ReadHoldingRegisters, "Read Holding Registers");
KORVEX_TEXT(ReadInputRegisters, "Read Input Registers");
KORVEX_TEXT(ForceSingleCoil, "Force Single Coil");
KORVEX_TEXT(PresetSingleRegister, "Preset Single Register");
KORVEX_TEXT(ForceMultipleCoils, "Force Multiple Coils");
KORVEX_TEXT(PresetMultipleRegisters, "Preset Multiple Registers");

// Texts of older project files, replaced on reading
KORVEX_TEXT(OldAddressSettingUsingHardware, "Address setting using hardware");
KORVEX_TEXT(OldEnterAddressValue, "Enter address value");
KORVEX_TEXT(OldCompatibilityOpen, "Open");
KORVEX_TEXT(OldCompatibilityClose, "Close");
KORVEX_TEXT(OldViaConfigurationSoftware, "Via configuration software settings");
KORVEX_TEXT(OldViaProfibusMaster, "Configuration software configuration via PROFIBUS master");
KORVEX_TEXT(OldNoSwap, "no swap");
KORVEX_TEXT(OldDoubleByteSwap, "double-byte swap");
KORVEX_TEXT(OldFourByteSwap, "four-byte swap");

// Node and command limits
KORVEX_TEXT(NodeLimit, "Node number go beyond the limit!");
KORVEX_TEXT(CommandLimit, "Command number go beyond the limit!");

// Project file messages
KORVEX_TEXT(UnexpectedFileFormat, "Unexpected file format.");
KORVEX_TEXT(FileNotFound, "%1 was not found.");
KORVEX_TEXT(AccessDenied, "Access to %1 was denied.");
KORVEX_TEXT(DiskFull, "Disk full while accessing %1.");
KORVEX_TEXT(SharingViolation, "Encountered a sharing violation while accessing %1.");
KORVEX_TEXT(FailedToOpenDocument, "Failed to open document.");
KORVEX_TEXT(FailedToSaveDocument, "Failed to save document.");
// Files that cannot be a project file's place, and projects too large for one
KORVEX_TEXT(FileNameEmpty, "The file name is empty.");
KORVEX_TEXT(FileIsFolder, "%1 names a folder, not a file.");
KORVEX_TEXT(FileNotRegular, "%1 is a device, a pipe or a socket, not a regular file.");
KORVEX_TEXT(FileNameTooLong, "The file name %1 is too long.");
KORVEX_TEXT(FileLinkLoop, "The symbolic links of %1 lead round in a loop.");
KORVEX_TEXT(ProjectTooLarge,
            "The project was not saved: its file would take %1 bytes, more than the %2 bytes a project file may hold.");

}  // namespace korvex::texts

namespace korvex::texts {

// Shared value checks
KORVEX_TEXT(IllegalCharacters, "\"%1\" contains illegal characters");
KORVEX_TEXT(ValueOutOfRange, "The value of %1 is out of range.");

}  // namespace korvex::texts
