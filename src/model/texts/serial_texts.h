#pragma once
// Texts of the serial transfers: the port, the identification of the gateway,
// the download and the upload (their checks, progress lines and messages).
#include "model/texts/text.h"

namespace korvex::texts {

// Serial port
KORVEX_TEXT(PortOpenFailed, "Port %1 Open failed!");
KORVEX_TEXT(NoSerialPort, "Failed to find serial port");

// Identification and operating states
KORVEX_TEXT(ConfigurationStateQuestion,
            "Tessaly needs to change from the communication status to the configuration status. Is it necessary "
            "to stop communication and download the configuration?");
KORVEX_TEXT(ConfigurationStateFailed, "Conversion to configuration mode failed!");
KORVEX_TEXT(ReadDeviceTypeError, "Read device type error, please check if the device is connected properly!");
KORVEX_TEXT(DownloadFailedCheckPort,
            "Download failed! Please check the serial port,configuration,power and the mode and so on.");
KORVEX_TEXT(Extra48Commands, "The current device does not support the extra 48 command");
KORVEX_TEXT(DeviceTypeMismatch, "Type of device mismatch!");
KORVEX_TEXT(ReadDeviceTypeTimeout, "Read the type of gateway timeout, please check the serial port settings");
KORVEX_TEXT(UploadFailedCheckPort,
            "Upload failed! Please check the serial port,configuration,power and the mode and so on.");
KORVEX_TEXT(StartCommunicationQuestion,
            "Tessaly in the configuration state, whether to enable the new configuration and start communication?");

// Download checks before the window opens. Most carry the "unfinished" prefix
// and a blank line before their own text.
#define KORVEX_UNFINISHED_PREFIX "Configuration unfinished! Please continue to finish it to download!\r\n\r\n"
KORVEX_TEXT(VacantResponseTimeout, KORVEX_UNFINISHED_PREFIX "Subnet%1Response timeout can not be vacant?");
KORVEX_TEXT(VacantPollDelay, KORVEX_UNFINISHED_PREFIX "Subnet%1Delay between polls can not be vacant");
KORVEX_TEXT(VacantOutputPulse, KORVEX_UNFINISHED_PREFIX "Subnet%1 Time beetween two continuous pluses can not be vacant");
KORVEX_TEXT(VacantScanRate, KORVEX_UNFINISHED_PREFIX "Subnet%1 Scan ratio can not be vacant");
KORVEX_TEXT(VacantCommandNodeAddress, KORVEX_UNFINISHED_PREFIX "Node address can not be vacant");
KORVEX_TEXT(VacantStartAddress, KORVEX_UNFINISHED_PREFIX "Node-%1Starting address can not be vacant");
KORVEX_TEXT(VacantDataCount, KORVEX_UNFINISHED_PREFIX "Node-%1The number of data can not be vacant");
KORVEX_TEXT(VacantMappingAddress, KORVEX_UNFINISHED_PREFIX "Node-%1The start of mapping address can not be vacant");
KORVEX_TEXT(VacantBitOffset, KORVEX_UNFINISHED_PREFIX "Node-%1The bit offset of mapping can not be vacant");
#undef KORVEX_UNFINISHED_PREFIX
KORVEX_TEXT(DeviceNetSizeLimit,
            "The number of input-bytes add output-bytes of Dunmore or Dunmore-X can not be greater than 240,\r\n"
            "please select right number of input-bytes and output-bytes");
KORVEX_TEXT(SlaveAddressNotFilled, "The slave address is not filled, please reconfigure and download!");
KORVEX_TEXT(UnusedNode, "Node address can not be vacant");
KORVEX_TEXT(MappingConflictQuestion, "Memory mapped address conflict, reconfigure to download!");

// Download window
KORVEX_TEXT(DownloadWindowTitle, "Download configuration");
KORVEX_TEXT(DownloadButton, "Download");
KORVEX_TEXT(ExitButton, "Exit");
KORVEX_TEXT(DownloadRunning, "Downloading configuration");
KORVEX_TEXT(PleaseWait, "Please wait...");
KORVEX_TEXT(DownloadCanceled, "Download canceled");
KORVEX_TEXT(DownloadSuccessful, "Downloading the configuration is successful!");
KORVEX_TEXT(DownloadStepDeviceNet, "Download DeviceNet parameter configuration");
KORVEX_TEXT(DownloadStepProfibus, "Download PROFIBUS parameter configuration");
KORVEX_TEXT(DownloadStepModbusParameter, "Download Modbus parameter");
KORVEX_TEXT(DownloadStepModbusCommand, "Download Modbus command");
KORVEX_TEXT(DownloadStepSubnetParameter, "Download subnet parameter configuration");
KORVEX_TEXT(DownloadStepSubnetCommand, "Download subnet command configuration");
KORVEX_TEXT(DownloadStepSubnetLine, "Download subnet%1Modbus configuration and command list");

// Download sequence
KORVEX_TEXT(ProfibusSizesDiffer, "PROFIBUS input and output bytes must be the same!");
KORVEX_TEXT(VacantNodeAddress, "Node address can not be vacant !");
KORVEX_TEXT(InvalidNodeQuestion, "There is invaild node!");
KORVEX_TEXT(IncompleteConfigurationQuestion,
            "Information configuration is not complete, please continue to complete the configuration and download!");
KORVEX_TEXT(FirmwareByteLimit,
            "The firmware supports only the total number of bytes read and write commands <= 224, reconfigure to "
            "download!");
KORVEX_TEXT(FieldbusDownloadFailed, "Download DeviceNet or PROFIBUS configuration failed");
KORVEX_TEXT(SubnetParametersFailedOfSubnet, "Subnet%1Download Modbus parameter configuration unsuccessfully");
KORVEX_TEXT(SubnetParametersFailed, "Download subnet 1 Modbus parameter configuration failed");
KORVEX_TEXT(ClearSubnetFailed, "Clear subnet %1 command unsuccessfully");
KORVEX_TEXT(ClearCommandsFailed, "Clear command failed");
// Joined from "Subnet%dModbus" and "Parameter configuration%dDownload unsuccessfully".
KORVEX_TEXT(SubnetCommandFailed, "Subnet%1ModbusParameter configuration%2Download unsuccessfully");
KORVEX_TEXT(OneSlaveOnly, "Nonsupport configure over one Modbus slave");
KORVEX_TEXT(CommandFailed, "Subnet 1 Modbus command congfiguration%1Download");
KORVEX_TEXT(TimeoutHandlingTimeout, "Download configuration parameters timeout");
KORVEX_TEXT(TimeoutHandlingFailed, "Download configuration parameters unsuccessfully");
KORVEX_TEXT(CharIntervalsWriteFailed, "Failed to set character intreval time");
KORVEX_TEXT(ProfibusAddressFailed, "Download failed!");
KORVEX_TEXT(ConfigurationModesFailed, "download failed!");

// Upload window
KORVEX_TEXT(UploadWindowTitle, "Upload Configuration ");
KORVEX_TEXT(UploadButton, "Upload");
KORVEX_TEXT(UploadRunning, "Uploading configuration");
KORVEX_TEXT(UploadSuccessful, "Uploading the configuration is successful!");
KORVEX_TEXT(UploadStepDeviceNet, "Upload DeviceNet parameter configuration");
KORVEX_TEXT(UploadStepProfibus, "Upload PROFIBUS parameter configuration");
KORVEX_TEXT(UploadStepModbusParameter, "Upload Modbus parameter configuration");
KORVEX_TEXT(UploadStepModbusCommand, "Upload Modbus command configuration");
KORVEX_TEXT(UploadStepSubnetParameter, "Upload subnet parameter configuration");
KORVEX_TEXT(UploadStepSubnetCommand, "Upload subnet command configuration");
KORVEX_TEXT(UploadStepSubnetLine, "Upload subnet%1Modbus configuration and command list  ");

// Upload sequence
KORVEX_TEXT(ReadFieldbusTimeout, "Read DeviceNet/PROFIBUS configuration timeout");
KORVEX_TEXT(ReadFieldbusFailed, "Read DeviceNet/PROFIBUS configuration unsuccessfully");
KORVEX_TEXT(ReadSubnetTimeout, "Read Modbus configuration timeout");
KORVEX_TEXT(ReadSubnetFailedOfSubnet, "Read subnet%1Modbus configuration unsuccessfully");
KORVEX_TEXT(ReadSubnetFailed, "Read Modbus configuration unsuccessfully");
KORVEX_TEXT(ReadCommandCountTimeout, "Read Modbus command timeout");
KORVEX_TEXT(ReadCommandCountFailedOfSubnet, "Read subnet%1Modbus command unsuccessfully");
KORVEX_TEXT(ReadCommandCountFailed, "Read Modbus command unsuccessfully");
KORVEX_TEXT(ReadCommandListTimeout, "Read Modbus command list timeout  ");
KORVEX_TEXT(ReadCommandListFailedOfSubnet, "Read subnet%1Modbus command list%2unsuccessfully");
KORVEX_TEXT(ReadCommandListFailed, "Read Modbus command list%1unsuccessfully");
KORVEX_TEXT(ReadConfigDataFailed, "Upload PROFIBUS configuration failed");
KORVEX_TEXT(CharIntervalsReadFailed, "Failed to read character interval time");

}  // namespace korvex::texts
