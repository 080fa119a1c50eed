#pragma once
// Texts of the comparison of a project with a file or with a gateway.
#include "model/texts/text.h"

namespace korvex::texts {

// korvex-cli diff and verify: the first line, and the columns of an item on one side only.
KORVEX_TEXT(CompareSame, "same");
KORVEX_TEXT(CompareDiffer, "differ");
KORVEX_TEXT(CompareNoRow, "-");
KORVEX_TEXT(ComparePresent, "present");
KORVEX_TEXT(CompareAbsent, "absent");
// The label of a node name difference (the name is the tree text, not a grid row).
KORVEX_TEXT(CompareNodeName, "Node Name");
KORVEX_TEXT(CompareNoGatewayImage, "The project cannot be put through a download and an upload to see what a gateway keeps of it.");

// The window.
KORVEX_TEXT(MenuCompareWithFile, "Compare with File...");
KORVEX_TEXT(MenuCompareWithGateway, "Compare with Gateway...");
KORVEX_TEXT(CompareWindowTitle, "Compare");
KORVEX_TEXT(CompareColumnItem, "Item");
KORVEX_TEXT(CompareColumnParameter, "Parameter");
KORVEX_TEXT(CompareColumnProject, "Project");
KORVEX_TEXT(CompareColumnFile, "File");
KORVEX_TEXT(CompareColumnGateway, "Gateway");
KORVEX_TEXT(CompareFileSame, "The project and the file are the same.");
KORVEX_TEXT(CompareGatewaySame, "The gateway holds the project.");
KORVEX_TEXT(CompareDifferenceCount, "%1 differences.");
KORVEX_TEXT(CompareCopy, "Copy");
KORVEX_TEXT(CompareClose, "Close");
// The download windows' check box: after a successful download the gateway is
// read back and compared with the project.
KORVEX_TEXT(ReadBackAndCompare, "Read back and compare");

}  // namespace korvex::texts
