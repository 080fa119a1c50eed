#include "export/export_plan.h"

#include <algorithm>

#include "model/texts.h"

namespace korvex {
namespace {

// Collects the writes of one sheet.
class SheetWriter {
public:
    explicit SheetWriter(SheetPlan& sheet) : sheet_(sheet) {}
    void put(std::int32_t row, std::int32_t column, std::string_view text) {
        sheet_.cells.push_back({row, column, std::string(text)});
    }
    void put(std::int32_t row, std::int32_t column, const Text& text) { put(row, column, text.text); }

private:
    SheetPlan& sheet_;
};

int usedCommands(const SubnetConfig& subnet) { return std::clamp<std::int32_t>(subnet.commandCount, 0, kMaxCommands); }

// ---- DeviceKind 3: one template per protocol mode, subnet 1 only ----

void fieldbusKind3(const Project& p, std::string_view mode, SheetWriter w) {
    const SubnetConfig& s1 = p.subnet(0);
    const FieldbusSettings& f = p.fieldbus;
    const std::int32_t r = 2;
    w.put(r, 1, texts::ProtocolProfibus);
    w.put(r, 3, f.inputSize);
    w.put(r, 4, f.outputSize);
    if (mode == texts::UserConfig.text) w.put(r, 5, s1.inputLengthPrefix);
    if (!p.flags.extendedSettingsFlag) return;
    w.put(r, 2, texts::SettingThroughHardwareConfiguration);
    w.put(r, 3, texts::SettingThroughHardwareConfiguration);
    if (mode == texts::ModbusMaster.text) {
        w.put(r, 4, s1.timeoutAction);
        w.put(r, 5, s1.retransmissionTimes);
        w.put(r, 6, f.profibusAddress);
        w.put(r, 7, f.compatibilityMode);
        w.put(r, 8, f.configurationMode);
    } else if (mode == texts::ModbusSlave.text) {
        w.put(r, 4, f.profibusAddress);
        w.put(r, 5, f.compatibilityMode);
        w.put(r, 6, f.configurationMode);
    } else {
        w.put(r, 4, s1.inputLengthPrefix);
        w.put(r, 5, f.profibusAddress);
        w.put(r, 6, f.compatibilityMode);
        w.put(r, 7, f.configurationMode);
    }
}

void subnetKind3(const SubnetConfig& s, std::string_view mode, SheetWriter w) {
    const std::int32_t r = 2;
    w.put(r, 1, s.protocolMode);
    if (mode == texts::ModbusMaster.text) {
        w.put(r, 2, s.masterBaudRate);
        w.put(r, 3, s.masterDataBits);
        w.put(r, 4, s.masterParity);
        w.put(r, 5, s.masterStopBits);
        w.put(r, 6, s.masterTransmissionMode);
        w.put(r, 7, blankIfMinusOne(s.responseTimeout));
        w.put(r, 8, blankIfMinusOne(s.pollDelay));
        w.put(r, 9, s.outputMode);
        w.put(r, 10, blankIfMinusOne(s.scanRate));
        w.put(r, 11, s.responseStatus);
        w.put(r, 12, s.commInterface);
        w.put(r, 13, s.charIntervalSend);
        w.put(r, 14, s.charIntervalReceive);
    } else if (mode == texts::ModbusSlave.text) {
        w.put(r, 2, s.slaveBaudRate);
        w.put(r, 3, s.slaveDataBits);
        w.put(r, 4, s.slaveParity);
        w.put(r, 5, s.slaveStopBits);
        w.put(r, 6, s.slaveAddress);
        w.put(r, 7, s.slaveTransmissionMode);
        w.put(r, 8, s.commInterface);
        w.put(r, 9, s.charIntervalSend);
        w.put(r, 10, s.charIntervalReceive);
    } else {
        w.put(r, 2, s.userBaudRate);
        w.put(r, 3, s.userDataBits);
        w.put(r, 4, s.userParity);
        w.put(r, 5, s.userStopBits);
        w.put(r, 6, s.frameType);
        w.put(r, 7, s.charInterval);
        w.put(r, 8, s.frameLength);
        w.put(r, 9, s.autoSending);
        w.put(r, 10, s.autoSendPeriod);
        w.put(r, 11, s.crcCheck);
        w.put(r, 12, s.commInterface);
        w.put(r, 13, s.charIntervalSend);
        w.put(r, 14, s.charIntervalReceive);
    }
}

void commandsKind3(const SubnetConfig& s, bool plc, SheetWriter w) {
    for (int i = 0; i < usedCommands(s); ++i) {
        const ModbusCommand& c = s.commands[static_cast<size_t>(i)];
        const std::int32_t r = i + 2;
        w.put(r, 1, std::to_string(i + 1));
        w.put(r, 2, blankIfMinusOne(c.slaveAddress));
        w.put(r, 3, c.functionCode);
        w.put(r, 4, blankIfMinusOne(c.startAddress));
        w.put(r, 5, blankIfMinusOne(c.dataCount));
        w.put(r, 6, mappingText(c.mappingAddress, plc));
        w.put(r, 7, c.bitOffset);
        w.put(r, 8, blankIfMinusOne(c.byteCount));
        w.put(r, 9, c.dataFilter);
        w.put(r, 10, c.checkType);
        w.put(r, 11, c.scanType);
        w.put(r, 12, c.byteSwap);
    }
}

// ---- every other DeviceKind: the shared template ----

void commandsGeneric(const Project& p, bool plc, SheetWriter w) {
    if (p.deviceKind == 4) w.put(1, 10, texts::ExportHeadingSubnet);
    std::int32_t r = 2;
    int number = 1;
    for (int n = 0; n < kSubnetCount; ++n) {
        const SubnetConfig& s = p.subnet(n);
        for (int i = 0; i < usedCommands(s); ++i, ++r, ++number) {
            const ModbusCommand& c = s.commands[static_cast<size_t>(i)];
            w.put(r, 1, std::to_string(number));
            w.put(r, 2, blankIfMinusOne(c.slaveAddress));
            w.put(r, 3, c.functionCode);
            w.put(r, 4, blankIfMinusOne(c.startAddress));
            w.put(r, 5, blankIfMinusOne(c.dataCount));
            w.put(r, 6, blankIfMinusOne(c.byteCount));
            w.put(r, 7, mappingText(c.mappingAddress, plc));
            w.put(r, 8, c.bitOffset);
            w.put(r, 9, c.dataFilter);
            // Kind 4 heads column 10 "Subnet": it tells which of the two subnets
            // the command belongs to; the check type would not match its heading.
            w.put(r, 10, p.deviceKind == 4 ? std::to_string(n + 1) : c.checkType);
            w.put(r, 11, c.scanType);
            w.put(r, 12, c.byteSwap);
        }
    }
}

void fieldbusGeneric(const Project& p, SheetWriter w) {
    const FieldbusSettings& f = p.fieldbus;
    const SubnetConfig& s1 = p.subnet(0);
    const std::int32_t r = 2;
    switch (p.deviceKind) {
        case 0:
            w.put(r, 1, texts::ProtocolDeviceNet);
            w.put(r, 2, blankIfMinusOne(f.deviceNetAddress));
            w.put(r, 3, f.deviceNetBaudRate);
            w.put(r, 4, f.inputSize);
            w.put(r, 5, f.outputSize);
            break;
        case 1:
            w.put(r, 1, texts::ProtocolProfibus);
            w.put(r, 4, f.inputSize);
            w.put(r, 5, f.outputSize);
            if (p.flags.legacyFlag244) {
                w.put(r, 4, texts::SettingThroughHardwareConfiguration);
                w.put(r, 5, texts::SettingThroughHardwareConfiguration);
                w.put(1, 6, texts::ExportHeadingInputFaultReset);
                w.put(r, 6, s1.inputFaultReset);
            } else if (p.flags.legacyFlag233a || p.flags.legacyFlag246) {
                w.put(r, 6, f.profibusConfigMode);
                w.put(r, 7, f.profibusConfigData);
            }
            break;
        case 4:
            w.put(r, 1, texts::ProtocolEtherNetIp);
            w.put(1, 2, texts::ExportHeadingAssignIpMode);
            w.put(1, 3, texts::ExportHeadingIpAddress);
            w.put(1, 4, texts::ExportHeadingSubnetMask);
            w.put(1, 5, texts::ExportHeadingGatewayAddress);
            w.put(1, 6, texts::ExportHeadingDns1);
            w.put(1, 7, texts::ExportHeadingDns2);
            w.put(r, 2, f.assignIpMode);
            w.put(r, 3, f.ipAddress);
            w.put(r, 4, f.subnetMask);
            w.put(r, 5, f.gatewayAddress);
            w.put(r, 6, f.dns1);
            w.put(r, 7, f.dns2);
            break;
        case 5:
        case 6:
            w.put(r, 1, texts::ProtocolProfibus);
            w.put(r, 2, texts::ExportHardwareButton);
            w.put(r, 3, texts::ExportSelfAdapting);
            w.put(r, 4, texts::SettingThroughHardwareConfiguration);
            w.put(r, 5, texts::SettingThroughHardwareConfiguration);
            if (p.deviceKind == 6) {
                w.put(1, 6, texts::ExportHeadingInputLengthPrefix);
                w.put(r, 6, s1.inputLengthPrefix);
                w.put(1, 7, "");
            }
            break;
        default:  // kind 2 has no fieldbus side
            break;
    }
}

void subnetsGeneric(const Project& p, SheetWriter w) {
    if (p.deviceKind == 4) w.put(1, 1, texts::ExportHeadingSubnet);
    const int count = p.deviceKind == 4 ? 2 : (p.deviceKind == 2 ? 4 : 1);
    const bool interfaces = p.flags.legacyFlag233b && p.deviceKind != 4;
    for (int n = 1; n <= count; ++n) {
        const SubnetConfig& s = p.subnet(n - 1);
        const std::int32_t r = n + 1;
        w.put(r, 1, std::to_string(n));
        w.put(r, 2, s.protocolMode);
        if (s.protocolMode == texts::ModbusMaster.text) {
            w.put(r, 3, s.masterBaudRate);
            w.put(r, 4, s.masterDataBits);
            w.put(r, 5, s.masterParity);
            w.put(r, 6, s.masterStopBits);
            w.put(r, 8, s.masterTransmissionMode);
            w.put(r, 9, blankIfMinusOne(s.responseTimeout));
            w.put(r, 10, blankIfMinusOne(s.pollDelay));
            w.put(r, 11, s.outputMode);
            w.put(r, 12, blankIfMinusOne(s.outputPulse));
            w.put(r, 13, blankIfMinusOne(s.scanRate));
        } else {
            w.put(r, 3, s.slaveBaudRate);
            w.put(r, 4, s.slaveDataBits);
            w.put(r, 5, s.slaveParity);
            w.put(r, 6, s.slaveStopBits);
            if (s.protocolMode == texts::ModbusSlave.text) {
                w.put(r, 7, s.slaveAddress);
                w.put(r, 8, s.slaveTransmissionMode);
            }
        }
        if (interfaces) {
            w.put(1, 14, texts::ExportHeadingCommInterface);
            w.put(1, 15, texts::ExportHeadingDebugInterface);
            w.put(r, 14, s.legacyCommInterface);
            w.put(r, 15, s.legacyCommInterface == texts::Rs485.text ? texts::Rs232 : texts::Rs485);
        }
    }
}

}  // namespace

std::string blankIfMinusOne(std::string_view text) { return text == "-1" ? std::string() : std::string(text); }

std::string mappingText(std::string_view mappingAddress, bool plcAddressMode) {
    if (mappingAddress == "-1") return {};
    if (plcAddressMode) return std::string(mappingAddress);
    return std::string(mappingAddress) + std::string(texts::ExportHexSuffix.text);
}

std::optional<Message> planExport(const Project& project, bool plc, ExportPlan& plan) {
    ExportPlan out;
    if (project.deviceKind == 3) {
        const std::string& mode = project.subnet(0).protocolMode;
        const bool master = mode == texts::ModbusMaster.text;
        if (master)
            out.templateName = plc ? texts::ExportTemplateMasterPlc.text : texts::ExportTemplateMaster.text;
        else if (mode == texts::ModbusSlave.text)
            out.templateName = texts::ExportTemplateSlave.text;
        else if (mode == texts::UserConfig.text)
            out.templateName = texts::ExportTemplateUserConfig.text;
        else
            return Message{texts::ExportNoTemplateForMode, {mode}};
        out.sheets.push_back({texts::ExportSheetFieldbus.text, {}});
        out.sheets.push_back({texts::ExportSheetSubnet.text, {}});
        fieldbusKind3(project, mode, SheetWriter(out.sheets[0]));
        subnetKind3(project.subnet(0), mode, SheetWriter(out.sheets[1]));
        if (master) {
            out.sheets.push_back({texts::ExportSheetCommandList.text, {}});
            commandsKind3(project.subnet(0), plc, SheetWriter(out.sheets[2]));
        }
    } else {
        out.templateName = texts::ExportTemplateGeneric.text;
        out.sheets.push_back({texts::ExportSheetCommandList.text, {}});
        out.sheets.push_back({texts::ExportSheetFieldbus.text, {}});
        out.sheets.push_back({texts::ExportSheetSubnet.text, {}});
        commandsGeneric(project, plc, SheetWriter(out.sheets[0]));
        fieldbusGeneric(project, SheetWriter(out.sheets[1]));
        subnetsGeneric(project, SheetWriter(out.sheets[2]));
    }
    plan = std::move(out);
    return std::nullopt;
}

}  // namespace korvex
