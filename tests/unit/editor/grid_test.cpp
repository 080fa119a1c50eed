// The grid rows of each item kind, per DeviceKind, protocol and flags.
#include <gtest/gtest.h>

#include <functional>

#include "editor_test_support.h"

namespace korvex {
namespace {

using test::Editor;
using test::newProject;

struct Row {
    int row;
    std::string label;
    std::string value;
    bool grey;
};

// The grid shows exactly these rows; every other row is empty and white.
void expectRows(const EditorSession& s, const std::vector<Row>& rows) {
    std::array<bool, kGridRowCount> seen{};
    for (const auto& r : rows) {
        SCOPED_TRACE("row " + std::to_string(r.row));
        seen[static_cast<size_t>(r.row)] = true;
        EXPECT_EQ(s.row(r.row).label, r.label);
        EXPECT_EQ(s.row(r.row).value, r.value);
        EXPECT_EQ(s.row(r.row).grey, r.grey);
    }
    for (int i = 0; i < kGridRowCount; ++i) {
        if (seen[static_cast<size_t>(i)]) continue;
        EXPECT_TRUE(s.row(i).empty()) << "row " << i << " " << s.row(i).label << "=" << s.row(i).value;
    }
}

const std::string kHw = "Setting through Hardware Configuration of PROFIBUS DP";
const std::string kIn = "Number of PROFIBUS Input Bytes";
const std::string kOut = "Number of PROFIBUS Output  Bytes";

TEST(FieldbusGrid, RowsPerKindAndFlags) {
    struct Case {
        const char* name;
        int kind;
        std::function<void(Project&)> setup;
        std::vector<Row> rows;
    };
    const auto none = [](Project&) {};
    const Case cases[] = {
        {"kind0", 0, none,
         {{0, "Type of Protocol", "DeviceNet", true},
          {1, "DeviceNet address(0-63)", "0", false},
          {2, "DeviceNet Baud rate", "125K", false},
          {3, "Size of DeviceNet Input Buffe", "64", false},
          {4, "Size of DeviceNet Output Buffe", "64", false}}},
        {"kind0_233b_address_minus1", 0, [](Project& p) { p.flags.legacyFlag233b = true; p.fieldbus.deviceNetAddress = "-1"; },
         {{0, "Type of Protocol", "DeviceNet", true},
          {1, "DeviceNet address(0-63)", "", false},
          {2, "DeviceNet Baud rate", "125K", true},
          {3, "Size of DeviceNet Input Buffe", "64", false},
          {4, "Size of DeviceNet Output Buffe", "64", false}}},
        {"kind3_master_extended", 3, none,
         {{0, "Type of Protocol", "PROFIBUS", true},
          {1, kIn, kHw, true},
          {2, kOut, kHw, true},
          {3, "Actions After Response Timeout", "Clear Data", false},
          {4, "Modbus Command Retransmission Times", "3", false},
          {5, "PROFIBUS Address", "Address Setting Using Hardware", false},
          {6, "Compatibility Mode", "Disable", false},
          {7, "Configuration Mode", "Via Korvex", false}}},
        {"kind3_hold_data_greys_retransmission", 3, [](Project& p) { p.subnet(0).timeoutAction = "Hold  Data"; },
         {{0, "Type of Protocol", "PROFIBUS", true},
          {1, kIn, kHw, true},
          {2, kOut, kHw, true},
          {3, "Actions After Response Timeout", "Hold  Data", false},
          {4, "Modbus Command Retransmission Times", "3", true},
          {5, "PROFIBUS Address", "Address Setting Using Hardware", false},
          {6, "Compatibility Mode", "Disable", false},
          {7, "Configuration Mode", "Via Korvex", false}}},
        {"kind3_user_config", 3, [](Project& p) { p.subnet(0).protocolMode = "User Config"; },
         {{0, "Type of Protocol", "PROFIBUS", true},
          {1, kIn, kHw, true},
          {2, kOut, kHw, true},
          {3, "PROFIBUS Input-data Effective Length ", "Disable", false},
          {4, "PROFIBUS Address", "Address Setting Using Hardware", false},
          {5, "Compatibility Mode", "Disable", false},
          {6, "Configuration Mode", "Via Korvex", false}}},
        {"kind3_slave", 3, [](Project& p) { p.subnet(0).protocolMode = "Modbus Slave"; },
         {{0, "Type of Protocol", "PROFIBUS", true},
          {1, kIn, kHw, true},
          {2, kOut, kHw, true},
          {3, "PROFIBUS Address", "Address Setting Using Hardware", false},
          {4, "Compatibility Mode", "Disable", false},
          {5, "Configuration Mode", "Via Korvex", false}}},
        {"kind3_244", 3, [](Project& p) { p.flags.legacyFlag244 = true; },
         {{0, "Type of Protocol", "PROFIBUS", true},
          {1, kIn, kHw, true},
          {2, kOut, kHw, true},
          {3, "Input data double fault reset", "Enable", false}}},
        {"kind1_old_plain", 1, [](Project& p) { p.flags.extendedSettingsFlag = false; },
         {{0, "Type of Protocol", "PROFIBUS", true}, {1, kIn, "112", false}, {2, kOut, "112", false}}},
        {"kind1_old_246_bytes", 1, [](Project& p) { p.flags.extendedSettingsFlag = false; p.flags.legacyFlag246 = true; },
         {{0, "Type of Protocol", "PROFIBUS", true},
          {1, kIn, "112", false},
          {2, kOut, "112", false},
          {3, "PROFIBUS configuration mode", "Use bytes selection", false},
          {4, "PROFIBUS configuration data (up to 8 bytes)", "", true}}},
        {"kind1_old_233a_config_data", 1,
         [](Project& p) {
             p.flags.extendedSettingsFlag = false;
             p.flags.legacyFlag233a = true;
             p.fieldbus.profibusConfigMode = "Input configuration data";
             p.fieldbus.profibusConfigData = "D1 E1";
         },
         {{0, "Type of Protocol", "PROFIBUS", true},
          {1, kIn, "112", true},
          {2, kOut, "112", true},
          {3, "PROFIBUS configuration mode", "Input configuration data", false},
          {4, "PROFIBUS configuration data (up to 8 bytes)", "D1 E1", false}}},
        {"kind1_user_config_row3", 1,
         [](Project& p) { p.flags.extendedSettingsFlag = false; p.subnet(0).protocolMode = "User Config"; },
         {{0, "Type of Protocol", "PROFIBUS", true},
          {1, kIn, "112", false},
          {2, kOut, "112", false},
          {3, "PROFIBUS Input-data Effective Length ", "Disable", false}}},
        {"kind4_ip_defaults_when_empty", 4, [](Project& p) { p.fieldbus.dns2.clear(); },
         {{0, "Type of Protocol", "EtherNet/IP", true},
          {1, "Assign IP Mode", "Manual Assign", false},
          {2, "IP address", "192.168.0.10", false},
          {3, "Subnet mask", "255.255.255.0", false},
          {4, "Gateway address", "192.168.0.1", false},
          {5, "DNS1", "0.0.0.0", false},
          {6, "DNS2", "0.0.0.0", false}}},
        {"kind5", 5, none, {{0, "Type of Protocol", "PROFIBUS", true}, {1, kIn, kHw, true}, {2, kOut, kHw, true}}},
        {"kind6", 6, none,
         {{0, "Type of Protocol", "PROFIBUS", true},
          {1, kIn, kHw, true},
          {2, kOut, kHw, true},
          {3, "PROFIBUS Input-data Effective Length ", "Disable", false}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newProject(c.kind);
        c.setup(*p);
        Editor e(std::move(p));
        e.s().selectItem({0});
        EXPECT_EQ(e.s().nodeKind(), NodeKind::Fieldbus);
        EXPECT_TRUE(e.s().state().fieldbusBranchSelected);
        expectRows(e.s(), c.rows);
    }
}

std::vector<Row> subnetHead(const std::string& mode, const std::string& baudLabel, std::vector<std::string> group) {
    return {{0, "Protocols Mode", mode, false},
            {1, baudLabel, group[0], false},
            {2, "Data Bits", group[1], false},
            {3, "Parity Check", group[2], false},
            {4, "Stop Bits", group[3], false}};
}

TEST(SubnetGrid, RowsPerProtocol) {
    struct Case {
        const char* name;
        int kind;
        std::function<void(Project&)> setup;
        std::vector<Row> rows;
    };
    auto cat = [](std::vector<Row> a, const std::vector<Row>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::vector<std::string> master = {"19200", "8", "None", "1"};
    const Case cases[] = {
        {"kind3_master", 3, [](Project&) {},
         cat(subnetHead("Modbus Master", "Baud Rate", master),
             {{5, "Slave Address", "", true},
              {6, "Transmission Mode", "RTU", false},
              {7, "Response Timeout(5-60000ms)", "300", false},
              {8, "Delay between Polls(0-2500ms)", "0", false},
              {9, "Output Mode", "Change of Value", false},
              {10, "Output Pulse(200-2500ms)", "", true},
              {11, "Scan Rate(1-255)", "10", false},
              {12, "Status of Modbus Command Response", "Disable", false},
              {13, "Time Interval between Characters", "", true},
              {14, "Frame Length", "", true},
              {15, "Auto Sending", "", true},
              {16, "Period of Auto Sending", "", true},
              {17, "CRC Check", "", true},
              {18, "Communication Interface", "RS485", false},
              {19, "Debug Interface", "USB", true},
              {20, "Time Interval between Characters(Sending)", "0", false},
              {21, "Time Interval between Characters(Receiving)", "0", false}})},
        {"kind3_slave", 3,
         [](Project& p) {
             p.subnet(0).protocolMode = "Modbus Slave";
             p.subnet(0).slaveAddress = "9";
             p.subnet(0).slaveParity = "Odd";
         },
         cat(subnetHead("Modbus Slave", "Baud Rate", {"19200", "8", "Odd", "1"}),
             {{5, "Slave Address", "9", false},
              {6, "Transmission Mode", "RTU", false},
              {7, "Response Timeout(5-60000ms)", "", true},
              {8, "Delay between Polls(0-2500ms)", "", true},
              {9, "Output Mode", "", true},
              {10, "Output Pulse(200-2500ms)", "", true},
              {11, "Scan Rate(1-255)", "", true},
              {12, "Frame Type", "", true},
              {13, "Time Interval between Characters", "", true},
              {14, "Frame Length", "", true},
              {15, "Auto Sending", "", true},
              {16, "Period of Auto Sending", "", true},
              {17, "CRC Check", "", true},
              {18, "Communication Interface", "RS485", false},
              {19, "Debug Interface", "USB", true},
              {20, "Time Interval between Characters(Sending)", "0", false},
              {21, "Time Interval between Characters(Receiving)", "0", false}})},
        {"kind3_user_config", 3, [](Project& p) { p.subnet(0).protocolMode = "User Config"; },
         cat(subnetHead("User Config", "Baud Rate", master),
             {{5, "Slave Address", "", true},
              {6, "Transmission Mode", "", true},
              {7, "Response Timeout(5-60000ms)", "", true},
              {8, "Delay between Polls(0-2500ms)", "", true},
              {9, "Output Mode", "", true},
              {10, "Output Pulse(200-2500ms)", "", true},
              {11, "Scan Rate(1-255)", "", true},
              {12, "Frame Type", "Time Interval between Characters", false},
              {13, "Time Interval between Characters", "10", false},
              {14, "Frame Length", "111", true},
              {15, "Auto Sending", "Disable", false},
              {16, "Period of Auto Sending", "1000", true},
              {17, "CRC Check", "Disable", false},
              {18, "Communication Interface", "RS485", false},
              {19, "Debug Interface", "USB", true},
              {20, "Time Interval between Characters(Sending)", "0", false},
              {21, "Time Interval between Characters(Receiving)", "0", false}})},
        {"kind6_user_config_row18_grey", 6,
         [](Project& p) {
             p.subnet(0).frameType = "Frame Length";
             p.subnet(0).autoSending = "Enable";
         },
         cat(subnetHead("User Config", "Baud Rate", master),
             {{5, "Slave Address", "", true},
              {6, "Transmission Mode", "", true},
              {7, "Response Timeout(5-60000ms)", "", true},
              {8, "Delay between Polls(0-2500ms)", "", true},
              {9, "Output Mode", "", true},
              {10, "Output Pulse(200-2500ms)", "", true},
              {11, "Scan Rate(1-255)", "", true},
              {12, "Frame Type", "Frame Length", false},
              {13, "Time Interval between Characters", "10", false},
              {14, "Frame Length", "111", false},
              {15, "Auto Sending", "Enable", false},
              {16, "Period of Auto Sending", "1000", false},
              {17, "CRC Check", "Disable", false},
              {18, "Communication Interface", "RS485", true},
              {19, "Debug Interface", "USB", true},
              {20, "Time Interval between Characters(Sending)", "0", false},
              {21, "Time Interval between Characters(Receiving)", "0", false}})},
        {"kind2_self_defining", 2, [](Project& p) { p.subnet(0).protocolMode = "Self-defining protocol"; },
         cat(subnetHead("Self-defining protocol", "Modbus communication baud rate ", {"300", "8", "None", "1"}),
             {{5, "Slave Address", "", true},
              {6, "Transmission Mode", "", true},
              {7, "Response Timeout(5-60000ms)", "", true},
              {8, "Delay between Polls(0-2500ms)", "", true},
              {9, "Output Mode", "", true},
              {10, "Output Pulse(200-2500ms)", "", true},
              {11, "Scan Rate(1-255)", "", true}})},
        {"kind0_master_pulse_output", 0,
         [](Project& p) {
             p.subnet(0).outputMode = "Pluse output";
             p.subnet(0).outputPulse = "500";
             p.subnet(0).scanRate = "-1";
         },
         cat(subnetHead("Modbus Master", "Modbus communication baud rate ", master),
             {{5, "Slave Address", "", true},
              {6, "Transmission Mode", "RTU", false},
              {7, "Response Timeout(5-60000ms)", "300", false},
              {8, "Delay between Polls(0-2500ms)", "0", false},
              {9, "Output Mode", "Pluse output", false},
              {10, "Output Pulse(200-2500ms)", "500", false},
              {11, "Scan Rate(1-255)", "", false}})},
        {"kind1_233b_master", 1,
         [](Project& p) {
             p.flags.legacyFlag233b = true;
             p.subnet(0).commInterface = "RS232";
         },
         cat(subnetHead("Modbus Master", "Modbus communication baud rate ", master),
             {{5, "Slave Address", "", true},
              {6, "Transmission Mode", "RTU", false},
              {7, "Response Timeout(5-60000ms)", "300", false},
              {8, "Delay between Polls(0-2500ms)", "0", false},
              {9, "Output Mode", "Change of Value", false},
              {10, "Output Pulse(200-2500ms)", "", true},
              {11, "Scan Rate(1-255)", "10", false},
              {12, "Communication Interface", "RS232", false},
              {13, "Debug Interface", "RS485", true}})},
        {"kind1_244_user_config", 1,
         [](Project& p) {
             p.flags.legacyFlag244 = true;
             p.flags.legacyFlag243 = true;
             p.subnet(0).protocolMode = "User Config";
             p.subnet(0).startCharacter = "02";
         },
         cat({{0, "Protocols Mode", "User Config", true},
              {1, "Modbus communication baud rate ", "19200", false},
              {2, "Data Bits", "8", false},
              {3, "Parity Check", "None", false},
              {4, "Stop Bits", "1", false}},
             {{5, "Slave Address", "", true},
              {6, "Transmission Mode", "", true},
              {7, "Response Timeout(5-60000ms)", "", true},
              {8, "Delay between Polls(0-2500ms)", "", true},
              {9, "Output Mode", "", true},
              {10, "Output Pulse(200-2500ms)", "", true},
              {11, "Scan Rate(1-255)", "", true},
              {12, "Frame Type", "Time Interval between Characters", false},
              {13, "Time Interval between Characters", "10", false},
              {14, "Frame Length", "111", true},
              {15, "Start character", "02", false},
              {16, "Stop character", "", false},
              {17, "Auto Sending", "Disable", false},
              {18, "Period of Auto Sending", "1000", false},
              {19, "CRC Check", "Disable", false}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newProject(c.kind);
        c.setup(*p);
        Editor e(std::move(p));
        e.s().selectItem({c.kind == 2 ? 0 : 1});
        EXPECT_EQ(e.s().nodeKind(), NodeKind::Subnet);
        expectRows(e.s(), c.rows);
    }
}

TEST(SubnetGrid, SendReceiveRowsNeedFileVersionAbove499) {
    auto p = newProject(3);
    p->fileVersion = 499;
    Editor e(std::move(p));
    e.select("Subnet");
    EXPECT_TRUE(e.s().row(20).empty());
    EXPECT_TRUE(e.s().row(21).empty());
}

TEST(SubnetGrid, SlaveModeDisablesAddNodeAndPulseFlagFollowsOutputMode) {
    struct Case {
        const char* mode;
        const char* output;
        bool canAddNode;
        bool pulse;
    };
    const Case cases[] = {
        {"Modbus Master", "Change of Value", true, false},
        {"Modbus Master", "Pluse output", true, true},
        {"Modbus Slave", "Pluse output", false, false},
        {"User Config", "Cycle", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + "/" + c.output);
        auto p = newProject(3);
        p->subnet(0).protocolMode = c.mode;
        p->subnet(0).outputMode = c.output;
        Editor e(std::move(p));
        e.select("Subnet");
        EXPECT_EQ(e.s().canAddNode(), c.canAddNode);
        EXPECT_FALSE(e.s().canDeleteNode());
        EXPECT_FALSE(e.s().canAddCommand());
        EXPECT_FALSE(e.s().canDeleteCommand());
        EXPECT_EQ(e.s().state().pulseOutputActive, c.pulse);
    }
}

TEST(EnableFlags, PerSelectedItemKind) {
    struct Case {
        const char* item;
        bool l244;
        bool addNode, deleteNode, addCommand, deleteCommand;
    };
    const Case cases[] = {
        {"Fieldbus", false, false, false, false, false},
        {"Subnet", false, true, false, false, false},
        {"Subnet", true, false, false, false, false},  // 244 and one node already
        {"Subnet/Node-1", false, true, true, true, false},
        {"Subnet/Node-1", true, false, true, true, false},
        {"Subnet/Node-1/Preset Multiple Registers", false, false, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.item) + (c.l244 ? " 244" : ""));
        auto p = newProject(3);
        p->flags.legacyFlag244 = c.l244;
        Editor e(std::move(p));
        e.select(c.item);
        EXPECT_EQ(e.s().canAddNode(), c.addNode);
        EXPECT_EQ(e.s().canDeleteNode(), c.deleteNode);
        EXPECT_EQ(e.s().canAddCommand(), c.addCommand);
        EXPECT_EQ(e.s().canDeleteCommand(), c.deleteCommand);
    }
}

TEST(NodeGrid, AddressRowAndCurrentNodeIndex) {
    auto p = newProject(3);
    test::addNodeTo(*p, 0, "-1");
    p->subnet(0).nodes[1].name = "New Node";
    Editor e(std::move(p));
    e.select("Subnet/New Node");
    EXPECT_EQ(e.s().state().currentNodeIndex, 2);
    expectRows(e.s(), {{0, "Slave Address(1-247)", "", false}});
    e.select("Subnet/Node-1");
    EXPECT_EQ(e.s().state().currentNodeIndex, 1);
    expectRows(e.s(), {{0, "Slave Address(1-247)", "1", false}});
}

// One row per function code: rows 3, 5, 6, 7 and 10 depend on it.
TEST(CommandGrid, RowsPerFunctionCode) {
    struct Case {
        const char* fc;
        int kind;
        bool row3Grey, row5Grey;
        std::string bytes;
        bool row7Grey;
        std::string row7;
        bool row10Grey;
    };
    const Case cases[] = {
        {"1", 3, false, false, "16", true, "Fullword", true},
        {"2", 3, false, false, "16", true, "Fullword", true},
        {"3", 3, false, true, "16", false, "High byte", true},
        {"4", 3, false, true, "16", false, "High byte", true},
        {"5", 3, true, false, "1", true, "Fullword", true},
        {"6", 3, true, true, "2", true, "Fullword", true},
        {"15", 3, false, false, "16", true, "Fullword", true},
        {"16", 3, false, true, "16", true, "Fullword", true},
        {"3", 2, false, true, "16", false, "High byte", true},
        {"6", 2, true, true, "2", false, "High byte", true},
        {"16", 0, false, true, "16", false, "High byte", true},
        {"1", 0, false, false, "16", true, "No Swap", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("fc ") + c.fc + " kind " + std::to_string(c.kind));
        auto p = newProject(c.kind, false);
        test::addNodeTo(*p, 0, "4");
        test::addCommandTo(*p, 0, 1, c.fc, "2a");
        p->subnet(0).commands[0].dataFilter = "High byte";
        p->subnet(0).commands[0].slaveAddress = "stale";
        p->subnet(0).commands[0].checkType = "stale";
        p->subnet(0).masterTransmissionMode = "ASCII";
        Editor e(std::move(p));
        e.s().selectItem({c.kind == 2 ? 0 : 1, 0, 0});
        ASSERT_EQ(e.s().nodeKind(), NodeKind::Command);
        EXPECT_EQ(e.s().state().currentCommandIndex, 1);
        const bool filter = c.kind == 3;
        expectRows(e.s(), {{0, "Slave Address(1-247)", "4", true},
                           {1, "Function Code", c.fc, true},
                           {2, "Starting Address", "0", false},
                           {3, "Number of Data", "8", c.row3Grey},
                           {4, "Mapping Address(HEX)", "2aH", false},
                           {5, "Bit Offset(0-7)", "", c.row5Grey},
                           {6, "Number of Bytes", c.bytes, true},
                           {7, filter ? "Data Filter" : "Byte Swap", c.row7, c.row7Grey},
                           {8, "Type of Check", "LRC", true},
                           {9, "Type of Scan", "Fast Scan", false},
                           {10, "Byte Swap", "No Swap", c.row10Grey}});
        // Displaying refreshed the stored slave address and check type.
        EXPECT_EQ(e.project->subnet(0).commands[0].slaveAddress, "4");
        EXPECT_EQ(e.project->subnet(0).commands[0].checkType, "LRC");
    }
}

TEST(CommandGrid, FilterOrSwapNeverBoth) {
    struct Case {
        const char* filter;
        const char* swap;
        bool row7Grey, row10Grey;
        const char* row7;
        const char* row10;
    };
    const Case cases[] = {
        {"Fullword", "No Swap", false, false, "Fullword", "No Swap"},
        {"High byte", "No Swap", false, true, "High byte", "No Swap"},
        {"Fullword", "Two Bytes Swap", true, false, "Fullword", "Two Bytes Swap"},
    };
    for (const auto& c : cases) {
        auto p = newProject(3);
        p->subnet(0).commands[0].dataFilter = c.filter;
        p->subnet(0).commands[0].byteSwap = c.swap;
        Editor e(std::move(p));
        e.select("Subnet/Node-1/Read Holding Registers");
        EXPECT_EQ(e.grey(7), c.row7Grey);
        EXPECT_EQ(e.grey(10), c.row10Grey);
        EXPECT_EQ(e.value(7), c.row7);
        EXPECT_EQ(e.value(10), c.row10);
    }
}

TEST(CommandGrid, UnassignedMappingAddressIsBlank) {
    for (const char* map : {"-1", ""}) {
        auto p = newProject(3);
        p->subnet(0).commands[0].mappingAddress = map;
        Editor e(std::move(p));
        e.select("Subnet/Node-1/Read Holding Registers");
        EXPECT_EQ(e.value(4), "");
    }
}

}  // namespace
}  // namespace korvex
