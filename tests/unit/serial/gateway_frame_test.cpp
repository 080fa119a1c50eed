#include "serial/gateway_frame.h"

#include <gtest/gtest.h>

namespace korvex::serial {
namespace {

TEST(GatewayFrame, BuildsFramesWithTheAdditiveChecksum) {
    EXPECT_EQ(makeFrame(0x01, {}), (Bytes{0x01, 0x00, 0x01}));
    EXPECT_EQ(makeFrame(0x04, {0x01}), (Bytes{0x04, 0x01, 0x01, 0x06}));
    EXPECT_EQ(makeFrame(0x14, {0x02, 0x55, 0xAA}), (Bytes{0x14, 0x03, 0x02, 0x55, 0xAA, 0x18}));
    // The sum wraps modulo 256.
    EXPECT_EQ(makeFrame(0xF0, {0xF0, 0x30}).back(), 0x12);
}

TEST(GatewayFrame, ScramblingLeavesZeroAndMaskAndIsItsOwnInverse) {
    Bytes clear{0x14, 0x03, 0x00, 0x55, 0xAA, 0x16};
    Bytes frame = clear;
    scrambleFrame(frame);
    EXPECT_EQ(frame[0], 0x14);
    EXPECT_EQ(frame[1], 0x03);
    EXPECT_EQ(frame[2], 0x00);
    EXPECT_EQ(frame[3], 0x55 ^ kScrambleMask);
    EXPECT_EQ(frame[4], 0xAA ^ kScrambleMask);
    EXPECT_EQ(frame[5], additiveChecksum(std::span(frame).first(5)));
    scrambleFrame(frame);
    EXPECT_EQ(frame, clear);

    Bytes withMask = makeFrame(0x10, {kScrambleMask, 0x01});
    scrambleFrame(withMask);
    EXPECT_EQ(withMask[2], kScrambleMask);
    EXPECT_EQ(withMask[3], 0x01 ^ kScrambleMask);
}

TEST(GatewayFrame, ScramblingNeverTouchesFramesWithoutDataOrShortFrames) {
    Bytes empty{0x0F, 0x00, 0x0F};
    scrambleFrame(empty);
    EXPECT_EQ(empty, (Bytes{0x0F, 0x00, 0x0F}));
    Bytes shortFrame{0x10, 0x0D, 0x01};
    scrambleFrame(shortFrame);
    EXPECT_EQ(shortFrame, (Bytes{0x10, 0x0D, 0x01}));
}

TEST(GatewayFrame, ChecksumValidation) {
    EXPECT_TRUE(hasValidChecksum(Bytes{0x03, 0x00, 0x03}));
    EXPECT_FALSE(hasValidChecksum(Bytes{0x03, 0x00, 0x04}));
    EXPECT_FALSE(hasValidChecksum(Bytes{0x03, 0x01, 0x03}));
    EXPECT_FALSE(hasValidChecksum(Bytes{0x03, 0x00}));
}

}  // namespace
}  // namespace korvex::serial
