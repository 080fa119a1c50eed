// The exchange layer: requests, receive buffers and the waits, on the scripted
// link's virtual clock (no wall-clock time is involved).
#include "serial/exchange.h"

#include <gtest/gtest.h>

#include "scripted_link.h"

namespace korvex::serial {
namespace {

using testing::ScriptedLink;

TEST(Exchange, RequestPurgesLeftoversAndScramblesOnlyWhenAsked) {
    ScriptedLink link;
    link.queue({0x03, 0x00, 0x03, 0xEE, 0xEE});  // an acknowledgement with two stray bytes behind it
    ASSERT_TRUE(sendRequest(link, makeFrame(0x03, {0x01}), false));
    ReceiveBuffer answer;
    EXPECT_EQ(waitForAcknowledgement(link, answer), WaitOutcome::Frame);
    EXPECT_EQ(answer.size(), 3u);  // the frame only: its length byte said 3 bytes
    link.advance(10);
    EXPECT_EQ(link.bytesWaiting(), 2u);

    ASSERT_TRUE(sendRequest(link, makeFrame(0x14, {0x00, 0x55, 0xAA}), true));
    EXPECT_EQ(link.bytesWaiting(), 0u);  // the stray bytes are gone
    EXPECT_EQ(link.sent.back(), (Bytes{0x14, 0x03, 0x00, 0xF0, 0x0F, 0x16}));
    EXPECT_EQ(link.sent.front(), (Bytes{0x03, 0x01, 0x01, 0x05}));
}

TEST(Exchange, WaitEndsAsSoonAsTheFrameIsComplete) {
    ScriptedLink link;
    link.queue({0x10, 0x00, 0x10}, 7);
    ASSERT_TRUE(sendRequest(link, makeFrame(0x10, {}), false));
    ReceiveBuffer answer;
    EXPECT_EQ(waitForAcknowledgement(link, answer), WaitOutcome::Frame);
    EXPECT_EQ(link.nowMs(), 7);  // not the 3 s bound
}

TEST(Exchange, FrameArrivingByteByByteIsCollectedWhole) {
    ScriptedLink link;
    const Bytes batch = makeFrame(0x16, Bytes(1 + 12 * 20, 0x01));
    link.queue(batch, 100, 1);  // one byte per millisecond
    ASSERT_TRUE(sendRequest(link, makeFrame(0x16, {0, 0}), false));
    ReceiveBuffer answer(kCommandBatchBufferSize);
    EXPECT_EQ(waitForCommandBatch(link, answer), WaitOutcome::Frame);
    EXPECT_EQ(answer.size(), batch.size());
    EXPECT_EQ(link.nowMs(), 100 + static_cast<std::int64_t>(batch.size()) - 1);
}

TEST(Exchange, SilenceEndsAtTheRuleLimit) {
    struct Rule {
        const char* name;
        WaitOutcome (*wait)(ByteLink&, ReceiveBuffer&);
        int limit;
    };
    const Rule rules[] = {
        {"device type", waitForDeviceType, wait_limit::DeviceType},
        {"acknowledgement", waitForAcknowledgement, wait_limit::Acknowledgement},
        {"read answer", waitForReadAnswer, wait_limit::ReadAnswer},
        {"short answer", waitForShortAnswer, wait_limit::ShortAnswer},
        {"configuration data", waitForConfigurationData, wait_limit::ConfigurationData},
        {"state switch", waitForStateSwitch, wait_limit::StateSwitch},
        {"interval acknowledgement", waitForIntervalAcknowledgement, wait_limit::IntervalAcknowledgement},
        {"command batch", waitForCommandBatch, wait_limit::CommandBatch},
        {"character intervals", waitForCharIntervals, wait_limit::CharIntervals},
    };
    for (const Rule& rule : rules) {
        SCOPED_TRACE(rule.name);
        ScriptedLink link;
        ReceiveBuffer answer;
        EXPECT_EQ(rule.wait(link, answer), WaitOutcome::Nothing);
        EXPECT_EQ(link.nowMs(), rule.limit);
    }
    ScriptedLink link;
    ReceiveBuffer answer;
    EXPECT_EQ(waitForSettingAnswer(link, answer, true), WaitOutcome::Nothing);
    EXPECT_EQ(link.nowMs(), wait_limit::SettingAfterPause);
}

TEST(Exchange, AnswerCutOffByTheLimitIsPartial) {
    ScriptedLink link;
    link.queue({0x04, 0x0E, 0x00, 0x00}, 2);  // four bytes of a 17-byte answer
    ASSERT_TRUE(sendRequest(link, makeFrame(0x04, {0}), false));
    ReceiveBuffer answer;
    EXPECT_EQ(waitForReadAnswer(link, answer), WaitOutcome::Partial);
    EXPECT_EQ(answer.size(), 4u);
    EXPECT_EQ(link.nowMs(), wait_limit::ReadAnswer);
}

TEST(Exchange, ReadNeverPassesTheBufferCapacity) {
    ScriptedLink link;
    Bytes huge = makeFrame(0x16, Bytes(255, 0x11));  // announces 258 bytes
    link.queue(huge);
    ASSERT_TRUE(sendRequest(link, makeFrame(0x16, {0, 0}), false));
    ReceiveBuffer answer(kCommandBatchBufferSize);
    EXPECT_EQ(waitForCommandBatch(link, answer), WaitOutcome::Frame);
    EXPECT_EQ(answer.size(), kCommandBatchBufferSize);

    ReceiveBuffer small(kStateSwitchBufferSize);
    link.queue(makeFrame(0x0F, Bytes(20, 0x01)));
    ASSERT_TRUE(sendRequest(link, makeFrame(0x0F, {1}), false));
    waitForStateSwitch(link, small);
    EXPECT_EQ(small.size(), kStateSwitchBufferSize);
}

TEST(Exchange, LostLinkEndsTheWaitAndRefusesRequests) {
    ScriptedLink link;
    link.failAtRequest = 0;
    EXPECT_FALSE(sendRequest(link, makeFrame(0x01, {}), false));
    ReceiveBuffer answer;
    EXPECT_EQ(waitForAcknowledgement(link, answer), WaitOutcome::LinkLost);
    EXPECT_LT(link.nowMs(), wait_limit::Acknowledgement);
    EXPECT_FALSE(sendRequest(link, makeFrame(0x01, {}), false));
}

TEST(Exchange, ExactAnswerComparison) {
    ReceiveBuffer answer;
    const std::uint8_t ack[] = {0x05, 0x00, 0x05};
    answer.assign(Bytes{0x05, 0x00, 0x05});
    EXPECT_TRUE(answerIs(answer, ack));
    answer.assign(Bytes{0x05, 0x00});
    EXPECT_FALSE(answerIs(answer, ack));
    answer.assign(Bytes{0x85, 0x02, 0x01, 0x02, 0x8A});
    EXPECT_FALSE(answerIs(answer, ack));
    EXPECT_EQ(answer.at(40), 0);  // past the received bytes reads as the cleared buffer
}

}  // namespace
}  // namespace korvex::serial
