#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/resource.h>

#include "kvx_bytes.h"
#include "model/file_io.h"
#include "model/kvx_file.h"
#include "model/texts.h"

namespace korvex {
namespace {

using testing::KvxBytes;
using Bytes = std::vector<std::uint8_t>;

std::unique_ptr<Project> newProject(int kind, bool withDefaultNode) {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p, kind);
    if (withDefaultNode) addDefaultNode(*p);
    return p;
}

// ---------------------------------------------------------------------------
// Writing: the bytes of a new project, written out item by item.

// The body of one SubnetConfig record of a new kind-3 project, version 700.
void newConfigBody(KvxBytes& b, bool withDefaultNode) {
    b.u32(700).text("Modbus Master");
    b.texts({"Address Setting Using Hardware", "Disable", "Via Korvex", "", "", "", ""});
    b.texts({"19200", "8", "None", "1", "RTU", "300", "0", "Change of Value", "-1", "10"});
    b.texts({"19200", "8", "None", "1", "", "RTU"});
    b.texts({"19200", "8", "None", "1", "Time Interval between Characters", "10", "111", "Disable", "1000",
             "Disable", "RS485", "RS232", "Disable"});
    b.texts({"300", "8", "None", "1"});
    b.u32(withDefaultNode ? 1 : 0).u32(withDefaultNode ? 2 : 0);
    b.texts({"", "", "0", "0"});
    if (withDefaultNode) {
        b.texts({"1", "Node-1"});
        b.texts({"1", "3", "0", "8", "0", "", "16", "Fullword", "CRC", "Fast Scan"}).u32(1).text("No Swap");
        b.texts({"1", "16", "0", "8", "4000", "", "16", "Fullword", "CRC", "Fast Scan"}).u32(1).text("No Swap");
    }
    for (int i = 0; i < 7; ++i) b.u32(0);
    b.u8(1);
    b.texts({"Disable", "Clear Data", "3"});
}

Bytes goldenNewProject() {
    KvxBytes b;
    b.u32(3).newClass("FIELDBUS");
    b.texts({"PROFIBUS", "0", "125K", "112", "112", "Manual Assign", "192.168.0.10", "255.255.255.0", "192.168.0.1",
             "0.0.0.0", "0.0.0.0"});
    b.newClass("CONFIG");
    newConfigBody(b, true);
    for (int i = 0; i < 3; ++i) {
        b.oldClass(3);
        newConfigBody(b, false);
    }
    b.texts({"Use bytes selection", ""});
    return b.bytes();
}

TEST(KvxWrite, NewProjectMatchesTheLayoutByteForByte) {
    auto p = newProject(3, true);
    const Bytes written = projectFileBytes(*p);
    const Bytes golden = goldenNewProject();
    ASSERT_EQ(written.size(), golden.size());
    for (size_t i = 0; i < golden.size(); ++i) ASSERT_EQ(written[i], golden[i]) << "first difference at byte " << i;
}

TEST(KvxWrite, FileStartsAsDocumented) {
    auto p = newProject(3, true);
    const Bytes written = projectFileBytes(*p);
    const Bytes start = {0x03, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x08, 0x00, 'F', 'I', 'E', 'L', 'D',
                         'B',  'U',  'S',  0x08, 'P',  'R',  'O',  'F',  'I',  'B',  'U', 'S', 0x01, '0',  0x04,
                         '1',  '2',  '5',  'K',  0x03, '1',  '1',  '2',  0x03, '1',  '1', '2', 0x0D};
    ASSERT_GE(written.size(), start.size());
    EXPECT_TRUE(std::equal(start.begin(), start.end(), written.begin()));
}

TEST(KvxWrite, SaveSetsVersionClearsModifiedAndKeepsFlagThroughTheOddFraming) {
    const auto dir = std::filesystem::temp_directory_path() / "korvex_kvx_save";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "p.kvx").string();
    auto p = newProject(3, true);
    p->modified = true;
    ASSERT_FALSE(writeProject(path, *p));
    EXPECT_EQ(p->fileVersion, 700u);
    EXPECT_FALSE(p->modified);

    for (bool flag : {true, false}) {
        p->flags.extendedSettingsFlag = flag;
        ASSERT_FALSE(writeProject(path, *p));
        auto back = std::make_unique<Project>();
        ASSERT_FALSE(openProject(path, *back));
        EXPECT_EQ(back->flags.extendedSettingsFlag, flag);
        EXPECT_FALSE(back->flags.legacyFlag233a || back->flags.legacyFlag233b || back->flags.legacyFlag243 ||
                     back->flags.legacyFlag244 || back->flags.legacyFlag245 || back->flags.legacyFlag246);
        EXPECT_EQ(back->subnet(0).inputFaultReset, "");  // the length byte inside the 29 bytes
        EXPECT_EQ(back->subnet(0).responseStatus, "Disable");
        EXPECT_EQ(back->subnet(0).retransmissionTimes, "3");
    }
    std::filesystem::remove_all(dir);
}

// ---------------------------------------------------------------------------
// Round trips for every kind.

TEST(KvxRoundTrip, EveryDeviceKindReadsBackAndRewritesIdentically) {
    for (int kind = 0; kind <= 6; ++kind) {
        SCOPED_TRACE(kind);
        auto p = newProject(kind, true);
        p->subnet(1).nodeCount = 1;
        p->subnet(1).nodes[0] = {"7", "Node-7"};
        p->fieldbus.reserved3 = "kept";
        const Bytes first = projectFileBytes(*p);
        auto back = std::make_unique<Project>();
        ASSERT_FALSE(readProject(first, *back));

        // What a reopened project differs in: version, flag, the unsaved fields and free entries.
        auto expected = newProject(kind, true);
        expected->subnet(1).nodeCount = 1;
        expected->subnet(1).nodes[0] = {"7", "Node-7"};
        expected->fieldbus.reserved3 = "kept";
        expected->fileVersion = 700;
        expected->loadedFromFile = true;
        for (auto& c : expected->subnets) {
            c.inputFaultReset.clear();
            c.legacyCommInterface.clear();
            for (auto i = static_cast<size_t>(c.nodeCount); i < c.nodes.size(); ++i) c.nodes[i] = {};
            for (auto i = static_cast<size_t>(c.commandCount); i < c.commands.size(); ++i) c.commands[i] = {};
        }
        EXPECT_EQ(back->deviceKind, expected->deviceKind);
        EXPECT_EQ(back->flags, expected->flags);
        EXPECT_EQ(back->fieldbus, expected->fieldbus);
        for (int s = 0; s < kSubnetCount; ++s) EXPECT_TRUE(back->subnet(s) == expected->subnet(s)) << "subnet " << s;
        EXPECT_EQ(back->fileVersion, 700u);
        EXPECT_TRUE(back->loadedFromFile);

        EXPECT_EQ(projectFileBytes(*back), first);
    }
}

TEST(KvxRoundTrip, LongTextsUseTheWiderLengthPrefixes) {
    auto p = newProject(3, true);
    const std::string medium(300, 'm');
    const std::string large(70000, 'L');
    p->subnet(0).nodes[0].name = medium;
    p->fieldbus.profibusConfigData = large;
    const Bytes bytes = projectFileBytes(*p);
    auto back = std::make_unique<Project>();
    ASSERT_FALSE(readProject(bytes, *back));
    EXPECT_EQ(back->subnet(0).nodes[0].name, medium);
    EXPECT_EQ(back->fieldbus.profibusConfigData, large);
    // 300 characters: FF then u16 300; 70000: FF FF FF then u32 70000, at the very end of the file.
    const Bytes tail(bytes.end() - static_cast<long>(large.size()) - 7, bytes.end() - static_cast<long>(large.size()));
    EXPECT_EQ(tail, (Bytes{0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}));
}

TEST(KvxRoundTrip, EveryByteOfAUserTextSurvives) {
    auto p = newProject(3, true);
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    p->subnet(0).nodes[0].name = all;
    auto back = std::make_unique<Project>();
    ASSERT_FALSE(readProject(projectFileBytes(*p), *back));
    EXPECT_EQ(back->subnet(0).nodes[0].name, all);
}

// ---------------------------------------------------------------------------
// Reading older versions. Each fixture is built from the read table for its
// version; the values differ from the defaults so that defaults are visible.

struct OldRecord {
    std::uint32_t version;
    std::uint32_t flag233a = 0, flag233b = 0, flag243 = 0, flag244 = 0, flag245 = 0, flag246 = 0, extended = 0;
    std::string byteSwap = "double-byte swap";
};

void oldConfigBody(KvxBytes& b, const OldRecord& r, bool withNode) {
    const auto v = r.version;
    b.u32(v).text("Modbus Master");
    if (v >= 700) b.texts({"Enter address value", "Open", "Configuration software configuration via PROFIBUS master", "r1", "", "", ""});
    b.texts({"9600", "8", "Even", "2", "ASCII", "1000", "20", "Cycle", "-1", "5"});
    b.texts({"9600", "8", "Odd", "1", "12", "RTU"});
    b.texts({"4800", "8", "None", "1", "Frame Length", "10", "42", "Enable", "500", "Enable", "RS232", "RS485", "Enable"});
    b.texts({"1200", "8", "Mark", "2"});
    b.u32(withNode ? 1 : 0).u32(withNode ? 1 : 0);
    if (v >= 500) b.texts({"S", "E", "15", "25"});
    if (withNode) {
        b.texts({"12", "Pump"});
        b.texts({"12", "4", "100", "2", "1a", "", "4", "High byte", "LRC", "Slow Scan"}).u32(1);
        if (v >= 600) b.text(r.byteSwap);
    }
    if (v >= 233) b.u32(r.flag233a).u32(r.flag233b);
    if (v >= 243) b.u32(r.flag243);
    if (v >= 244) b.u32(r.flag244).text("Disable");
    if (v >= 245) b.u32(r.flag245);
    if (v >= 246) b.u32(r.flag246);
    if (v >= 300) b.u32(r.extended).texts({"Bytes2", "Hold  Data", "9"});
}

Bytes oldFile(const OldRecord& first, const OldRecord& others) {
    KvxBytes b;
    b.u32(1).newClass("FIELDBUS");
    b.texts({"PROFIBUS", "5", "250K", "64", "32", "DHCP", "10.0.0.2", "255.0.0.0", "10.0.0.1", "1.1.1.1", "8.8.8.8"});
    b.newClass("CONFIG");
    oldConfigBody(b, first, true);
    for (int i = 0; i < 3; ++i) {
        b.oldClass(3);
        oldConfigBody(b, others, false);
    }
    if (others.version > 245) b.texts({"Input configuration data", "D1 E1"});
    return b.bytes();
}

struct VersionCase {
    const char* name;
    OldRecord record;
    VariantFlags flags;
    const char* charIntervalSend;
    const char* byteSwap;
    const char* inputFaultReset;
    const char* responseStatus;
    const char* profibusConfigMode;
};

TEST(KvxReadOlderVersions, DefaultsAndFlagsByVersion) {
    const VersionCase cases[] = {
        {"v232_has_no_flags_no_intervals_no_swap",
         {232, 1, 1, 1, 1, 1, 1, 1},
         {false, false, false, false, false, false, false}, "0", "No Swap", "", "", ""},
        {"v244_reads_flags_to_244_and_input_fault_reset",
         {244, 1, 0, 1, 1, 1, 1, 1},
         {false, true, false, true, true, false, false}, "0", "No Swap", "Disable", "", ""},
        {"v246_has_trailing_texts",
         {246, 0, 1, 0, 0, 1, 1, 1},
         {false, false, true, false, false, true, true}, "0", "No Swap", "Disable", "", "Input configuration data"},
        {"v300_reads_extended_flag_and_status_texts",
         {300, 0, 0, 0, 0, 0, 0, 1},
         {true, false, false, false, false, false, false}, "0", "No Swap", "Disable", "Bytes2", "Input configuration data"},
        {"v500_reads_intervals",
         {500, 0, 0, 0, 0, 0, 0, 1},
         {true, false, false, false, false, false, false}, "15", "No Swap", "Disable", "Bytes2", "Input configuration data"},
        {"v600_reads_byte_swap_and_renames_it",
         {600, 0, 0, 0, 0, 0, 0, 1},
         {true, false, false, false, false, false, false}, "15", "Two Bytes Swap", "Disable", "Bytes2", "Input configuration data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = std::make_unique<Project>();
        const auto err = readProject(oldFile(c.record, c.record), *p);
        ASSERT_FALSE(err) << err->text();
        EXPECT_EQ(p->fileVersion, c.record.version);
        EXPECT_EQ(p->flags, c.flags);
        EXPECT_EQ(p->deviceKind, 1);
        const SubnetConfig& s1 = p->subnet(0);
        EXPECT_EQ(s1.charIntervalSend, c.charIntervalSend);
        EXPECT_EQ(s1.commands[0].byteSwap, c.byteSwap);
        EXPECT_EQ(s1.inputFaultReset, c.inputFaultReset);
        EXPECT_EQ(s1.responseStatus, c.responseStatus);
        EXPECT_EQ(p->fieldbus.profibusConfigMode, c.profibusConfigMode);
        // Items every version has.
        EXPECT_EQ(s1.masterBaudRate, "9600");
        EXPECT_EQ(s1.slaveAddress, "12");
        EXPECT_EQ(s1.customParity, "Mark");
        EXPECT_EQ(s1.nodes[0], (SlaveNode{"12", "Pump"}));
        EXPECT_EQ(s1.commands[0].mappingAddress, "1a");
        EXPECT_EQ(s1.commands[0].nodeIndex, 1);
        EXPECT_EQ(s1.nodes[1], (SlaveNode{}));
        EXPECT_EQ(p->fieldbus.ipAddress, "10.0.0.2");
        EXPECT_EQ(p->fieldbus.dns2, "8.8.8.8");
        // Project-wide texts are defaults before version 700.
        EXPECT_EQ(p->fieldbus.profibusAddress, "Address Setting Using Hardware");
        EXPECT_EQ(p->fieldbus.compatibilityMode, "Disable");
        EXPECT_EQ(p->fieldbus.configurationMode, "Via Korvex");
        EXPECT_TRUE(p->loadedFromFile);
    }
}

TEST(KvxReadOlderVersions, Version232LeavesProfibusConfigEmpty) {
    auto p = std::make_unique<Project>();
    ASSERT_FALSE(readProject(oldFile({232}, {232}), *p));
    EXPECT_EQ(p->fieldbus.profibusConfigMode, "");
    EXPECT_EQ(p->fieldbus.profibusConfigData, "");
    EXPECT_EQ(p->subnet(0).startCharacter, "");
    EXPECT_EQ(p->subnet(0).charIntervalReceive, "0");
}

TEST(KvxReadOlderVersions, TheLastRecordsFlagsRemain) {
    OldRecord first{300, 1, 1, 1, 1, 1, 1, 1};
    OldRecord last{300, 0, 0, 0, 0, 0, 0, 0};
    auto p = std::make_unique<Project>();
    ASSERT_FALSE(readProject(oldFile(first, last), *p));
    EXPECT_EQ(p->flags, (VariantFlags{false, false, false, false, false, false, false}));
    ASSERT_FALSE(readProject(oldFile(last, first), *p));
    EXPECT_EQ(p->flags, (VariantFlags{true, true, true, true, true, true, true}));
}

TEST(KvxReadOlderVersions, OldTextsAreReplacedExactly) {
    auto p = std::make_unique<Project>();
    ASSERT_FALSE(readProject(oldFile({700}, {700}), *p));
    EXPECT_EQ(p->fieldbus.profibusAddress, "Enter Address Value");
    EXPECT_EQ(p->fieldbus.compatibilityMode, "Enable");
    EXPECT_EQ(p->fieldbus.configurationMode, "Via the Configuration Software of PROFIBUS DP Master");
    EXPECT_EQ(p->fieldbus.reserved1, "r1");

    const std::pair<const char*, const char*> swaps[] = {
        {"no swap", "No Swap"},
        {"double-byte swap", "Two Bytes Swap"},
        {"four-byte swap", "Four Bytes Swap"},
        {"Four-byte swap", "Four-byte swap"},  // comparisons are case-sensitive
        {"Custom", "Custom"},
    };
    for (const auto& [stored, shown] : swaps) {
        OldRecord r{600};
        r.byteSwap = stored;
        ASSERT_FALSE(readProject(oldFile(r, r), *p));
        EXPECT_EQ(p->subnet(0).commands[0].byteSwap, shown) << stored;
    }
}

TEST(KvxRead, Utf16TextsAreConvertedToTheCodePage) {
    auto p = newProject(3, true);
    const Bytes normal = projectFileBytes(*p);
    // Replace the FIELDBUS protocol type "PROFIBUS" (at offset 18) by a UTF-16 text.
    KvxBytes b;
    b.raw(std::string_view(reinterpret_cast<const char*>(normal.data()), 18));
    b.u8(0xFF).u16(0xFFFE).u8(5);
    for (char16_t ch : std::u16string(u"P\u00e9\u20ac\u4e2dZ")) b.u16(ch);
    const size_t skip = 18 + 1 + 8;
    b.raw(std::string_view(reinterpret_cast<const char*>(normal.data()) + skip, normal.size() - skip));
    auto back = std::make_unique<Project>();
    ASSERT_FALSE(readProject(b.bytes(), *back));
    EXPECT_EQ(back->fieldbus.protocolType, "P\xE9\x80?Z");
}

TEST(KvxRead, ABackReferenceToAnEarlierRecordCopiesIt) {
    auto p = newProject(3, true);
    Bytes bytes = projectFileBytes(*p);
    // Object numbers: "FIELDBUS" class 1, its object 2, "CONFIG" class 3, first "CONFIG" object 4.
    // Cut after subnet 1 and refer to object 4 three times.
    auto again = std::make_unique<Project>();
    ASSERT_FALSE(readProject(bytes, *again));
    const Bytes subnet2Tag = {0x03, 0x80};
    auto it = std::search(bytes.begin(), bytes.end(), subnet2Tag.begin(), subnet2Tag.end());
    ASSERT_NE(it, bytes.end());
    Bytes edited(bytes.begin(), it);
    KvxBytes tail;
    tail.u16(4).u16(4).u16(4).texts({"Use bytes selection", ""});
    edited.insert(edited.end(), tail.bytes().begin(), tail.bytes().end());
    auto back = std::make_unique<Project>();
    ASSERT_FALSE(readProject(edited, *back));
    EXPECT_EQ(back->subnet(3).nodeCount, 1);
    EXPECT_EQ(back->subnet(3).commands[1].mappingAddress, "4000");
}

// ---------------------------------------------------------------------------
// Refused input.

Bytes replaceAt(Bytes b, size_t at, std::initializer_list<std::uint8_t> with) {
    std::copy(with.begin(), with.end(), b.begin() + static_cast<long>(at));
    return b;
}

TEST(KvxReadErrors, MalformedFilesAreRefusedAndLeaveTheProjectAlone) {
    auto p = newProject(3, true);
    const Bytes good = projectFileBytes(*p);
    const size_t configTag = 4 + 6 + 8 + 9 + 2 + 5 + 4 + 4 + 14 + 13 + 14 + 12 + 8 + 8;  // after FIELDBUS body
    ASSERT_EQ(good[configTag], 0xFF);
    ASSERT_EQ(good[configTag + 6], 'C');
    const size_t counts = [&] {
        KvxBytes b;
        b.u32(700).text("Modbus Master");
        b.texts({"Address Setting Using Hardware", "Disable", "Via Korvex", "", "", "", ""});
        b.texts({"19200", "8", "None", "1", "RTU", "300", "0", "Change of Value", "-1", "10"});
        b.texts({"19200", "8", "None", "1", "", "RTU"});
        b.texts({"19200", "8", "None", "1", "Time Interval between Characters", "10", "111", "Disable", "1000",
                 "Disable", "RS485", "RS232", "Disable"});
        b.texts({"300", "8", "None", "1"});
        return configTag + 12 + b.size();
    }();
    ASSERT_EQ(good[counts], 1);  // nodeCount of subnet 1

    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"no_fieldbus_tag", Bytes(good.begin(), good.begin() + 4)},
        {"fieldbus_tag_wrong_name", replaceAt(good, 10, {'X'})},
        {"fieldbus_schema_2", replaceAt(good, 6, {2})},
        {"config_in_place_of_fieldbus", replaceAt(good, 4, {0x01, 0x80})},
        {"null_object", replaceAt(good, configTag, {0x00, 0x00})},
        {"fieldbus_class_for_config", replaceAt(good, configTag, {0x01, 0x80})},
        {"unknown_class_number", replaceAt(good, configTag, {0x07, 0x80})},
        {"reference_to_fieldbus_object", replaceAt(good, configTag, {0x02, 0x00})},
        {"reference_to_unread_object", replaceAt(good, configTag, {0x09, 0x00})},
        {"node_count_129", replaceAt(good, counts, {129, 0, 0, 0})},
        {"node_count_negative", replaceAt(good, counts, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"command_count_101", replaceAt(good, counts + 4, {101, 0, 0, 0})},
        {"text_longer_than_file", replaceAt(good, 18, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x10})},
        {"sixty_four_bit_length", replaceAt(good, 18, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"missing_trailing_texts", Bytes(good.begin(), good.end() - 21)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        auto target = newProject(5, false);
        target->modified = true;
        const auto before = projectFileBytes(*target);
        const auto err = readProject(bytes, *target);
        ASSERT_TRUE(err);
        EXPECT_EQ(err->id, texts::UnexpectedFileFormat);
        EXPECT_EQ(err->text(), "Unexpected file format.");
        EXPECT_EQ(projectFileBytes(*target), before);
        EXPECT_EQ(target->deviceKind, 5);
        EXPECT_TRUE(target->modified);
    }
}

TEST(KvxReadErrors, EveryTruncationIsRefused) {
    auto p = newProject(3, true);
    const Bytes good = projectFileBytes(*p);
    for (size_t n = 0; n < good.size(); ++n) {
        auto target = std::make_unique<Project>();
        const auto err = readProject(std::span(good.data(), n), *target);
        ASSERT_TRUE(err) << "accepted a file cut to " << n << " bytes";
        ASSERT_EQ(err->id, texts::UnexpectedFileFormat);
    }
}

TEST(KvxReadErrors, OpenKeepsModifiedAndSetsLoadedFromFile) {
    auto p = newProject(3, true);
    auto target = newProject(3, false);
    target->modified = true;
    ASSERT_FALSE(readProject(projectFileBytes(*p), *target));
    EXPECT_TRUE(target->modified);
    EXPECT_TRUE(target->loadedFromFile);
}

// ---------------------------------------------------------------------------
// File-level failures name the path; a failed save keeps the previous file.

class KvxFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("korvex_kvx_files_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }
    std::filesystem::path dir_;
};

TEST_F(KvxFiles, OpenErrorsNameThePath) {
    auto p = std::make_unique<Project>();
    const std::string missing = path("missing.kvx");
    auto err = openProject(missing, *p);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text(), missing + " was not found.");

    err = openProject(dir_.string(), *p);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text(), dir_.string() + " names a folder, not a file.");
}

// Save refuses a project whose file Open would refuse for its size; a file of
// exactly the largest size is written and opens again.
TEST_F(KvxFiles, AProjectTooLargeToOpenAgainIsNotSaved) {
    auto p = newProject(3, true);
    p->subnet(0).nodes[0].name = std::string(70000, 'n');  // past the short length prefixes
    const size_t base = projectFileBytes(*p).size();
    p->subnet(0).nodes[0].name.resize(70000 + kMaxProjectFileBytes - base, 'n');
    ASSERT_EQ(projectFileBytes(*p).size(), kMaxProjectFileBytes);

    const std::string target = path("big.kvx");
    p->subnet(0).nodes[0].name += 'n';
    p->modified = true;
    auto err = writeProject(target, *p);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text(), "The project was not saved: its file would take 67108865 bytes, more than the 67108864 "
                           "bytes a project file may hold.");
    EXPECT_TRUE(p->modified);
    EXPECT_FALSE(std::filesystem::exists(target));

    p->subnet(0).nodes[0].name.pop_back();
    ASSERT_FALSE(writeProject(target, *p));
    EXPECT_EQ(std::filesystem::file_size(target), kMaxProjectFileBytes);
    auto back = std::make_unique<Project>();
    ASSERT_FALSE(openProject(target, *back));
    EXPECT_EQ(back->subnet(0).nodes[0].name.size(), p->subnet(0).nodes[0].name.size());
}

TEST_F(KvxFiles, SaveIntoAMissingFolderNamesThePath) {
    auto p = newProject(3, true);
    p->modified = true;
    const std::string target = path("no/such/folder/p.kvx");
    const auto err = writeProject(target, *p);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text(), target + " was not found.");
    EXPECT_TRUE(p->modified);
}

TEST_F(KvxFiles, AFailedSaveLeavesThePreviousFileIntact) {
    const std::string target = path("keep.kvx");
    auto small = newProject(3, true);
    ASSERT_FALSE(writeProject(target, *small));
    std::ifstream in(target, std::ios::binary);
    const Bytes before((std::istreambuf_iterator<char>(in)), {});

    // Make the next write fail half-way: a file-size limit below the new size.
    auto big = newProject(3, true);
    big->subnet(0).nodes[0].name = std::string(5000, 'x');
    big->modified = true;
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit low = old;
    low.rlim_cur = 2048;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
    const auto err = writeProject(target, *big);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_TRUE(err);
    EXPECT_EQ(err->id, texts::FailedToSaveDocument);
    EXPECT_TRUE(big->modified);
    std::ifstream again(target, std::ios::binary);
    const Bytes after((std::istreambuf_iterator<char>(again)), {});
    EXPECT_EQ(after, before);
    // No temporary file is left behind.
    size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) files += e.is_regular_file();
    EXPECT_EQ(files, 1u);
}

}  // namespace
}  // namespace korvex
