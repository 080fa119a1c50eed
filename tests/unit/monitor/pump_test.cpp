// The pumps against scripted links: reports cut as their bytes arrive in any
// pieces, each answered at once (or with the waiting write), stale parts and
// foreign datagrams dropped, and a stop seen within one poll.
#include <gtest/gtest.h>

#include <deque>

#include "../net/net_fakes.h"
#include "fake_stream_link.h"
#include "hex_bytes.h"
#include "monitor/monitor_frames.h"
#include "monitor/pump.h"
#include "serial/gateway_frame.h"

namespace korvex::monitor {
namespace {

using korvex::testing::hexBytes;
using korvex::testing::hexText;
using testing::FakeStreamLink;

// Everything the pump told its handler, in order, as short lines.
class RecordingHandler : public ReportHandler {
public:
    std::vector<std::string> events;
    int reports = 0;
    std::function<void()> afterReport;

    void serialReport(const SerialMonitorReport& r) override {
        ++reports;
        events.push_back("serial " + std::to_string(r.status) + " " + hexText(r.data));
        if (afterReport) afterReport();
    }
    void ethernetReport(const EthernetMonitorReport& r) override {
        ++reports;
        events.push_back("ethernet " + std::to_string(r.status) + " " + hexText(r.data));
        if (afterReport) afterReport();
    }
    void debugReport(const DebugReport& r) override {
        ++reports;
        events.push_back("debug " + std::to_string(r.length) + " " + hexText(r.data));
        if (afterReport) afterReport();
    }
    void writeSent(const PendingWrite& w) override { events.push_back("sent " + hexText(w.bytes)); }
    void writeDropped(const PendingWrite& w) override { events.push_back("dropped " + hexText(w.bytes)); }
    void reportRefused(RefusedReport why) override { events.push_back("refused " + std::to_string(static_cast<int>(why))); }
};

std::vector<std::string> sentText(const FakeStreamLink& link) {
    std::vector<std::string> out;
    for (const auto& s : link.sent) out.push_back(hexText(s.bytes));
    return out;
}

// Stops the pump once the virtual clock reaches `atMs` (a safety net for every test).
void stopAt(FakeStreamLink& link, PumpControl& control, std::int64_t atMs) {
    link.onClock = [&control, atMs](std::int64_t now) {
        if (now >= atMs) control.requestStop();
    };
}

const std::string kRefusedBadStatus = "refused " + std::to_string(static_cast<int>(RefusedReport::BadStatus));
const std::string kRefusedIncomplete = "refused " + std::to_string(static_cast<int>(RefusedReport::Incomplete));

// ---- Serial monitor ----

class SerialPump : public ::testing::Test {
protected:
    FakeStreamLink link;
    PumpControl control;
    RecordingHandler handler;

    PumpEnd run(std::int64_t stopAtMs = 5000) {
        stopAt(link, control, stopAtMs);
        return runSerialMonitor(link, control, handler);
    }
};

TEST_F(SerialPump, ReportSplitAcrossReadsIsAnsweredWhenItsLastByteArrives) {
    link.arriveAt(10, hexBytes("00 05 00"));
    link.arriveAt(20, hexBytes("10 02 12"));
    link.arriveAt(30, hexBytes("34"));
    EXPECT_EQ(run(), PumpEnd::Stopped);
    EXPECT_EQ(handler.events, (std::vector<std::string>{"serial 0 12 34"}));
    ASSERT_EQ(link.sent.size(), 1u);
    EXPECT_EQ(hexText(link.sent[0].bytes), "00");
    EXPECT_EQ(link.sent[0].atMs, 30);
}

TEST_F(SerialPump, TwoReportsInOnePieceAreBothAnswered) {
    link.arriveAt(10, hexBytes("00 05 00 10 01 aa 03 05 00 10 00"));
    run();
    EXPECT_EQ(handler.events, (std::vector<std::string>{"serial 0 AA", "serial 3 "}));
    EXPECT_EQ(sentText(link), (std::vector<std::string>{"00", "00"}));
}

TEST_F(SerialPump, HiddenReportIsAnswered) {
    link.arriveAt(10, hexBytes("ff 05 00 10 01 aa"));
    run();
    EXPECT_EQ(handler.reports, 1);
    EXPECT_EQ(sentText(link), (std::vector<std::string>{"00"}));
}

TEST_F(SerialPump, Status07IsDroppedUnansweredAndTheNextReportIsRead) {
    link.arriveAt(10, hexBytes("07 05 00 10 00"));
    link.arriveAt(500, hexBytes("00 01 00 00 00"));
    run();
    EXPECT_EQ(handler.events, (std::vector<std::string>{kRefusedBadStatus, "serial 0 "}));
    ASSERT_EQ(link.sent.size(), 1u);
    EXPECT_EQ(link.sent[0].atMs, 500);
}

TEST_F(SerialPump, StalePartialReportIsDroppedAfterTheTimeOut) {
    link.arriveAt(10, hexBytes("00 05 00 10 05 01"));  // five data bytes announced, one came
    link.arriveAt(1500, hexBytes("03 05 00 10 00"));
    run();
    EXPECT_EQ(handler.events, (std::vector<std::string>{kRefusedIncomplete, "serial 3 "}));
    ASSERT_EQ(link.sent.size(), 1u);
    EXPECT_EQ(link.sent[0].atMs, 1500);
}

TEST_F(SerialPump, PendingWriteAnswersTheNextReportThenAcknowledgementsResume) {
    control.setPendingWrite({0x4000, hexBytes("00 01 02 03")});
    link.arriveAt(50, hexBytes("00 05 00 10 00"));
    link.arriveAt(80, hexBytes("00 05 00 10 00"));
    run();
    EXPECT_EQ(sentText(link), (std::vector<std::string>{"01 40 00 04 00 01 02 03", "00"}));
    EXPECT_EQ(handler.events, (std::vector<std::string>{"serial 0 ", "sent 00 01 02 03", "serial 0 "}));
    EXPECT_FALSE(control.hasPendingWrite());
}

TEST_F(SerialPump, WriteSetWhileAReportIsArrivingAnswersThatReport) {
    link.arriveAt(10, hexBytes("00 05 00"));
    link.arriveAt(40, hexBytes("10 00"));
    link.onSend = nullptr;
    link.onClock = [&](std::int64_t now) {
        if (now == 10)  // the first piece has just arrived
            control.setPendingWrite({0x4001, hexBytes("ff")});
        if (now >= 5000) control.requestStop();
    };
    runSerialMonitor(link, control, handler);
    EXPECT_EQ(sentText(link), (std::vector<std::string>{"01 40 01 01 FF"}));
}

TEST_F(SerialPump, WriteWithoutAReportIsDroppedAfterOneSecond) {
    control.setPendingWrite({0x4000, hexBytes("01")});
    link.arriveAt(1500, hexBytes("00 05 00 10 00"));
    run();
    EXPECT_EQ(handler.events, (std::vector<std::string>{"dropped 01", "serial 0 "}));
    EXPECT_EQ(sentText(link), (std::vector<std::string>{"00"}));
}

TEST_F(SerialPump, StopIsSeenWithinOnePollAndNoWaitIsLonger) {
    std::int64_t requested = -1;
    link.onClock = [&](std::int64_t now) {
        if (now >= 250 && requested < 0) {
            requested = now;
            control.requestStop();
        }
    };
    EXPECT_EQ(runSerialMonitor(link, control, handler), PumpEnd::Stopped);
    EXPECT_LE(link.nowMs() - requested, kPumpPollMs);
    EXPECT_LE(link.longestWaitMs, kPumpPollMs);
    EXPECT_TRUE(link.sent.empty()) << "nothing is sent when the serial monitor stops";
}

TEST_F(SerialPump, LostPortEndsThePump) {
    link.onClock = [&](std::int64_t now) {
        if (now >= 300) link.close();
    };
    EXPECT_EQ(runSerialMonitor(link, control, handler), PumpEnd::LinkFailed);
}

TEST_F(SerialPump, StopAndWaitStreamAnsweredReportByReport) {
    // A gateway stand-in: the next report follows each answer 3 ms later.
    int next = 1;
    link.arriveAt(5, hexBytes("00 01 00 00 01 00"));
    link.onSend = [&](const Bytes&) {
        if (next < 20) link.arriveIn(3, Bytes{0x00, 0x01, 0x00, 0x00, 0x01, static_cast<std::uint8_t>(next++)});
    };
    handler.afterReport = [&] {
        if (handler.reports == 20) control.requestStop();
    };
    EXPECT_EQ(runSerialMonitor(link, control, handler), PumpEnd::Stopped);
    EXPECT_EQ(handler.reports, 20);
    EXPECT_EQ(link.sent.size(), 20u) << "the last report is answered before the end";
}

// ---- Debug monitor ----

Bytes withSum(Bytes b) {
    b.push_back(serial::additiveChecksum(b));
    return b;
}

class DebugPump : public ::testing::Test {
protected:
    FakeStreamLink link;
    PumpControl control;
    RecordingHandler handler;

    PumpEnd run(DebugLayout layout, std::int64_t stopAtMs = 5000) {
        stopAt(link, control, stopAtMs);
        return runDebugMonitor(link, layout, control, handler);
    }
};

TEST_F(DebugPump, StartsReportingAndAcknowledgesAMasterReportInPieces) {
    const Bytes report = withSum(hexBytes("d3 08 00 05 03 00 10 00 12 34"));
    link.arriveAt(10, Bytes(report.begin(), report.begin() + 4));
    link.arriveAt(15, Bytes(report.begin() + 4, report.end()));
    EXPECT_EQ(run(DebugLayout::Master), PumpEnd::Stopped);
    EXPECT_EQ(handler.events, (std::vector<std::string>{"debug 11 12 34"}));
    EXPECT_EQ(sentText(link), (std::vector<std::string>{"D2 01 EA BD", "D4 01 00 D5", "D2 01 F0 C3"}));
}

TEST_F(DebugPump, WriteWaitsForTheNextReportHoweverLong) {
    control.setPendingWrite({0x4000, hexBytes("0a 1b")});
    link.arriveAt(3000, withSum(hexBytes("d3 02 00 01")));
    run(DebugLayout::UserConfig);
    EXPECT_EQ(sentText(link), (std::vector<std::string>{"D2 01 EA BD", "D4 05 01 40 00 0A 1B 3F", "D2 01 F0 C3"}));
    EXPECT_EQ(handler.events, (std::vector<std::string>{"debug 5 01", "sent 0A 1B"}));
}

TEST_F(DebugPump, SlaveReportWithoutMarkerGetsNoReplyWhileDisplaying) {
    link.arriveAt(10, withSum(hexBytes("d3 05 00 01")));
    run(DebugLayout::Slave, 500);
    EXPECT_EQ(sentText(link), (std::vector<std::string>{"D2 01 EA BD", "D2 01 F0 C3"}));
    EXPECT_EQ(handler.reports, 1);
}

TEST_F(DebugPump, SlaveReportWithoutMarkerIsAcknowledgedWhenNotDisplaying) {
    control.setDisplaying(false);
    link.arriveAt(10, withSum(hexBytes("d3 05 00 01")));
    run(DebugLayout::Slave, 500);
    EXPECT_EQ(sentText(link), (std::vector<std::string>{"D2 01 EA BD", "D4 01 00 D5", "D2 01 F0 C3"}));
}

TEST_F(DebugPump, SlaveReportGrowsWhileBytesFollowAtOnce) {
    // "d3 f5 00 c8" already ends in its own sum; the byte right behind it
    // shows the report is longer.
    const Bytes whole = withSum(hexBytes("d3 f5 00 c8 07"));
    link.arriveAt(10, Bytes(whole.begin(), whole.begin() + 4));
    link.arriveAt(11, Bytes(whole.begin() + 4, whole.end()));
    run(DebugLayout::Slave, 500);
    EXPECT_EQ(handler.events, (std::vector<std::string>{"debug 6 C8 07"}));
}

TEST_F(DebugPump, QuietSlaveReportIsCompleteAfterItsSum) {
    link.arriveAt(10, withSum(hexBytes("d3 f5 01 0a 1b")));
    run(DebugLayout::Slave, 500);
    EXPECT_EQ(handler.events, (std::vector<std::string>{"debug 6 0A 1B"}));
    ASSERT_GE(link.sent.size(), 2u);
    EXPECT_LE(link.sent[1].atMs, 10 + kSlaveReportQuietMs);
}

TEST_F(DebugPump, StopWithLeaveSendsStopRequestThenLeaveFrame) {
    control.setLeaveOnStop(true);
    run(DebugLayout::Master, 200);
    EXPECT_EQ(sentText(link), (std::vector<std::string>{"D2 01 EA BD", "D2 01 F0 C3", "0F 01 01 11"}));
}

TEST_F(DebugPump, StopIsSeenWithinOnePollWhileAWriteWaits) {
    control.setPendingWrite({0x4000, hexBytes("01")});
    std::int64_t requested = -1;
    link.onClock = [&](std::int64_t now) {
        if (now >= 2500 && requested < 0) {
            requested = now;
            control.requestStop();
        }
    };
    EXPECT_EQ(runDebugMonitor(link, DebugLayout::Master, control, handler), PumpEnd::Stopped);
    EXPECT_LE(link.nowMs() - requested, kPumpPollMs);
    EXPECT_LE(link.longestWaitMs, kPumpPollMs);
    EXPECT_EQ(sentText(link), (std::vector<std::string>{"D2 01 EA BD", "D2 01 F0 C3"})) << "the write never went out";
}

TEST_F(DebugPump, FailedAcknowledgementEndsThePump) {
    link.arriveAt(10, withSum(hexBytes("d3 02 00 01")));
    link.onSend = [&](const Bytes& b) {
        if (b[0] == 0xD2) link.failSends = true;
    };
    EXPECT_EQ(run(DebugLayout::UserConfig), PumpEnd::LinkFailed);
}

// ---- Ethernet monitor ----

class FakeMonitorSocket : public net::DatagramSocket {
public:
    explicit FakeMonitorSocket(net::testing::FakeClock& clock) : clock_(clock) {}

    struct Sent {
        std::int64_t atMs;
        Bytes bytes;
        std::string address;
        std::uint16_t port;
    };
    std::vector<Sent> sent;
    bool sendFails = false;
    std::function<void(std::int64_t now)> onClock;
    int longestWaitMs = 0;

    void arriveAt(std::int64_t atMs, Bytes bytes, std::string from = "127.0.0.1") {
        incoming_.push_back({atMs, net::Datagram{std::move(bytes), std::move(from), kMonitorGatewayPort}});
    }

    bool sendTo(std::span<const std::uint8_t> bytes, const std::string& address, std::uint16_t port) override {
        if (sendFails) return false;
        sent.push_back({clock_.now, Bytes(bytes.begin(), bytes.end()), address, port});
        return true;
    }
    std::optional<net::Datagram> receiveFrom(std::size_t maxSize, int timeoutMs) override {
        longestWaitMs = std::max(longestWaitMs, timeoutMs);
        if (!incoming_.empty() && incoming_.front().first <= clock_.now + timeoutMs) {
            step(std::max(clock_.now, incoming_.front().first));
            auto d = std::move(incoming_.front().second);
            incoming_.pop_front();
            if (d.bytes.size() > maxSize) d.bytes.resize(maxSize);
            return d;
        }
        step(clock_.now + timeoutMs);
        return std::nullopt;
    }

private:
    void step(std::int64_t to) {
        clock_.now = to;
        if (onClock) onClock(to);
    }
    net::testing::FakeClock& clock_;
    std::deque<std::pair<std::int64_t, net::Datagram>> incoming_;
};

Bytes ethernetReport(const char* statusAndRest) {
    return hexBytes(std::string("00 00 00 0F 00 00 00 0E 00 00 00 00 ") + statusAndRest);
}

class EthernetPump : public ::testing::Test {
protected:
    net::testing::FakeClock clock;
    FakeMonitorSocket socket{clock};
    PumpControl control;
    RecordingHandler handler;

    PumpEnd run(std::int64_t stopAtMs = 5000) {
        socket.onClock = [this, stopAtMs](std::int64_t now) {
            if (now >= stopAtMs) control.requestStop();
        };
        return runEthernetMonitor(socket, "127.0.0.1", control, handler, clock);
    }
    std::vector<std::string> sentText() const {
        std::vector<std::string> out;
        for (const auto& s : socket.sent) out.push_back(hexText(s.bytes));
        return out;
    }
};

const std::string kStart = "00 00 00 0E 00 00 00 08 EA EA EA EA 00 00 00 00";
const std::string kStop = "00 00 00 0E 00 00 00 08 F0 F0 F0 F0 00 00 00 00";
const std::string kAck = "00 00 00 10 00 00 00 04 00 00 00 00";

TEST_F(EthernetPump, StartAnswerEachReportAndStopAllToTheGatewayMonitorPort) {
    socket.arriveAt(20, ethernetReport("00 00 00 00 00 05 00 10 12 34"));
    EXPECT_EQ(run(), PumpEnd::Stopped);
    EXPECT_EQ(sentText(), (std::vector<std::string>{kStart, kAck, kStop}));
    for (const auto& s : socket.sent) {
        EXPECT_EQ(s.address, "127.0.0.1");
        EXPECT_EQ(s.port, 18802);
    }
    EXPECT_EQ(handler.events, (std::vector<std::string>{"ethernet 0 12 34"}));
    EXPECT_LE(socket.longestWaitMs, kPumpPollMs);
}

TEST_F(EthernetPump, DatagramFromAnotherAddressIsIgnored) {
    socket.arriveAt(20, ethernetReport("00 00 00 00 00 05 00 10 12 34"), "127.0.0.9");
    socket.arriveAt(30, ethernetReport("00 00 00 02 00 05 00 10 56 78"), "127.000.000.001");
    run();
    EXPECT_EQ(handler.events, (std::vector<std::string>{
                                  "refused " + std::to_string(static_cast<int>(RefusedReport::ForeignSender)),
                                  "ethernet 2 56 78"}));
    EXPECT_EQ(sentText(), (std::vector<std::string>{kStart, kAck, kStop}));
}

TEST_F(EthernetPump, StatusOutsideZeroToThreeIsNotAnswered) {
    socket.arriveAt(20, ethernetReport("00 00 00 04 00 05 00 10 12 34"));
    run();
    EXPECT_EQ(sentText(), (std::vector<std::string>{kStart, kStop}));
}

TEST_F(EthernetPump, WriteAnswersTheNextReport) {
    control.setPendingWrite({0x4000, hexBytes("00 01 02 03")});
    socket.arriveAt(20, ethernetReport("00 00 00 00 00 05 00 10 12 34"));
    socket.arriveAt(40, ethernetReport("00 00 00 00 00 05 00 10 12 34"));
    run();
    EXPECT_EQ(sentText(), (std::vector<std::string>{kStart, "00 00 00 10 00 00 00 0A 00 00 00 01 40 00 00 01 02 03",
                                                    kAck, kStop}));
}

TEST_F(EthernetPump, WriteWithoutAReportIsDroppedAfterOneSecond) {
    control.setPendingWrite({0x4000, hexBytes("01")});
    socket.arriveAt(1500, ethernetReport("00 00 00 00 00 05 00 10 12 34"));
    run();
    EXPECT_EQ(handler.events, (std::vector<std::string>{"dropped 01", "ethernet 0 12 34"}));
    EXPECT_EQ(sentText(), (std::vector<std::string>{kStart, kAck, kStop}));
}

TEST_F(EthernetPump, StartFrameNotSentEndsAtOnce) {
    socket.sendFails = true;
    EXPECT_EQ(run(), PumpEnd::StartFailed);
    EXPECT_EQ(clock.now, 0);
}

}  // namespace
}  // namespace korvex::monitor
