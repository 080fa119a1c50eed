// The three report streams end to end on a virtual clock: the serial monitor
// line and the debug mode through SimulatedLink (so the times follow from the
// baud rate and the pacing rules), the UDP monitor through the network engine.
#include <gtest/gtest.h>

#include "gateway_engine.h"
#include "hex_bytes.h"
#include "net_engine.h"
#include "serial_monitor_device.h"
#include "simulated_link.h"

namespace korvex::gatewaysim {
namespace {

using korvex::testing::hexBytes;
using korvex::testing::hexText;

// Slave 1 reads one register from 0; slave 2 writes two registers from 16,
// taken from the output memory at 4000.
const std::vector<TrafficCommand> kCommands{{0, 1, 3, 0x0000, 1, 0x0000}, {0, 2, 16, 0x0010, 2, 0x4000}};

// Everything that arrives within `ms` of virtual time.
std::string receiveFor(SimulatedLink& link, int ms) {
    link.waitForBytes(SIZE_MAX, ms);
    Bytes out(link.bytesWaiting());
    out.resize(link.read(out));
    return hexText(out);
}

// Times (µs) at which the gateway started sending.
std::vector<std::int64_t> gatewaySendTimes(const SimulatedLink& link) {
    std::vector<std::int64_t> times;
    for (const LineRecord& r : link.transcript())
        if (r.fromGateway) times.push_back(r.atUs);
    return times;
}

class SerialMonitorLine : public ::testing::Test {
protected:
    void startWith(ReportRate rate) {
        device = std::make_unique<SerialMonitorDevice>(kCommands, rate);
        link = std::make_unique<SimulatedLink>(*device, SimulatedLineOptions{115200, 0});
        device->startSession(0);
    }
    std::unique_ptr<SerialMonitorDevice> device;
    std::unique_ptr<SimulatedLink> link;
};

TEST_F(SerialMonitorLine, EachAcknowledgementBringsTheNextReport) {
    startWith(ReportRate{0});
    EXPECT_EQ(receiveFor(*link, 20), "00 01 00 00 02 01 02");
    link->send(hexBytes("00"));
    EXPECT_EQ(receiveFor(*link, 20), "00 02 00 10 04 00 00 00 00");
    link->send(hexBytes("00"));
    EXPECT_EQ(receiveFor(*link, 20), "01 01 00 00 00 01");  // report 3: exception code 1
    link->send(hexBytes("00"));
    EXPECT_EQ(receiveFor(*link, 20), "00 02 00 10 04 00 00 00 00");
    EXPECT_EQ(device->repliesReceived(), 3u);
    EXPECT_EQ(device->reportsSent(), 4u);
}

TEST_F(SerialMonitorLine, AWriteShowsUpInTheNextReportOfAWriteCommand) {
    startWith(ReportRate{0});
    receiveFor(*link, 20);
    link->send(hexBytes("01 40 01 01 AA"));
    EXPECT_EQ(receiveFor(*link, 20), "00 02 00 10 04 00 AA 00 00");
    EXPECT_EQ(device->writesStored(), 1u);
}

TEST_F(SerialMonitorLine, AWriteOutsideItsRangeIsAnsweredButNotStored) {
    startWith(ReportRate{0});
    receiveFor(*link, 20);
    link->send(hexBytes("01 40 6F 02 AA BB"));  // one byte past 406F
    EXPECT_EQ(receiveFor(*link, 20), "00 02 00 10 04 00 00 00 00");
    EXPECT_EQ(device->writesStored(), 0u);
    EXPECT_EQ(device->repliesReceived(), 1u);
}

TEST_F(SerialMonitorLine, StrayBytesBeforeTheReplyAreSkipped) {
    startWith(ReportRate{0});
    receiveFor(*link, 20);
    link->send(hexBytes("7F 55 00"));
    EXPECT_EQ(receiveFor(*link, 20), "00 02 00 10 04 00 00 00 00");
}

TEST_F(SerialMonitorLine, AHalfWriteIsDroppedWhenTheReportIsGivenUp) {
    startWith(ReportRate{0});
    receiveFor(*link, 20);
    link->send(hexBytes("01 40 00 04 AA"));  // three bytes short
    EXPECT_EQ(receiveFor(*link, 900), "");
    // Given up after 1000 ms: report 2 goes out, and the reply to it is a plain 00.
    EXPECT_EQ(receiveFor(*link, 200), "00 02 00 10 04 00 00 00 00");
    link->send(hexBytes("00"));
    EXPECT_EQ(receiveFor(*link, 20), "01 01 00 00 00 01");
    EXPECT_EQ(device->writesStored(), 0u);
}

TEST_F(SerialMonitorLine, TheRateSpacesReportsAndAMissingReplyCostsASecond) {
    startWith(ReportRate{20});
    receiveFor(*link, 5);
    link->send(hexBytes("00"));  // at 5 ms: report 2 follows 50 ms after report 1
    receiveFor(*link, 100);
    link->send(hexBytes("00"));  // at 105 ms, late for the rate: report 3 at once
    receiveFor(*link, 1500);     // report 3 stays unanswered: report 4 a second later
    EXPECT_EQ(gatewaySendTimes(*link), (std::vector<std::int64_t>{0, 50'000, 105'000, 1'105'000}));
}

TEST_F(SerialMonitorLine, EverySessionStartsAtReportOne) {
    startWith(ReportRate{0});
    receiveFor(*link, 5);
    link->send(hexBytes("00"));
    receiveFor(*link, 5);
    device->stopSession();
    EXPECT_EQ(receiveFor(*link, 3000), "");
    device->startSession(link->nowMs());
    EXPECT_EQ(receiveFor(*link, 5), "00 01 00 00 02 01 02");
}

// The debug mode of the configuration engine.
class DebugMode : public ::testing::Test {
protected:
    void startWith(DeviceOptions options) {
        options.reportRate = ReportRate{0};
        engine = std::make_unique<GatewayEngine>(options);
        engine->memory().subnets[0].commands = {{1, 3, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0, 0, 0},
                                                {2, 16, 0x00, 0x10, 0x00, 0x02, 0x40, 0x00, 0, 0, 0}};
        link = std::make_unique<SimulatedLink>(*engine, SimulatedLineOptions{19200, 0});
    }
    std::string exchange(const char* request, int ms = 50) {
        link->send(hexBytes(request));
        return receiveFor(*link, ms);
    }
    std::unique_ptr<GatewayEngine> engine;
    std::unique_ptr<SimulatedLink> link;
};

TEST_F(DebugMode, Firmware6SwitchesReportsTakesAWriteAndLeaves) {
    startWith(DeviceOptions{4, 6, 1, 244});
    EXPECT_EQ(exchange("D0 00 D0"), "");  // not in debug state yet
    EXPECT_EQ(exchange("01 00 01"), "01 08 04 06 01 00 00 F4 00 00 08");
    EXPECT_EQ(exchange("0F 01 A7 B7"), "0F 02 00 00 11");  // state 2, scrambled
    EXPECT_EQ(engine->state(), serial::OperatingState::Debug);
    EXPECT_EQ(exchange("D0 00 D0"), "D0 0D 00 00 00 00 00 00 00 00 00 00 06 01 00 E4");
    EXPECT_EQ(exchange("D2 01 EA BD"), "D3 08 00 01 03 00 00 02 01 02 E4");
    EXPECT_EQ(exchange("D4 05 01 40 00 AA BB 7F"), "D3 0A 00 02 10 00 10 04 AA BB 00 00 68");
    EXPECT_EQ(engine->debugStream().writesStored(), 1u);
    EXPECT_EQ(exchange("D4 01 00 D5"), "D3 07 01 01 03 00 00 01 01 E1");  // report 3: exception 1
    EXPECT_EQ(exchange("D2 01 F0 C3", 3000), "");  // stopped: nothing more
    EXPECT_EQ(exchange("0F 01 01 11"), "0F 02 00 00 11");
    EXPECT_EQ(engine->state(), serial::OperatingState::Configuration);
}

TEST_F(DebugMode, Firmware5AnswersWithoutAStateSwitch) {
    startWith(DeviceOptions{4, 5, 2, 244, DebugLayout::User});
    EXPECT_EQ(exchange("D0 00 D0"), "D0 0D 00 00 00 00 00 00 00 00 00 00 05 02 03 E7");
    EXPECT_EQ(exchange("D2 01 EA BD"), "D3 03 00 01 02 D9");
}

TEST_F(DebugMode, SlaveLayoutReportsCarryTheMarker) {
    startWith(DeviceOptions{4, 5, 2, 244, DebugLayout::Slave});
    EXPECT_EQ(exchange("D2 01 EA BD"), "D3 F5 00 01 02 CB");
}

TEST_F(DebugMode, ABadlySummedReplyIsIgnoredAndTheReportGivenUpLater) {
    startWith(DeviceOptions{4, 5, 2, 244});
    exchange("D2 01 EA BD");
    EXPECT_EQ(exchange("D4 01 00 D6", 900), "");
    EXPECT_EQ(receiveFor(*link, 200), "D3 0A 00 02 10 00 10 04 00 00 00 00 03");
}

TEST_F(DebugMode, WritesReachTheTopOfTheDebugRangeOnly) {
    startWith(DeviceOptions{4, 5, 2, 244});
    exchange("D2 01 EA BD");
    exchange("D4 04 01 40 F3 77 83");
    EXPECT_EQ(engine->debugStream().output().read(0x40F3, 1), Bytes{0x77});
    exchange("D4 05 01 40 F3 77 88 0C");  // two bytes from 40F3: refused
    EXPECT_EQ(engine->debugStream().writesStored(), 1u);
}

TEST_F(DebugMode, AskingForTheInformationEndsARunningStream) {
    startWith(DeviceOptions{4, 5, 2, 244});
    exchange("D2 01 EA BD");
    EXPECT_EQ(exchange("D0 00 D0", 3000), "D0 0D 00 00 00 00 00 00 00 00 00 00 05 02 00 E4");
}

// The UDP monitor of the network engine.
const MonitorPeer kProgram{{127, 0, 0, 1}, 10002};
const MonitorPeer kStranger{{127, 0, 0, 9}, 10002};
const char* const kStart = "00 00 00 0E 00 00 00 08 EA EA EA EA 00 00 00 00";
const char* const kStop = "00 00 00 0E 00 00 00 08 F0 F0 F0 F0 00 00 00 00";
const char* const kAck = "00 00 00 10 00 00 00 04 00 00 00 00";

TEST(UdpMonitor, ReportsGoToWhoeverStartedThemUntilTheyStop) {
    NetDeviceOptions options;
    options.reportRate = ReportRate{0};
    NetGatewayEngine engine(options);
    EXPECT_FALSE(engine.monitor().takeReport(0));
    engine.receiveMonitorDatagram(hexBytes(kStart), kProgram, 0);
    auto report = engine.monitor().takeReport(0);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->to, kProgram);
    // A new EtherNet/IP project's first command: slave 1 reads 8 registers from 0.
    EXPECT_EQ(hexText(report->bytes), "00 00 00 0F 00 00 00 1C 00 00 00 00 00 00 00 00 00 01 00 00 "
                                      "01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10");
    engine.receiveMonitorDatagram(hexBytes(kAck), kStranger, 5);
    EXPECT_FALSE(engine.monitor().takeReport(5));  // a stranger's reply does not count
    engine.receiveMonitorDatagram(hexBytes("00 00 00 10 00 00 00 08 00 00 00 01 40 00 AA BB"), kProgram, 6);
    report = engine.monitor().takeReport(6);
    ASSERT_TRUE(report);
    EXPECT_EQ(hexText(report->bytes), "00 00 00 0F 00 00 00 1C 00 00 00 00 00 00 00 00 00 01 00 00 "
                                      "AA BB 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    engine.receiveMonitorDatagram(hexBytes(kStop), kStranger, 7);
    EXPECT_TRUE(engine.monitor().reporting());
    engine.receiveMonitorDatagram(hexBytes(kStop), kProgram, 8);
    EXPECT_FALSE(engine.monitor().reporting());
    EXPECT_FALSE(engine.monitor().nextReportMs());
}

TEST(UdpMonitor, ShortAndForeignDatagramsChangeNothing) {
    NetGatewayEngine engine(NetDeviceOptions{});
    engine.receiveMonitorDatagram(hexBytes("00 00 00 0E 00 00 00 08 EA EA"), kProgram, 0);
    engine.receiveMonitorDatagram(hexBytes("00 00 00 0E"), kProgram, 0);
    engine.receiveMonitorDatagram(hexBytes("00 00 00 03 00 00 00 00"), kProgram, 0);
    EXPECT_FALSE(engine.monitor().reporting());
    engine.receiveMonitorDatagram(hexBytes(kStart), kProgram, 0);
    ASSERT_TRUE(engine.monitor().takeReport(0));
    // A write whose header claims more than came: only what came is taken.
    engine.receiveMonitorDatagram(hexBytes("00 00 00 10 00 00 01 00 00 00 00 01 40 6E CC"), kProgram, 1);
    EXPECT_EQ(engine.monitor().output().read(0x406E, 2), (Bytes{0xCC, 0x00}));
}

}  // namespace
}  // namespace korvex::gatewaysim
