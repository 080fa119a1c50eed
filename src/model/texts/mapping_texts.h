#pragma once
// Texts of the data mapping area: automatic mapping addresses, the conflict views
// and the PLC base-address dialogs.
#include "model/texts/text.h"

namespace korvex::texts {

// Automatic mapping addresses
KORVEX_TEXT(MappingCalculateQuestion, "Really want to calculate the mapping address automatically? ");
KORVEX_TEXT(MappingConfigDataError, "PROFIBUS configuration data numerical error");
KORVEX_TEXT(MappingExceedsMaximum, "Data mapping address exceeds the maximum effective value! ");

// Conflict views
KORVEX_TEXT(ConflictEditBaseQuestion, "Whether to edit base address?");
KORVEX_TEXT(ConflictPlainTitle, "Conflict Detection");
KORVEX_TEXT(ConflictPlcTitle, "Conflict detection");
KORVEX_TEXT(ConflictCommandList, "Command List");
KORVEX_TEXT(ConflictInputGrid, "Input");
KORVEX_TEXT(ConflictOutputGrid, "Output");
KORVEX_TEXT(ConflictLegendInput, "Input");
KORVEX_TEXT(ConflictLegendOutput, "Output");
KORVEX_TEXT(ConflictLegendConflict, "Conflict");
KORVEX_TEXT(ConflictLegendLocal, "Local data exchange");
KORVEX_TEXT(ConflictStatusLine, "Status of Modbus Command Response");

// PLC data blocks: the download range check
KORVEX_TEXT(InputMappingOutOfRange, "Input mapping address of the command in node-%1 out of range! ");
KORVEX_TEXT(OutputMappingOutOfRange, "Output mapping address of the command in node-%1 out of range!");

// "Edit the PLC memory address (PROFIBUS)"
KORVEX_TEXT(EditIqTitle, "Edit the PLC memory address (PROFIBUS)");
KORVEX_TEXT(EditIqInputGroup, "Input");
KORVEX_TEXT(EditIqOutputGroup, "Output");
KORVEX_TEXT(EditIqInputInner, "Edit the input memory address");
KORVEX_TEXT(EditIqOutputInner, "Edit the output memory address");
KORVEX_TEXT(EditIqChangeInputCount, "Change the number of input data blocks:");
KORVEX_TEXT(EditIqChangeOutputCount, "Change the number of output data blocks:");
KORVEX_TEXT(EditIqDataBlockLabel, "Data block :");
KORVEX_TEXT(EditIqBaseLabel, "Base address:");
KORVEX_TEXT(EditIqBytesLabel, "Number of bytes:");
KORVEX_TEXT(EditIqDisplayInputs, "Display all the inputs");
KORVEX_TEXT(EditIqDisplayOutputs, "Display all the outputs");
KORVEX_TEXT(EditIqOk, "OK");
KORVEX_TEXT(EditIqCancel, "Cancel");
KORVEX_TEXT(EditIqDataBlockItem, "Data block %1");
KORVEX_TEXT(EditIqCountRange, "Please input integer from 1 to 64!");
KORVEX_TEXT(EditIqBaseRange, "Please input integer from 0 to 1024!");
KORVEX_TEXT(EditIqBytesRange, "Please input integer from 1 to 244!");
KORVEX_TEXT(EditIqBytesTotal, "The total number of bytes can not be more than 244!");
KORVEX_TEXT(EditIqInputBlockConflict, "Input data block conflict!");
KORVEX_TEXT(EditIqOutputBlockConflict, "Output data block conflict!");
KORVEX_TEXT(EditIqInputShortage,
            "The total number of bytes in the input data blocks is less than the number of bytes in the command.");
KORVEX_TEXT(EditIqOutputShortage,
            "The total number of bytes in the output data blocks is less than the number of bytes in the command.");

// "Show all the base address"
KORVEX_TEXT(DisplayAddrTitle, "Show all the base address");
KORVEX_TEXT(DisplayAddrInputBlock, "Input data block");
KORVEX_TEXT(DisplayAddrInputAddress, "Input address");
KORVEX_TEXT(DisplayAddrOutputBlock, "Output data block");
KORVEX_TEXT(DisplayAddrOutputAddress, "Output address");
KORVEX_TEXT(DisplayAddrByte, "Byte");

}  // namespace korvex::texts
