// The tree built for every DeviceKind, NodeKind, selected subnet, paths.
#include <gtest/gtest.h>

#include "editor/tree_model.h"
#include "editor_test_support.h"

namespace korvex {
namespace {

using test::Editor;
using test::newProject;

TEST(TreeRoots, PerDeviceKind) {
    struct Case {
        int kind;
        std::vector<std::string> roots;  // UTF-8 texts
    };
    const Case cases[] = {
        {0, {"Fieldbus", "Subnet"}},
        {1, {"Fieldbus", "Subnet"}},
        {2, {"Subnet", "Subnet2", "Subnet3", "Subnet4"}},
        {3, {"Fieldbus", "Subnet"}},
        {4, {"Ethernet", " Subnet\u2160", "Subnet\u2161"}},
        {5, {"Fieldbus", "Subnet"}},
        {6, {"Fieldbus", "Subnet"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const Tree t = makeRoots(c.kind);
        ASSERT_EQ(t.size(), c.roots.size());
        for (size_t i = 0; i < t.size(); ++i) {
            EXPECT_EQ(t[i].text, c.roots[i]);
            EXPECT_EQ(t[i].data, 0);
            EXPECT_TRUE(t[i].children.empty());
        }
    }
}

TEST(TreeRoots, Kind4LabelsKeepTheirGb2312Bytes) {
    const Tree t = makeRoots(4);
    EXPECT_EQ(t[1].raw, " Subnet\xA2\xF1");
    EXPECT_EQ(t[2].raw, "Subnet\xA2\xF2");
    EXPECT_EQ(subnetOfLabel(t[1].raw), 0);
    EXPECT_EQ(subnetOfLabel(t[2].raw), 1);
    EXPECT_EQ(subnetOfLabel(t[1].text), -1);  // the rules compare the program's bytes
}

TEST(TreeRebuild, NewProjectShowsDefaultNodeAndSelectsFieldbus) {
    Editor e(3);
    EXPECT_EQ(e.treeLines(), (std::vector<std::string>{"Fieldbus:0", "Subnet:0", "  Node-1:1",
                                                       "    Read Holding Registers:1",
                                                       "    Preset Multiple Registers:2"}));
    EXPECT_EQ(e.s().selectedItem(), ItemPath{0});
    EXPECT_EQ(e.s().nodeKind(), NodeKind::Fieldbus);
    EXPECT_TRUE(e.s().state().treeSelectionMade);
}

TEST(TreeRebuild, OnlyModbusMasterSubnetsShowNodes) {
    struct Case {
        const char* name;
        int kind;
        int subnet;              // which subnet gets the node
        const char* mode1;       // subnet 1 mode
        const char* modeOther;   // mode of that subnet
        bool shown;
    };
    const Case cases[] = {
        {"kind3_master", 3, 0, "Modbus Master", "Modbus Master", true},
        {"kind3_slave", 3, 0, "Modbus Slave", "Modbus Slave", false},
        {"kind3_user", 3, 0, "User Config", "User Config", false},
        {"kind2_subnet3_master", 2, 2, "Modbus Slave", "Modbus Master", true},
        {"kind2_subnet3_slave", 2, 2, "Modbus Master", "Modbus Slave", false},
        {"kind4_subnet2_slave_follows_subnet1", 4, 1, "Modbus Master", "Modbus Slave", true},
        {"kind4_subnet2_hidden_when_subnet1_not_master", 4, 1, "Modbus Slave", "Modbus Master", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newProject(c.kind, false);
        p->subnet(0).protocolMode = c.mode1;
        if (c.subnet != 0) p->subnet(c.subnet).protocolMode = c.modeOther;
        test::addNodeTo(*p, c.subnet, "7");
        test::addCommandTo(*p, c.subnet, 1, "3");
        const Tree t = buildTree(*p);
        const size_t root = c.kind == 2 ? static_cast<size_t>(c.subnet) : static_cast<size_t>(c.subnet + 1);
        ASSERT_LT(root, t.size());
        EXPECT_EQ(t[root].children.size(), c.shown ? 1u : 0u);
        if (c.shown) {
            EXPECT_EQ(t[root].children[0].text, "Node-7");
            ASSERT_EQ(t[root].children[0].children.size(), 1u);
            EXPECT_EQ(t[root].children[0].children[0].text, "Read Holding Registers");
        }
    }
}

TEST(TreeRebuild, CommandsGoUnderTheirNodeInTableOrder) {
    auto p = newProject(3, false);
    test::addNodeTo(*p, 0, "1");
    test::addNodeTo(*p, 0, "2");
    test::addCommandTo(*p, 0, 2, "1");
    test::addCommandTo(*p, 0, 1, "16");
    test::addCommandTo(*p, 0, 2, "99");  // unknown function code: no item
    test::addCommandTo(*p, 0, 2, "15");
    p->subnet(0).commands[4] = p->subnet(0).commands[0];
    p->subnet(0).commands[4].nodeIndex = 9;  // no such node: no item
    p->subnet(0).commandCount = 5;
    Editor e(std::move(p));
    EXPECT_EQ(e.treeLines(),
              (std::vector<std::string>{"Fieldbus:0", "Subnet:0", "  Node-1:1", "    Preset Multiple Registers:2",
                                        "  Node-2:2", "    Read Coil Status:1", "    Force Multiple Coils:4"}));
}

TEST(TreeRebuild, NodeNamesAreDecodedFromWindows1252) {
    auto p = newProject(3, false);
    test::addNodeTo(*p, 0, "3");
    p->subnet(0).nodes[0].name = "Pumpe \xE4\x80";
    const Tree t = buildTree(*p);
    EXPECT_EQ(t[1].children[0].raw, "Pumpe \xE4\x80");
    EXPECT_EQ(t[1].children[0].text, "Pumpe \u00e4\u20ac");
}

TEST(TreeRebuild, CountsOutsideTheTablesAreBounded) {
    auto p = newProject(3, false);
    p->subnet(0).nodeCount = 5000;
    p->subnet(0).commandCount = -4;
    const Tree t = buildTree(*p);
    EXPECT_EQ(t[1].children.size(), 128u);
}

TEST(Classify, NodeKindAndSubnetFromTheTexts) {
    auto p = newProject(2, false);
    for (int s = 0; s < 4; ++s) {
        test::addNodeTo(*p, s, std::to_string(s + 1));
        test::addCommandTo(*p, s, 1, "4");
    }
    const Tree t = buildTree(*p);
    struct Case {
        ItemPath path;
        NodeKind kind;
        int subnet;
    };
    const Case cases[] = {
        {{0}, NodeKind::Subnet, 0},     {{1}, NodeKind::Subnet, 1},     {{3}, NodeKind::Subnet, 3},
        {{2, 0}, NodeKind::Node, 2},    {{3, 0, 0}, NodeKind::Command, 3}, {{1, 0, 0}, NodeKind::Command, 1},
        {{7}, NodeKind::None, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classifyItem(t, c.path), c.kind);
        EXPECT_EQ(subnetOfItem(t, c.path), c.subnet);
        EXPECT_FALSE(isInFieldbusBranch(t, c.path));
    }
    const Tree k3 = buildTree(*newProject(3));
    EXPECT_EQ(classifyItem(k3, {0}), NodeKind::Fieldbus);
    EXPECT_TRUE(isInFieldbusBranch(k3, {0}));
    const Tree k4 = buildTree(*newProject(4));
    EXPECT_EQ(classifyItem(k4, {0}), NodeKind::Fieldbus);
    EXPECT_EQ(classifyItem(k4, {2}), NodeKind::Subnet);
    EXPECT_EQ(subnetOfItem(k4, {2}), 1);
    EXPECT_EQ(subnetOfItem(k4, {1, 0, 1}), 0);
}

TEST(ItemPaths, FindWithSiblingIndexAndPrintBack) {
    auto p = newProject(3);
    test::addCommandTo(*p, 0, 1, "3");
    const Tree t = buildTree(*p);
    struct Case {
        const char* text;
        std::optional<ItemPath> path;
    };
    const Case cases[] = {
        {"Fieldbus", ItemPath{0}},
        {"Subnet/Node-1", ItemPath{1, 0}},
        {"Subnet/Node-1/Read Holding Registers", ItemPath{1, 0, 0}},
        {"Subnet/Node-1/Read Holding Registers[1]", ItemPath{1, 0, 0}},
        {"Subnet/Node-1/Read Holding Registers[2]", ItemPath{1, 0, 2}},
        {"Subnet/Node-1/Read Holding Registers[3]", std::nullopt},
        {"Subnet/Node-1/Read Holding Registers[0]", std::nullopt},
        {"Subnet/Node-2", std::nullopt},
        {"", std::nullopt},
        {"Subnet/", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(findItemPath(t, c.text), c.path);
    }
    EXPECT_EQ(itemPathText(t, {1, 0, 2}), "Subnet/Node-1/Read Holding Registers[2]");
    const Tree k4 = buildTree(*newProject(4));
    EXPECT_EQ(findItemPath(k4, " Subnet\u2160/Node-1"), (ItemPath{1, 0}));
    EXPECT_EQ(findItemPath(k4, "Subnet\u2160/Node-1"), (ItemPath{1, 0}));
    EXPECT_EQ(itemPathText(t, {1, 0, 1}), "Subnet/Node-1/Preset Multiple Registers");
}

// Node names holding control characters, backslashes and slashes: the printed
// text escapes them, and the path of every item names that item again.
TEST(ItemPaths, EscapedTextsNameEveryItem) {
    struct Case {
        const char* name;     // bytes of the node name (windows-1252)
        const char* printed;  // escapedItemText of its UTF-8 text
    };
    const Case cases[] = {
        {"Line\r\nBreak", "Line\\r\\nBreak"},
        {"Tab\there", "Tab\\there"},
        {"C:\\plant\\n", "C:\\\\plant\\\\n"},
        {"in/out", "in/out"},
        {"bell\x07" "del\x7F", "bell\\x07del\\x7F"},
        {"unused\x81\x9D", "unused\\x81\\x9D"},
        {"Pumpe \xE9\x80", "Pumpe \xC3\xA9\xE2\x82\xAC"},
    };
    auto p = newProject(3, false);
    for (size_t i = 0; i < std::size(cases); ++i) {
        test::addNodeTo(*p, 0, std::to_string(i + 1));
        p->subnet(0).nodes[i].name = cases[i].name;
    }
    const Tree t = buildTree(*p);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].printed);
        const ItemPath item{1, static_cast<int>(i)};
        EXPECT_EQ(escapedItemText(t[1].children[i].text), cases[i].printed);
        EXPECT_EQ(findItemPath(t, itemPathText(t, item)), item) << itemPathText(t, item);
    }
    EXPECT_EQ(itemPathText(t, {1, 3}), "Subnet/in\\/out");
    EXPECT_EQ(findItemPath(t, "Subnet/Tab\\there"), (ItemPath{1, 1}));
    EXPECT_EQ(findItemPath(t, "Subnet/unused\\x81\\x9d"), (ItemPath{1, 5}));
    // Without its escape the slash separates texts, and an unknown escape or a
    // lone backslash names nothing.
    EXPECT_EQ(findItemPath(t, "Subnet/in/out"), std::nullopt);
    EXPECT_EQ(findItemPath(t, "Subnet/Tab\\qhere"), std::nullopt);
    EXPECT_EQ(findItemPath(t, "Subnet/Tab\\"), std::nullopt);
    EXPECT_EQ(findItemPath(t, "Subnet/bell\\x0"), std::nullopt);
    EXPECT_EQ(findItemPath(t, "Subnet/bell\\xG7del\\x7F"), std::nullopt);
}

}  // namespace
}  // namespace korvex
