#include <gtest/gtest.h>

#include "model/operator.h"
#include "model/texts.h"
#include "model/value_checks.h"

namespace korvex {
namespace {

struct IntegerCase {
    const char* name;
    const char* value;
    bool ok;
    const char* shownKey;  // nullptr: nothing shown
};

TEST(CheckIntegerField, AcceptsRefusesAndSaysWhy) {
    const IntegerCase cases[] = {
        {"in_range", "300", true, nullptr},
        {"lower_bound", "5", true, nullptr},
        {"upper_bound", "60000", true, nullptr},
        {"empty_is_silent", "", false, nullptr},
        {"below", "4", false, "ValueOutOfRange"},
        {"above", "60001", false, "ValueOutOfRange"},
        {"huge_overflow", "99999999999999999999999", false, "ValueOutOfRange"},
        {"minus_sign", "-5", false, "IllegalCharacters"},
        {"blank", "3 0", false, "IllegalCharacters"},
        {"hex", "1a", false, "IllegalCharacters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedOperator op;
        EXPECT_EQ(checkIntegerField(op, c.value, 5, 60000, "Response Timeout(5-60000ms)"), c.ok);
        if (c.shownKey) {
            ASSERT_EQ(op.shown().size(), 1u);
            EXPECT_EQ(op.shown()[0].message.id.key, c.shownKey);
        } else {
            EXPECT_TRUE(op.shown().empty());
        }
    }
}

TEST(CheckIntegerField, MessagesNameTheLabel) {
    ScriptedOperator op;
    checkIntegerField(op, "x", 0, 1, "Scan Rate(1-255)");
    checkIntegerField(op, "9", 0, 1, "Scan Rate(1-255)");
    ASSERT_EQ(op.shown().size(), 2u);
    EXPECT_EQ(op.shown()[0].message.text(), "\"Scan Rate(1-255)\" contains illegal characters");
    EXPECT_EQ(op.shown()[1].message.text(), "The value of Scan Rate(1-255) is out of range.");
}

TEST(IsValidIPv4, Table) {
    const std::pair<const char*, bool> cases[] = {
        {"192.168.0.10", true}, {"0.0.0.0", true},      {"255.255.255.255", true},
        {"256.1.1.1", false},   {"1.1.1.256", false},   {"1.1.1", false},
        {"1.1.1.", false},      {".1.1.1", false},      {"1.1.1.1.1", false},
        {"1234.1.1.1", false},  {"1.1.1.0001", true},   {"1.a.1.1", false},
        {"", false},            {" 1.1.1.1", false},
    };
    for (const auto& [text, ok] : cases) EXPECT_EQ(isValidIPv4(text), ok) << text;
}

TEST(ByteToHexText, Table) {
    const std::pair<unsigned, const char*> cases[] = {
        {0x00, "0"}, {0x05, "5"}, {0x0A, "a"}, {0x10, "10"}, {0xF3, "f3"}, {0xFF, "ff"},
    };
    for (const auto& [v, text] : cases) EXPECT_EQ(byteToHexText(v), text) << v;
}

TEST(NumberParsing, WholeTextOnly) {
    EXPECT_EQ(parseDecimal("0"), 0);
    EXPECT_EQ(parseDecimal("65535"), 65535);
    EXPECT_FALSE(parseDecimal(""));
    EXPECT_FALSE(parseDecimal("12h"));
    EXPECT_FALSE(parseDecimal("99999999999999999999"));
    EXPECT_EQ(parseHex("40F3"), 0x40F3);
    EXPECT_EQ(parseHex("1a"), 0x1A);
    EXPECT_FALSE(parseHex("4000H"));
    EXPECT_EQ(leadingDecimal("12(input)"), 12);
    EXPECT_FALSE(leadingDecimal("(input)"));
    EXPECT_EQ(toHexText(0x40F3, true), "40F3");
    EXPECT_EQ(toHexText(0, false), "0");
}

}  // namespace
}  // namespace korvex
