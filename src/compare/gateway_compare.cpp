#include "compare/gateway_compare.h"

#include <memory>

#include "compare/gateway_image.h"
#include "mapping/plc_blocks.h"
#include "net/ethernet_transfer.h"
#include "serial/upload.h"
#include "serial/upload_conversion.h"

namespace korvex {

namespace {

GatewayComparison compareInGatewayScope(const Project& project, const Project& gateway, const PlcBlocks* plc,
                                        GatewayImage image) {
    CompareOptions options;
    options.scope = CompareScope::Gateway;
    options.plc = plc;
    options.gatewayImage = std::move(image);
    GatewayComparison out;
    out.result = compareProjects(project, gateway, options);
    out.compared = true;
    return out;
}

}  // namespace

GatewayComparison compareWithGateway(serial::ByteLink& link, Operator& op, const Project& project,
                                     const PlcBlocks* plc) {
    // Into a copy, as Upload fills the open project (kind and variant flags kept).
    auto gateway = std::make_unique<Project>(project);
    const serial::UploadResult upload = serial::runUpload(link, op, *gateway, plc);
    // An upload that did not read everything leaves nothing to compare.
    if (upload.outcome != serial::TransferOutcome::Completed || !upload.everythingRead || !upload.identity)
        return {};
    serial::recomputeByteCounts(*gateway);
    return compareInGatewayScope(project, *gateway, plc, gatewayImageFunction(upload.identity, plc));
}

GatewayComparison compareWithEthernetGateway(net::StreamSocket& socket, const std::string& address, Operator& op,
                                             const Project& project, const PlcBlocks* plc) {
    // Into a copy, as the Ethernet Upload fills the open project.
    auto gateway = std::make_unique<Project>(project);
    if (!net::ethernetUpload(*gateway, socket, address, op)) return {};
    return compareInGatewayScope(project, *gateway, plc, ethernetGatewayImageFunction());
}

}  // namespace korvex
