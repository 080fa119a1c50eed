// Adding, deleting, copying and pasting nodes and commands.
#include <gtest/gtest.h>

#include "editor_test_support.h"

namespace korvex {
namespace {

using test::Editor;
using test::keys;
using test::newProject;

// Three nodes; node 2 owns the commands at positions 3 and 5 of 6.
std::unique_ptr<Project> deleteExample() {
    auto p = newProject(3, false);
    test::addNodeTo(*p, 0, "1");
    test::addNodeTo(*p, 0, "2");
    test::addNodeTo(*p, 0, "3");
    test::addCommandTo(*p, 0, 1, "3", "0");
    test::addCommandTo(*p, 0, 3, "4", "10");
    test::addCommandTo(*p, 0, 2, "1", "20");
    test::addCommandTo(*p, 0, 1, "16", "4000");
    test::addCommandTo(*p, 0, 2, "2", "30");
    test::addCommandTo(*p, 0, 3, "15", "4010");
    return p;
}

TEST(DeleteNode, BookkeepingInBothVariants) {
    for (CommandSource source : {CommandSource::EditMenu, CommandSource::ContextMenu}) {
        SCOPED_TRACE(source == CommandSource::EditMenu ? "edit menu" : "context menu");
        Editor e(deleteExample());
        if (source == CommandSource::EditMenu) e.select("Subnet/Node-2");
        else ASSERT_TRUE(e.s().rightClick(e.path("Subnet/Node-2")).deleteNode);
        const Changes c = e.s().deleteNode(source);
        EXPECT_TRUE(c.tree);
        EXPECT_TRUE(c.project);
        EXPECT_TRUE(e.project->modified);
        EXPECT_TRUE(e.op.shown().empty());
        const SubnetConfig& s = e.project->subnet(0);
        ASSERT_EQ(s.nodeCount, 2);
        ASSERT_EQ(s.commandCount, 4);
        EXPECT_EQ(s.nodes[0].name, "Node-1");
        EXPECT_EQ(s.nodes[1].name, "Node-3");
        const std::pair<const char*, int> commands[] = {{"0", 1}, {"10", 2}, {"4000", 1}, {"4010", 2}};
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(s.commands[static_cast<size_t>(k)].mappingAddress, commands[k].first) << k;
            EXPECT_EQ(s.commands[static_cast<size_t>(k)].nodeIndex, commands[k].second) << k;
        }
        EXPECT_EQ(e.treeLines(), (std::vector<std::string>{"Fieldbus:0", "Subnet:0", "  Node-1:1",
                                                           "    Read Holding Registers:1",
                                                           "    Preset Multiple Registers:3", "  Node-3:2",
                                                           "    Read Input Registers:2", "    Force Multiple Coils:4"}));
        if (source == CommandSource::EditMenu) {
            EXPECT_EQ(e.s().selectedItem(), ItemPath{0});  // rebuilt, first item selected
            EXPECT_TRUE(e.s().tree()[1].expanded);
            EXPECT_FALSE(e.s().canDeleteNode());
        } else {
            EXPECT_EQ(e.s().selectedItem(), (ItemPath{1, 1}));  // the next node item
            EXPECT_EQ(e.s().nodeKind(), NodeKind::Node);
            EXPECT_EQ(e.value(0), "3");
        }
    }
}

TEST(DeleteNode, LastNodeAndItsCommands) {
    Editor e(3);
    ASSERT_TRUE(e.s().rightClick(e.path("Subnet/Node-1")).deleteNode);
    e.s().deleteNode(CommandSource::ContextMenu);
    EXPECT_EQ(e.project->subnet(0).nodeCount, 0);
    EXPECT_EQ(e.project->subnet(0).commandCount, 0);
    EXPECT_EQ(e.treeLines(), (std::vector<std::string>{"Fieldbus:0", "Subnet:0"}));
    EXPECT_EQ(e.s().selectedItem(), ItemPath{1});
    EXPECT_EQ(e.s().nodeKind(), NodeKind::Subnet);
    // Nothing left to delete: the operations do nothing.
    EXPECT_FALSE(e.s().deleteNode().any());
    EXPECT_FALSE(e.s().deleteCommand().any());
}

TEST(DeleteCommand, LaterItemsMoveUp) {
    Editor e(deleteExample());
    e.select("Subnet/Node-2/Read Coil Status");
    ASSERT_TRUE(e.s().canDeleteCommand());
    e.s().deleteCommand();
    const SubnetConfig& s = e.project->subnet(0);
    ASSERT_EQ(s.commandCount, 5);
    EXPECT_EQ(s.commands[2].mappingAddress, "4000");
    EXPECT_EQ(e.treeLines(),
              (std::vector<std::string>{"Fieldbus:0", "Subnet:0", "  Node-1:1", "    Read Holding Registers:1",
                                        "    Preset Multiple Registers:3", "  Node-2:2", "    Read Input Status:4",
                                        "  Node-3:3", "    Read Input Registers:2", "    Force Multiple Coils:5"}));
    EXPECT_EQ(e.s().selectedItem(), (ItemPath{1, 1, 0}));  // the next command of the node
    EXPECT_EQ(e.s().state().currentCommandIndex, 4);
    EXPECT_TRUE(e.project->modified);
}

TEST(AddNode, AppendsNewNodeAndRespectsTheLimit) {
    Editor e(3);
    e.select("Subnet/Node-1");  // from a node item: the node goes to its subnet
    const Changes c = e.s().addNode();
    EXPECT_TRUE(c.tree);
    EXPECT_EQ(e.project->subnet(0).nodeCount, 2);
    EXPECT_EQ(e.project->subnet(0).nodes[1], (SlaveNode{"-1", "New Node"}));
    EXPECT_EQ(e.s().tree()[1].children[1].text, "New Node");
    EXPECT_EQ(e.s().tree()[1].children[1].data, 2);
    EXPECT_TRUE(e.project->modified);

    auto full = newProject(3, false);
    for (int i = 1; i <= kMaxNodes; ++i) test::addNodeTo(*full, 0, std::to_string(i));
    Editor f(std::move(full));
    f.select("Subnet");
    f.s().addNode();
    EXPECT_EQ(f.op.shownKeys(), keys({"NodeLimit"}));
    EXPECT_EQ(f.project->subnet(0).nodeCount, kMaxNodes);
    EXPECT_FALSE(f.project->modified);
}

TEST(AddNode, Legacy244AllowsOneNode) {
    auto p = newProject(3, false);
    p->flags.legacyFlag244 = true;
    Editor e(std::move(p));
    e.select("Subnet");
    EXPECT_TRUE(e.s().canAddNode());
    const ContextMenu m = e.s().rightClick(e.path("Subnet"));
    EXPECT_TRUE(m.addNode);
    e.s().addNode(CommandSource::ContextMenu);
    EXPECT_FALSE(e.s().canAddNode());  // the context-menu variant turns it off
    EXPECT_FALSE(e.s().addNode().any());
    e.select("Subnet");
    EXPECT_FALSE(e.s().canAddNode());
}

TEST(AddCommand, NewCommandFieldsPerFunctionCode) {
    struct Case {
        int kind;
        const char* transmission;
        int fc;
        const char* count;
        const char* filter;
        const char* check;
        const char* text;
    };
    const Case cases[] = {
        {3, "RTU", 1, "", "Fullword", "CRC", "Read Coil Status"},
        {3, "ASCII", 5, "1", "Fullword", "LRC", "Force Single Coil"},
        {1, "RTU", 6, "1", "No Swap", "CRC", "Preset Single Register"},
        {2, "RTU", 16, "", "No Swap", "CRC", "Preset Multiple Registers"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto p = newProject(c.kind);
        p->subnet(0).masterTransmissionMode = c.transmission;
        Editor e(std::move(p));
        e.select("Subnet/Node-1");
        const Changes ch = e.s().addCommand(c.fc);
        EXPECT_TRUE(ch.tree);
        const ModbusCommand& cmd = e.project->subnet(0).commands[2];
        EXPECT_EQ(e.project->subnet(0).commandCount, 3);
        EXPECT_EQ(cmd.functionCode, std::to_string(c.fc));
        EXPECT_EQ(cmd.slaveAddress, "1");
        EXPECT_EQ(cmd.nodeIndex, 1);
        EXPECT_EQ(cmd.dataCount, c.count);
        EXPECT_EQ(cmd.startAddress, "");
        EXPECT_EQ(cmd.mappingAddress, "");
        EXPECT_EQ(cmd.bitOffset, "");
        EXPECT_EQ(cmd.byteCount, "");
        EXPECT_EQ(cmd.dataFilter, c.filter);
        EXPECT_EQ(cmd.checkType, c.check);
        EXPECT_EQ(cmd.scanType, "Fast Scan");
        EXPECT_EQ(cmd.byteSwap, "No Swap");
        const TreeItem& node = e.s().tree()[e.project->deviceKind == 2 ? 0 : 1].children[0];
        EXPECT_EQ(node.children.back().text, c.text);
        EXPECT_EQ(node.children.back().data, 3);
        EXPECT_TRUE(node.expanded);
        EXPECT_TRUE(e.project->modified);
    }
}

TEST(AddCommand, SelectCommandListAndLimit) {
    const auto& entries = selectCommandEntries();
    const std::pair<const char*, int> expected[] = {
        {"01 Read Coil Status", 1},         {"02 Read Input Status", 2},      {"03 Read Holding Registers", 3},
        {"04 Read Input Registers", 4},     {"05 Force Single Coil", 5},      {"06 Preset Single Register", 6},
        {"15 Force Multiple Coils", 15},    {"16 Preset Multiple Registers", 16},
    };
    ASSERT_EQ(entries.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(entries[i].text, expected[i].first);
        EXPECT_EQ(entries[i].functionCode, expected[i].second);
    }
    Editor e(3);
    e.select("Subnet/Node-1");
    for (int i = 2; i < kMaxCommands; ++i) e.s().addCommandAt(i % 8);
    EXPECT_TRUE(e.op.shown().empty());
    EXPECT_EQ(e.project->subnet(0).commandCount, kMaxCommands);
    e.s().addCommandAt(0);
    EXPECT_EQ(e.op.shownKeys(), keys({"CommandLimit"}));
    EXPECT_EQ(e.project->subnet(0).commandCount, kMaxCommands);
    EXPECT_FALSE(e.s().addCommand(7).any());  // not a function code
    EXPECT_FALSE(e.s().addCommandAt(8).any());
}

TEST(CopyPaste, PastingTwiceMakesTwoNodesWithTheSameMappings) {
    Editor e(3);
    e.s().rightClick(e.path("Subnet/Node-1"));
    ASSERT_TRUE(e.s().canCopyNode());
    e.s().copyNode();
    EXPECT_TRUE(e.s().hasCopy());
    for (int round = 1; round <= 2; ++round) {
        const ContextMenu m = e.s().rightClick(e.path("Subnet"));
        ASSERT_TRUE(m.pasteNode);
        e.s().pasteNode();
    }
    const SubnetConfig& s = e.project->subnet(0);
    ASSERT_EQ(s.nodeCount, 3);
    ASSERT_EQ(s.commandCount, 6);
    for (int k = 2; k < 6; ++k) {
        const ModbusCommand& cmd = s.commands[static_cast<size_t>(k)];
        EXPECT_EQ(cmd.slaveAddress, "-1");
        EXPECT_EQ(cmd.nodeIndex, k < 4 ? 2 : 3);
        EXPECT_EQ(cmd.mappingAddress, k % 2 == 0 ? "0" : "4000");
        EXPECT_EQ(cmd.functionCode, k % 2 == 0 ? "3" : "16");
    }
    EXPECT_EQ(e.treeLines(),
              (std::vector<std::string>{"Fieldbus:0", "Subnet:0", "  Node-1:1", "    Read Holding Registers:1",
                                        "    Preset Multiple Registers:2", "  New Node:2",
                                        "    Read Holding Registers:3", "    Preset Multiple Registers:4",
                                        "  New Node:3", "    Read Holding Registers:5",
                                        "    Preset Multiple Registers:6"}));
    EXPECT_TRUE(e.project->modified);
}

TEST(CopyPaste, EnableRules) {
    Editor e(3);
    e.select("Subnet");
    e.s().addNode();
    struct Case {
        const char* item;
        bool copy;
    };
    const Case cases[] = {{"Subnet/New Node", false}, {"Subnet/Node-1", true}, {"Subnet", false}, {"Fieldbus", false},
                          {"Subnet/Node-1/Read Holding Registers", false}};
    for (const auto& c : cases) {
        e.select(c.item);
        EXPECT_EQ(e.s().canCopyNode(), c.copy) << c.item;
        EXPECT_FALSE(e.s().canPasteNode()) << c.item;  // nothing copied yet
    }
    e.select("Subnet/New Node");
    EXPECT_FALSE(e.s().copyNode().any());
    EXPECT_FALSE(e.s().hasCopy());
    e.select("Subnet/Node-1");
    e.s().copyNode();
    e.select("Subnet/Node-1");
    EXPECT_FALSE(e.s().canPasteNode());  // only onto a subnet item
    e.select("Subnet");
    EXPECT_TRUE(e.s().canPasteNode());
}

// Copy Node works on the node's address field: a renamed node can be copied, a
// name that looks like another address does not mislead it, and a node without
// an address cannot be copied whatever it is called.
TEST(CopyPaste, TheAddressFieldDecidesNotTheName) {
    struct Case {
        const char* name;
        const char* nodeName;   // node 1, whose address is 7
        const char* address;
        bool copy;
    };
    const Case cases[] = {
        {"renamed", "Flow meter FT-101", "7", true},
        {"named_like_another_address", "Node-5", "7", true},
        {"default_name_without_address", "Node-7", "-1", false},
        {"empty_address", "Node-7", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newProject(3, false);
        test::addNodeTo(*p, 0, "7");
        test::addCommandTo(*p, 0, 1, "4", "20");
        test::addNodeTo(*p, 0, "5");
        p->subnet(0).nodes[1].name = "Pump";
        test::addCommandTo(*p, 0, 2, "1", "30");
        p->subnet(0).nodes[0].name = c.nodeName;
        p->subnet(0).nodes[0].address = c.address;
        p->subnet(0).commands[0].slaveAddress = c.address;
        Editor e(std::move(p));
        const ContextMenu m = e.s().rightClick(e.path(std::string("Subnet/") + c.nodeName));
        EXPECT_EQ(m.copyNode, c.copy);
        EXPECT_EQ(e.s().canCopyNode(), c.copy);
        e.s().copyNode();
        EXPECT_EQ(e.s().hasCopy(), c.copy);
        if (!c.copy) continue;
        ASSERT_TRUE(e.s().rightClick(e.path("Subnet")).pasteNode);
        e.s().pasteNode();
        const SubnetConfig& s = e.project->subnet(0);
        ASSERT_EQ(s.nodeCount, 3);
        ASSERT_EQ(s.commandCount, 3);  // the command of address 7 only
        EXPECT_EQ(s.commands[2].functionCode, "4");
        EXPECT_EQ(s.commands[2].mappingAddress, "20");
        EXPECT_EQ(s.commands[2].nodeIndex, 3);
    }
}

TEST(CopyPaste, ReferenceByAddressAcrossSubnets) {
    auto p = newProject(2, false);
    test::addNodeTo(*p, 0, "9");
    test::addCommandTo(*p, 0, 1, "4", "20");
    test::addNodeTo(*p, 1, "9");  // same address in another subnet: not copied
    test::addCommandTo(*p, 1, 1, "1", "30");
    Editor e(std::move(p));
    e.s().rightClick(e.path("Subnet/Node-9"));
    e.s().copyNode();
    e.s().rightClick(e.path("Subnet3"));
    e.s().pasteNode();
    const SubnetConfig& s3 = e.project->subnet(2);
    ASSERT_EQ(s3.nodeCount, 1);
    ASSERT_EQ(s3.commandCount, 1);
    EXPECT_EQ(s3.commands[0].functionCode, "4");
    EXPECT_EQ(s3.commands[0].mappingAddress, "20");
    EXPECT_EQ(s3.commands[0].nodeIndex, 1);
}

TEST(CopyPaste, LimitsStopThePaste) {
    // A full command table: the node is added, the copies stop at 100.
    auto p = newProject(3, false);
    test::addNodeTo(*p, 0, "1");
    for (int i = 0; i < 98; ++i) test::addCommandTo(*p, 0, 1, "3");
    Editor e(std::move(p));
    e.s().rightClick(e.path("Subnet/Node-1"));
    e.s().copyNode();
    e.s().rightClick(e.path("Subnet"));
    e.s().pasteNode();
    EXPECT_EQ(e.op.shownKeys(), keys({"CommandLimit"}));
    EXPECT_EQ(e.project->subnet(0).commandCount, kMaxCommands);
    EXPECT_EQ(e.project->subnet(0).nodeCount, 2);
    EXPECT_EQ(e.s().tree()[1].children[1].children.size(), 2u);

    // A full node table: nothing is pasted.
    auto q = newProject(3, false);
    for (int i = 1; i <= kMaxNodes; ++i) test::addNodeTo(*q, 0, std::to_string(i));
    test::addCommandTo(*q, 0, 1, "3");
    Editor f(std::move(q));
    f.s().rightClick(f.path("Subnet/Node-1"));
    f.s().copyNode();
    f.s().rightClick(f.path("Subnet"));
    f.s().pasteNode();
    EXPECT_EQ(f.op.shownKeys(), keys({"NodeLimit"}));
    EXPECT_EQ(f.project->subnet(0).nodeCount, kMaxNodes);
    EXPECT_EQ(f.project->subnet(0).commandCount, 1);
}

TEST(CopyPaste, InitialUpdateEmptiesTheCopyBuffer) {
    Editor e(3);
    e.s().rightClick(e.path("Subnet/Node-1"));
    e.s().copyNode();
    EXPECT_TRUE(e.s().hasCopy());
    e.s().initialUpdate();
    EXPECT_FALSE(e.s().hasCopy());
}

TEST(ContextMenu, EntriesPerItem) {
    struct Case {
        const char* name;
        const char* item;
        const char* mode;
        bool shown, addNode, deleteNode, addCommand, deleteCommand, copy;
    };
    const Case cases[] = {
        {"fieldbus", "Fieldbus", "Modbus Master", false, false, false, false, false, false},
        {"subnet", "Subnet", "Modbus Master", true, true, false, false, false, false},
        {"subnet_slave", "Subnet", "Modbus Slave", false, false, false, false, false, false},
        {"node", "Subnet/Node-1", "Modbus Master", true, true, true, true, false, true},
        {"command", "Subnet/Node-1/Read Holding Registers", "Modbus Master", true, false, false, false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = newProject(3);
        p->subnet(0).protocolMode = c.mode;
        Editor e(std::move(p));
        const ContextMenu m = e.s().rightClick(e.path(c.item));
        EXPECT_EQ(e.s().selectedItem(), e.path(c.item));  // the right click selects
        EXPECT_TRUE(m.changes.selection);
        EXPECT_EQ(m.shown, c.shown);
        EXPECT_EQ(m.addNode, c.addNode);
        EXPECT_EQ(m.deleteNode, c.deleteNode);
        EXPECT_EQ(m.addCommand, c.addCommand);
        EXPECT_EQ(m.deleteCommand, c.deleteCommand);
        EXPECT_EQ(m.copyNode, c.copy);
        EXPECT_FALSE(m.pasteNode);
        EXPECT_EQ(e.s().canAddNode(), c.addNode);
    }
    // Kind 4: subnet 2's nodes show while subnet 1 is master; with subnet 2 not
    // master its items get no menu.
    auto p = newProject(4);
    test::addNodeTo(*p, 1, "3");
    p->subnet(1).protocolMode = "Modbus Slave";
    Editor e(std::move(p));
    const ContextMenu m = e.s().rightClick(e.path("Subnet\u2161/Node-3"));
    EXPECT_FALSE(m.shown);
    EXPECT_FALSE(e.s().canDeleteNode());
    EXPECT_FALSE(e.s().rightClick({9}).changes.any());
}

TEST(Operations, DisabledOnesChangeNothing) {
    Editor e(3);
    e.select("Fieldbus");
    EXPECT_FALSE(e.s().addNode().any());
    EXPECT_FALSE(e.s().addCommand(3).any());
    EXPECT_FALSE(e.s().deleteNode().any());
    EXPECT_FALSE(e.s().deleteCommand().any());
    EXPECT_FALSE(e.s().pasteNode().any());
    EXPECT_FALSE(e.project->modified);
}

TEST(Revisions, GrowWithTheirChanges) {
    Editor e(3);
    const auto tree = e.s().treeRevision();
    const auto grid = e.s().gridRevision();
    const auto sel = e.s().selectionRevision();
    const Changes c = e.s().selectItem(e.path("Subnet"));
    EXPECT_TRUE(c.selection);
    EXPECT_TRUE(c.grid);
    EXPECT_FALSE(c.tree);
    EXPECT_GT(e.s().selectionRevision(), sel);
    EXPECT_GT(e.s().gridRevision(), grid);
    EXPECT_EQ(e.s().treeRevision(), tree);
    e.s().addNode();
    EXPECT_GT(e.s().treeRevision(), tree);
}

}  // namespace
}  // namespace korvex
