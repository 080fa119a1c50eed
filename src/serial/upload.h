#pragma once
// The upload over the serial link: reads the configuration a gateway holds and
// turns it into the Project.
#include <optional>

#include "model/project.h"
#include "serial/byte_link.h"
#include "serial/identification.h"
#include "serial/transfer_progress.h"

namespace korvex {
class Operator;
class PlcBlocks;
}  // namespace korvex

namespace korvex::serial {

struct UploadResult {
    TransferOutcome outcome = TransferOutcome::Failed;
    // The project was reset and filled from the gateway (from that point on a
    // failure leaves it reset with whatever was converted so far).
    bool projectReplaced = false;
    // Completed and every answer read (the character intervals, read last, may
    // have failed after the project was already converted).
    bool everythingRead = false;
    std::optional<GatewayIdentity> identity;
};

// The upload (the window's "Upload" button), on a link the caller opened and
// keeps: identification, the fieldbus parameters, each used subnet's parameters
// and command list in batches, then the gateway-wide settings. The project is
// left unchanged until everything up to the command lists was read. Reports the
// step and status lines through op.stepDone and every message through op.
// `plc`: PLC address mode (nullptr: off). After the Upload command the caller
// runs recomputeByteCounts (upload_conversion.h).
UploadResult runUpload(ByteLink& link, Operator& op, Project& project, const PlcBlocks* plc);

}  // namespace korvex::serial
