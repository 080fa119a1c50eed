#include "model/project.h"

#include "model/texts.h"

namespace korvex {

namespace {

using FB = FieldbusSettings;
constexpr TextField<FB> kFieldbusFields[] = {
    {"protocolType", &FB::protocolType},
    {"deviceNetAddress", &FB::deviceNetAddress},
    {"deviceNetBaudRate", &FB::deviceNetBaudRate},
    {"inputSize", &FB::inputSize},
    {"outputSize", &FB::outputSize},
    {"profibusConfigMode", &FB::profibusConfigMode},
    {"profibusConfigData", &FB::profibusConfigData},
    {"assignIpMode", &FB::assignIpMode},
    {"ipAddress", &FB::ipAddress},
    {"subnetMask", &FB::subnetMask},
    {"gatewayAddress", &FB::gatewayAddress},
    {"dns1", &FB::dns1},
    {"dns2", &FB::dns2},
    {"profibusAddress", &FB::profibusAddress},
    {"compatibilityMode", &FB::compatibilityMode},
    {"configurationMode", &FB::configurationMode},
    {"reserved1", &FB::reserved1},
    {"reserved2", &FB::reserved2},
    {"reserved3", &FB::reserved3},
    {"reserved4", &FB::reserved4},
};

using C = SubnetConfig;
constexpr TextField<C> kConfigFields[] = {
    {"inputFaultReset", &C::inputFaultReset},
    {"protocolMode", &C::protocolMode},
    {"masterBaudRate", &C::masterBaudRate},
    {"masterDataBits", &C::masterDataBits},
    {"masterParity", &C::masterParity},
    {"masterStopBits", &C::masterStopBits},
    {"masterTransmissionMode", &C::masterTransmissionMode},
    {"responseTimeout", &C::responseTimeout},
    {"pollDelay", &C::pollDelay},
    {"outputMode", &C::outputMode},
    {"outputPulse", &C::outputPulse},
    {"scanRate", &C::scanRate},
    {"responseStatus", &C::responseStatus},
    {"timeoutAction", &C::timeoutAction},
    {"retransmissionTimes", &C::retransmissionTimes},
    {"charIntervalSend", &C::charIntervalSend},
    {"charIntervalReceive", &C::charIntervalReceive},
    {"slaveBaudRate", &C::slaveBaudRate},
    {"slaveDataBits", &C::slaveDataBits},
    {"slaveParity", &C::slaveParity},
    {"slaveStopBits", &C::slaveStopBits},
    {"slaveAddress", &C::slaveAddress},
    {"slaveTransmissionMode", &C::slaveTransmissionMode},
    {"customBaudRate", &C::customBaudRate},
    {"customDataBits", &C::customDataBits},
    {"customParity", &C::customParity},
    {"customStopBits", &C::customStopBits},
    {"userBaudRate", &C::userBaudRate},
    {"userDataBits", &C::userDataBits},
    {"userParity", &C::userParity},
    {"userStopBits", &C::userStopBits},
    {"frameType", &C::frameType},
    {"charInterval", &C::charInterval},
    {"frameLength", &C::frameLength},
    {"autoSending", &C::autoSending},
    {"autoSendPeriod", &C::autoSendPeriod},
    {"crcCheck", &C::crcCheck},
    {"commInterface", &C::commInterface},
    {"debugInterface", &C::debugInterface},
    {"legacyCommInterface", &C::legacyCommInterface},
    {"inputLengthPrefix", &C::inputLengthPrefix},
    {"startCharacter", &C::startCharacter},
    {"stopCharacter", &C::stopCharacter},
};

using I = ModbusCommand;
constexpr TextField<I> kInstructionFields[] = {
    {"slaveAddress", &I::slaveAddress},
    {"functionCode", &I::functionCode},
    {"startAddress", &I::startAddress},
    {"dataCount", &I::dataCount},
    {"mappingAddress", &I::mappingAddress},
    {"bitOffset", &I::bitOffset},
    {"byteCount", &I::byteCount},
    {"dataFilter", &I::dataFilter},
    {"checkType", &I::checkType},
    {"scanType", &I::scanType},
    {"byteSwap", &I::byteSwap},
};

constexpr TextField<SlaveNode> kNodeFields[] = {
    {"address", &SlaveNode::address},
    {"name", &SlaveNode::name},
};

using VF = VariantFlags;
constexpr FlagField kFlagFields[] = {
    {"extendedSettingsFlag", &VF::extendedSettingsFlag},
    {"legacyFlag233a", &VF::legacyFlag233a},
    {"legacyFlag233b", &VF::legacyFlag233b},
    {"legacyFlag243", &VF::legacyFlag243},
    {"legacyFlag244", &VF::legacyFlag244},
    {"legacyFlag245", &VF::legacyFlag245},
    {"legacyFlag246", &VF::legacyFlag246},
};

template <class Record, size_t N>
std::string* lookup(Record& record, const TextField<Record> (&table)[N], std::string_view name) {
    for (const auto& f : table) {
        if (f.name == name) return &(record.*(f.member));
    }
    return nullptr;
}

struct FunctionEntry {
    std::string_view code;
    Text text;
};
constexpr FunctionEntry kFunctions[] = {
    {"1", texts::ReadCoilStatus},          {"2", texts::ReadInputStatus},
    {"3", texts::ReadHoldingRegisters},    {"4", texts::ReadInputRegisters},
    {"5", texts::ForceSingleCoil},         {"6", texts::PresetSingleRegister},
    {"15", texts::ForceMultipleCoils},     {"16", texts::PresetMultipleRegisters},
};

void resetSubnet(SubnetConfig& c, const Project& project) {
    SubnetConfig fresh;
    fresh.protocolMode = texts::ModbusMaster.str();
    fresh.masterBaudRate = "19200";
    fresh.masterDataBits = "8";
    fresh.masterParity = texts::Parity_None.str();
    fresh.masterStopBits = "1";
    fresh.masterTransmissionMode = texts::Rtu.str();
    fresh.responseTimeout = "300";
    fresh.pollDelay = "0";
    fresh.outputMode = texts::OutputChangeOfValue.str();
    fresh.outputPulse = "-1";
    fresh.scanRate = "10";
    fresh.responseStatus = texts::Disable.str();
    fresh.timeoutAction = texts::ClearData.str();
    fresh.retransmissionTimes = "3";
    fresh.charIntervalSend = "0";
    fresh.charIntervalReceive = "0";
    fresh.slaveBaudRate = "19200";
    fresh.slaveDataBits = "8";
    fresh.slaveParity = texts::Parity_None.str();
    fresh.slaveStopBits = "1";
    fresh.slaveAddress = "";
    fresh.slaveTransmissionMode = texts::Rtu.str();
    fresh.customBaudRate = "300";
    fresh.customDataBits = "8";
    fresh.customParity = texts::Parity_None.str();
    fresh.customStopBits = "1";
    fresh.userBaudRate = "19200";
    fresh.userDataBits = "8";
    fresh.userParity = texts::Parity_None.str();
    fresh.userStopBits = "1";
    fresh.frameType = texts::FrameTypeCharInterval.str();
    fresh.charInterval = "10";
    fresh.frameLength = "111";
    fresh.autoSending = texts::Disable.str();
    fresh.autoSendPeriod = "1000";
    fresh.crcCheck = texts::Disable.str();
    fresh.commInterface = texts::Rs485.str();
    fresh.debugInterface = texts::Rs232.str();
    fresh.legacyCommInterface = texts::Rs485.str();
    fresh.inputLengthPrefix = texts::Disable.str();
    fresh.nodeCount = 0;
    fresh.commandCount = 0;
    for (auto& n : fresh.nodes) n = SlaveNode{"-1", texts::NewNodeName.str()};
    const std::string filter(defaultDataFilter(project));
    for (auto& cmd : fresh.commands) {
        cmd = ModbusCommand{};
        cmd.dataFilter = filter;
        cmd.scanType = texts::FastScan.str();
        cmd.byteSwap = texts::NoSwap.str();
        cmd.nodeIndex = 0;
    }
    c = std::move(fresh);
}

}  // namespace

std::span<const TextField<FieldbusSettings>> fieldbusTextFields() { return kFieldbusFields; }
std::span<const TextField<SubnetConfig>> subnetTextFields() { return kConfigFields; }
std::span<const TextField<ModbusCommand>> commandTextFields() { return kInstructionFields; }
std::span<const TextField<SlaveNode>> slaveNodeTextFields() { return kNodeFields; }
std::span<const FlagField> variantFlagFields() { return kFlagFields; }

std::string* fieldByName(FieldbusSettings& r, std::string_view name) { return lookup(r, kFieldbusFields, name); }
std::string* fieldByName(SubnetConfig& r, std::string_view name) { return lookup(r, kConfigFields, name); }
std::string* fieldByName(ModbusCommand& r, std::string_view name) { return lookup(r, kInstructionFields, name); }

std::string_view protocolTypeForKind(std::int32_t kind) {
    switch (kind) {
        case 0: return texts::ProtocolDeviceNet.text;
        case 1: case 3: case 5: case 6: return texts::ProtocolProfibus.text;
        case 4: return texts::ProtocolEtherNetIp.text;
        default: return {};
    }
}

int subnetsUsed(std::int32_t kind) {
    if (kind == 2) return 4;
    if (kind == 4) return 2;
    return 1;
}

std::string_view functionText(std::string_view code) {
    for (const auto& f : kFunctions) {
        if (f.code == code) return f.text.text;
    }
    return {};
}

std::string_view functionCodeOfText(std::string_view text) {
    for (const auto& f : kFunctions) {
        if (f.text.text == text) return f.code;
    }
    return {};
}

bool usesDataFilter(const Project& p) { return p.deviceKind == 3 || p.flags.legacyFlag233a; }

std::string_view defaultDataFilter(const Project& p) {
    return usesDataFilter(p) ? texts::Fullword.text : texts::NoSwap.text;
}

const SlaveNode* nodeOfCommand(const Project& p, int subnetIndex, int commandIndex) {
    if (subnetIndex < 0 || subnetIndex >= kSubnetCount || commandIndex < 0 || commandIndex >= kMaxCommands)
        return nullptr;
    const SubnetConfig& c = p.subnet(subnetIndex);
    const std::int32_t idx = c.commands[static_cast<size_t>(commandIndex)].nodeIndex;
    if (idx < 1 || idx > kMaxNodes) return nullptr;
    return &c.nodes[static_cast<size_t>(idx - 1)];
}

SlaveNode* nodeOfCommand(Project& p, int subnetIndex, int commandIndex) {
    return const_cast<SlaveNode*>(nodeOfCommand(static_cast<const Project&>(p), subnetIndex, commandIndex));
}

void resetToDefaults(Project& p, std::int32_t deviceKind) {
    // 1. Flags; the rest follows them.
    p.flags = VariantFlags{};
    p.flags.extendedSettingsFlag = true;
    resetContents(p, deviceKind);
}

void resetContents(Project& p, std::int32_t deviceKind) {
    p.deviceKind = deviceKind;

    // 2. Fieldbus side.
    FieldbusSettings& f = p.fieldbus;
    f.protocolType = texts::ProtocolDeviceNet.str();
    f.deviceNetAddress = "0";
    f.deviceNetBaudRate = p.flags.legacyFlag233b ? texts::InterceptAutomatically.str() : texts::Baud125K.str();
    f.assignIpMode = texts::ManualAssign.str();
    f.ipAddress = texts::DefaultIpAddress.str();
    f.subnetMask = texts::DefaultSubnetMask.str();
    f.gatewayAddress = texts::DefaultGatewayAddress.str();
    f.dns1 = texts::ZeroIpAddress.str();
    f.dns2 = texts::ZeroIpAddress.str();
    f.profibusConfigMode = texts::UseBytesSelection.str();
    f.profibusConfigData.clear();
    f.profibusAddress = texts::AddressSettingUsingHardware.str();
    f.compatibilityMode = texts::Disable.str();
    f.configurationMode = texts::ViaKorvex.str();
    f.reserved1.clear();
    f.reserved2.clear();
    f.reserved3.clear();
    f.reserved4.clear();
    const char* size = "8";
    if (deviceKind == 0) size = "64";
    else if (deviceKind == 1 || deviceKind == 3 || deviceKind == 5 || deviceKind == 6) size = "112";
    f.inputSize = size;
    f.outputSize = size;

    // 4. Every subnet to its defaults (3: subnet 1 keeps inputFaultReset "Enable").
    for (auto& c : p.subnets) resetSubnet(c, p);
    p.subnets[0].inputFaultReset = texts::Enable.str();

    // 5. Subnet 1 overrides.
    SubnetConfig& s1 = p.subnets[0];
    if (p.flags.legacyFlag243) {
        s1.protocolMode = texts::UserConfig.str();
        s1.inputLengthPrefix = texts::Disable.str();
    } else if (deviceKind == 5) {
        s1.protocolMode = texts::ModbusSlave.str();
        s1.slaveAddress = "1";
    } else if (deviceKind == 6) {
        s1.protocolMode = texts::UserConfig.str();
    }

    // 6. Protocol type follows the kind (kind 2 keeps the previous text).
    const std::string_view type = protocolTypeForKind(deviceKind);
    if (!type.empty()) f.protocolType = std::string(type);
}

void addDefaultNode(Project& p) {
    SubnetConfig& s1 = p.subnets[0];
    s1.nodeCount = 1;
    s1.commandCount = 2;
    s1.nodes[0] = SlaveNode{"1", texts::NodeNamePrefix.str() + "1"};
    ModbusCommand cmd;
    cmd.slaveAddress = "1";
    cmd.functionCode = "3";
    cmd.startAddress = "0";
    cmd.dataCount = "8";
    cmd.mappingAddress = "0";
    cmd.bitOffset = "";
    cmd.byteCount = "16";
    // "Fullword" in the new projects of a run (kind 3); a project created for
    // another kind gets that kind's default choice.
    cmd.dataFilter = std::string(defaultDataFilter(p));
    cmd.checkType = texts::Crc.str();
    cmd.scanType = texts::FastScan.str();
    cmd.byteSwap = texts::NoSwap.str();
    cmd.nodeIndex = 1;
    s1.commands[0] = cmd;
    cmd.functionCode = "16";
    cmd.mappingAddress = "4000";
    s1.commands[1] = cmd;
}

}  // namespace korvex
