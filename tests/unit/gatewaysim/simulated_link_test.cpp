// SimulatedLink: the gateway engine behind a ByteLink on a virtual clock. The
// times checked here are virtual (they follow from the baud rate), so they
// are exact and independent of the machine.
#include "simulated_link.h"

#include <gtest/gtest.h>

#include "hex_bytes.h"

namespace korvex::gatewaysim {
namespace {

using korvex::testing::hexBytes;
using korvex::testing::hexText;

// At 19200 baud a byte (10 bits) takes 520.833 µs.
constexpr std::int64_t kByteNs = 520'833;

Bytes readAll(SimulatedLink& link) {
    Bytes out(link.bytesWaiting());
    out.resize(link.read(out));
    return out;
}

TEST(SimulatedLink, AnswerArrivesAfterTheRequestTurnaroundAndAnswerBytes) {
    GatewayEngine engine(DeviceOptions{4, 6, 0, 244});
    SimulatedLink link(engine, {19200, 1000});
    ASSERT_TRUE(link.send(hexBytes("01 00 01")));
    EXPECT_EQ(link.bytesWaiting(), 0u);  // time has not moved
    EXPECT_EQ(link.waitForBytes(11, 1000), 11u);
    // 3 request bytes, 1 ms turnaround, 11 answer bytes.
    EXPECT_EQ(link.nowUs(), (14 * kByteNs + 1'000'000) / 1000);
    EXPECT_EQ(hexText(readAll(link)), "01 08 04 06 00 00 00 F4 00 00 07");
    EXPECT_EQ(link.bytesSent(), 3u);
    EXPECT_EQ(link.bytesAnswered(), 11u);
    EXPECT_EQ(link.wireTimeUs(), 14 * kByteNs / 1000);
}

TEST(SimulatedLink, AWaitEndsAtItsLimitWithTheBytesArrivedByThen) {
    GatewayEngine engine(DeviceOptions{4, 5, 2, 244});
    SimulatedLink link(engine, {19200, 0});
    EXPECT_EQ(link.waitForBytes(1, 300), 0u);
    EXPECT_EQ(link.nowMs(), 300);
    link.send(hexBytes("01 00 01"));
    // After 5 ms: 3 request bytes (1.56 ms) and 6 answer bytes (3.13 ms) are through.
    EXPECT_EQ(link.waitForBytes(11, 5), 6u);
    EXPECT_EQ(link.nowMs(), 305);
    EXPECT_EQ(link.waitForBytes(11, 100), 11u);
}

TEST(SimulatedLink, WaitingForMoreThanWillComeIsASleep) {
    GatewayEngine engine;
    SimulatedLink link(engine);
    link.send(hexBytes("01 00 01"));
    EXPECT_EQ(link.waitForBytes(SIZE_MAX, 100), 11u);
    EXPECT_EQ(link.nowMs(), 100);
}

TEST(SimulatedLink, PurgeDropsWhatArrivedButNotWhatIsStillOnTheLine) {
    GatewayEngine engine(DeviceOptions{4, 5, 2, 244});
    SimulatedLink link(engine, {19200, 0});
    link.send(hexBytes("01 00 01"));
    ASSERT_EQ(link.waitForBytes(4, 100), 4u);
    link.purge();
    EXPECT_EQ(link.bytesWaiting(), 0u);
    EXPECT_EQ(link.waitForBytes(7, 100), 7u);
    EXPECT_EQ(hexText(readAll(link)), "02 00 00 F4 00 00 08");
}

TEST(SimulatedLink, AnswersQueueBehindEachOtherOnTheLine) {
    GatewayEngine engine(DeviceOptions{4, 5, 2, 244});
    SimulatedLink link(engine, {19200, 0});
    link.send(hexBytes("01 00 01 33 00 33"));
    EXPECT_EQ(link.waitForBytes(15, 1000), 15u);
    // The first answer runs from byte time 3 to 14; the second request is in at
    // 6, but its answer waits for the line and runs from 14 to 18.
    EXPECT_EQ(link.nowUs(), 18 * kByteNs / 1000);
    EXPECT_EQ(hexText(readAll(link)), "01 08 04 05 02 00 00 F4 00 00 08 33 01 00 34");
}

TEST(SimulatedLink, LateAndSilentFaultsShowOnTheClock) {
    GatewayEngine engine(DeviceOptions{4, 5, 2, 244});
    engine.setFault(0x33, {FaultKind::Late, 500});
    engine.setFault(0x37, {FaultKind::Silent});
    SimulatedLink link(engine, {19200, 0});
    link.send(hexBytes("33 00 33"));
    EXPECT_EQ(link.waitForBytes(4, 300), 0u);
    EXPECT_EQ(link.waitForBytes(4, 300), 4u);
    EXPECT_EQ(link.nowUs(), (7 * kByteNs + 500'000'000) / 1000);
    readAll(link);
    link.send(hexBytes("36 01 7B B2"));  // unknown before firmware 6: error frame
    EXPECT_EQ(link.waitForBytes(5, 100), 5u);
    readAll(link);
    engine.setFault(0x01, {FaultKind::Silent});
    link.send(hexBytes("01 00 01"));
    EXPECT_EQ(link.waitForBytes(1, 1000), 0u);
}

TEST(SimulatedLink, AnUnpluggedLinkFailsAtOnce) {
    GatewayEngine engine;
    SimulatedLink link(engine);
    link.unplug();
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.send(hexBytes("01 00 01")));
    EXPECT_EQ(link.waitForBytes(1, 1000), 0u);
    EXPECT_EQ(link.nowMs(), 0);
}

TEST(SimulatedLink, TranscriptShowsBothDirectionsWithTheirTimes) {
    GatewayEngine engine(DeviceOptions{4, 6, 0, 244});
    SimulatedLink link(engine, {19200, 2000});
    link.send(hexBytes("0F 01 A4 B4"));
    link.waitForBytes(5, 100);
    ASSERT_EQ(link.transcript().size(), 2u);
    EXPECT_FALSE(link.transcript()[0].fromGateway);
    EXPECT_EQ(link.transcript()[0].atUs, 0);
    EXPECT_TRUE(link.transcript()[1].fromGateway);
    EXPECT_EQ(link.transcript()[1].atUs, (4 * kByteNs + 2'000'000) / 1000);
    EXPECT_EQ(hexText(link.transcript()[1].bytes), "0F 02 00 00 11");
}

}  // namespace
}  // namespace korvex::gatewaysim
