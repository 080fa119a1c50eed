#include "compare/gateway_image.h"

#include <memory>

#include "gateway_engine.h"
#include "model/operator.h"
#include "net/config_block.h"
#include "net/ethernet_transfer.h"
#include "net_engine.h"
#include "serial/download_frames.h"
#include "serial/upload.h"
#include "serial/upload_conversion.h"
#include "simulated_link.h"
#include "simulated_stream.h"

namespace korvex {

namespace {

// The in-process gateway answers on any address; this one only names it.
constexpr const char* kImageAddress = "127.0.0.1";

}  // namespace

bool usesEthernetTransfer(const Project& project) { return project.deviceKind == 4; }

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

std::optional<Project> ethernetGatewayImage(const Project& project) {
    // What the download writes: the write layout of the project, which the
    // simulated gateway keeps once it has accepted it.
    gatewaysim::NetGatewayEngine engine(gatewaysim::NetDeviceOptions{});
    gatewaysim::SimulatedStreamSocket socket(engine);
    if (!socket.connectTo(kImageAddress, net::kGatewayPort, net::kConnectTimeoutMs) ||
        !socket.send(net::composeWriteBlock(project), net::kTransferTimeoutMs))
        return std::nullopt;
    const auto answer = socket.receive(net::kWriteAnswerSize, net::kTransferTimeoutMs);
    if (!answer || !net::writeAnswerAccepted(*answer)) return std::nullopt;

    // What the upload brings back. The Ethernet upload decodes into the project
    // it is given and leaves alone what the read layout does not carry, so it
    // reads into a new project of the same kind and flags: every field the
    // round trip drops then reads the same for every project.
    auto image = std::make_unique<Project>(project);
    resetContents(*image, image->deviceKind);
    ScriptedOperator op;
    if (!net::ethernetUpload(*image, socket, kImageAddress, op)) return std::nullopt;
    // The byte counts follow from the function codes and counts the gateway
    // keeps, as the Ethernet download derives them.
    net::refreshEthernetByteCounts(*image);
    return std::optional<Project>(std::move(*image));
}

GatewayImage gatewayImageFunction(std::optional<serial::GatewayIdentity> identity, const PlcBlocks* plc) {
    return [identity, plc](const Project& project) {
        if (!identity && usesEthernetTransfer(project)) return ethernetGatewayImage(project);
        return gatewayImage(project, identity.value_or(newestGatewayFor(project)), plc);
    };
}

GatewayImage ethernetGatewayImageFunction() {
    return [](const Project& project) { return ethernetGatewayImage(project); };
}

}  // namespace korvex
