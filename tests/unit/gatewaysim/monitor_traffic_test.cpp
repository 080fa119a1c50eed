// What the simulated gateway reports: the ten-report cycle of outcomes, the
// commands in turn, the data of read and write commands, the output memory's
// ranges, where the commands come from, and the stop-and-wait pacing.
#include "monitor_traffic.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/project.h"
#include "net/config_block.h"
#include "report_pacer.h"

namespace korvex::gatewaysim {
namespace {

constexpr TrafficCommand kRead{0, 1, 3, 0x0000, 2, 0x0000};
constexpr TrafficCommand kWrite{0, 2, 16, 0x0010, 2, 0x4000};
constexpr TrafficCommand kCoils{1, 3, 1, 0x0020, 9, 0x0000};

TEST(TrafficCycle, OutcomesRepeatEveryTenReports) {
    const TrafficCommand commands[] = {kRead};
    OutputMemory memory;
    std::string serial, udp;
    for (std::uint32_t k = 1; k <= 20; ++k) {
        const char letters[] = {'c', 'e', 't', 'h'};
        serial += letters[static_cast<int>(makeTrafficReport(k, commands, memory, true).outcome)];
        udp += letters[static_cast<int>(makeTrafficReport(k, commands, memory, false).outcome)];
    }
    EXPECT_EQ(serial, "ccecctcchcccecctcchc");
    EXPECT_EQ(udp, "ccecctccccccecctcccc");
}

TEST(TrafficCycle, ExceptionCodesGoRoundOneToEight) {
    const TrafficCommand commands[] = {kRead};
    OutputMemory memory;
    EXPECT_EQ(makeTrafficReport(3, commands, memory, true).exceptionCode, 1);
    EXPECT_EQ(makeTrafficReport(13, commands, memory, true).exceptionCode, 2);
    EXPECT_EQ(makeTrafficReport(73, commands, memory, true).exceptionCode, 8);
    EXPECT_EQ(makeTrafficReport(83, commands, memory, true).exceptionCode, 1);
    EXPECT_TRUE(makeTrafficReport(3, commands, memory, true).data.empty());
    EXPECT_TRUE(makeTrafficReport(6, commands, memory, true).data.empty());
}

TEST(TrafficCycle, CommandsTakenInTurnWithTheirData) {
    const TrafficCommand commands[] = {kRead, kWrite, kCoils};
    OutputMemory memory;
    ASSERT_TRUE(memory.write(0x4002, std::vector<std::uint8_t>{0xAA, 0xBB}, kMonitorWriteEnd));
    const auto r1 = makeTrafficReport(1, commands, memory, true);
    EXPECT_EQ(r1.command.slave, 1);
    EXPECT_EQ(r1.data, (std::vector<std::uint8_t>{1, 2, 3, 4}));  // two registers counting up from k
    const auto r2 = makeTrafficReport(2, commands, memory, true);
    EXPECT_EQ(r2.command.slave, 2);
    EXPECT_EQ(r2.data, (std::vector<std::uint8_t>{0x00, 0x00, 0xAA, 0xBB}));  // output memory from 4000
    EXPECT_EQ(makeTrafficReport(4, commands, memory, true).command.slave, 1);
    const auto r12 = makeTrafficReport(12, commands, memory, true);
    EXPECT_EQ(r12.command.slave, 3);
    EXPECT_EQ(r12.data, (std::vector<std::uint8_t>{12, 13}));  // nine coils in two bytes
    EXPECT_EQ(makeTrafficReport(5, commands, memory, true).command.slave, 2);
}

TEST(TrafficCycle, DataOfALargeCommandIsCut) {
    const TrafficCommand commands[] = {{0, 1, 3, 0, 125, 0}};
    OutputMemory memory;
    EXPECT_EQ(makeTrafficReport(1, commands, memory, true).data.size(), kMaxReportData);
}

TEST(OutputMemory, WritesStayWithinTheirMonitorsRange) {
    OutputMemory memory;
    const std::vector<std::uint8_t> one{0x11}, two{0x22, 0x33};
    EXPECT_TRUE(memory.write(0x406F, one, kMonitorWriteEnd));
    EXPECT_FALSE(memory.write(0x406F, two, kMonitorWriteEnd));
    EXPECT_FALSE(memory.write(0x3FFF, one, kMonitorWriteEnd));
    EXPECT_FALSE(memory.write(0x4070, one, kMonitorWriteEnd));
    EXPECT_TRUE(memory.write(0x40F3, one, kDebugWriteEnd));
    EXPECT_FALSE(memory.write(0x40F3, two, kDebugWriteEnd));
    EXPECT_EQ(memory.read(0x406E, 3), (std::vector<std::uint8_t>{0x00, 0x11, 0x00}));
    EXPECT_EQ(memory.read(0x40F3, 2), (std::vector<std::uint8_t>{0x11, 0x00}));  // past the end reads 0
}

TEST(TrafficCommands, AGatewayWithoutCommandsReportsThoseOfANewProject) {
    GatewayMemory memory;
    const auto commands = commandsOfGateway(memory, 4);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].function, 3);
    EXPECT_EQ(commands[0].count, 8);
    EXPECT_EQ(commands[1].function, 16);
    EXPECT_EQ(commands[1].mapping, 0x4000);
}

TEST(TrafficCommands, AGatewayReportsItsStoredCommandsSubnetBySubnet) {
    GatewayMemory memory;
    memory.subnets[0].commands.push_back({7, 4, 0x01, 0x02, 0x00, 0x05, 0x00, 0x10, 0, 0, 0});
    memory.subnets[2].commands.push_back({9, 6, 0x00, 0x20, 0x00, 0x01, 0x40, 0x08, 0, 0, 0});
    const auto commands = commandsOfGateway(memory, 3);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].port, 0);
    EXPECT_EQ(commands[0].slave, 7);
    EXPECT_EQ(commands[0].start, 0x0102);
    EXPECT_EQ(commands[0].count, 5);
    EXPECT_EQ(commands[1].port, 2);
    EXPECT_EQ(commands[1].function, 6);
    EXPECT_EQ(commands[1].mapping, 0x4008);
}

TEST(TrafficCommands, AnEthernetGatewayReportsItsWriteBlocksCommands) {
    auto project = std::make_unique<Project>();
    resetToDefaults(*project, 4);
    addDefaultNode(*project);
    project->subnet(0).commands[0].slaveAddress = "42";
    const auto commands = commandsOfWriteBlock(net::composeWriteBlock(*project));
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].slave, 42);
    EXPECT_EQ(commands[1].function, 16);
    EXPECT_EQ(commandsOfWriteBlock({}).size(), 2u);  // no block: a new project's
}

TEST(ReportPacer, ReportsWaitForTheirReplyAndTheRate) {
    ReportPacer pacer(ReportRate{20});
    EXPECT_FALSE(pacer.nextReportMs());
    pacer.start(100);
    EXPECT_FALSE(pacer.takeDue(99));
    EXPECT_TRUE(pacer.takeDue(100));
    EXPECT_FALSE(pacer.takeDue(120));  // awaiting its reply
    EXPECT_TRUE(pacer.replied(110));
    EXPECT_EQ(pacer.nextReportMs(), 150);  // 50 ms after the last report
    EXPECT_FALSE(pacer.replied(111));      // nothing awaits a reply
    EXPECT_TRUE(pacer.takeDue(150));
    EXPECT_TRUE(pacer.replied(400));
    EXPECT_EQ(pacer.nextReportMs(), 400);  // a late reply: the next at once
}

TEST(ReportPacer, FastFollowsTheReplyAndAMissingReplyIsGivenUp) {
    ReportPacer pacer(ReportRate{0});
    pacer.start(0);
    ASSERT_TRUE(pacer.takeDue(0));
    pacer.replied(3);
    EXPECT_EQ(pacer.nextReportMs(), 3);
    ASSERT_TRUE(pacer.takeDue(3));
    EXPECT_EQ(pacer.nextReportMs(), 3 + ReportPacer::kReplyTimeoutMs);
    EXPECT_TRUE(pacer.takeDue(1003));
    pacer.stop();
    EXPECT_FALSE(pacer.nextReportMs());
    EXPECT_FALSE(pacer.replied(1004));
}

}  // namespace
}  // namespace korvex::gatewaysim
