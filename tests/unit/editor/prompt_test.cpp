// The help text a grid click shows.
#include <gtest/gtest.h>

#include <functional>

#include "editor_test_support.h"

namespace korvex {
namespace {

using test::Editor;
using test::newProject;

constexpr const char* kUnchanged = "(unchanged)";
constexpr const char* kEmpty = "(empty)";

// The help key a click on (item, row) shows: "H9", kEmpty or kUnchanged.
std::string helpKey(Editor& e, const std::string& item, int row) {
    e.select(item);
    const CellClick c = e.s().clickCell(row, 0);
    if (!c.accepted || c.prompt == PromptUpdate::Unchanged) return kUnchanged;
    if (c.prompt == PromptUpdate::Empty) return kEmpty;
    for (int k = 1; k <= 52; ++k) {
        const Text* all[] = {&texts::H1,  &texts::H2,  &texts::H3,  &texts::H4,  &texts::H5,  &texts::H6,
                             &texts::H7,  &texts::H8,  &texts::H9,  &texts::H10, &texts::H11, &texts::H12,
                             &texts::H13, &texts::H14, &texts::H15, &texts::H16, &texts::H17, &texts::H18,
                             &texts::H19, &texts::H20, &texts::H21, &texts::H22, &texts::H23, &texts::H24,
                             &texts::H25, &texts::H26, &texts::H27, &texts::H28, &texts::H29, &texts::H30,
                             &texts::H31, &texts::H32, &texts::H33, &texts::H34, &texts::H35, &texts::H36,
                             &texts::H37, &texts::H38, &texts::H39, &texts::H40, &texts::H41, &texts::H42,
                             &texts::H43, &texts::H44, &texts::H45, &texts::H46, &texts::H47, &texts::H48,
                             &texts::H49, &texts::H50, &texts::H51, &texts::H52};
        // H30/H36 and H28/H35 differ only slightly; H36 is the same text as H30.
        if (all[k - 1]->text == c.promptText) return "H" + std::to_string(k);
    }
    return "?" + c.promptText;
}

struct Case {
    const char* name;
    int kind;
    std::function<void(Project&)> setup;
    const char* item;
    std::vector<std::pair<int, std::string>> rows;  // row -> expected key
};

TEST(Prompt, TextPerItemRowKindAndFlags) {
    const auto none = [](Project&) {};
    const Case cases[] = {
        {"fieldbus_kind3_master", 3, none, "Fieldbus",
         {{0, "H1"}, {1, "H6"}, {2, "H7"}, {3, "H9"}, {4, "H10"}, {5, "H11"}, {6, "H12"}, {7, "H13"}, {8, kEmpty}}},
        {"fieldbus_kind3_slave", 3, [](Project& p) { p.subnet(0).protocolMode = "Modbus Slave"; }, "Fieldbus",
         {{3, "H11"}, {4, "H12"}, {5, "H13"}, {6, kEmpty}}},
        {"fieldbus_kind1_user", 1, [](Project& p) { p.subnet(0).protocolMode = "User Config"; }, "Fieldbus",
         {{3, "H8"}, {4, "H11"}, {5, "H12"}, {6, "H13"}, {7, kEmpty}}},
        {"fieldbus_kind0", 0, none, "Fieldbus", {{0, "H1"}, {1, "H2"}, {2, "H3"}, {3, "H4"}, {4, "H5"}, {5, kEmpty}}},
        {"fieldbus_kind4", 4, none, "Ethernet", {{0, "H1"}, {1, kEmpty}, {6, kEmpty}}},
        {"fieldbus_kind5", 5, none, "Fieldbus", {{1, "H6"}, {2, "H7"}, {3, kEmpty}, {4, kEmpty}}},
        {"fieldbus_kind6_user", 6, none, "Fieldbus", {{3, "H8"}}},
        {"subnet_kind3", 3, none, "Subnet",
         {{0, "H14"}, {1, "H15"}, {2, "H17"}, {5, "H20"}, {11, "H26"}, {12, "H38"}, {13, "H29"}, {14, "H31"},
          {19, "H30"}, {20, "H39"}, {21, "H40"}, {22, kUnchanged}, {39, kUnchanged}}},
        {"subnet_kind6_user", 6, none, "Subnet", {{12, "H27"}, {17, "H34"}, {18, "H35"}}},
        {"subnet_kind0", 0, none, "Subnet", {{12, kUnchanged}, {13, kUnchanged}, {14, kUnchanged}, {20, "H39"}}},
        {"subnet_243", 1, [](Project& p) { p.flags.legacyFlag243 = true; }, "Subnet", {{1, "H16"}}},
        {"subnet_233b", 1, [](Project& p) { p.flags.legacyFlag233b = true; }, "Subnet", {{12, "H28"}, {13, "H30"}}},
        {"subnet_old", 1, [](Project& p) { p.flags.extendedSettingsFlag = false; }, "Subnet",
         {{20, kUnchanged}, {21, kUnchanged}}},
        {"node", 3, none, "Subnet/Node-1", {{0, "H37"}, {1, kUnchanged}}},
        {"command_kind3", 3, none, "Subnet/Node-1/Read Holding Registers",
         {{0, "H37"}, {1, "H41"}, {2, "H42"}, {3, "H45"}, {4, "H48"}, {5, "H49"}, {6, kEmpty}, {7, "H50"},
          {8, kEmpty}, {9, "H52"}, {10, "H51"}, {11, kUnchanged}}},
        {"command_kind1", 1, none, "Subnet/Node-1/Read Holding Registers", {{7, "H51"}}},
        {"command_244", 1, [](Project& p) { p.flags.legacyFlag244 = true; }, "Subnet/Node-1/Read Holding Registers",
         {{3, "H43"}, {4, "H46"}}},
        {"command_old_version", 3, [](Project& p) { p.fileVersion = 450; }, "Subnet/Node-1/Read Holding Registers",
         {{3, "H44"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newProject(c.kind);
        c.setup(*p);
        Editor e(std::move(p));
        for (const auto& [row, key] : c.rows) {
            // A different text first, so "unchanged" is visible.
            e.select(c.item);
            e.s().clickCell(0, 0);
            EXPECT_EQ(helpKey(e, c.item, row), key) << "row " << row;
        }
    }
}

TEST(Prompt, UnchangedKeepsThePreviousTextAndSelectionEmptiesIt) {
    Editor e(0);
    e.select("Subnet");
    e.s().clickCell(7, 1);
    EXPECT_EQ(e.s().promptText(), texts::H22.text);
    const CellClick c = e.s().clickCell(13, 1);
    EXPECT_EQ(c.prompt, PromptUpdate::Unchanged);
    EXPECT_EQ(e.s().promptText(), texts::H22.text);
    EXPECT_FALSE(c.changes.prompt);
    const Changes sel = e.s().selectItem(e.path("Fieldbus"));
    EXPECT_TRUE(sel.prompt);
    EXPECT_EQ(e.s().promptText(), "");
    e.s().clickCell(1, 0);
    EXPECT_EQ(e.s().promptText(), texts::H2.text);
}

TEST(Prompt, NewProjectEdgeCases) {
    Editor e(3);
    e.s().clickCell(3, 1);
    EXPECT_EQ(e.s().promptText(), texts::H9.text);
    e.s().closeList();
    e.s().clickCell(1, 1);
    EXPECT_EQ(e.s().promptText(), texts::H6.text);
    // Before any selection after createRoots, a click changes nothing.
    e.s().createRoots();
    const CellClick c = e.s().clickCell(1, 0);
    EXPECT_FALSE(c.accepted);
    EXPECT_EQ(e.s().promptText(), texts::H6.text);
}

TEST(Prompt, TextsAreVerbatim) {
    EXPECT_EQ(texts::H36.text, texts::H30.text);
    EXPECT_EQ(std::string(texts::H35.text), std::string(texts::H28.text) + ".");
    EXPECT_EQ(texts::H43.text,
              "The number of data: 1-84 (Modbus functional code 3\xA1\xA2"
              "4\xA1\xA2"
              "16).\r\n1-400( Modbus functional code 1\xA1\xA2"
              "2\xA1\xA2"
              "15)");
    EXPECT_EQ(texts::H20.text,
              "When you select \"Modbus Slave\", this parameter can be modified and is the gateway's address as "
              "Modbus slave.\r\nThe range of the parameter value is 0 to 247.   ");
}

}  // namespace
}  // namespace korvex
