// The help text a grid click shows.
#include <gtest/gtest.h>

#include <functional>

#include "editor_test_support.h"

namespace korvex {
namespace {

using test::Editor;
using test::newProject;

namespace T = texts;

// What a click leaves in the pane besides a help text: an empty pane, or the
// previous text (kUnchanged's text is one no help text has).
constexpr Text kEmpty{"(empty)", ""};
constexpr Text kUnchanged{"(unchanged)", "(unchanged)"};

// The pane's text after a click on (item, row), or kUnchanged's text.
std::string shownHelp(Editor& e, const std::string& item, int row) {
    e.select(item);
    const CellClick c = e.s().clickCell(row, 0);
    if (!c.accepted || c.prompt == PromptUpdate::Unchanged) return std::string(kUnchanged.text);
    if (c.prompt == PromptUpdate::Empty) return std::string(kEmpty.text);
    return c.promptText;
}

struct Case {
    const char* name;
    int kind;
    std::function<void(Project&)> setup;
    const char* item;
    std::vector<std::pair<int, Text>> rows;  // row -> the help text expected
};

TEST(Prompt, TextPerItemRowKindAndFlags) {
    const auto none = [](Project&) {};
    const Case cases[] = {
        {"fieldbus_kind3_master", 3, none, "Fieldbus",
         {{0, T::HelpFieldbusProtocol}, {1, T::HelpProfibusInputBuffer}, {2, T::HelpProfibusOutputBuffer}, {3, T::HelpTimeoutAction}, {4, T::HelpRetransmissionTimes}, {5, T::HelpProfibusAddress}, {6, T::HelpCompatibilityMode}, {7, T::HelpConfigurationMode}, {8, kEmpty}}},
        {"fieldbus_kind3_slave", 3, [](Project& p) { p.subnet(0).protocolMode = "Modbus Slave"; }, "Fieldbus",
         {{3, T::HelpProfibusAddress}, {4, T::HelpCompatibilityMode}, {5, T::HelpConfigurationMode}, {6, kEmpty}}},
        {"fieldbus_kind1_user", 1, [](Project& p) { p.subnet(0).protocolMode = "User Config"; }, "Fieldbus",
         {{3, T::HelpInputLengthPrefix}, {4, T::HelpProfibusAddress}, {5, T::HelpCompatibilityMode}, {6, T::HelpConfigurationMode}, {7, kEmpty}}},
        {"fieldbus_kind0", 0, none, "Fieldbus", {{0, T::HelpFieldbusProtocol}, {1, T::HelpDeviceNetAddress}, {2, T::HelpDeviceNetBaudRate}, {3, T::HelpDeviceNetInputBytes}, {4, T::HelpDeviceNetOutputBytes}, {5, kEmpty}}},
        {"fieldbus_kind4", 4, none, "Ethernet", {{0, T::HelpFieldbusProtocol}, {1, kEmpty}, {6, kEmpty}}},
        {"fieldbus_kind5", 5, none, "Fieldbus", {{1, T::HelpProfibusInputBuffer}, {2, T::HelpProfibusOutputBuffer}, {3, kEmpty}, {4, kEmpty}}},
        {"fieldbus_kind6_user", 6, none, "Fieldbus", {{3, T::HelpInputLengthPrefix}}},
        {"subnet_kind3", 3, none, "Subnet",
         {{0, T::HelpProtocolsMode}, {1, T::HelpModbusBaudRate}, {2, T::HelpDataBits}, {5, T::HelpGatewaySlaveAddress}, {11, T::HelpScanRate}, {12, T::HelpResponseStatus}, {13, T::HelpCharInterval}, {14, T::HelpFrameLength},
          {19, T::HelpDebugInterface}, {20, T::HelpCharIntervalSend}, {21, T::HelpCharIntervalReceive}, {22, kUnchanged}, {39, kUnchanged}}},
        {"subnet_kind6_user", 6, none, "Subnet", {{12, T::HelpFrameType}, {17, T::HelpCrcCheck}, {18, T::HelpCommInterface}}},
        {"subnet_kind0", 0, none, "Subnet", {{12, kUnchanged}, {13, kUnchanged}, {14, kUnchanged}, {20, T::HelpCharIntervalSend}}},
        {"subnet_243", 1, [](Project& p) { p.flags.legacyFlag243 = true; }, "Subnet", {{1, T::HelpBaudRateBrief}}},
        {"subnet_233b", 1, [](Project& p) { p.flags.legacyFlag233b = true; }, "Subnet", {{12, T::HelpPairedCommInterface}, {13, T::HelpPairedDebugInterface}}},
        {"subnet_old", 1, [](Project& p) { p.flags.extendedSettingsFlag = false; }, "Subnet",
         {{20, kUnchanged}, {21, kUnchanged}}},
        {"node", 3, none, "Subnet/Node-1", {{0, T::HelpNodeSlaveAddress}, {1, kUnchanged}}},
        {"command_kind3", 3, none, "Subnet/Node-1/Read Holding Registers",
         {{0, T::HelpNodeSlaveAddress}, {1, T::HelpFunctionCode}, {2, T::HelpStartingAddress}, {3, T::HelpNumberOfDataUpTo122}, {4, T::HelpMappingAddressTo00F3}, {5, T::HelpBitOffset}, {6, kEmpty}, {7, T::HelpDataFilter},
          {8, kEmpty}, {9, T::HelpScanType}, {10, T::HelpByteSwap}, {11, kUnchanged}}},
        {"command_kind1", 1, none, "Subnet/Node-1/Read Holding Registers", {{7, T::HelpByteSwap}}},
        {"command_244", 1, [](Project& p) { p.flags.legacyFlag244 = true; }, "Subnet/Node-1/Read Holding Registers",
         {{3, T::HelpNumberOfDataUpTo84}, {4, T::HelpMappingAddressTo00A7}}},
        {"command_old_version", 3, [](Project& p) { p.fileVersion = 450; }, "Subnet/Node-1/Read Holding Registers",
         {{3, T::HelpNumberOfDataUpTo56}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newProject(c.kind);
        c.setup(*p);
        Editor e(std::move(p));
        for (const auto& [row, help] : c.rows) {
            // A different text first, so "unchanged" is visible.
            e.select(c.item);
            e.s().clickCell(0, 0);
            EXPECT_EQ(shownHelp(e, c.item, row), help.text) << "row " << row << ": " << help.key;
        }
    }
}

TEST(Prompt, UnchangedKeepsThePreviousTextAndSelectionEmptiesIt) {
    Editor e(0);
    e.select("Subnet");
    e.s().clickCell(7, 1);
    EXPECT_EQ(e.s().promptText(), texts::HelpResponseTimeout.text);
    const CellClick c = e.s().clickCell(13, 1);
    EXPECT_EQ(c.prompt, PromptUpdate::Unchanged);
    EXPECT_EQ(e.s().promptText(), texts::HelpResponseTimeout.text);
    EXPECT_FALSE(c.changes.prompt);
    const Changes sel = e.s().selectItem(e.path("Fieldbus"));
    EXPECT_TRUE(sel.prompt);
    EXPECT_EQ(e.s().promptText(), "");
    e.s().clickCell(1, 0);
    EXPECT_EQ(e.s().promptText(), texts::HelpDeviceNetAddress.text);
}

TEST(Prompt, NewProjectEdgeCases) {
    Editor e(3);
    e.s().clickCell(3, 1);
    EXPECT_EQ(e.s().promptText(), texts::HelpTimeoutAction.text);
    e.s().closeList();
    e.s().clickCell(1, 1);
    EXPECT_EQ(e.s().promptText(), texts::HelpProfibusInputBuffer.text);
    // Before any selection after createRoots, a click changes nothing.
    e.s().createRoots();
    const CellClick c = e.s().clickCell(1, 0);
    EXPECT_FALSE(c.accepted);
    EXPECT_EQ(e.s().promptText(), texts::HelpProfibusInputBuffer.text);
}

TEST(Prompt, TextsAreVerbatim) {
    EXPECT_EQ(texts::HelpDebugInterface.text, texts::HelpPairedDebugInterface.text);
    EXPECT_EQ(std::string(texts::HelpCommInterface.text), std::string(texts::HelpPairedCommInterface.text) + ".");
    EXPECT_EQ(texts::HelpNumberOfDataUpTo84.text,
              "The number of data: 1-84 (Modbus functional code 3\xA1\xA2"
              "4\xA1\xA2"
              "16).\r\n1-400( Modbus functional code 1\xA1\xA2"
              "2\xA1\xA2"
              "15)");
    EXPECT_EQ(texts::HelpGatewaySlaveAddress.text,
              "When you select \"Modbus Slave\", this parameter can be modified and is the gateway's address as "
              "Modbus slave.\r\nThe range of the parameter value is 0 to 247.   ");
}

}  // namespace
}  // namespace korvex
