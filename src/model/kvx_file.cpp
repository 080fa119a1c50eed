#include "model/kvx_file.h"

#include <map>
#include <memory>

#include "model/archive.h"
#include "model/file_io.h"
#include "model/texts.h"

namespace korvex {

namespace {

constexpr std::string_view kFieldbusClass = "FIELDBUS";
constexpr std::string_view kConfigClass = "CONFIG";
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTagBit = 0x8000;
constexpr std::uint16_t kSchema = 1;

// FIELDBUS body: eleven of the twenty fieldbus texts.
std::string FieldbusSettings::* const kFieldbusBody[] = {
    &FieldbusSettings::protocolType,   &FieldbusSettings::deviceNetAddress,
    &FieldbusSettings::deviceNetBaudRate, &FieldbusSettings::inputSize,
    &FieldbusSettings::outputSize,     &FieldbusSettings::assignIpMode,
    &FieldbusSettings::ipAddress,      &FieldbusSettings::subnetMask,
    &FieldbusSettings::gatewayAddress, &FieldbusSettings::dns1,
    &FieldbusSettings::dns2,
};

// The seven project-wide texts every SubnetConfig body carries (version 700).
std::string FieldbusSettings::* const kProjectWide[] = {
    &FieldbusSettings::profibusAddress, &FieldbusSettings::compatibilityMode,
    &FieldbusSettings::configurationMode, &FieldbusSettings::reserved1,
    &FieldbusSettings::reserved2, &FieldbusSettings::reserved3, &FieldbusSettings::reserved4,
};

using C = SubnetConfig;
std::string C::* const kMasterGroup[] = {
    &C::masterBaudRate, &C::masterDataBits, &C::masterParity, &C::masterStopBits,
    &C::masterTransmissionMode, &C::responseTimeout, &C::pollDelay, &C::outputMode,
    &C::outputPulse, &C::scanRate,
};
std::string C::* const kSlaveGroup[] = {
    &C::slaveBaudRate, &C::slaveDataBits, &C::slaveParity, &C::slaveStopBits,
    &C::slaveAddress, &C::slaveTransmissionMode,
};
std::string C::* const kUserGroup[] = {
    &C::userBaudRate, &C::userDataBits, &C::userParity, &C::userStopBits, &C::frameType,
    &C::charInterval, &C::frameLength, &C::autoSending, &C::autoSendPeriod, &C::crcCheck,
    &C::commInterface, &C::debugInterface, &C::inputLengthPrefix,
};
std::string C::* const kCustomGroup[] = {
    &C::customBaudRate, &C::customDataBits, &C::customParity, &C::customStopBits,
};
std::string C::* const kCharacterGroup[] = {
    &C::startCharacter, &C::stopCharacter, &C::charIntervalSend, &C::charIntervalReceive,
};
std::string C::* const kStatusGroup[] = {
    &C::responseStatus, &C::timeoutAction, &C::retransmissionTimes,
};

using I = ModbusCommand;
std::string I::* const kCommandTexts[] = {
    &I::slaveAddress, &I::functionCode, &I::startAddress, &I::dataCount, &I::mappingAddress,
    &I::bitOffset, &I::byteCount, &I::dataFilter, &I::checkType, &I::scanType,
};

template <class R, size_t N>
void writeTexts(ArchiveWriter& w, const R& r, std::string R::* const (&members)[N]) {
    for (auto m : members) w.text(r.*m);
}

template <class R, size_t N>
void readTexts(ArchiveReader& rd, R& r, std::string R::* const (&members)[N]) {
    for (auto m : members) r.*m = rd.text();
}

void writeConfigBody(ArchiveWriter& w, const SubnetConfig& c, const Project& p) {
    w.u32(kWrittenFileVersion);
    w.text(c.protocolMode);
    writeTexts(w, p.fieldbus, kProjectWide);
    writeTexts(w, c, kMasterGroup);
    writeTexts(w, c, kSlaveGroup);
    writeTexts(w, c, kUserGroup);
    writeTexts(w, c, kCustomGroup);
    w.i32(c.nodeCount);
    w.i32(c.commandCount);
    writeTexts(w, c, kCharacterGroup);
    for (std::int32_t i = 0; i < c.nodeCount && i < kMaxNodes; ++i) {
        w.text(c.nodes[static_cast<size_t>(i)].address);
        w.text(c.nodes[static_cast<size_t>(i)].name);
    }
    for (std::int32_t i = 0; i < c.commandCount && i < kMaxCommands; ++i) {
        const ModbusCommand& cmd = c.commands[static_cast<size_t>(i)];
        writeTexts(w, cmd, kCommandTexts);
        w.i32(cmd.nodeIndex);
        w.text(cmd.byteSwap);
    }
    // Seven u32 zeros and the flag byte: 29 bytes that the reader frames as the
    // legacy flags, an empty inputFaultReset and extendedSettingsFlag.
    for (int i = 0; i < 7; ++i) w.u32(0);
    w.u8(p.flags.extendedSettingsFlag ? 1 : 0);
    writeTexts(w, c, kStatusGroup);
}

// What reading one SubnetConfig record leaves behind besides the record itself.
struct ConfigReadState {
    std::uint32_t version = 0;
    VariantFlags flags;
};

void readConfigBody(ArchiveReader& rd, SubnetConfig& c, FieldbusSettings& fieldbus, ConfigReadState& st) {
    const std::uint32_t v = rd.u32();
    st.version = v;
    st.flags = VariantFlags{false, false, false, false, false, false, false};
    c.protocolMode = rd.text();
    if (v >= 700) {
        readTexts(rd, fieldbus, kProjectWide);
    } else {
        fieldbus.profibusAddress = texts::AddressSettingUsingHardware.str();
        fieldbus.compatibilityMode = texts::Disable.str();
        fieldbus.configurationMode = texts::ViaKorvex.str();
    }
    readTexts(rd, c, kMasterGroup);
    readTexts(rd, c, kSlaveGroup);
    readTexts(rd, c, kUserGroup);
    readTexts(rd, c, kCustomGroup);
    c.nodeCount = rd.i32();
    c.commandCount = rd.i32();
    if (c.nodeCount < 0 || c.nodeCount > kMaxNodes || c.commandCount < 0 || c.commandCount > kMaxCommands)
        throw ArchiveFormatError{};
    if (v >= 500) {
        readTexts(rd, c, kCharacterGroup);
    } else {
        c.startCharacter.clear();
        c.stopCharacter.clear();
        c.charIntervalSend = "0";
        c.charIntervalReceive = "0";
    }
    for (std::int32_t i = 0; i < c.nodeCount; ++i) {
        SlaveNode& n = c.nodes[static_cast<size_t>(i)];
        n.address = rd.text();
        n.name = rd.text();
    }
    for (std::int32_t i = 0; i < c.commandCount; ++i) {
        ModbusCommand& cmd = c.commands[static_cast<size_t>(i)];
        readTexts(rd, cmd, kCommandTexts);
        cmd.nodeIndex = rd.i32();
        cmd.byteSwap = v >= 600 ? rd.text() : texts::NoSwap.str();
    }
    if (v >= 233) {
        st.flags.legacyFlag233a = rd.u32() != 0;
        st.flags.legacyFlag233b = rd.u32() != 0;
    }
    if (v >= 243) st.flags.legacyFlag243 = rd.u32() != 0;
    if (v >= 244) {
        st.flags.legacyFlag244 = rd.u32() != 0;
        c.inputFaultReset = rd.text();
    }
    if (v >= 245) st.flags.legacyFlag245 = rd.u32() != 0;
    if (v >= 246) st.flags.legacyFlag246 = rd.u32() != 0;
    if (v >= 300) {
        st.flags.extendedSettingsFlag = rd.u32() != 0;
        readTexts(rd, c, kStatusGroup);
    }
}

// Object-archive tag reading: classes and objects are numbered in order of
// first appearance, from 1.
class ObjectTags {
public:
    enum class Kind { Fieldbus, Config };

    // Reads the tag before a record of the expected class. Returns the index of
    // an earlier record when the tag refers back to one, or -1 for a new object.
    int expect(ArchiveReader& rd, Kind kind, int recordIndex) {
        const std::string_view expectedName = kind == Kind::Fieldbus ? kFieldbusClass : kConfigClass;
        const std::uint16_t tag = rd.u16();
        if (tag == kNewClassTag) {
            const std::uint16_t schema = rd.u16();
            const std::uint16_t nameLength = rd.u16();
            if (nameLength > 64) throw ArchiveFormatError{};
            const std::string name = rd.raw(nameLength);
            if (schema != kSchema || name != expectedName) throw ArchiveFormatError{};
            classes_[++next_] = kind;
            objects_[++next_] = {kind, recordIndex};
            return -1;
        }
        if (tag & kClassTagBit) {
            const auto it = classes_.find(tag & 0x7FFF);
            if (it == classes_.end() || it->second != kind) throw ArchiveFormatError{};
            objects_[++next_] = {kind, recordIndex};
            return -1;
        }
        // A reference to an object read before; the null object and unknown or
        // mismatched references are refused.
        const auto it = objects_.find(tag);
        if (tag == 0 || it == objects_.end() || it->second.first != kind) throw ArchiveFormatError{};
        return it->second.second;
    }

private:
    std::uint32_t next_ = 0;
    std::map<std::uint32_t, Kind> classes_;
    std::map<std::uint32_t, std::pair<Kind, int>> objects_;
};

void replaceText(std::string& s, const Text& from, const Text& to) {
    if (s == from.text) s = to.str();
}

std::optional<Message> parse(std::span<const std::uint8_t> bytes, Project& p, const MappingAddressForm* form) {
    ArchiveReader rd(bytes);
    ObjectTags tags;
    p.deviceKind = rd.i32();

    FieldbusSettings fb;  // transient FIELDBUS record, then the project-wide texts
    tags.expect(rd, ObjectTags::Kind::Fieldbus, 0);
    readTexts(rd, fb, kFieldbusBody);

    auto records = std::make_unique<std::array<SubnetConfig, kSubnetCount>>();
    ConfigReadState st;
    for (int i = 0; i < kSubnetCount; ++i) {
        const int earlier = tags.expect(rd, ObjectTags::Kind::Config, i);
        if (earlier >= 0) {
            (*records)[static_cast<size_t>(i)] = (*records)[static_cast<size_t>(earlier)];
        } else {
            readConfigBody(rd, (*records)[static_cast<size_t>(i)], fb, st);
        }
    }
    p.fileVersion = st.version;
    p.flags = st.flags;

    // Take the records over.
    for (size_t k = 0; k < std::size(kFieldbusBody); ++k) p.fieldbus.*kFieldbusBody[k] = fb.*kFieldbusBody[k];
    for (auto m : kProjectWide) p.fieldbus.*m = fb.*m;
    p.fieldbus.profibusConfigMode.clear();
    p.fieldbus.profibusConfigData.clear();
    replaceText(p.fieldbus.profibusAddress, texts::OldAddressSettingUsingHardware, texts::AddressSettingUsingHardware);
    replaceText(p.fieldbus.profibusAddress, texts::OldEnterAddressValue, texts::EnterAddressValue);
    replaceText(p.fieldbus.compatibilityMode, texts::OldCompatibilityOpen, texts::Enable);
    replaceText(p.fieldbus.compatibilityMode, texts::OldCompatibilityClose, texts::Disable);
    replaceText(p.fieldbus.configurationMode, texts::OldViaConfigurationSoftware, texts::ViaKorvex);
    replaceText(p.fieldbus.configurationMode, texts::OldViaProfibusMaster, texts::ViaProfibusMasterSoftware);

    for (int i = 0; i < kSubnetCount; ++i) {
        SubnetConfig& c = p.subnet(i);
        c = (*records)[static_cast<size_t>(i)];
        for (auto& cmd : c.commands) {
            if (p.fileVersion < 600) {
                cmd.byteSwap = texts::NoSwap.str();
            } else {
                replaceText(cmd.byteSwap, texts::OldNoSwap, texts::NoSwap);
                replaceText(cmd.byteSwap, texts::OldDoubleByteSwap, texts::TwoBytesSwap);
                replaceText(cmd.byteSwap, texts::OldFourByteSwap, texts::FourBytesSwap);
            }
        }
        if (form) {
            for (std::int32_t k = 0; k < c.commandCount; ++k) {
                auto& command = c.commands[static_cast<size_t>(k)];
                command.mappingAddress = form->toShownAddress(command);
            }
        }
    }

    if (p.fileVersion > 245) {
        p.fieldbus.profibusConfigMode = rd.text();
        p.fieldbus.profibusConfigData = rd.text();
    }
    p.loadedFromFile = true;
    return std::nullopt;
}

}  // namespace

std::vector<std::uint8_t> projectFileBytes(const Project& p, const MappingAddressForm* form) {
    ArchiveWriter w;
    w.i32(p.deviceKind);
    w.u16(kNewClassTag);
    w.u16(kSchema);
    w.u16(static_cast<std::uint16_t>(kFieldbusClass.size()));
    w.raw(kFieldbusClass);
    writeTexts(w, p.fieldbus, kFieldbusBody);
    for (int i = 0; i < kSubnetCount; ++i) {
        if (i == 0) {
            w.u16(kNewClassTag);
            w.u16(kSchema);
            w.u16(static_cast<std::uint16_t>(kConfigClass.size()));
            w.raw(kConfigClass);
        } else {
            w.u16(kClassTagBit | 3);
        }
        if (form) {
            SubnetConfig copy = p.subnet(i);
            for (std::int32_t k = 0; k < copy.commandCount && k < kMaxCommands; ++k) {
                auto& command = copy.commands[static_cast<size_t>(k)];
                command.mappingAddress = form->toModuleAddress(command);
            }
            writeConfigBody(w, copy, p);
        } else {
            writeConfigBody(w, p.subnet(i), p);
        }
    }
    w.text(p.fieldbus.profibusConfigMode);
    w.text(p.fieldbus.profibusConfigData);
    return w.take();
}

std::optional<Message> readProject(std::span<const std::uint8_t> bytes, Project& out, const MappingAddressForm* form) {
    auto fresh = std::make_unique<Project>();
    try {
        if (auto err = parse(bytes, *fresh, form)) return err;
    } catch (const ArchiveFormatError&) {
        return Message{texts::UnexpectedFileFormat, {}};
    }
    fresh->modified = out.modified;
    out = std::move(*fresh);
    return std::nullopt;
}

std::optional<Message> writeProject(const std::string& path, Project& project, const MappingAddressForm* form) {
    const std::vector<std::uint8_t> bytes = projectFileBytes(project, form);
    // A file Open would refuse is not written at all.
    if (bytes.size() > kMaxProjectFileBytes)
        return Message{texts::ProjectTooLarge, {std::to_string(bytes.size()), std::to_string(kMaxProjectFileBytes)}};
    if (auto err = writeFileAtomically(path, bytes)) return err;
    project.fileVersion = kWrittenFileVersion;
    project.modified = false;
    return std::nullopt;
}

std::optional<Message> openProject(const std::string& path, Project& out, const MappingAddressForm* form) {
    std::vector<std::uint8_t> bytes;
    if (auto err = readWholeFile(path, bytes, kMaxProjectFileBytes)) return err;
    return readProject(bytes, out, form);
}

}  // namespace korvex
