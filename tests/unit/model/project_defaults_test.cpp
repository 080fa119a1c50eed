#include <gtest/gtest.h>

#include <memory>

#include "model/project.h"
#include "model/texts.h"

namespace korvex {
namespace {

std::unique_ptr<Project> newProject(int kind) {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p, kind);
    return p;
}

TEST(ProjectDefaults, NewProjectWithDefaultNode) {
    auto p = newProject(3);
    addDefaultNode(*p);
    EXPECT_EQ(p->deviceKind, 3);
    EXPECT_EQ(p->fieldbus.protocolType, "PROFIBUS");
    EXPECT_EQ(p->fieldbus.inputSize, "112");
    EXPECT_EQ(p->fieldbus.outputSize, "112");
    EXPECT_TRUE(p->flags.extendedSettingsFlag);
    EXPECT_FALSE(p->flags.legacyFlag233a || p->flags.legacyFlag233b || p->flags.legacyFlag243 ||
                 p->flags.legacyFlag244 || p->flags.legacyFlag245 || p->flags.legacyFlag246);
    const SubnetConfig& s1 = p->subnet(0);
    EXPECT_EQ(s1.protocolMode, "Modbus Master");
    ASSERT_EQ(s1.nodeCount, 1);
    ASSERT_EQ(s1.commandCount, 2);
    EXPECT_EQ(s1.nodes[0], (SlaveNode{"1", "Node-1"}));
    EXPECT_EQ(s1.commands[0].functionCode, "3");
    EXPECT_EQ(s1.commands[0].mappingAddress, "0");
    EXPECT_EQ(s1.commands[0].byteCount, "16");
    EXPECT_EQ(s1.commands[1].functionCode, "16");
    EXPECT_EQ(s1.commands[1].mappingAddress, "4000");
    EXPECT_EQ(s1.commands[1].nodeIndex, 1);
    EXPECT_EQ(s1.outputPulse, "-1");
    EXPECT_EQ(s1.timeoutAction, "Clear Data");
    EXPECT_EQ(texts::HoldData.text, "Hold  Data");
    EXPECT_EQ(texts::OutputPulse.text, "Pluse output");
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(p->subnet(i).nodeCount, 0);
        EXPECT_EQ(p->subnet(i).commandCount, 0);
        EXPECT_EQ(p->subnet(i).nodes[0], (SlaveNode{"-1", "New Node"}));
    }
}

struct KindCase {
    int kind;
    const char* protocolType;
    const char* size;
    const char* subnet1Mode;
    const char* slaveAddress;
    const char* dataFilter;
};

TEST(ProjectDefaults, EveryDeviceKind) {
    const KindCase cases[] = {
        {0, "DeviceNet", "64", "Modbus Master", "", "No Swap"},
        {1, "PROFIBUS", "112", "Modbus Master", "", "No Swap"},
        {2, "DeviceNet", "8", "Modbus Master", "", "No Swap"},  // kind 2 keeps the previous text
        {3, "PROFIBUS", "112", "Modbus Master", "", "Fullword"},
        {4, "EtherNet/IP", "8", "Modbus Master", "", "No Swap"},
        {5, "PROFIBUS", "112", "Modbus Slave", "1", "No Swap"},
        {6, "PROFIBUS", "112", "User Config", "", "No Swap"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        auto p = newProject(c.kind);
        EXPECT_EQ(p->fieldbus.protocolType, c.protocolType);
        EXPECT_EQ(p->fieldbus.inputSize, c.size);
        EXPECT_EQ(p->fieldbus.outputSize, c.size);
        EXPECT_EQ(p->subnet(0).protocolMode, c.subnet1Mode);
        EXPECT_EQ(p->subnet(0).slaveAddress, c.slaveAddress);
        EXPECT_EQ(p->subnet(1).protocolMode, "Modbus Master");
        EXPECT_EQ(p->subnet(0).commands[99].dataFilter, c.dataFilter);
        EXPECT_EQ(p->subnet(3).commands[0].scanType, "Fast Scan");
        addDefaultNode(*p);
        EXPECT_EQ(p->subnet(0).commands[1].dataFilter, c.dataFilter);
    }
}

TEST(ProjectModel, FunctionTextsBothWays) {
    const std::pair<const char*, const char*> table[] = {
        {"1", "Read Coil Status"},       {"2", "Read Input Status"},
        {"3", "Read Holding Registers"}, {"4", "Read Input Registers"},
        {"5", "Force Single Coil"},      {"6", "Preset Single Register"},
        {"15", "Force Multiple Coils"},  {"16", "Preset Multiple Registers"},
    };
    for (const auto& [code, text] : table) {
        EXPECT_EQ(functionText(code), text);
        EXPECT_EQ(functionCodeOfText(text), code);
    }
    EXPECT_EQ(functionText("7"), "");
    EXPECT_EQ(functionCodeOfText("read coil status"), "");
}

TEST(ProjectModel, NodeOfCommandFollowsNodeIndexAndRefusesBadOnes) {
    auto p = newProject(3);
    addDefaultNode(*p);
    EXPECT_EQ(nodeOfCommand(*p, 0, 1), &p->subnet(0).nodes[0]);
    p->subnet(0).commands[1].nodeIndex = 0;
    EXPECT_EQ(nodeOfCommand(*p, 0, 1), nullptr);
    p->subnet(0).commands[1].nodeIndex = 129;
    EXPECT_EQ(nodeOfCommand(*p, 0, 1), nullptr);
    EXPECT_EQ(nodeOfCommand(*p, 4, 0), nullptr);
    EXPECT_EQ(nodeOfCommand(*p, 0, 100), nullptr);
}

TEST(ProjectModel, FieldAccessByName) {
    auto p = newProject(3);
    ASSERT_NE(fieldByName(p->subnet(0), "timeoutAction"), nullptr);
    EXPECT_EQ(*fieldByName(p->subnet(0), "timeoutAction"), "Clear Data");
    EXPECT_EQ(*fieldByName(p->fieldbus, "configurationMode"), "Via Korvex");
    EXPECT_EQ(fieldByName(p->subnet(0), "noSuchField"), nullptr);
    EXPECT_EQ(fieldbusTextFields().size(), 20u);
    EXPECT_EQ(commandTextFields().size(), 11u);
    EXPECT_EQ(variantFlagFields().size(), 7u);
}

}  // namespace
}  // namespace korvex
