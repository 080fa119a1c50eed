#include "net/config_block.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <vector>

#include "model/texts/net_texts.h"
#include "model/value_checks.h"

namespace korvex::net {
namespace {

// Offsets shared by both layouts (subnet 1 and the serial settings of both).
constexpr std::size_t kAssignIpMode = 8;
constexpr std::size_t kAddresses = 12;  // ip, mask, gateway, dns1, dns2: 4 bytes each
constexpr std::size_t kSerial[kTransferSubnets] = {32, 40};  // baud u32, data bits, parity, stop bits

constexpr std::string_view kRestartKey = "VentaLor";

std::string decimal(std::int64_t v) { return std::to_string(v); }

std::string dottedQuad(std::uint32_t v) {
    char buf[20];
    std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", v >> 24, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    return buf;
}

std::string parityText(std::uint8_t code) {
    switch (code) {
    case 0: return "None";
    case 1: return "Odd";
    case 2: return "Even";
    case 3: return "Mark";
    default: return "Space";
    }
}

std::string outputModeText(std::uint32_t code) {
    switch (code) {
    case 1: return "Cycle";
    case 2: return "Forbidden";
    default: return "Change of Value";
    }
}

std::int32_t signedAt(std::span<const std::uint8_t> b, std::size_t offset) {
    return static_cast<std::int32_t>(readU32(b, offset));
}

// The subnet's node list from its commands: each distinct slave address in order
// of first appearance becomes the next node; every command points at its node.
void rebuildNodes(SubnetConfig& subnet) {
    std::vector<std::string> addresses;
    for (int k = 0; k < subnet.commandCount; ++k) {
        ModbusCommand& cmd = subnet.commands[static_cast<size_t>(k)];
        auto it = std::find(addresses.begin(), addresses.end(), cmd.slaveAddress);
        if (it == addresses.end()) it = addresses.insert(addresses.end(), cmd.slaveAddress);
        cmd.nodeIndex = static_cast<std::int32_t>(it - addresses.begin()) + 1;
    }
    for (size_t n = 0; n < addresses.size(); ++n) subnet.nodes[n] = SlaveNode{addresses[n], "Node-" + addresses[n]};
    subnet.nodeCount = static_cast<std::int32_t>(addresses.size());
}

void decodeSubnet(std::span<const std::uint8_t> b, int s, std::int32_t count, SubnetConfig& subnet) {
    const std::size_t serial = kSerial[s];
    subnet.masterBaudRate = decimal(signedAt(b, serial));
    subnet.masterDataBits = decimal(b[serial + 4]);
    subnet.masterParity = parityText(b[serial + 5]);
    subnet.masterStopBits = decimal(b[serial + 6]);

    const SubnetOffsets o = readLayoutOffsets(s);
    subnet.protocolMode = "Modbus Master";
    subnet.masterTransmissionMode = "RTU";
    subnet.responseTimeout = decimal(signedAt(b, o.responseTimeout));
    subnet.pollDelay = decimal(signedAt(b, o.pollDelay));
    subnet.scanRate = decimal(signedAt(b, o.scanRate));
    subnet.outputMode = outputModeText(readU32(b, o.outputMode));
    subnet.commandCount = count;
    for (int k = 0; k < count; ++k)
        CommandSlot::readFrom(b, o.slots + static_cast<size_t>(k) * CommandSlot::kSize)
            .applyTo(subnet.commands[static_cast<size_t>(k)]);
    rebuildNodes(subnet);
}

}  // namespace

SubnetOffsets writeLayoutOffsets(int subnet) {
    if (subnet == 0) return {60, 64, 68, 76, 80, 84};
    return {1296, 1300, 1304, 1312, 1316, 1320};
}

SubnetOffsets readLayoutOffsets(int subnet) {
    if (subnet == 0) return {60, 64, 68, 76, 80, 84};
    return {672, 676, 680, 688, 692, 696};
}

std::int32_t plainDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), std::int64_t{1} << 32);
    if (negative) value = -value;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t plainHex(std::string_view text) {
    std::uint32_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else break;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::uint32_t assignIpModeCode(std::string_view text) {
    if (text == "Manual Assign") return 0;
    if (text == "DHCP") return 1;
    return 2;
}

std::uint8_t parityCode(std::string_view text) {
    if (text == "None") return 0;
    if (text == "Odd") return 1;
    if (text == "Even") return 2;
    if (text == "Mark") return 3;
    return 4;
}

std::uint32_t outputModeCode(std::string_view text) {
    if (text == "Cycle") return 1;
    if (text == "Forbidden") return 2;
    return 3;
}

std::uint32_t addressBytes(std::string_view text) {
    if (!isValidIPv4(text)) return 0xFFFFFFFFu;
    std::uint32_t value = 0;
    size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        const size_t dot = part < 3 ? text.find('.', start) : text.size();
        value = (value << 8) | static_cast<std::uint32_t>(parseDecimal(text.substr(start, dot - start)).value_or(0));
        start = dot + 1;
    }
    return value;
}

CommandSlot CommandSlot::fromCommand(const ModbusCommand& c) {
    CommandSlot s;
    s.slaveAddress = static_cast<std::uint8_t>(plainDecimal(c.slaveAddress));
    s.functionCode = static_cast<std::uint8_t>(plainDecimal(c.functionCode));
    s.startAddress = static_cast<std::uint16_t>(plainDecimal(c.startAddress));
    s.dataCount = static_cast<std::uint16_t>(plainDecimal(c.dataCount));
    s.mappingAddress = static_cast<std::uint16_t>(plainHex(c.mappingAddress));
    s.bitOffset = static_cast<std::uint8_t>(plainDecimal(c.bitOffset));
    s.scanType = c.scanType == "Fast Scan" ? 0 : 1;
    s.swap = c.dataFilter == "No Swap" ? 0 : c.dataFilter == "Two Bytes Swap" ? 1 : 2;
    return s;
}

void CommandSlot::writeTo(std::span<std::uint8_t> b, std::size_t at) const {
    b[at] = slaveAddress;
    b[at + 1] = functionCode;
    writeU16(b, at + 2, startAddress);
    writeU16(b, at + 4, dataCount);
    writeU16(b, at + 6, mappingAddress);
    b[at + 8] = bitOffset;
    b[at + 9] = scanType;
    b[at + 10] = swap;
    b[at + 11] = 0;
}

CommandSlot CommandSlot::readFrom(std::span<const std::uint8_t> b, std::size_t at) {
    CommandSlot s;
    s.slaveAddress = b[at];
    s.functionCode = b[at + 1];
    s.startAddress = readU16(b, at + 2);
    s.dataCount = readU16(b, at + 4);
    s.mappingAddress = readU16(b, at + 6);
    s.bitOffset = b[at + 8];
    s.scanType = b[at + 9];
    s.swap = b[at + 10];
    return s;
}

void CommandSlot::applyTo(ModbusCommand& c) const {
    c.slaveAddress = decimal(slaveAddress);
    c.functionCode = decimal(functionCode);
    c.startAddress = decimal(startAddress);
    c.dataCount = decimal(dataCount);
    c.mappingAddress = toHexText(mappingAddress, false);
    c.bitOffset = decimal(bitOffset);
    c.scanType = scanType == 0 ? "Fast Scan" : "Slow Scan";
    c.dataFilter = swap == 0 ? "No Swap" : swap == 1 ? "Two Bytes Swap" : "Four Bytes Swap";
}

Bytes composeWriteBlock(const Project& project) {
    Bytes b(kWriteBlockSize, 0);
    writeU32(b, 0, static_cast<std::uint32_t>(NetCommand::WriteConfig));
    writeU32(b, 4, kWriteBlockLengthField);
    const FieldbusSettings& fb = project.fieldbus;
    writeU32(b, kAssignIpMode, assignIpModeCode(fb.assignIpMode));
    const std::string* addresses[] = {&fb.ipAddress, &fb.subnetMask, &fb.gatewayAddress, &fb.dns1, &fb.dns2};
    for (size_t i = 0; i < 5; ++i) writeU32(b, kAddresses + 4 * i, addressBytes(*addresses[i]));
    for (int s = 0; s < kTransferSubnets; ++s) {
        const SubnetConfig& c = project.subnet(s);
        const std::size_t serial = kSerial[s];
        writeU32(b, serial, static_cast<std::uint32_t>(plainDecimal(c.masterBaudRate)));
        b[serial + 4] = static_cast<std::uint8_t>(plainDecimal(c.masterDataBits));
        b[serial + 5] = parityCode(c.masterParity);
        b[serial + 6] = static_cast<std::uint8_t>(plainDecimal(c.masterStopBits));

        const SubnetOffsets o = writeLayoutOffsets(s);
        writeU32(b, o.responseTimeout, static_cast<std::uint32_t>(plainDecimal(c.responseTimeout)));
        writeU32(b, o.pollDelay, static_cast<std::uint32_t>(plainDecimal(c.pollDelay)));
        writeU32(b, o.outputMode, outputModeCode(c.outputMode));
        writeU32(b, o.scanRate, static_cast<std::uint32_t>(plainDecimal(c.scanRate)));
        const int count = std::clamp(c.commandCount, 0, kWriteSlots);
        writeU32(b, o.commandCount, static_cast<std::uint32_t>(count));
        for (int k = 0; k < count; ++k)
            CommandSlot::fromCommand(c.commands[static_cast<size_t>(k)])
                .writeTo(b, o.slots + static_cast<size_t>(k) * CommandSlot::kSize);
    }
    return b;
}

Bytes readConfigRequest() {
    Bytes out;
    NetHeader{static_cast<std::uint32_t>(NetCommand::ReadConfig), 0}.appendTo(out);
    return out;
}

Bytes restartFrame() {
    Bytes out;
    NetHeader{static_cast<std::uint32_t>(NetCommand::Restart), static_cast<std::uint32_t>(kRestartKey.size())}
        .appendTo(out);
    out.insert(out.end(), kRestartKey.begin(), kRestartKey.end());
    return out;
}

bool writeAnswerAccepted(std::span<const std::uint8_t> answer) {
    return startsWithCommand(answer, NetCommand::WriteConfig);
}

std::optional<Message> decodeReadBlock(std::span<const std::uint8_t> b, Project& project) {
    if (b.size() < kReadBlockSize || !startsWithCommand(b, NetCommand::ReadConfig)) return Message{texts::ReadConfigFailed, {}};
    std::int32_t counts[kTransferSubnets];
    for (int s = 0; s < kTransferSubnets; ++s) {
        counts[s] = signedAt(b, readLayoutOffsets(s).commandCount);
        if (counts[s] < 0 || counts[s] > kReadSlots) return Message{texts::ReadConfigFailed, {}};
    }

    // Decoded into a copy: a refused block leaves the project as it was.
    auto copy = std::make_unique<Project>(project);
    Project& p = *copy;
    p.deviceKind = 4;
    p.fieldbus.protocolType = "EtherNet/IP";
    const std::uint8_t mode = b[kAssignIpMode + 3];
    p.fieldbus.assignIpMode = mode == 0 ? "Manual Assign" : mode == 1 ? "DHCP" : "BOOTP";
    struct AddressField {
        std::string FieldbusSettings::*member;
        const char* fallback;
    };
    static constexpr AddressField kAddressFields[] = {
        {&FieldbusSettings::ipAddress, "192.168.0.10"},
        {&FieldbusSettings::subnetMask, "255.255.255.0"},
        {&FieldbusSettings::gatewayAddress, "192.168.0.1"},
        {&FieldbusSettings::dns1, "0.0.0.0"},
        {&FieldbusSettings::dns2, "0.0.0.0"},
    };
    for (size_t i = 0; i < 5; ++i) {
        const std::uint32_t v = readU32(b, kAddresses + 4 * i);
        p.fieldbus.*kAddressFields[i].member = v == 0xFFFFFFFFu ? kAddressFields[i].fallback : dottedQuad(v);
    }
    for (int s = 0; s < kTransferSubnets; ++s) decodeSubnet(b, s, counts[s], p.subnet(s));
    project = std::move(p);
    return std::nullopt;
}

}  // namespace korvex::net
