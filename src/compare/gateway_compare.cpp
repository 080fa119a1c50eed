#include "compare/gateway_compare.h"

#include <memory>

#include "compare/gateway_image.h"
#include "mapping/plc_blocks.h"
#include "serial/upload.h"
#include "serial/upload_conversion.h"

namespace korvex {

GatewayComparison compareWithGateway(serial::ByteLink& link, Operator& op, const Project& project,
                                     const PlcBlocks* plc) {
    GatewayComparison out;
    // Into a copy, as Upload fills the open project (kind and variant flags kept).
    auto gateway = std::make_unique<Project>(project);
    const serial::UploadResult upload = serial::runUpload(link, op, *gateway, plc);
    // An upload that did not read everything leaves nothing to compare.
    if (upload.outcome != serial::TransferOutcome::Completed || !upload.everythingRead || !upload.identity)
        return out;
    serial::recomputeByteCounts(*gateway);
    CompareOptions options;
    options.scope = CompareScope::Gateway;
    options.plc = plc;
    options.gatewayImage = gatewayImageFunction(upload.identity, plc);
    out.result = compareProjects(project, *gateway, options);
    out.compared = true;
    return out;
}

}  // namespace korvex
