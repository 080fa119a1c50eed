#include "serial/upload_conversion.h"

#include <algorithm>
#include <string>

#include "mapping/plc_blocks.h"
#include "model/texts.h"
#include "model/value_checks.h"
#include "serial/download_frames.h"
#include "serial/frame_codes.h"

namespace korvex::serial {

namespace {

// Offsets into a subnet record (the frame offset minus 3).
namespace record {
constexpr int Protocol = 0, Baud = 1, DataBits = 2, Parity = 3, StopBits = 4, SlaveAddress = 5,
              Transmission = 6, ResponseTimeout = 7, PollDelay = 9, OutputMode = 10, OutputPulse = 11,
              ScanRate = 12, FrameTypeOrStatus = 13, CharInterval = 14, FrameLength = 16, AutoSending = 17,
              AutoSendPeriod = 18, CrcCheck = 20, Interface = 21;
}

// Offsets into a command record.
namespace cmdrec {
constexpr int Slave = 0, Function = 1, Start = 2, Count = 4, Mapping = 6, BitOffset = 8, ScanType = 9,
              Handling = 10;
}

template <std::size_t N>
int word(const std::array<std::uint8_t, N>& r, int at) {
    return r[static_cast<size_t>(at)] * 256 + r[static_cast<size_t>(at) + 1];
}

template <std::size_t N>
std::uint8_t byteAt(const std::array<std::uint8_t, N>& r, int at) {
    return r[static_cast<size_t>(at)];
}

std::string enableText(bool on) { return on ? texts::Enable.str() : texts::Disable.str(); }

void setIfKnown(std::string& field, std::optional<std::string_view> text) {
    if (text) field = std::string(*text);
}

struct GroupFields {
    std::string* baudRate;
    std::string* dataBits;
    std::string* parity;
    std::string* stopBits;
};

GroupFields groupFields(SubnetConfig& c, std::uint8_t protocol) {
    switch (protocol) {
        case 1: return {&c.slaveBaudRate, &c.slaveDataBits, &c.slaveParity, &c.slaveStopBits};
        case 2: return {&c.customBaudRate, &c.customDataBits, &c.customParity, &c.customStopBits};
        case 3: return {&c.userBaudRate, &c.userDataBits, &c.userParity, &c.userStopBits};
        default: return {&c.masterBaudRate, &c.masterDataBits, &c.masterParity, &c.masterStopBits};
    }
}

void convertFieldbus(const UploadStore& store, const GatewayIdentity& id, Project& p) {
    if (id.deviceType >= 1 && id.deviceType <= 7) {
        p.deviceKind = id.deviceType == 5 && p.flags.legacyFlag244 ? 1 : id.deviceType - 1;
        if (id.deviceType == 1) p.fieldbus.protocolType = texts::ProtocolDeviceNet.str();
        else if (id.deviceType != 3) p.fieldbus.protocolType = texts::ProtocolProfibus.str();
    }
    FieldbusSettings& f = p.fieldbus;
    const auto& v = store.fieldbus;
    if (p.deviceKind == 0) {
        f.deviceNetAddress = std::to_string(v[0]);
        setIfKnown(f.deviceNetBaudRate, deviceNetBaudOfCode(v[1]));
        setIfKnown(f.inputSize, deviceNetInputSizeOfCode(v[2]));
        setIfKnown(f.outputSize, deviceNetOutputSizeOfCode(v[3]));
    } else if (p.deviceKind == 1 || p.deviceKind == 3 || p.deviceKind == 6) {
        f.inputSize = std::string(profibusSizeOfCode(v[0]));
        f.outputSize = std::string(profibusSizeOfCode(v[1]));
        p.subnet(0).inputLengthPrefix = enableText(v[2] != 0);
    }
}

void convertSubnet(const std::array<std::uint8_t, kSubnetRecordSize>& r, const Project& project, SubnetConfig& c) {
    const std::uint8_t protocol = byteAt(r, record::Protocol);
    const auto mode = protocolOfCode(protocol);
    if (!mode) return;
    c.protocolMode = std::string(*mode);
    const GroupFields g = groupFields(c, protocol);
    setIfKnown(*g.baudRate, baudRateOfCode(byteAt(r, record::Baud)));
    *g.dataBits = byteAt(r, record::DataBits) != 0 ? "7" : "8";
    setIfKnown(*g.parity, parityOfCode(byteAt(r, record::Parity)));
    *g.stopBits = byteAt(r, record::StopBits) != 0 ? "2" : "1";
    const std::string transmission = byteAt(r, record::Transmission) != 0 ? texts::Ascii.str() : texts::Rtu.str();

    if (protocol == 0) {
        c.masterTransmissionMode = transmission;
        c.responseTimeout = std::to_string(word(r, record::ResponseTimeout));
        c.pollDelay = std::to_string(byteAt(r, record::PollDelay) * 10);
        const std::uint8_t output = byteAt(r, record::OutputMode);
        setIfKnown(c.outputMode, outputModeOfCode(output));
        if (output == 4) c.outputPulse = std::to_string(byteAt(r, record::OutputPulse) * 10);
        c.scanRate = std::to_string(byteAt(r, record::ScanRate));
        if (project.flags.extendedSettingsFlag) {
            const int status = byteAt(r, record::FrameTypeOrStatus);
            if (status == 0) c.responseStatus = texts::Disable.str();
            else if (status <= 13) c.responseStatus = std::to_string(status) + texts::Bytes.str();
        }
    } else if (protocol == 1) {
        c.slaveAddress = std::to_string(byteAt(r, record::SlaveAddress));
        c.slaveTransmissionMode = transmission;
    } else if (protocol == 3) {
        c.frameType = byteAt(r, record::FrameTypeOrStatus) != 0 ? texts::FrameTypeFrameLength.str()
                                                                : texts::FrameTypeCharInterval.str();
        c.charInterval = std::to_string(word(r, record::CharInterval));
        c.frameLength = std::to_string(byteAt(r, record::FrameLength));
        c.autoSending = enableText(byteAt(r, record::AutoSending) != 0);
        c.autoSendPeriod = std::to_string(word(r, record::AutoSendPeriod));
        c.crcCheck = enableText(byteAt(r, record::CrcCheck) != 0);
    }
    if (protocol != 2) {
        const bool rs232 = byteAt(r, record::Interface) != 0;
        c.commInterface = rs232 ? texts::Rs232.str() : texts::Rs485.str();
        c.debugInterface = rs232 ? texts::Rs485.str() : texts::Rs232.str();
    }
}

// The 1-based index of the node with this address, adding it when it is new.
std::int32_t nodeFor(SubnetConfig& c, const std::string& address) {
    for (int j = 0; j < c.nodeCount; ++j) {
        if (c.nodes[static_cast<size_t>(j)].address == address) return j + 1;
    }
    if (c.nodeCount >= kMaxNodes) return 0;
    c.nodes[static_cast<size_t>(c.nodeCount)] = {address, texts::NodeNamePrefix.str() + address};
    return ++c.nodeCount;
}

void convertCommands(const UploadStore& store, int s, const Project& project, const PlcBlocks* plc, SubnetConfig& c) {
    const int count = std::clamp(store.commandCounts[static_cast<size_t>(s)], 0, kMaxCommands);
    const std::string checkType =
        c.masterTransmissionMode == texts::Ascii.text ? texts::Lrc.str() : texts::Crc.str();
    for (int k = 0; k < count; ++k) {
        const auto& r = store.commands[static_cast<size_t>(s)][static_cast<size_t>(k)];
        ModbusCommand& cmd = c.commands[static_cast<size_t>(k)];
        cmd.slaveAddress = std::to_string(byteAt(r, cmdrec::Slave));
        cmd.functionCode = std::to_string(byteAt(r, cmdrec::Function));
        cmd.startAddress = std::to_string(word(r, cmdrec::Start));
        cmd.dataCount = std::to_string(word(r, cmdrec::Count));
        cmd.mappingAddress = toHexText(static_cast<std::uint32_t>(word(r, cmdrec::Mapping)), false);
        if (plc) cmd.mappingAddress = plc->gatewayOffsetToPlc(cmd, cmd.mappingAddress);
        cmd.bitOffset = std::to_string(byteAt(r, cmdrec::BitOffset));
        const std::uint8_t scan = byteAt(r, cmdrec::ScanType);
        if (scan <= 1) cmd.scanType = scan == 0 ? texts::FastScan.str() : texts::SlowScan.str();
        applyDataHandling(byteAt(r, cmdrec::Handling), project, cmd);
        cmd.checkType = checkType;
        cmd.nodeIndex = nodeFor(c, cmd.slaveAddress);
        c.commandCount = k + 1;
    }
}

}  // namespace

void resetForUpload(Project& project) {
    resetContents(project, project.deviceKind);
    project.loadedFromFile = false;
}

void convertUploadStore(const UploadStore& store, const GatewayIdentity& identity, Project& project,
                        const PlcBlocks* plc) {
    convertFieldbus(store, identity, project);
    // Only the subnets that were read: the records of the others hold nothing.
    for (int s = 0; s < kSubnetCount; ++s) {
        if (!store.subnetRead[static_cast<size_t>(s)]) continue;
        convertSubnet(store.subnetRecords[static_cast<size_t>(s)], project, project.subnet(s));
    }
    for (int s = 0; s < kSubnetCount; ++s) {
        if (!store.subnetRead[static_cast<size_t>(s)] || store.commandCounts[static_cast<size_t>(s)] <= 0) continue;
        convertCommands(store, s, project, plc, project.subnet(s));
    }
}

void recomputeByteCounts(Project& project) {
    // Every subnet: a four-subnet gateway's subnets 3 and 4 have commands too.
    for (SubnetConfig& c : project.subnets) refreshByteCounts(c);
}

}  // namespace korvex::serial
