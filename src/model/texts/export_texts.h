#pragma once
// Texts of the Excel export: template and sheet names, the heading cells the
// export writes, the value texts it adds, and its messages.
#include "model/texts/text.h"

namespace korvex::texts {

// Template workbooks (file names without extension) and their sheets
KORVEX_TEXT(ExportTemplateMaster, "Tessaly_Modbus_Master format");
KORVEX_TEXT(ExportTemplateMasterPlc, "Tessaly_Modbus_Master forma_IQ");
KORVEX_TEXT(ExportTemplateSlave, "Tessaly_Modbus_Slave format");
KORVEX_TEXT(ExportTemplateUserConfig, "Tessaly_User_Config format");
KORVEX_TEXT(ExportTemplateGeneric, "PZ");
KORVEX_TEXT(ExportSheetFieldbus, "Fieldbus");
KORVEX_TEXT(ExportSheetSubnet, "Subnet");
KORVEX_TEXT(ExportSheetCommandList, "Command List");

// Heading cells written over the template's heading row
KORVEX_TEXT(ExportHeadingSubnet, "Subnet");
KORVEX_TEXT(ExportHeadingAssignIpMode, "Assign IP Mode");
KORVEX_TEXT(ExportHeadingIpAddress, "IP address");
KORVEX_TEXT(ExportHeadingSubnetMask, "Subnet mask");
KORVEX_TEXT(ExportHeadingGatewayAddress, "Gateway address");
KORVEX_TEXT(ExportHeadingDns1, "DNS1");
KORVEX_TEXT(ExportHeadingDns2, "DNS2");
KORVEX_TEXT(ExportHeadingInputFaultReset, "Input data double fault reset");
KORVEX_TEXT(ExportHeadingInputLengthPrefix, "PROFIBUS Input-data Effective Length ");
KORVEX_TEXT(ExportHeadingCommInterface, "Communication Interface");
KORVEX_TEXT(ExportHeadingDebugInterface, "Debug Interface");

// Value texts
KORVEX_TEXT(ExportHardwareButton, "Setting through Hardware Button");
KORVEX_TEXT(ExportSelfAdapting, "Self-adapting");
KORVEX_TEXT(ExportHexSuffix, "H");

// The save dialog
KORVEX_TEXT(ExportSaveFilter, "Excel File(*.xlsx)");

// After a written workbook: the status bar, the message and its buttons
KORVEX_TEXT(ExportWrittenStatus, "Workbook saved as %1");
KORVEX_TEXT(ExportWritten, "The workbook was saved as\n%1");
KORVEX_TEXT(ExportOpenButton, "Open");
KORVEX_TEXT(ExportOpenFailed, "%1 could not be opened: the program that opens workbooks did not start.");

// Messages
KORVEX_TEXT(ExportNoTemplateForMode,
            "Nothing was exported: subnet 1 has the protocol mode \"%1\", for which there is no template.");
KORVEX_TEXT(ExportTemplateNotFound, "The export template \"%1\" was not found in %2.");
KORVEX_TEXT(ExportSheetMissing, "The template %1 has no sheet \"%2\".");
KORVEX_TEXT(ExportTemplateDamaged, "The template %1 cannot be used: %2.");
KORVEX_TEXT(ExportWorkbookNotBuilt, "The workbook %1 could not be put together: %2.");

// What is wrong with a damaged template (the %2 of ExportTemplateDamaged)
KORVEX_TEXT(ExportProblemNotZip, "it is not an .xlsx workbook (no readable zip archive)");
KORVEX_TEXT(ExportProblemTooLarge, "it is too large");
KORVEX_TEXT(ExportProblemTooManyParts, "it holds too many parts");
KORVEX_TEXT(ExportProblemPartMissing, "its part %1 is missing");
KORVEX_TEXT(ExportProblemPartUnreadable, "its part %1 cannot be read");
KORVEX_TEXT(ExportProblemPartTooLarge, "its part %1 is too large");
KORVEX_TEXT(ExportProblemBadXml, "its part %1 is not well-formed XML");
KORVEX_TEXT(ExportProblemBadContent, "its part %1 holds a row, cell or style that is out of order or out of range");
KORVEX_TEXT(ExportProblemNotWorksheet, "its sheet \"%1\" is not a worksheet");

}  // namespace korvex::texts
