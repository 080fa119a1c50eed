#pragma once
// Texts of the desktop application: main window, menus, tool bar, status bar,
// panes, start-up, document lifecycle and the About box. These are shown through
// Qt and are UTF-8 (all ASCII except the full-width exclamation mark of
// NetworkDisconnected).
#include "model/texts/text.h"

namespace korvex::texts {

// Main window
KORVEX_TEXT(AppTitle, "Gateway Configuration Software Korvex");
KORVEX_TEXT(AppShortName, "Korvex");
KORVEX_TEXT(FileDialogFilter, "Config File(*.kvx)");
KORVEX_TEXT(ProjectExtension, ".kvx");

// Menus
KORVEX_TEXT(MenuFile, "File(&F)");
KORVEX_TEXT(MenuEdit, "Edit(&E)");
KORVEX_TEXT(MenuTools, "Tools(&T)");
KORVEX_TEXT(MenuView, "View(&V)");
KORVEX_TEXT(MenuHelp, "Help(&H)");

KORVEX_TEXT(CmdNew, "New(&N)\tCtrl+N");
KORVEX_TEXT(CmdOpen, "Open(&O)...\tCtrl+O");
KORVEX_TEXT(CmdSave, "Save(&S)\tCtrl+S");
KORVEX_TEXT(CmdSaveAs, "Save As(&A)...");
KORVEX_TEXT(CmdRecentFileNone, "Recent File");
KORVEX_TEXT(CmdExit, "Exit(&E)");
KORVEX_TEXT(CmdAddNode, "Add    Node");
KORVEX_TEXT(CmdDeleteNode, "Delete Node");
KORVEX_TEXT(CmdAddCommand, "Add    Command");
KORVEX_TEXT(CmdDeleteCommand, "Delete Command");
KORVEX_TEXT(CmdSerialConnection, "Serial Connection ");
KORVEX_TEXT(CmdEthernetConnection, "Ethernet Connection ");
KORVEX_TEXT(CmdUpload, "Upload ");
KORVEX_TEXT(CmdDownload, "Download ");
KORVEX_TEXT(CmdConflictDetection, "Mapping Address Conflict Detection");
KORVEX_TEXT(CmdExportExcel, "Export EXCEL");
KORVEX_TEXT(CmdDebug, "Debug");
KORVEX_TEXT(CmdCalculateMapping, "Calculate Mapping Address");
KORVEX_TEXT(CmdEditBaseAddress, "Edit Base Address");
KORVEX_TEXT(CmdCancelBaseAddress, "Cancel Base Address");
KORVEX_TEXT(CmdViewTree, "Configuration tree");
KORVEX_TEXT(CmdViewPrompt, "Prompt information");
KORVEX_TEXT(CmdContent, "Content");
KORVEX_TEXT(CmdAbout, "About ");

// Tree context menu
KORVEX_TEXT(CtxAddNode, "Add Node");
KORVEX_TEXT(CtxDeleteNode, "Delete Node");
KORVEX_TEXT(CtxAddCommand, "Add Command");
KORVEX_TEXT(CtxDeleteCommand, "Delete Command");
KORVEX_TEXT(CtxCopyNode, "Copy Node");
KORVEX_TEXT(CtxPasteNode, "Paste Node");

// Tool bar captions
KORVEX_TEXT(TbNew, "New");
KORVEX_TEXT(TbSave, "Save");
KORVEX_TEXT(TbOpen, "Open");
KORVEX_TEXT(TbAddNode, "Add N");
KORVEX_TEXT(TbDeleteNode, "Delete N");
KORVEX_TEXT(TbAddCommand, "Add C");
KORVEX_TEXT(TbDeleteCommand, "Delete C");
KORVEX_TEXT(TbUpload, "Upload");
KORVEX_TEXT(TbDownload, "Download");
KORVEX_TEXT(TbAutoMap, "AutoMap");
KORVEX_TEXT(TbConflict, "Conflict");
KORVEX_TEXT(TbExport, "Export");
KORVEX_TEXT(TbDebug, "Debug");
KORVEX_TEXT(TbEditAddr, "Edit Addr");
KORVEX_TEXT(TbCancelEdit, "Cancel Edit");

// Status bar
KORVEX_TEXT(StatusReady, "Ready");
KORVEX_TEXT(IndicatorCaps, "Capital");
KORVEX_TEXT(IndicatorNum, "Number");
KORVEX_TEXT(IndicatorScroll, "Rolling");

// Panes
KORVEX_TEXT(PaneTree, "Configuration tree");
KORVEX_TEXT(PanePrompt, "Prompt information");
KORVEX_TEXT(TabInfo, "Info");
KORVEX_TEXT(TabNews, "News");

// Select Command dialog
KORVEX_TEXT(DlgSelectCommandTitle, "Select Command");
KORVEX_TEXT(DlgSelectCommandHint, "Double-click a command or press Enter to add it to the selected node.");
KORVEX_TEXT(DlgSelectCommandAdd, "&Add");
KORVEX_TEXT(DlgSelectCommandClose, "Close");

// Close prompt (also asked before New and Open replace a changed project)
KORVEX_TEXT(SaveConfigurationTitle, "Save Configuration");
KORVEX_TEXT(ConfigurationChanged, "Configuration has been changed, save it or not?");
KORVEX_TEXT(SaveConfigYes, "Yes (&Y)");
KORVEX_TEXT(SaveConfigNo, "No (&N)");
KORVEX_TEXT(SaveConfigCancel, "Cancel");

// Standard message-box buttons
KORVEX_TEXT(AppButtonOk, "OK");
KORVEX_TEXT(AppButtonYes, "Yes");
KORVEX_TEXT(AppButtonNo, "No");
KORVEX_TEXT(AppButtonRetry, "Retry");
KORVEX_TEXT(AppButtonCancel, "Cancel");

// About box
KORVEX_TEXT(AboutTitle, "About Software Korvex");
KORVEX_TEXT(AboutVersion, "Version 1.5.1");
KORVEX_TEXT(AboutClose, "Close");
KORVEX_TEXT(AboutLogoFile, "VarnelCompany.png");
KORVEX_TEXT(AboutWebSite, "https://korvex.example.com/");
KORVEX_TEXT(AboutContact, "Support: support@korvex.example.com");

// Start-up splash
KORVEX_TEXT(SplashTagline, "Configuration tool for Tessaly fieldbus-to-Modbus gateways");
KORVEX_TEXT(SplashButton, "Close (%1)");

// Help
KORVEX_TEXT(ProductPage, "https://korvex.example.com/tessaly");
KORVEX_TEXT(HelpOpenFailed, "Open failed!");
// Why it failed (%2 of HelpOpenFailedWhy)
KORVEX_TEXT(HelpNoLauncher, "No program that opens web pages is set up on this computer.");
KORVEX_TEXT(HelpLauncherFailed, "The program that opens web pages did not start.");
// "Open failed!", the reason, and the address to open by hand.
KORVEX_TEXT(HelpOpenFailedWhy, "%1\n%2\n\nOpen this address in a web browser:\n%3");
KORVEX_TEXT(NetworkDisconnected, "The current network is disconnected, please check the network\xEF\xBC\x81");

// Commands whose tools are not part of this build yet
KORVEX_TEXT(CommandNotAvailable, "This command is not available in this version.");

// Command line
KORVEX_TEXT(CliNoSplash, "Start without the splash window.");
KORVEX_TEXT(CliQuitAfterShow, "Exit as soon as the main window has been shown.");
KORVEX_TEXT(CliScreenshot, "Save a picture of the shown main window (or of the dialog it opened) to FILE.png and exit.");
KORVEX_TEXT(CliSelect, "Select the tree item PATH (item texts joined by \"/\") before showing.");
KORVEX_TEXT(CliConflictView, "Open the mapping conflict view once the main window is shown.");
KORVEX_TEXT(CliFile, "Project file to open.");
KORVEX_TEXT(ScreenshotFailed, "Could not write the picture %1.");

}  // namespace korvex::texts
