// What choosing an entry of a list does on the Fieldbus, subnet and command items:
// the value stored and the cells that change colour or text with it.
#include "editor/editor_session.h"

#include "editor/session_helpers.h"
#include "model/texts.h"

namespace korvex {

using namespace editor;
namespace T = texts;

void EditorSession::commitFieldbusChoice(const std::string& entry) {
    FieldbusSettings& f = project_.fieldbus;
    SubnetConfig& s1 = project_.subnet(0);
    const int kind = project_.deviceKind;
    const std::string& label = clickLabel_;
    const bool shown = selectionUnchanged();
    auto cell = [&](int r) -> GridRow& { return grid_[static_cast<size_t>(r)]; };

    if (kind == 0) {
        if (label == T::LabelDeviceNetBaudRate.text) f.deviceNetBaudRate = entry;
        else if (label == T::LabelDeviceNetInputSize.text) f.inputSize = entry;
        else if (label == T::LabelDeviceNetOutputSize.text) f.outputSize = entry;
    } else if (kind == 1 || kind == 3) {
        if (label == T::LabelProfibusInputBytes.text) {
            f.inputSize = entry;
        } else if (label == T::LabelProfibusOutputBytes.text) {
            f.outputSize = entry;
        } else if (label == T::LabelInputLengthPrefix.text) {
            if (entry == T::Enable.text && s1.frameLength == "243" && s1.frameType == T::FrameTypeFrameLength.text) {
                op_->showMessage({T::InputLengthCannotEnable, {}});
            } else {
                s1.inputLengthPrefix = entry;
            }
            if (shown) cell(currentRow_).value = s1.inputLengthPrefix;
        } else if (label == T::LabelInputFaultReset.text) {
            s1.inputFaultReset = entry;
        } else if (label == T::LabelTimeoutAction.text) {
            s1.timeoutAction = entry;
            if (shown) cell(4).grey = entry == T::HoldData.text;
        } else if (label == T::LabelProfibusConfigMode.text) {
            f.profibusConfigMode = entry;
            if (shown) {
                const bool bytes = entry == T::UseBytesSelection.text;
                cell(1).grey = !bytes;
                cell(2).grey = !bytes;
                cell(4).grey = bytes;
            }
        } else if (label == T::LabelProfibusAddress.text) {
            if (entry == T::EnterAddressValue.text) {
                editor_ = CellEditor{EditorKind::Edit, currentRow_, currentColumn_, T::EnterAddressValuePrompt.str(), {}};
            } else {
                f.profibusAddress = entry;
            }
        } else if (label == T::LabelCompatibilityMode.text) {
            f.compatibilityMode = entry;
        } else if (label == T::LabelConfigurationMode.text) {
            f.configurationMode = entry;
        }
    } else if (kind == 4) {
        if (label == T::LabelAssignIpMode.text) f.assignIpMode = entry;
    } else if (kind == 6) {
        if (currentRow_ == 3 && isMode(s1, T::UserConfig)) s1.inputLengthPrefix = entry;
    }
}

void EditorSession::commitSubnetChoice(const std::string& entry) {
    SubnetConfig* cp = clickedSubnet();
    if (!cp) return;
    SubnetConfig& c = *cp;
    const SubnetConfig& s1 = project_.subnet(0);
    const VariantFlags& fl = project_.flags;
    const bool shown = selectionUnchanged();
    auto cell = [&](int r) -> GridRow& { return grid_[static_cast<size_t>(r)]; };
    const int r = currentRow_;

    if (r == 0) {
        c.protocolMode = entry;
        rebuildSubnetBranch(clickSubnet_, entry == T::ModbusMaster.text);
        if (shown) {
            // The rows are laid out again for the new protocol (and the enable
            // states follow it, so Add Node is not left on for a non-master subnet).
            clearGrid();
            fillSubnetRows();
            setSelectionEnableFlags();
        }
        return;
    }
    if (r >= 1 && r <= 4) {
        std::string* group[4] = {};
        if (isMaster(c)) group[0] = &c.masterBaudRate, group[1] = &c.masterDataBits, group[2] = &c.masterParity,
                         group[3] = &c.masterStopBits;
        else if (isMode(c, T::ModbusSlave))
            group[0] = &c.slaveBaudRate, group[1] = &c.slaveDataBits, group[2] = &c.slaveParity,
            group[3] = &c.slaveStopBits;
        else if (isMode(c, T::SelfDefiningProtocol))
            group[0] = &c.customBaudRate, group[1] = &c.customDataBits, group[2] = &c.customParity,
            group[3] = &c.customStopBits;
        else if (isMode(c, T::UserConfig))
            group[0] = &c.userBaudRate, group[1] = &c.userDataBits, group[2] = &c.userParity,
            group[3] = &c.userStopBits;
        if (group[r - 1]) *group[r - 1] = entry;
        return;
    }
    if (r == 6) {
        if (isMaster(c)) c.masterTransmissionMode = entry;
        else if (isMode(c, T::ModbusSlave)) c.slaveTransmissionMode = entry;
        return;
    }
    if (r == 9) {
        c.outputMode = entry;
        state_.pulseOutputActive = entry == T::OutputPulse.text;
        if (shown) cell(10).grey = !state_.pulseOutputActive;
        return;
    }
    if (r == 12) {
        if (fl.legacyFlag233b) {
            c.commInterface = entry;
            if (shown) cell(13).value = entry == T::Rs232.text ? T::Rs485.str() : T::Rs232.str();
        } else if (fl.extendedSettingsFlag && isMaster(c)) {
            c.responseStatus = entry;
        } else if (fl.legacyFlag244) {
            c.frameType = entry;
        } else {
            if (isMode(c, T::UserConfig)) c.frameType = entry;
            if (c.frameType == T::FrameTypeCharInterval.text) {
                if (shown) cell(14).grey = true;
            } else {
                if (s1.inputLengthPrefix == T::Enable.text && c.frameLength == "243") {
                    op_->showMessage({T::EffectiveLengthMax242, {}});
                    c.frameLength = "242";
                    if (shown) cell(14).value = c.frameLength;
                }
                if (shown) cell(14).grey = false;
            }
        }
        return;
    }
    if (fl.legacyFlag244) {
        if (r == 17) c.autoSending = entry;
        else if (r == 19) c.crcCheck = entry;
        return;
    }
    if (isMode(c, T::UserConfig)) {
        if (r == 15) {
            c.autoSending = entry;
            if (shown) cell(16).grey = entry == T::Disable.text;
            return;
        }
        if (r == 17) {
            c.crcCheck = entry;
            return;
        }
    }
    if (r == 18 && project_.deviceKind == 3) {
        c.commInterface = entry;
        if (shown) cell(19).value = T::ValueUsb.str();
    }
}

void EditorSession::commitCommandChoice(const std::string& entry) {
    ModbusCommand* cp = clickedCommand();
    if (!cp) return;
    ModbusCommand& cmd = *cp;
    const bool shown = selectionUnchanged();
    const int fc = functionCodeOf(cmd);
    switch (currentRow_) {
        case 7:
            cmd.dataFilter = entry;
            if (shown) grid_[10].grey = entry != T::Fullword.text;
            return;
        case 9:
            cmd.scanType = entry;
            return;
        case 10:
            cmd.byteSwap = entry;
            if (shown) {
                if (entry != T::NoSwap.text) grid_[7].grey = true;
                else if (fc != 6 && fc != 16) grid_[7].grey = false;
            }
            return;
        default:
            return;
    }
}

}  // namespace korvex
