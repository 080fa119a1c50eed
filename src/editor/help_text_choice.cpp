#include "editor/help_text_choice.h"

#include "editor/session_helpers.h"
#include "model/texts.h"

namespace korvex {

using namespace editor;
namespace T = texts;

HelpChoice chooseHelpText(const Project& project, bool plcAddressMode, NodeKind kind, int r) {
    const auto text = [](const Text& t) { return HelpChoice{PromptUpdate::Text, &t}; };
    const auto empty = [] { return HelpChoice{PromptUpdate::Empty, nullptr}; };
    const HelpChoice unchanged{};
    const int dk = project.deviceKind;
    const VariantFlags& fl = project.flags;
    const SubnetConfig& s1 = project.subnet(0);
    switch (kind) {
        // The Fieldbus rows follow the layout of the variant; for the PROFIBUS
        // variants rows 3 and above follow subnet 1's protocol mode.
        case NodeKind::Fieldbus: {
            if (r == 0) return text(T::HelpFieldbusProtocol);
            if (dk == 0) {
                static const Text* rows[] = {&T::HelpDeviceNetAddress, &T::HelpDeviceNetBaudRate,
                                             &T::HelpDeviceNetInputBytes, &T::HelpDeviceNetOutputBytes};
                if (r >= 1 && r <= 4) return text(*rows[r - 1]);
                return empty();
            }
            if (dk == 1 || dk == 3) {
                if (r == 1) return text(T::HelpProfibusInputBuffer);
                if (r == 2) return text(T::HelpProfibusOutputBuffer);
                if (isMaster(s1)) {
                    static const Text* rows[] = {&T::HelpTimeoutAction, &T::HelpRetransmissionTimes,
                                                 &T::HelpProfibusAddress, &T::HelpCompatibilityMode,
                                                 &T::HelpConfigurationMode};
                    if (r >= 3 && r <= 7) return text(*rows[r - 3]);
                } else if (isMode(s1, T::ModbusSlave)) {
                    static const Text* rows[] = {&T::HelpProfibusAddress, &T::HelpCompatibilityMode,
                                                 &T::HelpConfigurationMode};
                    if (r >= 3 && r <= 5) return text(*rows[r - 3]);
                } else {
                    static const Text* rows[] = {&T::HelpInputLengthPrefix, &T::HelpProfibusAddress,
                                                 &T::HelpCompatibilityMode, &T::HelpConfigurationMode};
                    if (r >= 3 && r <= 6) return text(*rows[r - 3]);
                }
                return empty();
            }
            if (dk == 5 || dk == 6) {
                if (r == 1) return text(T::HelpProfibusInputBuffer);
                if (r == 2) return text(T::HelpProfibusOutputBuffer);
                if (r == 3 && isMode(s1, T::UserConfig)) return text(T::HelpInputLengthPrefix);
                return empty();
            }
            return empty();
        }
        case NodeKind::Subnet: {
            const bool k36 = dk == 3 || dk == 6;
            if (r == 0) return text(T::HelpProtocolsMode);
            if (r == 1) return text(fl.legacyFlag243 ? T::HelpBaudRateBrief : T::HelpModbusBaudRate);
            if (r >= 2 && r <= 11) {
                static const Text* rows[] = {&T::HelpDataBits,         &T::HelpParityCheck,
                                             &T::HelpStopBits,         &T::HelpGatewaySlaveAddress,
                                             &T::HelpTransmissionMode, &T::HelpResponseTimeout,
                                             &T::HelpPollDelay,        &T::HelpOutputMode,
                                             &T::HelpOutputPulse,      &T::HelpScanRate};
                return text(*rows[r - 2]);
            }
            if (r == 12) {
                if (fl.legacyFlag233b) return text(T::HelpPairedCommInterface);
                if (k36) return text(isMaster(s1) ? T::HelpResponseStatus : T::HelpFrameType);
                return unchanged;
            }
            if (r == 13) {
                if (fl.legacyFlag233b) return text(T::HelpPairedDebugInterface);
                if (k36) return text(T::HelpCharInterval);
                return unchanged;
            }
            if (r >= 14 && r <= 19) {
                static const Text* rows[] = {&T::HelpFrameLength, &T::HelpAutoSending,   &T::HelpAutoSendPeriod,
                                             &T::HelpCrcCheck,    &T::HelpCommInterface, &T::HelpDebugInterface};
                if (k36) return text(*rows[r - 14]);
                return unchanged;
            }
            if (r == 20 && fl.extendedSettingsFlag) return text(T::HelpCharIntervalSend);
            if (r == 21 && fl.extendedSettingsFlag) return text(T::HelpCharIntervalReceive);
            return unchanged;
        }
        case NodeKind::Node:
            if (r == 0) return text(T::HelpNodeSlaveAddress);
            return unchanged;
        case NodeKind::Command:
            switch (r) {
                case 0: return text(T::HelpNodeSlaveAddress);
                case 1: return text(T::HelpFunctionCode);
                case 2: return text(T::HelpStartingAddress);
                case 3:
                    if (fl.legacyFlag244) return text(T::HelpNumberOfDataUpTo84);
                    if (fl.extendedSettingsFlag && project.fileVersion >= 500) return text(T::HelpNumberOfDataUpTo122);
                    return text(T::HelpNumberOfDataUpTo56);
                case 4:
                    if (fl.legacyFlag244) return text(T::HelpMappingAddressTo00A7);
                    if (plcAddressMode) return text(T::HelpPlcMappingAddress);
                    return text(T::HelpMappingAddressTo00F3);
                case 5: return text(T::HelpBitOffset);
                case 6: return empty();
                case 7: return text(usesDataFilter(project) ? T::HelpDataFilter : T::HelpByteSwap);
                case 8: return empty();
                case 9: return text(T::HelpScanType);
                case 10: return text(T::HelpByteSwap);
                default: return unchanged;
            }
        default:
            return unchanged;
    }
}

}  // namespace korvex
