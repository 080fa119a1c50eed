#include <gtest/gtest.h>

#include "model/encoding.h"

namespace korvex {
namespace {

TEST(Windows1252, EveryByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const auto back = utf8ToWindows1252(windows1252ToUtf8(one));
        ASSERT_TRUE(back) << b;
        EXPECT_EQ(*back, one) << b;
    }
}

TEST(Windows1252, KnownMappings) {
    EXPECT_EQ(windows1252ToUtf8("\x80"), "\u20ac");
    EXPECT_EQ(windows1252ToUtf8("\x81"), "\u0081");  // undefined bytes map to C1 controls
    EXPECT_EQ(windows1252ToUtf8("\x9f"), "\u0178");
    EXPECT_EQ(windows1252ToUtf8("\xe9"), "\u00e9");
    EXPECT_EQ(utf8ToWindows1252("caf\u00e9 \u20ac"), std::string("caf\xe9 \x80"));
}

TEST(Windows1252, RefusesWhatItCannotHold) {
    EXPECT_FALSE(utf8ToWindows1252("\u4e2d"));
    EXPECT_FALSE(utf8ToWindows1252("\u2160"));
    EXPECT_FALSE(utf8ToWindows1252("\xff"));       // not UTF-8
    EXPECT_FALSE(utf8ToWindows1252("\xc3"));       // truncated sequence
}

}  // namespace
}  // namespace korvex
