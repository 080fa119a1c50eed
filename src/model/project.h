#pragma once
// The in-memory project: one gateway's whole configuration. Every parameter is
// held as text, byte for byte as the project file stores it (windows-1252 bytes;
// the program's own texts are ASCII).
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace korvex {

constexpr int kSubnetCount = 4;
constexpr int kMaxNodes = 128;
constexpr int kMaxCommands = 100;
constexpr std::uint32_t kNewProjectFileVersion = 500;
constexpr std::uint32_t kWrittenFileVersion = 700;

struct VariantFlags {
    bool extendedSettingsFlag = true;
    bool legacyFlag233a = false;
    bool legacyFlag233b = false;
    bool legacyFlag243 = false;
    bool legacyFlag244 = false;
    bool legacyFlag245 = false;
    bool legacyFlag246 = false;

    bool operator==(const VariantFlags&) const = default;
};

struct FieldbusSettings {
    std::string protocolType;
    std::string deviceNetAddress;
    std::string deviceNetBaudRate;
    std::string inputSize;
    std::string outputSize;
    std::string profibusConfigMode;
    std::string profibusConfigData;
    std::string assignIpMode;
    std::string ipAddress;
    std::string subnetMask;
    std::string gatewayAddress;
    std::string dns1;
    std::string dns2;
    std::string profibusAddress;
    std::string compatibilityMode;
    std::string configurationMode;
    std::string reserved1;
    std::string reserved2;
    std::string reserved3;
    std::string reserved4;

    bool operator==(const FieldbusSettings&) const = default;
};

struct SlaveNode {
    std::string address;
    std::string name;

    bool operator==(const SlaveNode&) const = default;
};

struct ModbusCommand {
    std::string slaveAddress;
    std::string functionCode;
    std::string startAddress;
    std::string dataCount;
    std::string mappingAddress;
    std::string bitOffset;
    std::string byteCount;
    std::string dataFilter;
    std::string checkType;
    std::string scanType;
    std::string byteSwap;
    std::int32_t nodeIndex = 0;  // 1-based index into the subnet's nodes; 0 = none

    bool operator==(const ModbusCommand&) const = default;
};

// One subnet. The four gateway-wide fields (inputFaultReset, timeoutAction,
// retransmissionTimes, inputLengthPrefix) exist in every record because the file
// stores them per record; only subnet 1's copy is shown and used.
struct SubnetConfig {
    std::string inputFaultReset;
    std::string protocolMode;
    std::string masterBaudRate;
    std::string masterDataBits;
    std::string masterParity;
    std::string masterStopBits;
    std::string masterTransmissionMode;
    std::string responseTimeout;
    std::string pollDelay;
    std::string outputMode;
    std::string outputPulse;
    std::string scanRate;
    std::string responseStatus;
    std::string timeoutAction;
    std::string retransmissionTimes;
    std::string charIntervalSend;
    std::string charIntervalReceive;
    std::string slaveBaudRate;
    std::string slaveDataBits;
    std::string slaveParity;
    std::string slaveStopBits;
    std::string slaveAddress;
    std::string slaveTransmissionMode;
    std::string customBaudRate;
    std::string customDataBits;
    std::string customParity;
    std::string customStopBits;
    std::string userBaudRate;
    std::string userDataBits;
    std::string userParity;
    std::string userStopBits;
    std::string frameType;
    std::string charInterval;
    std::string frameLength;
    std::string autoSending;
    std::string autoSendPeriod;
    std::string crcCheck;
    std::string commInterface;
    std::string debugInterface;
    std::string legacyCommInterface;  // not saved in the project file
    std::string inputLengthPrefix;
    std::string startCharacter;
    std::string stopCharacter;
    std::int32_t nodeCount = 0;     // 0 .. kMaxNodes
    std::int32_t commandCount = 0;  // 0 .. kMaxCommands
    std::array<SlaveNode, kMaxNodes> nodes{};
    std::array<ModbusCommand, kMaxCommands> commands{};

    bool operator==(const SubnetConfig&) const = default;
};

struct Project {
    std::int32_t deviceKind = 3;
    VariantFlags flags;
    FieldbusSettings fieldbus;
    std::array<SubnetConfig, kSubnetCount> subnets{};
    std::uint32_t fileVersion = kNewProjectFileVersion;
    bool modified = false;
    bool loadedFromFile = false;

    SubnetConfig& subnet(int index) { return subnets.at(static_cast<size_t>(index)); }
    const SubnetConfig& subnet(int index) const { return subnets.at(static_cast<size_t>(index)); }
};

// Field access by name: each table lists the text fields of a record in the
// order of the model tables, with the member they name.
template <class Record>
struct TextField {
    std::string_view name;
    std::string Record::*member;
};

std::span<const TextField<FieldbusSettings>> fieldbusTextFields();   // 20 fields
std::span<const TextField<SubnetConfig>> subnetTextFields();               // every text field
std::span<const TextField<ModbusCommand>> commandTextFields();     // 11 fields
std::span<const TextField<SlaveNode>> slaveNodeTextFields();         // address, name

struct FlagField {
    std::string_view name;
    bool VariantFlags::*member;
};
std::span<const FlagField> variantFlagFields();  // 7 flags

// Returns the named text field, or nullptr when the record has no such field.
std::string* fieldByName(FieldbusSettings& record, std::string_view name);
std::string* fieldByName(SubnetConfig& record, std::string_view name);
std::string* fieldByName(ModbusCommand& record, std::string_view name);

// Model operations.
void resetToDefaults(Project& project, std::int32_t deviceKind = 3);
// The same without touching the variant flags: every field to the new-project
// value that the project's current flags give (an upload replaces the project
// this way, so flags of an older file stay in force).
void resetContents(Project& project, std::int32_t deviceKind);
void addDefaultNode(Project& project);
// "DeviceNet" for 0, "PROFIBUS" for 1, 3, 5, 6, "EtherNet/IP" for 4; empty for
// kinds that keep their previous text (2) and for values out of range.
std::string_view protocolTypeForKind(std::int32_t deviceKind);
// Number of subnets a kind uses: 4 for kind 2, 2 for kind 4, else 1.
int subnetsUsed(std::int32_t deviceKind);
// "Read Holding Registers" for "3", ...; empty for an unknown code.
std::string_view functionText(std::string_view functionCode);
// "3" for "Read Holding Registers", ...; empty for an unknown text.
std::string_view functionCodeOfText(std::string_view commandText);
// The node that owns command commandIndex (0-based) of the subnet, or nullptr when
// the command's nodeIndex does not name a used entry of the node table.
SlaveNode* nodeOfCommand(Project& project, int subnetIndex, int commandIndex);
const SlaveNode* nodeOfCommand(const Project& project, int subnetIndex, int commandIndex);
// Whether the command fields get a "Data Filter" rather than a byte-swap choice.
bool usesDataFilter(const Project& project);
// The default dataFilter of a new command: "Fullword" or "No Swap".
std::string_view defaultDataFilter(const Project& project);

}  // namespace korvex
