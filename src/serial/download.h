#pragma once
// The download over the serial link: writes the Project into the gateway, frame
// by frame, each acknowledged before the next.
#include <optional>

#include "model/project.h"
#include "serial/byte_link.h"
#include "serial/identification.h"
#include "serial/transfer_progress.h"

namespace korvex {
class Operator;
class PlcBlocks;
struct MappingState;
}  // namespace korvex

namespace korvex::serial {

struct DownloadResult {
    TransferOutcome outcome = TransferOutcome::Failed;
    // Completed and no step failed on the way (a failed clear of subnet 1's
    // commands or a refused character-interval frame lets the download go on).
    bool everythingAcknowledged = false;
    // The gateway as identified (when identification got that far).
    std::optional<GatewayIdentity> identity;
};

// The download (the window's "Download" button), on a link the caller opened and
// keeps: the checks before sending, identification and configuration state, the
// configuration frames, the gateway-wide settings and the return to
// communication. Reports step lines and the status line through op.stepDone
// (see transfer_progress.h) and every message and question through op.
// Refreshes the byte counts of subnet 1's commands, as the data sizes are taken
// from them. `plc`: PLC address mode (nullptr: off).
DownloadResult runDownload(ByteLink& link, Operator& op, Project& project, const MappingState& mapping,
                           const PlcBlocks* plc);

}  // namespace korvex::serial
