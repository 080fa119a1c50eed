// The grid rows of each kind of tree item: label, value and colour of every row,
// by gateway variant, protocol mode and variant flags. The rows are filled when
// an item is selected; the commit rules adjust single cells afterwards.
#include "editor/editor_session.h"

#include "editor/session_helpers.h"
#include "model/texts.h"

namespace korvex {

using namespace editor;
namespace T = texts;

void EditorSession::fillFieldbusRows() {
    const FieldbusSettings& f = project_.fieldbus;
    const SubnetConfig& s1 = project_.subnet(0);
    const VariantFlags& fl = project_.flags;
    const int kind = project_.deviceKind;
    setRow(0, T::LabelTypeOfProtocol.text, f.protocolType, true, false);
    const std::string hardware = T::SettingThroughHardwareConfiguration.str();

    if (kind == 0) {
        setRow(1, T::LabelDeviceNetAddress.text, blank1(f.deviceNetAddress), false, true);
        setRow(2, T::LabelDeviceNetBaudRate.text, f.deviceNetBaudRate, fl.legacyFlag233b, true);
        setRow(3, T::LabelDeviceNetInputSize.text, f.inputSize, false, true);
        setRow(4, T::LabelDeviceNetOutputSize.text, f.outputSize, false, true);
    } else if (kind == 1 || kind == 3) {
        const std::string_view in = T::LabelProfibusInputBytes.text;
        const std::string_view out = T::LabelProfibusOutputBytes.text;
        auto addressRows = [&](int first) {
            setRow(first, T::LabelProfibusAddress.text, f.profibusAddress, false, true);
            setRow(first + 1, T::LabelCompatibilityMode.text, f.compatibilityMode, false, true);
            setRow(first + 2, T::LabelConfigurationMode.text, f.configurationMode, false, true);
        };
        const bool extended = fl.extendedSettingsFlag || fl.legacyFlag243;
        if (fl.legacyFlag244) {
            setRow(1, in, hardware, true, false);
            setRow(2, out, hardware, true, false);
            setRow(3, T::LabelInputFaultReset.text, s1.inputFaultReset, false, true);
        } else if (extended && isMaster(s1)) {
            setRow(1, in, hardware, true, false);
            setRow(2, out, hardware, true, false);
            setRow(3, T::LabelTimeoutAction.text, s1.timeoutAction, false, true);
            setRow(4, T::LabelRetransmissionTimes.text, s1.retransmissionTimes,
                   s1.timeoutAction != T::ClearData.text, true);
            addressRows(5);
        } else if (extended && isMode(s1, T::UserConfig)) {
            setRow(1, in, hardware, true, false);
            setRow(2, out, hardware, true, false);
            setRow(3, T::LabelInputLengthPrefix.text, s1.inputLengthPrefix, false, true);
            addressRows(4);
        } else if (extended) {
            setRow(1, in, hardware, true, false);
            setRow(2, out, hardware, true, false);
            addressRows(3);
        } else if (!fl.legacyFlag246 && !fl.legacyFlag233a) {
            setRow(1, in, f.inputSize, false, true);
            setRow(2, out, f.outputSize, false, true);
        } else {
            const bool bytes = f.profibusConfigMode == T::UseBytesSelection.text;
            setRow(1, in, f.inputSize, !bytes, true);
            setRow(2, out, f.outputSize, !bytes, true);
            setRow(3, T::LabelProfibusConfigMode.text, f.profibusConfigMode, false, true);
            setRow(4, T::LabelProfibusConfigData.text, f.profibusConfigData, bytes, true);
        }
        if (kind == 1 && isMode(s1, T::UserConfig))
            setRow(3, T::LabelInputLengthPrefix.text, s1.inputLengthPrefix, false, true);
    } else if (kind == 4) {
        auto orDefault = [](const std::string& v, const Text& d) { return v.empty() ? d.str() : v; };
        setRow(1, T::LabelAssignIpMode.text, f.assignIpMode, false, true);
        setRow(2, T::LabelIpAddress.text, orDefault(f.ipAddress, T::DefaultIpAddress), false, true);
        setRow(3, T::LabelSubnetMask.text, orDefault(f.subnetMask, T::DefaultSubnetMask), false, true);
        setRow(4, T::LabelGatewayAddress.text, orDefault(f.gatewayAddress, T::DefaultGatewayAddress), false, true);
        setRow(5, T::LabelDns1.text, orDefault(f.dns1, T::ZeroIpAddress), false, true);
        setRow(6, T::LabelDns2.text, orDefault(f.dns2, T::ZeroIpAddress), false, true);
    } else if (kind == 5 || kind == 6) {
        setRow(1, T::LabelProfibusInputBytes.text, hardware, true, false);
        setRow(2, T::LabelProfibusOutputBytes.text, hardware, true, false);
        if (kind == 6) setRow(3, T::LabelInputLengthPrefix.text, s1.inputLengthPrefix, false, true);
    }
}

void EditorSession::fillSubnetRows() {
    const int s = state_.selectedSubnet;
    const SubnetConfig& c = project_.subnet(s);
    const VariantFlags& fl = project_.flags;
    const int kind = project_.deviceKind;
    const bool master = isMaster(c);
    const bool slave = isMode(c, T::ModbusSlave);
    const bool user = isMode(c, T::UserConfig);
    const bool k36 = kind == 3 || kind == 6;
    const bool l244User = fl.legacyFlag244 && user;

    // Labels.
    std::array<std::string_view, kGridRowCount> label{};
    label[0] = T::LabelProtocolsMode.text;
    label[1] = k36 ? T::LabelBaudRate.text : T::LabelModbusBaudRate.text;
    label[2] = T::LabelDataBits.text;
    label[3] = T::LabelParityCheck.text;
    label[4] = T::LabelStopBits.text;
    label[5] = T::LabelSlaveAddress.text;
    label[6] = T::LabelTransmissionMode.text;
    label[7] = T::LabelResponseTimeout.text;
    label[8] = T::LabelPollDelay.text;
    label[9] = T::LabelOutputMode.text;
    label[10] = T::LabelOutputPulse.text;
    label[11] = T::LabelScanRate.text;
    const bool sendReceiveRows = k36 && fl.extendedSettingsFlag && project_.fileVersion > 499;
    if (k36) {
        label[12] = fl.extendedSettingsFlag && master ? T::LabelResponseStatus.text : T::LabelFrameType.text;
        label[13] = T::LabelCharInterval.text;
        label[14] = T::LabelFrameLength.text;
        label[15] = T::LabelAutoSending.text;
        label[16] = T::LabelAutoSendPeriod.text;
        label[17] = T::LabelCrcCheck.text;
        label[18] = T::LabelCommInterface.text;
        label[19] = T::LabelDebugInterface.text;
        if (sendReceiveRows) {
            label[20] = T::LabelCharIntervalSend.text;
            label[21] = T::LabelCharIntervalReceive.text;
        }
    } else {
        if (fl.legacyFlag233b) {
            label[12] = T::LabelCommInterface.text;
            label[13] = T::LabelDebugInterface.text;
        } else if (l244User) {
            label[12] = T::LabelFrameType.text;
            label[13] = T::LabelCharInterval.text;
        }
        if (l244User) {
            label[14] = T::LabelFrameLength.text;
            label[15] = T::LabelStartCharacter.text;
            label[16] = T::LabelStopCharacter.text;
            label[17] = T::LabelAutoSending.text;
            label[18] = T::LabelAutoSendPeriod.text;
            label[19] = T::LabelCrcCheck.text;
        }
    }
    for (int r = 0; r < kGridRowCount; ++r) setRow(r, label[static_cast<size_t>(r)], "", false, false);

    auto field = [&](int r, const std::string& value, bool grey = false) {
        setRow(r, label[static_cast<size_t>(r)], value, grey, true);
    };
    auto blankGrey = [&](int r) { setRow(r, label[static_cast<size_t>(r)], "", true, false); };

    // Row 0 and the serial group (rows 1-4).
    field(0, c.protocolMode, user && fl.legacyFlag243);
    if (master) {
        field(1, c.masterBaudRate);
        field(2, c.masterDataBits);
        field(3, c.masterParity);
        field(4, c.masterStopBits);
    } else if (slave) {
        field(1, c.slaveBaudRate);
        field(2, c.slaveDataBits);
        field(3, c.slaveParity);
        field(4, c.slaveStopBits);
    } else if (user) {
        field(1, c.userBaudRate);
        field(2, c.userDataBits);
        field(3, c.userParity);
        field(4, c.userStopBits);
    } else {
        field(1, c.customBaudRate);
        field(2, c.customDataBits);
        field(3, c.customParity);
        field(4, c.customStopBits);
    }

    // Rows 5-11.
    if (slave) field(5, c.slaveAddress);
    else blankGrey(5);
    if (master) field(6, c.masterTransmissionMode);
    else if (slave) field(6, c.slaveTransmissionMode);
    else blankGrey(6);
    if (master) {
        field(7, blank1(c.responseTimeout));
        field(8, blank1(c.pollDelay));
        field(9, c.outputMode);
        field(10, blank1(c.outputPulse), c.outputMode != T::OutputPulse.text);
        field(11, blank1(c.scanRate));
    } else {
        for (int r = 7; r <= 11; ++r) blankGrey(r);
    }
    state_.pulseOutputActive = master && c.outputMode == T::OutputPulse.text;

    // Rows 12-19.
    if (master || slave) {
        if (master && kind == 3) field(12, c.responseStatus);
        if (kind == 3) {
            field(18, c.commInterface);
            setRow(19, label[19], T::ValueUsb.str(), true, false);
        }
        if (fl.legacyFlag233b) {
            field(12, c.commInterface);
            setRow(13, label[13], c.commInterface == T::Rs232.text ? T::Rs485.str() : T::Rs232.str(), true, false);
        }
        if (kind == 3) {
            for (int r = master ? 13 : 12; r <= 17; ++r) grid_[static_cast<size_t>(r)].grey = true;
        }
    } else if (user) {
        field(12, c.frameType);
        field(13, c.charInterval);
        field(14, c.frameLength, c.frameType == T::FrameTypeCharInterval.text);
        if (fl.legacyFlag244) {
            field(15, c.startCharacter);
            field(16, c.stopCharacter);
            field(17, c.autoSending);
            field(18, c.autoSendPeriod);
            field(19, c.crcCheck);
        } else {
            field(15, c.autoSending);
            field(16, c.autoSendPeriod, c.autoSending == T::Disable.text);
            field(17, c.crcCheck);
            field(18, c.commInterface);
            setRow(19, label[19], T::ValueUsb.str(), true, false);
        }
    }
    if (kind == 6) grid_[18].grey = true;

    // Rows 20, 21.
    if (sendReceiveRows) {
        field(20, c.charIntervalSend);
        field(21, c.charIntervalReceive);
    }
}

void EditorSession::fillNodeRows() {
    const SubnetConfig& c = project_.subnet(state_.selectedSubnet);
    const int n = state_.currentNodeIndex;
    if (n < 1 || n > usedCount(c.nodeCount, kMaxNodes)) return;
    setRow(0, T::LabelNodeSlaveAddress.text, blank1(c.nodes[static_cast<size_t>(n - 1)].address), false, true);
}

void EditorSession::fillCommandRows() {
    const int s = state_.selectedSubnet;
    SubnetConfig& c = project_.subnet(s);
    const int k = state_.currentCommandIndex;
    if (k < 1 || k > usedCount(c.commandCount, kMaxCommands)) return;
    ModbusCommand& cmd = c.commands[static_cast<size_t>(k - 1)];
    // Before display: the node's address and the subnet's check type are stored.
    if (const SlaveNode* node = nodeOfCommand(project_, s, k - 1)) cmd.slaveAddress = node->address;
    if (c.masterTransmissionMode == T::Rtu.text) cmd.checkType = T::Crc.str();
    else if (c.masterTransmissionMode == T::Ascii.text) cmd.checkType = T::Lrc.str();

    const int fc = functionCodeOf(cmd);
    const bool filter = usesDataFilter(project_);
    const bool plc = plc_ != nullptr;
    setRow(0, T::LabelNodeSlaveAddress.text, blank1(cmd.slaveAddress), true, true);
    setRow(1, T::LabelFunctionCode.text, cmd.functionCode, true, true);
    setRow(2, T::LabelStartingAddress.text, blank1(cmd.startAddress), false, true);
    setRow(3, T::LabelNumberOfData.text, blank1(cmd.dataCount), fc == 5 || fc == 6, true);
    std::string map;
    if (!cmd.mappingAddress.empty() && cmd.mappingAddress != "-1")
        map = plc ? cmd.mappingAddress : cmd.mappingAddress + "H";
    setRow(4, plc ? T::LabelPlcMappingAddress.text : T::LabelMappingAddress.text, map, false, true);
    setRow(5, plc ? T::LabelPlcBitOffset.text : T::LabelBitOffset.text, blank1(cmd.bitOffset),
           fc == 3 || fc == 4 || fc == 6 || fc == 16, true);
    setRow(6, T::LabelNumberOfBytes.text, bytesCell(cmd), true, true);
    const bool row7White =
        (fc == 3 || fc == 4 || (!filter && (fc == 6 || fc == 16))) && cmd.byteSwap == T::NoSwap.text;
    setRow(7, filter ? T::LabelDataFilter.text : T::LabelByteSwap.text,
           row7White ? cmd.dataFilter : (filter ? T::Fullword.str() : T::NoSwap.str()), !row7White, true);
    setRow(8, T::LabelTypeOfCheck.text, cmd.checkType, true, true);
    setRow(9, T::LabelTypeOfScan.text, cmd.scanType, false, true);
    const bool row10White = isRegisterFc(fc) && cmd.dataFilter == T::Fullword.text;
    setRow(10, T::LabelByteSwap.text, row10White ? cmd.byteSwap : T::NoSwap.str(), !row10White, true);
}

}  // namespace korvex
