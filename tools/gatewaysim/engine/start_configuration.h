#pragma once
// The configuration a simulated gateway starts with: a project file turned into
// the frames a download of it would send to this gateway.
#include <string>

#include "gateway_engine.h"

namespace korvex::gatewaysim {

// Reads the .kvx file at `path` and loads the frames a download of it would
// write into a gateway of the engine's type and firmware. On failure leaves
// *error with the reason (the file's message, or the frame the gateway refused).
bool loadProjectFile(GatewayEngine& engine, const std::string& path, std::string* error);

}  // namespace korvex::gatewaysim
