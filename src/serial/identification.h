#pragma once
// What the gateway says it is, the tests made on it, and the switches of its
// operating state around a download.
#include <array>
#include <cstdint>
#include <optional>

#include "model/project.h"
#include "serial/byte_link.h"

namespace korvex {
class Operator;
}

namespace korvex::serial {

// Read from the gateway at the start of every download and upload.
struct GatewayIdentity {
    std::uint8_t deviceType = 0;  // DeviceKind + 1
    std::uint8_t firmwareMajor = 0;
    std::uint8_t firmwareMinor = 0;
    int firmwareVersion = 0;  // major x 10 + minor: 5.2 is 52
    std::uint8_t capacityByte = 0;

    // From the data bytes d0 to d7 of the device-type answer.
    static GatewayIdentity fromDeviceData(const std::array<std::uint8_t, 8>& data);
    // A gateway of the project's own kind with this firmware (korvex-cli frames).
    static GatewayIdentity forProject(const Project& project, int major, int minor, int capacity);

    // Version gates.
    bool scramblesDownload() const { return firmwareMajor > 5; }     // and has operating states
    bool scramblesUpload() const { return firmwareVersion > 59; }
    bool limitedTo48Commands() const { return firmwareVersion < 52; }
    bool hasTimeoutHandling(const VariantFlags& f) const {
        return f.legacyFlag244 || (f.extendedSettingsFlag && firmwareVersion >= 40);
    }
    bool hasCharIntervals(const VariantFlags& f) const { return f.extendedSettingsFlag && firmwareVersion >= 50; }
    bool writesProfibusSettings() const { return firmwareMajor >= 6; }
    bool readsProfibusSettings() const { return firmwareVersion >= 60; }
    bool offersReturnToCommunication() const {
        return (firmwareMajor == 5 && firmwareMinor > 2) || firmwareMajor > 5;
    }
    bool limitsDataTo224Bytes() const { return capacityByte < 244; }

    bool operator==(const GatewayIdentity&) const = default;
};

// The gateway device type a project needs: DeviceKind + 1, or 5 for a project
// of an older EtherNet/IP gateway (legacyFlag244) configured over the serial link.
int deviceTypeForProject(const Project& project);

enum class IdentifyOutcome {
    Identified,
    Declined,  // the user kept the gateway in communication state
    Failed,    // a message was shown
};

struct DownloadIdentification {
    IdentifyOutcome outcome = IdentifyOutcome::Failed;
    GatewayIdentity identity;
};

// The identification that starts a download: asks the gateway for its type,
// checks the answer, the 48-command limit of old firmware and the device type,
// and with new firmware asks the user and switches the gateway into its
// configuration state. The state is switched only after every check passed, so a
// gateway that will not be written keeps communicating.
DownloadIdentification identifyForDownload(ByteLink& link, Operator& op, const Project& project);

// The identification that starts an upload. Does not change the gateway's state.
std::optional<GatewayIdentity> identifyForUpload(ByteLink& link, Operator& op, const Project& project);

// The end of a download: with firmware 5.3 or later asks whether the gateway
// shall start communicating with the new configuration and, on Yes, tells it to.
// No answer is read. False only when the request could not be sent.
bool returnToCommunication(ByteLink& link, Operator& op, const GatewayIdentity& identity);

}  // namespace korvex::serial
