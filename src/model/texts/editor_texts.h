#pragma once
// Texts of the configuration editor (Parts 2.1 to 2.3): tree labels, grid row
// labels, choice entries, messages and questions.
#include "model/texts/text.h"

namespace korvex::texts {

// Tree roots (Part 2.1)
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
