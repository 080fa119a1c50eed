#include "compare/gateway_image.h"

#include "gateway_engine.h"
#include "model/operator.h"
#include "serial/download_frames.h"
#include "serial/upload.h"
#include "serial/upload_conversion.h"
#include "simulated_link.h"

namespace korvex {

serial::GatewayIdentity newestGatewayFor(const Project& project) {
    return serial::GatewayIdentity::forProject(project, 6, 0, 244);
}

std::optional<Project> gatewayImage(const Project& project, const serial::GatewayIdentity& identity,
                                    const PlcBlocks* plc) {
    // What the download sends: it refreshes subnet 1's byte counts first, as the
    // fieldbus sizes are taken from them.
    Project sent = project;
    if (serial::totalsFromCommands(sent)) serial::refreshByteCounts(sent.subnet(0));
    gatewaysim::DeviceOptions device;
    device.deviceType = identity.deviceType;
    device.firmwareMajor = identity.firmwareMajor;
    device.firmwareMinor = identity.firmwareMinor;
    device.capacity = identity.capacityByte;
    gatewaysim::GatewayEngine engine(device);
    if (!engine.loadConfiguration(serial::composeDownloadFrames(sent, identity, plc), nullptr)) return std::nullopt;

    // What the upload brings back, into a copy of the project as the Upload
    // command fills the open one (its kind and variant flags are kept).
    gatewaysim::SimulatedLink link(engine);
    ScriptedOperator op;
    Project image = project;
    const serial::UploadResult result = serial::runUpload(link, op, image, plc);
    if (result.outcome != serial::TransferOutcome::Completed || !result.everythingRead) return std::nullopt;
    serial::recomputeByteCounts(image);
    return image;
}

GatewayImage gatewayImageFunction(std::optional<serial::GatewayIdentity> identity, const PlcBlocks* plc) {
    return [identity, plc](const Project& project) {
        return gatewayImage(project, identity.value_or(newestGatewayFor(project)), plc);
    };
}

}  // namespace korvex
