#include "serial/download_frames.h"

#include <algorithm>
#include <string>

#include "mapping/command_area.h"
#include "mapping/plc_blocks.h"
#include "model/texts.h"
#include "model/value_checks.h"
#include "serial/frame_codes.h"
#include "serial/gateway_protocol.h"

namespace korvex::serial {

namespace {

constexpr std::int64_t kOutputArea = 0x4000;

void push16(Bytes& data, std::int64_t value) {
    data.push_back(highByte(value));
    data.push_back(lowByte(value));
}

std::uint8_t numberByte(std::string_view text) { return lowByte(wireNumber(text)); }
std::uint8_t tenthsByte(std::string_view text) { return lowByte(wireNumber(text) / 10); }
std::uint8_t flagByte(bool on) { return on ? 1 : 0; }

int usedCommands(const SubnetConfig& c) { return std::clamp(c.commandCount, 0, kMaxCommands); }

// The serial settings of the group that belongs to the subnet's protocol.
struct Group {
    const std::string* baudRate;
    const std::string* dataBits;
    const std::string* parity;
    const std::string* stopBits;
};

Group groupOf(const SubnetConfig& c, std::uint8_t protocol) {
    switch (protocol) {
        case 1: return {&c.slaveBaudRate, &c.slaveDataBits, &c.slaveParity, &c.slaveStopBits};
        case 2: return {&c.customBaudRate, &c.customDataBits, &c.customParity, &c.customStopBits};
        case 3: return {&c.userBaudRate, &c.userDataBits, &c.userParity, &c.userStopBits};
        default: return {&c.masterBaudRate, &c.masterDataBits, &c.masterParity, &c.masterStopBits};
    }
}

std::uint8_t transmissionByte(std::string_view mode) { return mode == texts::Ascii.text ? 1 : 0; }

}  // namespace

bool totalsFromCommands(const Project& project) {
    return project.flags.extendedSettingsFlag && isModbusMaster(project.subnet(0));
}

void refreshByteCounts(SubnetConfig& c) {
    for (int k = 0; k < usedCommands(c); ++k) {
        ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
        const int fc = functionCodeNumber(cmd.functionCode);
        if (fc != 0) cmd.byteCount = std::to_string(commandSize(fc, decimalOrZero(cmd.dataCount)));
    }
}

bool isModbusMaster(const SubnetConfig& subnet) { return subnet.protocolMode == texts::ModbusMaster.text; }

bool usesLongSubnetForm(const Project& project) {
    const int k = project.deviceKind;
    return k == 3 || k == 5 || k == 6 || project.flags.legacyFlag233b;
}

std::optional<std::int64_t> commandGatewayOffset(const ModbusCommand& command, const PlcBlocks* plc) {
    if (plc) return plc->gatewayOffsetValue(command);
    if (isUnassigned(command.mappingAddress)) return std::nullopt;
    const auto value = parseHex(command.mappingAddress);
    if (!value || *value > 0xFFFF) return std::nullopt;
    return value;
}

FieldbusTotals fieldbusTotals(const Project& project, const PlcBlocks* plc) {
    FieldbusTotals t;
    if (!totalsFromCommands(project)) return t;
    const SubnetConfig& c = project.subnet(0);
    for (int k = 0; k < usedCommands(c); ++k) {
        const ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
        const int fc = functionCodeNumber(cmd.functionCode);
        const auto offset = commandGatewayOffset(cmd, plc);
        if (!offset || (!isReadCode(fc) && !isWriteCode(fc))) continue;
        const std::int64_t end = *offset + commandSize(fc, decimalOrZero(cmd.dataCount));
        if (isReadCode(fc)) t.input = std::max(t.input, end);
        else t.output = std::max(t.output, end - kOutputArea);
    }
    return t;
}

Bytes deviceNetParametersFrame(const Project& project) {
    const FieldbusSettings& f = project.fieldbus;
    return makeFrame(command::WriteDeviceNetParameters,
                     {numberByte(f.deviceNetAddress), deviceNetBaudCode(f.deviceNetBaudRate),
                      deviceNetInputSizeCode(f.inputSize), deviceNetOutputSizeCode(f.outputSize)});
}

Bytes profibusParametersFrame(const Project& project, const FieldbusTotals& totals, bool longForm) {
    Bytes data{lowByte(totals.input), lowByte(totals.output)};
    if (longForm) data.push_back(flagByte(project.subnet(0).inputLengthPrefix == texts::Enable.text));
    return makeFrame(command::WriteProfibusParameters, data);
}

Bytes subnetParametersFrame(const Project& project, int subnet, bool longForm) {
    const SubnetConfig& c = project.subnet(subnet);
    const std::uint8_t protocol = protocolCode(c.protocolMode);
    const bool master = protocol == 0;
    const Group g = groupOf(c, protocol);
    Bytes d;
    d.push_back(static_cast<std::uint8_t>(subnet));
    d.push_back(protocol);
    d.push_back(baudRateCode(*g.baudRate));
    d.push_back(dataBitsCode(*g.dataBits));
    d.push_back(parityCode(*g.parity));
    d.push_back(stopBitsCode(*g.stopBits));
    d.push_back(protocol == 1 ? numberByte(c.slaveAddress) : 0);
    d.push_back(protocol == 0 ? transmissionByte(c.masterTransmissionMode)
                : protocol == 1 ? transmissionByte(c.slaveTransmissionMode) : 0);
    push16(d, master ? wireNumber(c.responseTimeout) : 0);
    d.push_back(master ? tenthsByte(c.pollDelay) : 0);
    d.push_back(master ? outputModeCode(c.outputMode) : 0);
    d.push_back(master ? tenthsByte(c.outputPulse) : 0);
    d.push_back(master ? numberByte(c.scanRate) : 0);
    if (longForm) {
        const bool user = protocol == 3;
        if (user) {
            d.push_back(flagByte(c.frameType == texts::FrameTypeFrameLength.text));
        } else {
            const SubnetConfig& first = project.subnet(0);
            d.push_back(isModbusMaster(first) ? numberByte(first.responseStatus) : 0);
        }
        push16(d, user ? wireNumber(c.charInterval) : 0);
        d.push_back(user ? numberByte(c.frameLength) : 0);
        d.push_back(user ? flagByte(c.autoSending == texts::Enable.text) : 0);
        push16(d, user ? wireNumber(c.autoSendPeriod) : 0);
        d.push_back(user ? flagByte(c.crcCheck == texts::Enable.text) : 0);
        d.push_back(flagByte(c.commInterface == texts::Rs232.text));
    }
    return makeFrame(command::WriteSubnetParameters, d);
}

Bytes clearCommandsFrame(int subnet) {
    return makeFrame(command::ClearSubnetCommands, {static_cast<std::uint8_t>(subnet), 0x55, 0xAA});
}

Bytes addCommandFrame(const Project& project, int subnet, int index, const PlcBlocks* plc) {
    const ModbusCommand& cmd = project.subnet(subnet).commands.at(static_cast<size_t>(index));
    Bytes d;
    d.push_back(static_cast<std::uint8_t>(subnet));
    d.push_back(static_cast<std::uint8_t>(index));
    d.push_back(numberByte(cmd.slaveAddress));
    d.push_back(numberByte(cmd.functionCode));
    push16(d, wireNumber(cmd.startAddress));
    push16(d, wireNumber(cmd.dataCount));
    push16(d, commandGatewayOffset(cmd, plc).value_or(0));
    d.push_back(numberByte(cmd.bitOffset));
    d.push_back(cmd.scanType == texts::FastScan.text ? 0 : 1);
    d.push_back(dataHandlingCode(cmd));
    return makeFrame(command::AddCommand, d);
}

Bytes timeoutHandlingFrame(const Project& project) {
    const SubnetConfig& first = project.subnet(0);
    std::uint8_t x = 0;
    if (project.flags.legacyFlag244) x = flagByte(first.inputFaultReset != texts::Disable.text);
    else if (first.timeoutAction != texts::HoldData.text) x = numberByte(first.retransmissionTimes);
    return makeFrame(command::WriteTimeoutHandling, {x});
}

Bytes charIntervalsFrame(const Project& project) {
    const SubnetConfig& first = project.subnet(0);
    Bytes d;
    push16(d, wireNumber(first.charIntervalSend));
    push16(d, wireNumber(first.charIntervalReceive));
    return makeFrame(command::WriteCharIntervals, d);
}

Bytes profibusAddressFrame(const Project& project) {
    return makeFrame(command::WriteProfibusAddress, {numberByte(project.fieldbus.profibusAddress)});
}

Bytes configurationModesFrame(const Project& project) {
    const FieldbusSettings& f = project.fieldbus;
    return makeFrame(command::WriteConfigurationModes,
                     {flagByte(f.configurationMode != texts::ViaProfibusMasterSoftware.text),
                      flagByte(f.compatibilityMode != texts::Disable.text)});
}

std::vector<PlannedFrame> planDownloadFrames(const Project& project, const GatewayIdentity& identity,
                                             const PlcBlocks* plc) {
    std::vector<PlannedFrame> plan;
    auto add = [&](FrameRole role, Bytes bytes, int subnet = 0, int command = -1) {
        plan.push_back({role, subnet, command, std::move(bytes)});
    };
    const int kind = project.deviceKind;

    if (!project.flags.legacyFlag244) {
        if (kind == 0) add(FrameRole::FieldbusParameters, deviceNetParametersFrame(project));
        const FieldbusTotals totals = fieldbusTotals(project, plc);
        if (kind == 1) add(FrameRole::FieldbusParameters, profibusParametersFrame(project, totals, false));
        if (kind == 3 || kind == 6) add(FrameRole::FieldbusParameters, profibusParametersFrame(project, totals, true));
    }

    const bool longForm = usesLongSubnetForm(project);
    const int subnets = kind == 2 ? kSubnetCount : 1;
    for (int s = 0; s < subnets; ++s) {
        const SubnetConfig& c = project.subnet(s);
        add(FrameRole::SubnetParameters, subnetParametersFrame(project, s, longForm), s);
        if (protocolCode(c.protocolMode) != 0) continue;
        add(FrameRole::ClearCommands, clearCommandsFrame(s), s);
        for (int k = 0; k < usedCommands(c); ++k) add(FrameRole::AddCommand, addCommandFrame(project, s, k, plc), s, k);
    }

    if (identity.hasTimeoutHandling(project.flags)) add(FrameRole::TimeoutHandling, timeoutHandlingFrame(project));
    if (identity.hasCharIntervals(project.flags)) add(FrameRole::CharIntervals, charIntervalsFrame(project));
    if (identity.writesProfibusSettings()) {
        if (project.fieldbus.profibusAddress != texts::AddressSettingUsingHardware.text)
            add(FrameRole::ProfibusAddress, profibusAddressFrame(project));
        add(FrameRole::ConfigurationModes, configurationModesFrame(project));
    }
    return plan;
}

std::vector<Bytes> composeDownloadFrames(const Project& project, const GatewayIdentity& identity,
                                         const PlcBlocks* plc) {
    std::vector<Bytes> frames;
    for (auto& f : planDownloadFrames(project, identity, plc)) frames.push_back(std::move(f.bytes));
    return frames;
}

}  // namespace korvex::serial
