// Which cells open which editor, and what each commit stores and says.
#include <gtest/gtest.h>

#include "editor_test_support.h"

namespace korvex {
namespace {

using test::Editor;
using test::keys;
using test::newProject;

const char* kReadCmd = "Subnet/Node-1/Read Holding Registers";
const char* kWriteCmd = "Subnet/Node-1/Preset Multiple Registers";

// ---- Range-checked subnet rows ----

struct RangeCase {
    const char* name;
    const char* mode;  // subnet 1 protocol
    int row;
    const char* input;
    std::string SubnetConfig::*field;
    const char* stored;   // the field afterwards
    std::vector<std::string> shown;
};

TEST(SubnetEdit, RangeCheckedRows) {
    const RangeCase cases[] = {
        {"timeout_leading_zero_kept", "Modbus Master", 7, "0500", &SubnetConfig::responseTimeout, "0500", {}},
        {"timeout_illegal", "Modbus Master", 7, "5e2", &SubnetConfig::responseTimeout, "300", keys({"IllegalCharacters"})},
        {"timeout_out_of_range", "Modbus Master", 7, "70000", &SubnetConfig::responseTimeout, "300", keys({"ValueOutOfRange"})},
        {"timeout_empty_silent", "Modbus Master", 7, "", &SubnetConfig::responseTimeout, "300", {}},
        {"timeout_lower_bound", "Modbus Master", 7, "5", &SubnetConfig::responseTimeout, "5", {}},
        {"poll_delay", "Modbus Master", 8, "2500", &SubnetConfig::pollDelay, "2500", {}},
        {"poll_delay_above", "Modbus Master", 8, "2501", &SubnetConfig::pollDelay, "0", keys({"ValueOutOfRange"})},
        {"scan_rate_zero", "Modbus Master", 11, "0", &SubnetConfig::scanRate, "10", keys({"ValueOutOfRange"})},
        {"scan_rate", "Modbus Master", 11, "255", &SubnetConfig::scanRate, "255", {}},
        {"slave_address", "Modbus Slave", 5, "247", &SubnetConfig::slaveAddress, "247", {}},
        {"slave_address_zero", "Modbus Slave", 5, "0", &SubnetConfig::slaveAddress, "", keys({"ValueOutOfRange"})},
        {"send_interval", "Modbus Master", 20, "6000", &SubnetConfig::charIntervalSend, "6000", {}},
        {"receive_interval", "Modbus Master", 21, "6001", &SubnetConfig::charIntervalReceive, "0", keys({"ValueOutOfRange"})},
        {"char_interval", "User Config", 13, "9", &SubnetConfig::charInterval, "10", keys({"ValueOutOfRange"})},
        {"char_interval_ok", "User Config", 13, "60000", &SubnetConfig::charInterval, "60000", {}},
        {"period", "User Config", 16, "10", &SubnetConfig::autoSendPeriod, "10", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newProject(3);
        p->subnet(0).protocolMode = c.mode;
        p->subnet(0).autoSending = "Enable";
        const std::string before = p->subnet(0).*(c.field);
        Editor e(std::move(p));
        EXPECT_EQ(e.edit("Subnet", c.row, c.input), c.shown);
        EXPECT_EQ(e.project->subnet(0).*(c.field), c.stored);
        EXPECT_EQ(e.value(c.row), c.stored);  // the cell shows the model value
        EXPECT_EQ(e.project->modified, before != c.stored);  // set only when the value changed
        EXPECT_EQ(e.s().editor().kind, EditorKind::None);
    }
}

TEST(SubnetEdit, FrameLength243RefusedWhileEffectiveLengthEnabled) {
    for (const char* prefix : {"Enable", "Disable"}) {
        auto p = newProject(3);
        p->subnet(0).protocolMode = "User Config";
        p->subnet(0).frameType = "Frame Length";
        p->subnet(0).inputLengthPrefix = prefix;
        Editor e(std::move(p));
        EXPECT_TRUE(e.edit("Subnet", 14, "243").empty());
        EXPECT_EQ(e.project->subnet(0).frameLength, std::string(prefix) == "Enable" ? "111" : "243");
    }
}

TEST(SubnetEdit, OutputPulse) {
    struct Case {
        const char* input;
        const char* stored;
        const char* cell;
    };
    const Case cases[] = {
        {"200", "200", "200"}, {"2500ms", "2500ms", "2500ms"}, {"199", "-1", ""}, {"x", "-1", ""}, {"", "-1", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        auto p = newProject(3);
        p->subnet(0).outputMode = "Pluse output";
        Editor e(std::move(p));
        EXPECT_TRUE(e.edit("Subnet", 10, c.input).empty());
        EXPECT_EQ(e.project->subnet(0).outputPulse, c.stored);
        EXPECT_EQ(e.value(10), c.cell);
        EXPECT_EQ(e.project->modified, std::string(c.stored) != "-1");
    }
}

TEST(SubnetEdit, Legacy244RowsTakeAnyText) {
    auto p = newProject(1);
    p->flags.legacyFlag244 = true;
    p->subnet(0).protocolMode = "User Config";
    Editor e(std::move(p));
    const std::pair<int, std::string SubnetConfig::*> rows[] = {{13, &SubnetConfig::charInterval}, {15, &SubnetConfig::startCharacter},
                                                          {16, &SubnetConfig::stopCharacter}, {18, &SubnetConfig::autoSendPeriod}};
    for (const auto& [row, field] : rows) {
        EXPECT_TRUE(e.edit("Subnet", row, "abc").empty());
        EXPECT_EQ(e.project->subnet(0).*field, "abc") << row;
    }
}

// ---- Node address ----

TEST(NodeEdit, Address) {
    struct Case {
        const char* name;
        const char* input;
        std::vector<std::string> shown;
        const char* address;       // node 2 afterwards
        const char* nodeName;      // node 2 afterwards
        const char* commandSlave;  // its command's slaveAddress
        const char* cell;
    };
    const Case cases[] = {
        {"valid", "12", {}, "12", "Node-12", "12", "12"},
        {"duplicate", "1", keys({"NodeRepetitive"}), "7", "Node-7", "7", "7"},
        {"same_as_own", "7", {}, "7", "Node-7", "7", "7"},
        {"zero", "0", keys({"SlaveAddressRange"}), "7", "Node-7", "7", "7"},
        {"too_big", "248", keys({"SlaveAddressRange"}), "7", "Node-7", "7", "7"},
        {"empty", "", keys({"SlaveAddressRange"}), "7", "Node-7", "7", "7"},
        {"letters", "ab", keys({"SlaveAddressRange"}), "7", "Node-7", "7", "7"},
        {"leading_zero_invalidates", "05", {}, "-1", "Node-7", "-1", ""},
        {"trailing_text_invalidates", "5x", {}, "-1", "Node-7", "-1", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newProject(3);
        test::addNodeTo(*p, 0, "7");
        test::addCommandTo(*p, 0, 2, "1");
        Editor e(std::move(p));
        EXPECT_EQ(e.edit("Subnet/Node-7", 0, c.input), c.shown);
        const SubnetConfig& s = e.project->subnet(0);
        EXPECT_EQ(s.nodes[1].address, c.address);
        EXPECT_EQ(s.nodes[1].name, c.nodeName);
        EXPECT_EQ(s.commands[2].slaveAddress, c.commandSlave);
        EXPECT_EQ(s.commands[0].slaveAddress, "1");
        EXPECT_EQ(e.value(0), c.cell);
        EXPECT_EQ(e.s().tree()[1].children[1].text, c.nodeName);
        EXPECT_EQ(e.project->modified, std::string(c.address) != "7");
    }
}

// A name the user gave stays when the address changes; only a default name
// ("New Node", or "Node-" and the old address) follows the address.
TEST(NodeEdit, NameFollowsTheAddressOnlyWhileItIsADefault) {
    struct Case {
        const char* name;
        const char* before;  // node 2's name; its address is 7
        const char* after;   // after typing 12
    };
    const Case cases[] = {
        {"user_name_kept", "Flow meter FT-101", "Flow meter FT-101"},
        {"default_name_follows", "Node-7", "Node-12"},
        {"new_node_name_follows", "New Node", "Node-12"},
        {"name_of_another_address_kept", "Node-9", "Node-9"},
        {"bare_prefix_kept", "Node-", "Node-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newProject(3);
        test::addNodeTo(*p, 0, "7");
        p->subnet(0).nodes[1].name = c.before;
        test::addCommandTo(*p, 0, 2, "1");
        Editor e(std::move(p));
        EXPECT_TRUE(e.edit(std::string("Subnet/") + c.before, 0, "12").empty());
        const SubnetConfig& s = e.project->subnet(0);
        EXPECT_EQ(s.nodes[1].address, "12");
        EXPECT_EQ(s.nodes[1].name, c.after);
        EXPECT_EQ(s.commands[2].slaveAddress, "12");  // the commands follow the address either way
        EXPECT_EQ(e.s().tree()[1].children[1].text, c.after);
    }
}

TEST(NodeEdit, RenamedInTheTreeThenReaddressedKeepsItsName) {
    Editor e(3);
    e.s().renameNode(e.path("Subnet/Node-1"), "Flow meter FT-101");
    EXPECT_TRUE(e.edit("Subnet/Flow meter FT-101", 0, "2").empty());
    EXPECT_EQ(e.project->subnet(0).nodes[0].name, "Flow meter FT-101");
    EXPECT_EQ(e.project->subnet(0).nodes[0].address, "2");
    EXPECT_EQ(e.treeLines()[2], "  Flow meter FT-101:1");
}

TEST(NodeEdit, NewNodeGetsItsNameFromTheAddress) {
    Editor e(3);
    e.select("Subnet");
    e.s().addNode();
    EXPECT_TRUE(e.edit("Subnet/New Node", 0, "5").empty());
    EXPECT_EQ(e.s().tree()[1].children[1].text, "Node-5");
    EXPECT_EQ(e.s().tree()[1].children[1].data, 2);
    // Another node with 5 is refused.
    e.select("Subnet");
    e.s().addNode();
    EXPECT_EQ(e.edit("Subnet/New Node", 0, "5"), keys({"NodeRepetitive"}));
}

// ---- Command rows ----

TEST(CommandEdit, StartingAddress) {
    struct Case {
        const char* name;
        const char* item;
        const char* input;
        std::deque<Answer> answers;
        std::vector<std::string> shown;
        const char* stored;
    };
    const Case cases[] = {
        {"plain", kReadCmd, "100", {}, {}, "100"},
        {"max", kReadCmd, "65535", {}, {}, "65535"},
        {"too_big", kReadCmd, "65536", {}, {}, "0"},
        {"not_canonical", kReadCmd, "0100", {}, {}, "0"},
        {"empty", kReadCmd, "", {}, {}, "0"},
        {"plc_fc3_ok", kReadCmd, "40001", {}, keys({"ConvertPlcAddressQuestion"}), "0"},
        {"plc_fc3_cancel", kReadCmd, "40001", {Answer::Cancel}, keys({"ConvertPlcAddressQuestion"}), "40001"},
        {"plc_fc16", kWriteCmd, "40100", {}, keys({"ConvertPlcAddressQuestion"}), "99"},
        {"fc3_40000_no_question", kReadCmd, "40000", {}, {}, "40000"},
        {"fc3_50000_no_question", kReadCmd, "50000", {}, {}, "50000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Editor e(newProject(3), c.answers);
        EXPECT_EQ(e.edit(c.item, 2, c.input), c.shown);
        const int k = std::string(c.item) == kReadCmd ? 0 : 1;
        EXPECT_EQ(e.project->subnet(0).commands[static_cast<size_t>(k)].startAddress, c.stored);
        EXPECT_EQ(e.value(2), c.stored);
    }
}

TEST(CommandEdit, StartingAddressPlcRangesPerFunctionCode) {
    struct Case {
        const char* fc;
        const char* input;
        const char* converted;  // nullptr: no question
    };
    const Case cases[] = {
        {"1", "1", "0"},          {"1", "9999", "9998"},   {"1", "10000", nullptr}, {"5", "5", "4"},
        {"15", "0", nullptr},     {"2", "10001", "0"},     {"2", "10000", nullptr}, {"2", "19999", "9998"},
        {"4", "30001", "0"},      {"4", "40001", nullptr}, {"3", "49999", "9998"},  {"6", "40002", "1"},
        {"16", "30001", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fc) + " " + c.input);
        auto p = newProject(3, false);
        test::addNodeTo(*p, 0, "1");
        test::addCommandTo(*p, 0, 1, c.fc);
        Editor e(std::move(p));
        e.s().selectItem({1, 0, 0});
        e.s().clickCell(2, 1);
        e.s().commitEdit(c.input);
        EXPECT_EQ(e.op.shown().size(), c.converted ? 1u : 0u);
        EXPECT_EQ(e.project->subnet(0).commands[0].startAddress, c.converted ? c.converted : c.input);
    }
}

TEST(CommandEdit, NumberOfData) {
    struct Case {
        const char* name;
        int kind;
        const char* fc;
        const char* map;
        const char* input;
        std::vector<std::string> shown;
        const char* count;
        const char* bytes;
    };
    const Case cases[] = {
        {"reg_122_at_0", 3, "3", "0", "122", {}, "122", "244"},
        {"reg_123", 3, "3", "0", "123", keys({"DataOutOfBounds"}), "8", "16"},
        {"reg_122_at_2", 3, "3", "2", "122", keys({"DataOutOfBounds"}), "8", "16"},
        {"reg_121_at_2", 3, "3", "2", "121", {}, "121", "242"},
        {"reg_zero", 3, "3", "0", "0", {}, "8", "16"},
        {"reg_not_canonical", 3, "3", "0", "010", {}, "8", "16"},
        {"reg_kind0_36", 0, "4", "0", "36", {}, "36", "72"},
        {"reg_kind0_37", 0, "4", "0", "37", {}, "8", "16"},
        {"reg_kind2_127", 2, "3", "0", "127", keys({"DataOutOfBounds"}), "8", "16"},
        {"write_reg_122_at_4000", 3, "16", "4000", "122", {}, "122", "244"},
        {"write_reg_123_at_4000", 3, "16", "4000", "123", keys({"DataOutOfBounds"}), "8", "16"},
        {"bits_400", 3, "1", "0", "400", {}, "400", "50"},
        {"bits_401", 3, "1", "0", "401", {}, "8", "16"},
        {"bits_9", 3, "2", "0", "9", {}, "9", "2"},
        // After "Data out of bounds!" the previous count is taken again and its bytes stored.
        {"bits_kind2_2000_area", 2, "1", "0", "1953", keys({"DataOutOfBounds"}), "8", "1"},
        {"bits_kind2_1952", 2, "1", "0", "1952", {}, "1952", "244"},
        {"bits_area_end", 3, "15", "40f0", "32", {}, "32", "4"},
        {"bits_area_over", 3, "15", "40f0", "33", keys({"DataOutOfBounds"}), "8", "1"},
        {"single_coil", 3, "5", "0", "7", {}, "1", "16"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newProject(c.kind, false);
        test::addNodeTo(*p, 0, "1");
        test::addCommandTo(*p, 0, 1, c.fc, c.map);
        Editor e(std::move(p));
        e.s().selectItem({e.project->deviceKind == 2 ? 0 : 1, 0, 0});
        e.s().clickCell(3, 1);
        if (std::string(c.fc) == "5") {
            EXPECT_EQ(e.s().editor().kind, EditorKind::None);  // not editable for 5 and 6
            continue;
        }
        e.s().commitEdit(c.input);
        EXPECT_EQ(e.op.shownKeys(), c.shown);
        EXPECT_EQ(e.project->subnet(0).commands[0].dataCount, c.count);
        EXPECT_EQ(e.project->subnet(0).commands[0].byteCount, c.bytes);
        EXPECT_EQ(e.value(3), c.count);
    }
}

TEST(CommandEdit, MappingAddress) {
    struct Case {
        const char* name;
        int kind;
        const char* fc;
        const char* input;
        std::vector<std::string> shown;
        const char* stored;
    };
    const Case cases[] = {
        {"upper_case", 3, "16", "A0", {}, "a0"},
        {"h_suffix", 3, "16", "a0H", {}, "a0"},
        {"input_suffix_write", 3, "16", "a0(input)", {}, "a0"},
        {"leading_zeros", 3, "16", "00a0", {}, "4000"},
        {"input_suffix_read", 3, "3", "a0(input)", {}, "0"},
        {"above_40f3_becomes_40ff", 3, "6", "4100", keys({"DataOutOfBounds"}), "4000"},
        {"read_end_at_limit", 3, "3", "e4", {}, "e4"},
        {"read_end_past_limit", 3, "3", "e5", keys({"DataOutOfBounds"}), "0"},
        {"read_in_output_area", 3, "3", "4000", keys({"DataOutOfBounds"}), "0"},
        {"write_output_end", 3, "16", "40e4", {}, "40e4"},
        {"write_input_area_end", 3, "16", "e4", {}, "e4"},
        {"write_gap", 3, "16", "f0", keys({"DataOutOfBounds"}), "4000"},
        {"empty", 3, "16", "", {}, "4000"},
        {"garbage", 3, "16", "zz", {}, "4000"},
        {"kind0_read_min", 0, "3", "2", {}, "2"},
        {"kind0_read_below", 0, "3", "1", {}, "0"},
        {"kind0_write_keeps_suffix", 0, "16", "4010h", {}, "4010h"},
        {"kind0_write_above", 0, "16", "4070", {}, "4000"},
        {"kind4_read", 4, "3", "e4", {}, "e4"},
        {"kind4_write_low", 4, "16", "1f0", {}, "1f0"},
        {"kind4_write_keeps_input_suffix", 4, "16", "10(input)", {}, "10(input)"},
        // The area pre-check holds for every kind, so it refuses first.
        {"kind4_read_past_precheck", 4, "3", "1ff", keys({"DataOutOfBounds"}), "0"},
        {"kind2_write_past_precheck", 2, "16", "4bff", keys({"DataOutOfBounds"}), "4000"},
        {"kind2_write", 2, "16", "40e0", {}, "40e0"},
        {"kind5_like_kind3", 5, "16", "A0h", {}, "a0"},
        {"kind6_read_past", 6, "3", "e5", keys({"DataOutOfBounds"}), "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newProject(c.kind, false);
        p->subnet(0).protocolMode = "Modbus Master";
        test::addNodeTo(*p, 0, "1");
        test::addCommandTo(*p, 0, 1, c.fc, std::string(c.fc) == "3" ? "0" : "4000");
        Editor e(std::move(p));
        e.s().selectItem({c.kind == 2 ? 0 : 1, 0, 0});
        e.s().clickCell(4, 1);
        ASSERT_EQ(e.s().editor().kind, EditorKind::Edit);
        e.s().commitEdit(c.input);
        EXPECT_EQ(e.op.shownKeys(), c.shown);
        EXPECT_EQ(e.project->subnet(0).commands[0].mappingAddress, c.stored);
        EXPECT_EQ(e.value(4), std::string(c.stored) + "H");
        EXPECT_EQ(e.project->modified, std::string(c.stored) != (std::string(c.fc) == "3" ? "0" : "4000"));
    }
}

TEST(CommandEdit, BitOffset) {
    struct Case {
        const char* fc;
        const char* map;
        const char* count;
        const char* input;
        std::vector<std::string> shown;
        const char* stored;
    };
    const Case cases[] = {
        {"1", "0", "8", "7", {}, "7"},
        {"1", "0", "8", "8", {}, ""},
        {"1", "0", "8", "07", {}, ""},
        {"2", "f3", "8", "1", keys({"DataOutOfBounds"}), ""},
        {"15", "40f3", "1", "7", {}, "7"},
        {"15", "40f3", "2", "7", keys({"DataOutOfBounds"}), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fc) + " " + c.input);
        auto p = newProject(3, false);
        test::addNodeTo(*p, 0, "1");
        test::addCommandTo(*p, 0, 1, c.fc, c.map, c.count);
        Editor e(std::move(p));
        e.s().selectItem({1, 0, 0});
        e.s().clickCell(5, 1);
        ASSERT_EQ(e.s().editor().kind, EditorKind::Edit);
        e.s().commitEdit(c.input);
        EXPECT_EQ(e.op.shownKeys(), c.shown);
        EXPECT_EQ(e.project->subnet(0).commands[0].bitOffset, c.stored);
    }
}

// ---- Fieldbus rows ----

TEST(FieldbusEdit, Rows) {
    struct Case {
        const char* name;
        int kind;
        int row;
        const char* input;
        std::string FieldbusSettings::*field;
        const char* stored;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"devicenet_address", 0, 1, "63", &FieldbusSettings::deviceNetAddress, "63", {}},
        {"devicenet_address_64", 0, 1, "64", &FieldbusSettings::deviceNetAddress, "0", {}},
        {"devicenet_address_leading_zero", 0, 1, "07", &FieldbusSettings::deviceNetAddress, "0", {}},
        {"ip", 4, 2, "10.0.0.2", &FieldbusSettings::ipAddress, "10.0.0.2", {}},
        {"ip_bad", 4, 2, "10.0.0.256", &FieldbusSettings::ipAddress, "192.168.0.10", {}},
        {"mask", 4, 3, "255.255.0.0", &FieldbusSettings::subnetMask, "255.255.0.0", {}},
        {"dns2_bad", 4, 6, "1.2.3", &FieldbusSettings::dns2, "0.0.0.0", {}},
        {"profibus_address_out", 3, 5, "Address Setting Using Hardware", &FieldbusSettings::profibusAddress,
         "Address Setting Using Hardware", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Editor e(c.kind);
        if (c.row == 5) continue;  // list row: see ProfibusAddressByTyping
        EXPECT_EQ(e.edit(e.s().tree()[0].text, c.row, c.input), c.shown);
        EXPECT_EQ(e.project->fieldbus.*(c.field), c.stored);
        EXPECT_EQ(e.value(c.row), c.stored);
    }
}

TEST(FieldbusEdit, RetransmissionTimes) {
    struct Case {
        const char* input;
        const char* stored;
        std::vector<std::string> shown;
    };
    const Case cases[] = {{"2", "2", {}}, {"254", "254", {}}, {"1", "3", keys({"ValueOutOfRange"})},
                          {"2x", "3", keys({"IllegalCharacters"})}};
    for (const auto& c : cases) {
        Editor e(3);
        EXPECT_EQ(e.edit("Fieldbus", 4, c.input), c.shown);
        EXPECT_EQ(e.project->subnet(0).retransmissionTimes, c.stored);
        EXPECT_EQ(e.project->modified, std::string(c.stored) != "3");
    }
}

TEST(FieldbusEdit, ProfibusAddressByTyping) {
    Editor e(3);
    EXPECT_TRUE(e.choose("Fieldbus", 5, "Enter Address Value").empty());
    ASSERT_EQ(e.s().editor().kind, EditorKind::Edit);
    EXPECT_EQ(e.s().editor().text, "Enter address value");
    EXPECT_EQ(e.value(5), "Enter Address Value");
    EXPECT_EQ(e.project->fieldbus.profibusAddress, "Address Setting Using Hardware");
    e.s().commitEdit("100");
    EXPECT_EQ(e.op.shownKeys(), keys({"ValueOutOfRange"}));
    EXPECT_EQ(e.value(5), "Address Setting Using Hardware");
    e.choose("Fieldbus", 5, "Enter Address Value");
    e.s().commitEdit("99");
    EXPECT_EQ(e.project->fieldbus.profibusAddress, "99");
    EXPECT_EQ(e.value(5), "99");
    // Leaving the edit box untouched commits its text, as the focus loss does.
    e.choose("Fieldbus", 5, "Enter Address Value");
    e.select("Subnet");
    EXPECT_EQ(e.op.shownKeys(), keys({"IllegalCharacters"}));
    EXPECT_EQ(e.project->fieldbus.profibusAddress, "99");
}

TEST(FieldbusEdit, ConfigurationData) {
    struct Case {
        const char* input;
        bool ok;
    };
    const Case cases[] = {{"D1 E1", true},  {"d1 e1 ff 00 11 22 33 44", true}, {"", true},
                          {"D1E1", false},  {"D1 G1", false}, {"d1 e1 ff 00 11 22 33 44 5", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        auto p = newProject(1);
        p->flags.extendedSettingsFlag = false;
        p->flags.legacyFlag246 = true;
        p->fieldbus.profibusConfigMode = "Input configuration data";
        Editor e(std::move(p));
        e.edit("Fieldbus", 4, c.input);
        EXPECT_EQ(e.project->fieldbus.profibusConfigData, c.ok ? c.input : "");
    }
}

// ---- List commits ----

TEST(ListCommit, FieldbusChoices) {
    struct Case {
        const char* name;
        int kind;
        int row;
        const char* entry;
        std::function<std::string(const Project&)> field;
    };
    const Case cases[] = {
        {"dn_baud", 0, 2, "500K", [](const Project& p) { return p.fieldbus.deviceNetBaudRate; }},
        {"dn_in", 0, 3, "160", [](const Project& p) { return p.fieldbus.inputSize; }},
        {"dn_out", 0, 4, "112", [](const Project& p) { return p.fieldbus.outputSize; }},
        {"ip_mode", 4, 1, "DHCP", [](const Project& p) { return p.fieldbus.assignIpMode; }},
        {"timeout_action", 3, 3, "Hold  Data", [](const Project& p) { return p.subnet(0).timeoutAction; }},
        {"compat", 3, 6, "Enable", [](const Project& p) { return p.fieldbus.compatibilityMode; }},
        {"config_mode", 3, 7, "Via the Configuration Software of PROFIBUS DP Master",
         [](const Project& p) { return p.fieldbus.configurationMode; }},
        {"kind6_prefix", 6, 3, "Enable", [](const Project& p) { return p.subnet(0).inputLengthPrefix; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Editor e(c.kind);
        EXPECT_TRUE(e.choose(e.s().tree()[0].text, c.row, c.entry).empty());
        EXPECT_EQ(c.field(*e.project), c.entry);
        EXPECT_EQ(e.value(c.row), c.entry);
        EXPECT_TRUE(e.project->modified);
    }
}

TEST(ListCommit, HoldDataGreysRetransmissionTimes) {
    Editor e(3);
    e.choose("Fieldbus", 3, "Hold  Data");
    EXPECT_TRUE(e.grey(4));
    e.s().clickCell(4, 1);
    EXPECT_EQ(e.s().editor().kind, EditorKind::None);
    e.choose("Fieldbus", 3, "Clear Data");
    EXPECT_FALSE(e.grey(4));
}

TEST(ListCommit, EffectiveLengthRefusedAtMaximumFrameLength) {
    auto p = newProject(3);
    p->subnet(0).protocolMode = "User Config";
    p->subnet(0).frameType = "Frame Length";
    p->subnet(0).frameLength = "243";
    Editor e(std::move(p));
    EXPECT_EQ(e.choose("Fieldbus", 3, "Enable"), keys({"InputLengthCannotEnable"}));
    EXPECT_EQ(e.project->subnet(0).inputLengthPrefix, "Disable");
    EXPECT_EQ(e.value(3), "Disable");
    EXPECT_FALSE(e.project->modified);  // nothing was stored
}

TEST(ListCommit, FrameTypeWithEffectiveLengthCutsTo242) {
    auto p = newProject(3);
    p->subnet(0).protocolMode = "User Config";
    p->subnet(0).frameLength = "243";
    p->subnet(0).inputLengthPrefix = "Enable";
    Editor e(std::move(p));
    EXPECT_TRUE(e.grey(14) || true);
    EXPECT_EQ(e.choose("Subnet", 12, "Frame Length"), keys({"EffectiveLengthMax242"}));
    EXPECT_EQ(e.project->subnet(0).frameLength, "242");
    EXPECT_EQ(e.value(14), "242");
    EXPECT_FALSE(e.grey(14));
    e.choose("Subnet", 12, "Time Interval between Characters");
    EXPECT_TRUE(e.grey(14));
}

TEST(ListCommit, ProtocolModeRebuildsTheSubnetBranch) {
    Editor e(3);
    e.select("Subnet");
    e.choose("Subnet", 0, "Modbus Slave");
    EXPECT_TRUE(e.s().tree()[1].children.empty());
    EXPECT_EQ(e.project->subnet(0).nodeCount, 1);
    EXPECT_EQ(e.value(5), "");  // the rows are those of Modbus Slave now
    EXPECT_FALSE(e.grey(5));
    EXPECT_FALSE(e.s().canAddNode());
    e.choose("Subnet", 0, "Modbus Master");
    EXPECT_EQ(e.treeLines(), (std::vector<std::string>{"Fieldbus:0", "Subnet:0", "  Node-1:1",
                                                       "    Read Holding Registers:1",
                                                       "    Preset Multiple Registers:2"}));
    EXPECT_TRUE(e.s().canAddNode());
}

TEST(ListCommit, GroupsKeepTheirOwnSettings) {
    Editor e(3);
    e.choose("Subnet", 3, "Even");
    EXPECT_EQ(e.project->subnet(0).masterParity, "Even");
    e.choose("Subnet", 0, "Modbus Slave");
    e.choose("Subnet", 3, "Odd");
    e.choose("Subnet", 6, "ASCII");
    EXPECT_EQ(e.project->subnet(0).slaveParity, "Odd");
    EXPECT_EQ(e.project->subnet(0).slaveTransmissionMode, "ASCII");
    EXPECT_EQ(e.project->subnet(0).masterParity, "Even");
    EXPECT_EQ(e.project->subnet(0).masterTransmissionMode, "RTU");
}

TEST(ListCommit, OutputModeWhitensPulseRow) {
    auto p = newProject(3);
    p->subnet(0).outputMode = "Pluse output";
    Editor e(std::move(p));
    e.select("Subnet");
    EXPECT_FALSE(e.grey(10));
    e.choose("Subnet", 9, "Cycle");
    EXPECT_TRUE(e.grey(10));
    EXPECT_FALSE(e.s().state().pulseOutputActive);
    e.s().clickCell(10, 1);
    EXPECT_EQ(e.s().editor().kind, EditorKind::None);
}

TEST(ListCommit, UserConfigAutoSendingAndInterface) {
    auto p = newProject(3);
    p->subnet(0).protocolMode = "User Config";
    Editor e(std::move(p));
    e.choose("Subnet", 15, "Enable");
    EXPECT_FALSE(e.grey(16));
    EXPECT_EQ(e.project->subnet(0).autoSending, "Enable");
    e.choose("Subnet", 17, "Enable");
    EXPECT_EQ(e.project->subnet(0).crcCheck, "Enable");
    e.choose("Subnet", 18, "RS232");
    EXPECT_EQ(e.project->subnet(0).commInterface, "RS232");
    EXPECT_EQ(e.value(19), "USB");
    e.choose("Subnet", 15, "Disable");
    EXPECT_TRUE(e.grey(16));
}

TEST(ListCommit, Legacy233bInterfaceShowsTheOther) {
    auto p = newProject(1);
    p->flags.legacyFlag233b = true;
    Editor e(std::move(p));
    e.choose("Subnet", 12, "RS232");
    EXPECT_EQ(e.project->subnet(0).commInterface, "RS232");
    EXPECT_EQ(e.value(13), "RS485");
}

TEST(ListCommit, CommandFilterAndSwapGreyEachOther) {
    Editor e(3);
    e.choose(kReadCmd, 7, "High byte");
    EXPECT_TRUE(e.grey(10));
    EXPECT_EQ(e.project->subnet(0).commands[0].dataFilter, "High byte");
    e.s().clickCell(10, 1);
    EXPECT_EQ(e.s().editor().kind, EditorKind::None);
    e.choose(kReadCmd, 7, "Fullword");
    e.choose(kReadCmd, 10, "Four Bytes Swap");
    EXPECT_TRUE(e.grey(7));
    e.s().clickCell(7, 1);
    EXPECT_EQ(e.s().editor().kind, EditorKind::None);
    e.choose(kReadCmd, 10, "No Swap");
    EXPECT_FALSE(e.grey(7));
    e.choose(kReadCmd, 9, "Slow Scan");
    EXPECT_EQ(e.project->subnet(0).commands[0].scanType, "Slow Scan");
}

TEST(ListCommit, ClosingTheListCommitsNothing) {
    Editor e(3);
    e.select("Subnet");
    e.s().clickCell(3, 1);
    ASSERT_EQ(e.s().editor().kind, EditorKind::List);
    const Changes c = e.s().closeList();
    EXPECT_TRUE(c.editor);
    EXPECT_FALSE(c.project);
    EXPECT_EQ(e.s().editor().kind, EditorKind::None);
    EXPECT_FALSE(e.project->modified);
    // A choice that is not in the list is ignored.
    e.s().clickCell(3, 1);
    EXPECT_FALSE(e.s().commitChoice("Sometimes").any());
    EXPECT_EQ(e.project->subnet(0).masterParity, "None");
}

// ---- Editors and lists offered ----

TEST(CellEditors, WhatEachCellOpens) {
    struct Case {
        const char* name;
        int kind;
        const char* item;
        int row;
        EditorKind editor;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"fieldbus_type", 3, "Fieldbus", 0, EditorKind::None, {}},
        {"fieldbus_label_column", 3, "Fieldbus", 3, EditorKind::List, {"Clear Data", "Hold  Data"}},
        {"dn_in_sizes", 0, "Fieldbus", 3, EditorKind::List, {"8", "16", "32", "64", "96", "128", "160"}},
        {"dn_out_sizes", 0, "Fieldbus", 4, EditorKind::List, {"8", "16", "32", "64", "96", "112"}},
        {"dn_address", 0, "Fieldbus", 1, EditorKind::Edit, {}},
        {"kind5_nothing", 5, "Fieldbus", 1, EditorKind::None, {}},
        {"protocols_kind3", 3, "Subnet", 0, EditorKind::List, {"Modbus Master", "Modbus Slave", "User Config"}},
        {"protocols_kind2", 2, "Subnet2", 0, EditorKind::List, {"Modbus Master", "Modbus Slave", "Self-defining protocol"}},
        {"protocols_kind0", 0, "Subnet", 0, EditorKind::List, {"Modbus Master", "Modbus Slave"}},
        {"baud_kind4", 4, " Subnet\u2160", 1, EditorKind::List,
         {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}},
        {"databits_kind4", 4, " Subnet\u2160", 2, EditorKind::None, {}},
        {"transmission_kind4", 4, "Subnet\u2161", 6, EditorKind::None, {}},
        {"slave_address_master", 3, "Subnet", 5, EditorKind::None, {}},
        {"empty_row", 3, "Subnet", 30, EditorKind::None, {}},
        {"node_address", 3, "Subnet/Node-1", 0, EditorKind::Edit, {}},
        {"node_other_row", 3, "Subnet/Node-1", 1, EditorKind::None, {}},
        {"cmd_slave", 3, kReadCmd, 0, EditorKind::None, {}},
        {"cmd_fc", 3, kReadCmd, 1, EditorKind::None, {}},
        {"cmd_bytes", 3, kReadCmd, 6, EditorKind::None, {}},
        {"cmd_check", 3, kReadCmd, 8, EditorKind::None, {}},
        {"cmd_bit_register", 3, kReadCmd, 5, EditorKind::None, {}},
        {"cmd_filter_read", 3, kReadCmd, 7, EditorKind::List, {"Fullword", "High byte", "Low byte"}},
        {"cmd_filter_write_kind3", 3, kWriteCmd, 7, EditorKind::None, {}},
        {"cmd_swap_write_kind1", 1, kWriteCmd, 7, EditorKind::List, {"No Swap", "Two Bytes Swap", "Four Bytes Swap"}},
        {"cmd_swap_row10", 3, kWriteCmd, 10, EditorKind::List, {"No Swap", "Two Bytes Swap", "Four Bytes Swap"}},
        {"cmd_scan", 3, kReadCmd, 9, EditorKind::List, {"Fast Scan", "Slow Scan"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Editor e(c.kind);
        e.select(c.item);
        const CellClick click = e.s().clickCell(c.row, 1);
        EXPECT_TRUE(click.accepted);
        EXPECT_EQ(click.editor.kind, c.editor);
        EXPECT_EQ(click.editor.entries, c.entries);
        if (c.editor == EditorKind::Edit) {
            EXPECT_EQ(click.editor.text, e.value(c.row));
        }
        // Column 0 never opens an editor.
        e.s().hideEditors();
        EXPECT_EQ(e.s().clickCell(c.row, 0).editor.kind, EditorKind::None);
    }
}

TEST(CellEditors, SwapListsWithoutFourBytesForSingleRegister) {
    auto p = newProject(4, false);
    test::addNodeTo(*p, 0, "1");
    test::addCommandTo(*p, 0, 1, "6", "4000", "1");
    Editor e(std::move(p));
    e.s().selectItem({1, 0, 0});
    EXPECT_EQ(e.s().clickCell(7, 1).editor.entries, (std::vector<std::string>{"No Swap", "Two Bytes Swap"}));
    e.s().closeList();
    // Row 10 needs dataFilter Fullword; kind 4 commands hold "No Swap" there.
    EXPECT_EQ(e.s().clickCell(10, 1).editor.kind, EditorKind::None);
}

TEST(CellEditors, StatusListHasThirteenByteCounts) {
    Editor e(3);
    e.select("Subnet");
    const auto entries = e.s().clickCell(12, 1).editor.entries;
    ASSERT_EQ(entries.size(), 14u);
    EXPECT_EQ(entries[0], "Disable");
    EXPECT_EQ(entries[1], "1Bytes");
    EXPECT_EQ(entries[13], "13Bytes");
}

// ---- Robustness: clicks before a selection, edits after the selection changed ----

TEST(EditSession, ClicksAreIgnoredUntilAnItemIsSelected) {
    Editor e(3);
    e.s().createRoots();
    const CellClick c = e.s().clickCell(1, 1);
    EXPECT_FALSE(c.accepted);
    EXPECT_EQ(c.editor.kind, EditorKind::None);
    EXPECT_FALSE(e.s().commitEdit("1").any());
}

TEST(EditSession, SelectingAnotherItemCommitsToTheClickedOne) {
    Editor e(3);
    e.select("Subnet");
    e.s().clickCell(7, 1);
    e.s().commitEdit("700");
    e.s().clickCell(8, 1);
    // The front end did not commit; the selection change commits the box's text.
    e.select(kReadCmd);
    EXPECT_EQ(e.project->subnet(0).pollDelay, "0");
    EXPECT_EQ(e.project->subnet(0).responseTimeout, "700");
    EXPECT_EQ(e.value(2), "0");  // the command's rows are untouched
    EXPECT_EQ(e.s().editor().kind, EditorKind::None);
}

TEST(EditSession, EveryRowOfEveryItemSurvivesOddInput) {
    const char* inputs[] = {"", "-1", "99999999999999999999", "0x10", "\xff\xfe", "4100(input)", " 5", "1e9"};
    for (int kind = 0; kind <= 6; ++kind) {
        Editor e(kind);
        std::vector<ItemPath> items;
        std::function<void(const std::vector<TreeItem>&, ItemPath)> walk = [&](const std::vector<TreeItem>& l,
                                                                              ItemPath at) {
            for (size_t i = 0; i < l.size(); ++i) {
                ItemPath p = at;
                p.push_back(static_cast<int>(i));
                items.push_back(p);
                walk(l[i].children, p);
            }
        };
        walk(e.s().tree(), {});
        for (const auto& item : items) {
            if (!e.s().item(item)) continue;
            e.s().selectItem(item);
            std::vector<int> editRows;
            for (int row = 0; row < kGridRowCount; ++row) {
                if (!e.s().cellEditable(row)) continue;
                if (e.s().choiceList(row).empty()) editRows.push_back(row);
                else {
                    const CellClick c = e.s().clickCell(row, 1);
                    e.s().commitChoiceIndex(static_cast<int>(c.editor.entries.size()) - 1);
                }
            }
            for (int row : editRows) {
                for (const char* in : inputs) {
                    if (!e.s().item(item)) break;
                    e.s().selectItem(item);
                    if (e.s().clickCell(row, 1).editor.kind == EditorKind::Edit) e.s().commitEdit(in);
                }
            }
        }
        EXPECT_LE(e.project->subnet(0).nodeCount, kMaxNodes);
    }
}

TEST(Rename, NodeLabelEdit) {
    Editor e(3);
    const ItemPath node = e.path("Subnet/Node-1");
    Changes c = e.s().renameNode(node, "Pump \xE4");
    EXPECT_TRUE(c.tree);
    EXPECT_EQ(e.project->subnet(0).nodes[0].name, "Pump \xE4");
    EXPECT_EQ(e.s().item(node)->text, "Pump \u00e4");
    EXPECT_TRUE(e.project->modified);
    // An empty label keeps the text; other items are not renamed.
    EXPECT_FALSE(e.s().renameNode(node, "").tree);
    EXPECT_FALSE(e.s().renameNode({0}, "Bus").tree);
    EXPECT_FALSE(e.s().renameNode(e.path("Subnet/Pump \u00e4/Read Holding Registers"), "X").tree);
    EXPECT_EQ(e.s().tree()[0].text, "Fieldbus");
}

}  // namespace
}  // namespace korvex
