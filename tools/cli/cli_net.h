#pragma once
// The Ethernet branches of korvex-cli download and upload (--ethernet A), which
// the serial commands hand over to.
#include "command_registry.h"

namespace korvex::cli {

// Whether the arguments ask for the Ethernet branch.
bool wantsEthernet(const Args& args);
int runEthernetDownload(const Args& args);
int runEthernetUpload(const Args& args);

}  // namespace korvex::cli
