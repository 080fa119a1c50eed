#pragma once
// Texts of the Ethernet link: the device search, the Ethernet configuration
// dialog and the Ethernet download and upload.
#include "model/texts/text.h"

namespace korvex::texts {

// Device search window
KORVEX_TEXT(SearchTitle, "Seach Device");
KORVEX_TEXT(SearchLogIn, "Iog In");
KORVEX_TEXT(SearchCancel, "Cancel");
KORVEX_TEXT(SearchRefurbish, "Refurbish");
KORVEX_TEXT(SearchStatusInitial, "Seaching");
KORVEX_TEXT(SearchStatusRunning, "Searching");
KORVEX_TEXT(SearchFinished, "Finish searching");
KORVEX_TEXT(SearchColumnIndex, "Serial number");
KORVEX_TEXT(SearchColumnModel, "Model number");
KORVEX_TEXT(SearchColumnAddress, "IP address");
KORVEX_TEXT(SearchColumnMac, "MAC address");
KORVEX_TEXT(SearchColumnFirmware, "Firmware version");
// Header of the column that shows the remote-configuration permission (our own text).
KORVEX_TEXT(SearchColumnRemote, "Remote configuration");
KORVEX_TEXT(GatewayModelName, "Fennick");
KORVEX_TEXT(RemoteConfigAllowedText, "Allows remote configuration");
KORVEX_TEXT(RemoteConfigProhibitedText, "Prohibit configurating remotely");
// Our own text: the local port of the search is held by another program.
KORVEX_TEXT(SearchPortInUse,
            "The local UDP port %1 is in use by another program: the search can not receive answers. Close that "
            "program and press Refurbish.");

// Ethernet configuration dialog
KORVEX_TEXT(EthernetConfigTitle, "Ethernet configuration");
KORVEX_TEXT(EthernetUseSearch, "Use Search Functional");
KORVEX_TEXT(EthernetAddressLabel, "Need communicate IP address:");
KORVEX_TEXT(EthernetOk, "OK");
KORVEX_TEXT(EthernetCancel, "Cancel");

// Ethernet download and upload
KORVEX_TEXT(RemoteConfigForbidden, "Configurating remotely be forbidden, please check local DIP switch");
KORVEX_TEXT(EthernetDownloadPrompt, "Please click button download configuration");
KORVEX_TEXT(EthernetUploadTitle, "Upload configuration");
KORVEX_TEXT(EthernetUploadPrompt, "Please click button upload configuration");
KORVEX_TEXT(MappingOverflowRefused, "Memory mapped address exceeds the maximum effective value!");
KORVEX_TEXT(ConnectFailed, "Connect failed,please check IP address and the port !");
KORVEX_TEXT(WriteConfigFailed, "Write configuration failed,please check IP address and the port!");
KORVEX_TEXT(WriteFailed, "Write failed!");
KORVEX_TEXT(ReadConfigFailedCheckAddress, "Read configuration failed,please check IP address and the port!");
KORVEX_TEXT(ReadConfigFailed, "Read configuration failed!");
KORVEX_TEXT(RestartQuestion,
            "The configuration being downloaded will be effective after restarting gateway!\nReatart gateway "
            "remotely or not");

}  // namespace korvex::texts
