#pragma once
// How what an upload read becomes the Project.
#include "model/project.h"
#include "serial/identification.h"
#include "serial/upload_store.h"

namespace korvex {
class PlcBlocks;
}

namespace korvex::serial {

// The project before the upload's data go in: every field to its new-project
// value for its kind, the variant flags kept, not marked as loaded from a file.
void resetForUpload(Project& project);

// Turns the raw store into the project prepared by resetForUpload: the kind and
// fieldbus settings, the parameters of each subnet that was read, and for each
// subnet with commands the nodes (rebuilt from the commands' slave addresses, in
// command order) and the commands. Every count is bounded by the model's
// tables. `plc`: PLC address mode (nullptr: off) for the mapping addresses.
void convertUploadStore(const UploadStore& store, const GatewayIdentity& identity, Project& project,
                        const PlcBlocks* plc);

// After an Upload: every command's byteCount from its function code and data
// count (codes 1, 2, 15: (count + 7) / 8; 3, 4, 16: count x 2; 5: 1; 6: 2).
void recomputeByteCounts(Project& project);

}  // namespace korvex::serial
