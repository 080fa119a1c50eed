// The checks a project passes before a download: those of the Download command
// and those at the start of the sequence.
#include "serial/download_checks.h"

#include <gtest/gtest.h>

#include "case_names.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "mapping/auto_mapping.h"
#include "mapping/plc_blocks.h"
#include "model/operator.h"
#include "model/texts.h"

namespace korvex::serial {
namespace {

Project newProject(int kind, bool defaultNode = true) {
    Project p;
    resetToDefaults(p, kind);
    if (defaultNode) addDefaultNode(p);
    return p;
}

struct PreCheckCase {
    const char* name;
    int kind;
    std::function<void(Project&)> change;
    bool passes;
    std::vector<std::string> shown;
    std::vector<std::string> args;  // of the first text shown
};
void PrintTo(const PreCheckCase& c, std::ostream* os) { *os << c.name; }

class BeforeDownload : public ::testing::TestWithParam<PreCheckCase> {};

TEST_P(BeforeDownload, FirstFailingCheckShowsItsMessage) {
    const PreCheckCase& c = GetParam();
    Project p = newProject(c.kind);
    c.change(p);
    MappingState mapping;
    ScriptedOperator op({Answer::No});
    EXPECT_EQ(checkBeforeDownload(p, mapping, nullptr, op), c.passes);
    EXPECT_EQ(op.shownKeys(), c.shown);
    if (!op.shown().empty()) {
        EXPECT_EQ(op.shown().front().message.args, c.args);
    }
}

void setCommand1(Project& p, std::string ModbusCommand::*field, const char* value) {
    p.subnet(0).commands[0].*field = value;
}

INSTANTIATE_TEST_SUITE_P(
    Checks, BeforeDownload,
    ::testing::Values(
        PreCheckCase{"NewProjectPasses", 3, [](Project&) {}, true, {}, {}},
        PreCheckCase{"VacantResponseTimeoutOfSubnet3", 2, [](Project& p) { p.subnet(2).responseTimeout = "-1"; },
                     false, {"VacantResponseTimeout"}, {"3"}},
        PreCheckCase{"VacantPollDelay", 3, [](Project& p) { p.subnet(0).pollDelay = "-1"; }, false,
                     {"VacantPollDelay"}, {"1"}},
        PreCheckCase{"VacantPulse", 3,
                     [](Project& p) {
                         p.subnet(0).outputMode = "Pluse output";
                         p.subnet(0).outputPulse = "-1";
                     },
                     false, {"VacantOutputPulse"}, {"1"}},
        PreCheckCase{"VacantPulseWithoutPulseOutput", 3, [](Project& p) { p.subnet(0).outputPulse = "-1"; }, true,
                     {}, {}},
        PreCheckCase{"VacantScanRate", 3, [](Project& p) { p.subnet(0).scanRate = "-1"; }, false,
                     {"VacantScanRate"}, {"1"}},
        PreCheckCase{"VacantSlaveAddress", 3, [](Project& p) { setCommand1(p, &ModbusCommand::slaveAddress, "-1"); },
                     false, {"VacantCommandNodeAddress"}, {}},
        PreCheckCase{"VacantStartAddress", 3, [](Project& p) { setCommand1(p, &ModbusCommand::startAddress, "-1"); },
                     false, {"VacantStartAddress"}, {"1"}},
        PreCheckCase{"VacantDataCount", 3, [](Project& p) { setCommand1(p, &ModbusCommand::dataCount, "-1"); }, false,
                     {"VacantDataCount"}, {"1"}},
        PreCheckCase{"VacantMappingAddress", 3,
                     [](Project& p) { setCommand1(p, &ModbusCommand::mappingAddress, "-1"); }, false,
                     {"VacantMappingAddress"}, {"1"}},
        PreCheckCase{"VacantBitOffset", 3, [](Project& p) { setCommand1(p, &ModbusCommand::bitOffset, "-1"); }, false,
                     {"VacantBitOffset"}, {"1"}},
        PreCheckCase{"DeviceNetSizes", 0,
                     [](Project& p) {
                         p.fieldbus.inputSize = "160";
                         p.fieldbus.outputSize = "96";
                     },
                     false, {"DeviceNetSizeLimit"}, {}},
        PreCheckCase{"SlaveAddressOfModbusSlave", 5, [](Project& p) { p.subnet(0).slaveAddress.clear(); }, false,
                     {"SlaveAddressNotFilled"}, {}},
        PreCheckCase{"NodeWithoutCommands", 3,
                     [](Project& p) {
                         p.subnet(0).nodes[1] = {"9", "Node-9"};
                         p.subnet(0).nodeCount = 2;
                     },
                     false, {"UnusedNode"}, {}},
        PreCheckCase{"ConflictDeclined", 3,
                     [](Project& p) {
                         p.subnet(0).commands[1].functionCode = "3";  // two reads over the same bytes
                         p.subnet(0).commands[1].mappingAddress = "4";
                     },
                     false, {"MappingConflictQuestion"}, {}},
        PreCheckCase{"InputBeyondTheFieldbusSize", 1,
                     [](Project& p) {
                         p.flags.extendedSettingsFlag = false;
                         p.fieldbus.inputSize = "8";
                         p.fieldbus.outputSize = "16";
                     },
                     false, {"InputMappingOutOfRange"}, {"1"}},
        PreCheckCase{"OutputBeyondTheFieldbusSize", 1,
                     [](Project& p) {
                         p.flags.extendedSettingsFlag = false;
                         p.fieldbus.inputSize = "16";
                         p.fieldbus.outputSize = "8";
                     },
                     false, {"OutputMappingOutOfRange"}, {"1"}},
        PreCheckCase{"BadConfigurationData", 1,
                     [](Project& p) {
                         p.flags.extendedSettingsFlag = false;
                         p.flags.legacyFlag233a = true;
                         p.fieldbus.profibusConfigMode = "Input configuration data";
                         p.fieldbus.profibusConfigData = "00 00 00 00 00 00 00 00 00";
                     },
                     false, {"MappingConfigDataError"}, {}},
        PreCheckCase{"FourSubnetsSkipTheRanges", 2,
                     [](Project& p) { setCommand1(p, &ModbusCommand::byteCount, "1000"); }, true, {}, {}}),
    testing::CaseName());

TEST(BeforeDownload, AcceptedConflictIsRepairedByTheAutomaticMapping) {
    Project p = newProject(3);
    p.subnet(0).commands[1].functionCode = "3";  // two reads over the same bytes
    p.subnet(0).commands[1].mappingAddress = "4";
    MappingState mapping;
    ScriptedOperator op({Answer::Yes});
    EXPECT_TRUE(checkBeforeDownload(p, mapping, nullptr, op));
    EXPECT_EQ(op.shownKeys(), std::vector<std::string>{"MappingConflictQuestion"});
    EXPECT_EQ(p.subnet(0).commands[1].mappingAddress, "10");
}

TEST(BeforeDownload, RepairThatOverflowsEndsSilently) {
    Project p = newProject(3);
    p.subnet(0).commands[0].dataCount = "122";
    p.subnet(0).commands[1].functionCode = "3";
    p.subnet(0).commands[1].mappingAddress = "4";
    MappingState mapping;
    ScriptedOperator op({Answer::Yes});
    EXPECT_FALSE(checkBeforeDownload(p, mapping, nullptr, op));
    // The calculation shows its own message; nothing follows it.
    EXPECT_EQ(op.shownKeys(), (std::vector<std::string>{"MappingConflictQuestion", "MappingExceedsMaximum"}));
    EXPECT_TRUE(mapping.mappingOverflow);
}

TEST(BeforeDownload, PlcModeUsesTheDataBlocksForTheRanges) {
    Project p = newProject(3);
    std::string error;
    const auto blocks = parsePlcBlocks("IN:100:8", error);
    ASSERT_TRUE(blocks) << error;
    convertProjectToPlc(p, *blocks);  // the read of 16 bytes starts at PLC address 100
    MappingState mapping;
    ScriptedOperator op({Answer::No});
    EXPECT_FALSE(checkBeforeDownload(p, mapping, blocks.get(), op));
    EXPECT_EQ(op.shownKeys(), std::vector<std::string>{"InputMappingOutOfRange"});
}

TEST(BeforeSending, OldProfibusProjectNeedsEqualSizes) {
    Project p = newProject(3);
    p.flags.extendedSettingsFlag = false;
    p.fieldbus.outputSize = "48";
    ScriptedOperator op;
    EXPECT_FALSE(checkBeforeSending(p, MappingState{}, nullptr, op));
    EXPECT_EQ(op.shownKeys(), std::vector<std::string>{"ProfibusSizesDiffer"});
}

TEST(BeforeSending, VacantNodeAddressInAnySubnet) {
    Project p = newProject(2);
    p.subnet(3).nodes[0] = {"-1", "New Node"};
    p.subnet(3).nodeCount = 1;
    ScriptedOperator op;
    EXPECT_FALSE(checkBeforeSending(p, MappingState{}, nullptr, op));
    EXPECT_EQ(op.shownKeys(), std::vector<std::string>{"VacantNodeAddress"});
}

TEST(BeforeSending, QuestionsMayBeAcceptedOrDeclined) {
    Project p = newProject(3);
    p.subnet(0).commands[1].functionCode = "3";
    p.subnet(0).commands[1].mappingAddress = "4";  // overlapping reads
    MappingState overflowed;
    overflowed.mappingOverflow = true;
    {
        ScriptedOperator op({Answer::Yes, Answer::Yes});
        EXPECT_TRUE(checkBeforeSending(p, overflowed, nullptr, op));
        EXPECT_EQ(op.shownKeys(),
                  (std::vector<std::string>{"MappingConflictQuestion", "IncompleteConfigurationQuestion"}));
    }
    {
        ScriptedOperator op({Answer::Yes, Answer::No});
        EXPECT_FALSE(checkBeforeSending(p, overflowed, nullptr, op));
    }
    {
        ScriptedOperator op({Answer::No});
        EXPECT_FALSE(checkBeforeSending(p, MappingState{}, nullptr, op));
        EXPECT_EQ(op.shownKeys(), std::vector<std::string>{"MappingConflictQuestion"});
    }
}

TEST(BeforeSending, NodeWithoutCommandsIsFoundInEverySubnet) {
    Project p = newProject(2);
    EXPECT_FALSE(hasNodeWithoutCommands(p));
    p.subnet(2).nodes[0] = {"4", "Node-4"};
    p.subnet(2).nodeCount = 1;
    EXPECT_TRUE(hasNodeWithoutCommands(p));
}

}  // namespace
}  // namespace korvex::serial
