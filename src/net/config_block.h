#pragma once
// The configuration block a gateway of the EtherNet/IP kind takes and gives over
// TCP: the write layout the program sends (2520 bytes, 100 command slots per
// subnet), the read layout the gateway answers with (1272 bytes, 48 slots per
// subnet), the read request and the restart frame. Only subnets 1 and 2 travel.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "model/project.h"
#include "model/texts/text.h"
#include "net/net_header.h"

namespace korvex::net {

constexpr std::size_t kWriteBlockSize = 2520;
constexpr std::uint32_t kWriteBlockLengthField = 1264;
constexpr std::size_t kReadBlockSize = 1272;
constexpr std::size_t kWriteAnswerSize = 16;
constexpr int kWriteSlots = 100;
constexpr int kReadSlots = 48;
constexpr int kTransferSubnets = 2;

// Where a subnet's part sits in a layout. The fields of subnet 1 before its
// commands are shared by both layouts.
struct SubnetOffsets {
    std::size_t responseTimeout, pollDelay, outputMode, scanRate, commandCount, slots;
};
SubnetOffsets writeLayoutOffsets(int subnet);  // subnet 0 or 1
SubnetOffsets readLayoutOffsets(int subnet);

// One command in 12 bytes.
struct CommandSlot {
    static constexpr std::size_t kSize = 12;
    std::uint8_t slaveAddress = 0;
    std::uint8_t functionCode = 0;
    std::uint16_t startAddress = 0;
    std::uint16_t dataCount = 0;
    std::uint16_t mappingAddress = 0;
    std::uint8_t bitOffset = 0;
    std::uint8_t scanType = 0;  // 0 fast, 1 slow
    std::uint8_t swap = 0;      // 0 none, 1 two bytes, 2 four bytes

    static CommandSlot fromCommand(const ModbusCommand& command);
    void writeTo(std::span<std::uint8_t> bytes, std::size_t offset) const;
    static CommandSlot readFrom(std::span<const std::uint8_t> bytes, std::size_t offset);
    // Fills the command's texts the slot carries (not byteCount, checkType, byteSwap, nodeIndex).
    void applyTo(ModbusCommand& command) const;
};

// Codes of the choice texts (a text not listed takes the last code).
std::uint32_t assignIpModeCode(std::string_view text);  // 0 manual, 1 DHCP, 2 BOOTP
std::uint8_t parityCode(std::string_view text);         // 0 None .. 4 Space
std::uint32_t outputModeCode(std::string_view text);    // 1 Cycle, 2 Forbidden, 3 Change of Value
// Dotted quad to its four bytes, first octet first; FF FF FF FF when the text is not one.
std::uint32_t addressBytes(std::string_view text);
// The project's plain decimal conversion: optional sign and leading digits, 0
// when there are none ("-1" gives -1, "12ms" 12, "" 0). Saturates at the int32 range.
std::int32_t plainDecimal(std::string_view text);
// The leading hexadecimal digits of a mapping address, 0 when there are none.
std::uint32_t plainHex(std::string_view text);

// The write layout of the project, as the download sends it (command 6).
Bytes composeWriteBlock(const Project& project);
// 00 00 00 05 00 00 00 00.
Bytes readConfigRequest();
// 00 00 00 0A 00 00 00 08 "VentaLor".
Bytes restartFrame();
// Whether a write answer accepts the block: its first four bytes read 00 00 00 06.
bool writeAnswerAccepted(std::span<const std::uint8_t> answer);

// Decodes a read answer into the project. Refused (the project untouched) when
// the answer is shorter than the read layout, does not carry command 5, or
// announces a negative number of commands or more than 48 for a subnet; the
// message to show is returned then.
std::optional<Message> decodeReadBlock(std::span<const std::uint8_t> block, Project& project);

}  // namespace korvex::net
