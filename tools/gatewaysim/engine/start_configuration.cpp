#include "start_configuration.h"

#include <array>
#include <memory>

#include "model/kvx_file.h"
#include "serial/download_frames.h"
#include "serial/identification.h"

namespace korvex::gatewaysim {

bool loadProjectFile(GatewayEngine& engine, const std::string& path, std::string* error) {
    auto project = std::make_unique<Project>();
    if (const auto message = openProject(path, *project)) {
        if (error) *error = message->text();
        return false;
    }
    const DeviceOptions& device = engine.options();
    const std::array<std::uint8_t, 8> deviceData{device.deviceType, device.firmwareMajor, device.firmwareMinor, 0, 0,
                                                 device.capacity,   0,                    0};
    const auto identity = serial::GatewayIdentity::fromDeviceData(deviceData);
    return engine.loadConfiguration(serial::composeDownloadFrames(*project, identity, nullptr), error);
}

}  // namespace korvex::gatewaysim
