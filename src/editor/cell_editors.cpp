// Which value cells open an editor when clicked, and the entries of the list a
// cell opens (a cell without a list opens the edit box).
#include "editor/editor_session.h"

#include "editor/session_helpers.h"
#include "model/texts.h"

namespace korvex {

using namespace editor;
namespace T = texts;

bool EditorSession::cellEditable(int r) const {
    if (r < 0 || r >= kGridRowCount || !state_.treeSelectionMade) return false;
    const size_t ri = static_cast<size_t>(r);
    const int kind = project_.deviceKind;
    switch (state_.nodeKind) {
        case NodeKind::Fieldbus:
            if (r == 0 || !rowHasField_[ri] || grid_[ri].grey) return false;
            if (kind == 0 && project_.flags.legacyFlag233b && r == 2) return false;
            return true;
        case NodeKind::Subnet: {
            if (!rowHasField_[ri] || grid_[ri].grey) return false;
            const SubnetConfig& c = project_.subnet(state_.selectedSubnet);
            if (r == 5 && !isMode(c, T::ModbusSlave)) return false;
            if (r == 10 && !state_.pulseOutputActive) return false;
            if (kind == 4 && (r == 2 || r == 6)) return false;
            return true;
        }
        case NodeKind::Node:
            return r == 0 && rowHasField_[0];
        case NodeKind::Command: {
            const SubnetConfig& c = project_.subnet(state_.selectedSubnet);
            const int k = state_.currentCommandIndex;
            if (k < 1 || k > usedCount(c.commandCount, kMaxCommands)) return false;
            const ModbusCommand& cmd = c.commands[static_cast<size_t>(k - 1)];
            const int fc = functionCodeOf(cmd);
            switch (r) {
                case 2:
                case 4:
                case 9:
                    return true;
                case 3:
                    return fc != 5 && fc != 6;
                case 5:
                    return !(fc == 3 || fc == 4 || fc == 6 || fc == 16);
                case 7:
                    if (isBitFc(fc) || cmd.byteSwap != T::NoSwap.text) return false;
                    if ((fc == 6 || fc == 16) && usesDataFilter(project_)) return false;
                    return true;
                case 10:
                    return !isBitFc(fc) && cmd.dataFilter == T::Fullword.text;
                default:
                    return false;
            }
        }
        default:
            return false;
    }
}

std::vector<std::string> EditorSession::choiceList(int r) const {
    if (r < 0 || r >= kGridRowCount) return {};
    const std::string& label = grid_[static_cast<size_t>(r)].label;
    const int kind = project_.deviceKind;
    const VariantFlags& fl = project_.flags;
    switch (state_.nodeKind) {
        case NodeKind::Fieldbus:
            if (r == 0) return {};
            if (kind == 0) {
                if (label == T::LabelDeviceNetBaudRate.text)
                    return strings({T::Baud125K.text, T::Baud250K.text, T::Baud500K.text, T::InterceptAutomatically.text});
                if (label == T::LabelDeviceNetInputSize.text) {
                    auto l = strings({"8", "16", "32", "64", "96"});
                    if (!fl.legacyFlag245) l.insert(l.end(), {"128", "160"});
                    return l;
                }
                if (label == T::LabelDeviceNetOutputSize.text) {
                    auto l = strings({"8", "16", "32", "64"});
                    if (!fl.legacyFlag245) l.insert(l.end(), {"96", "112"});
                    return l;
                }
            } else if (kind == 4) {
                if (label == T::LabelAssignIpMode.text)
                    return strings({T::ManualAssign.text, T::Bootp.text, T::Dhcp.text});
            } else if (kind == 1 || kind == 3) {
                if (label == T::LabelProfibusInputBytes.text || label == T::LabelProfibusOutputBytes.text)
                    return strings({"8", "16", "48", "112"});
                if (label == T::LabelInputLengthPrefix.text || label == T::LabelInputFaultReset.text ||
                    label == T::LabelCompatibilityMode.text)
                    return enableDisable();
                if (label == T::LabelTimeoutAction.text) return strings({T::ClearData.text, T::HoldData.text});
                if (label == T::LabelProfibusConfigMode.text)
                    return strings({T::UseBytesSelection.text, T::InputConfigurationData.text});
                if (label == T::LabelProfibusAddress.text)
                    return strings({T::AddressSettingUsingHardware.text, T::EnterAddressValue.text});
                if (label == T::LabelConfigurationMode.text)
                    return strings({T::ViaKorvex.text, T::ViaProfibusMasterSoftware.text});
            } else if (kind == 6) {
                if (r == 3) return enableDisable();
            }
            return {};
        case NodeKind::Subnet: {
            const SubnetConfig& c = project_.subnet(state_.selectedSubnet);
            switch (r) {
                case 0: {
                    if (fl.legacyFlag244) return strings({T::ModbusMaster.text, T::UserConfig.text});
                    auto l = strings({T::ModbusMaster.text, T::ModbusSlave.text});
                    if (kind == 3) l.emplace_back(T::UserConfig.text);
                    if (kind == 2) l.emplace_back(T::SelfDefiningProtocol.text);
                    return l;
                }
                case 1: {
                    std::vector<std::string> l;
                    if (kind != 4) l = strings({"300", "600"});
                    for (auto b : {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}) l.emplace_back(b);
                    return l;
                }
                case 2:
                    return strings({"8"});
                case 3:
                    return strings({T::Parity_None.text, T::Parity_Odd.text, T::Parity_Even.text, T::Parity_Mark.text,
                                    T::Parity_Space.text});
                case 4:
                    return strings({"1", "2"});
                case 6:
                    return strings({T::Rtu.text, T::Ascii.text});
                case 9:
                    return strings({T::OutputCycle.text, T::OutputForbidden.text, T::OutputChangeOfValue.text});
                case 12: {
                    if (fl.legacyFlag233b) return strings({T::Rs485.text, T::Rs232.text});
                    if (fl.extendedSettingsFlag && isMaster(c)) {
                        auto l = strings({T::Disable.text});
                        for (int i = 1; i <= 13; ++i) l.push_back(std::to_string(i) + T::Bytes.str());
                        return l;
                    }
                    return strings({T::FrameTypeCharInterval.text, T::FrameTypeFrameLength.text});
                }
                default:
                    if (label == T::LabelAutoSending.text || label == T::LabelCrcCheck.text) return enableDisable();
                    if (label == T::LabelCommInterface.text) return strings({T::Rs485.text, T::Rs232.text});
                    return {};
            }
        }
        case NodeKind::Command: {
            const SubnetConfig& c = project_.subnet(state_.selectedSubnet);
            const int k = state_.currentCommandIndex;
            if (k < 1 || k > usedCount(c.commandCount, kMaxCommands)) return {};
            const int fc = functionCodeOf(c.commands[static_cast<size_t>(k - 1)]);
            if (r == 7) {
                if (usesDataFilter(project_)) return strings({T::Fullword.text, T::HighByte.text, T::LowByte.text});
                auto l = strings({T::NoSwap.text, T::TwoBytesSwap.text});
                if (!(fc == 6 && kind == 4)) l.emplace_back(T::FourBytesSwap.text);
                return l;
            }
            if (r == 9) return strings({T::FastScan.text, T::SlowScan.text});
            if (r == 10) {
                auto l = strings({T::NoSwap.text, T::TwoBytesSwap.text});
                if (fc != 6) l.emplace_back(T::FourBytesSwap.text);
                return l;
            }
            return {};
        }
        default:
            return {};
    }
}

}  // namespace korvex
