// The gateway engine as a table of exchanges: each case starts a fresh gateway
// and sends its requests in order (so earlier rows set the state of later
// ones), checking every answer byte for byte. Every case runs twice: each
// request fed whole, and fed one byte at a time.
#include "gateway_engine.h"

#include <gtest/gtest.h>

#include <tuple>

#include "hex_bytes.h"

namespace korvex::gatewaysim {
namespace {

using korvex::testing::hexBytes;
using korvex::testing::hexText;

constexpr DeviceOptions kType4Fw60{4, 6, 0, 244};
constexpr DeviceOptions kType4Fw59{4, 5, 9, 244};
constexpr DeviceOptions kType4Fw52{4, 5, 2, 244};
constexpr DeviceOptions kType2Fw52{2, 5, 2, 240};
constexpr DeviceOptions kType1Fw52{1, 5, 2, 244};
constexpr DeviceOptions kType3Fw52{3, 5, 2, 244};

// Switch into configuration state, scrambled as firmware 6 sends it.
constexpr const char* kToConfiguration = "0F 01 A4 B4";
constexpr const char* kStateAcknowledged = "0F 02 00 00 11";

struct Exchange {
    const char* request;
    const char* answer;  // "" when the gateway stays silent
};

struct EngineCase {
    const char* name;
    DeviceOptions device;
    std::vector<Exchange> exchanges;
};

enum class Feed { Whole, ByteByByte };

const EngineCase kCases[] = {
    // Identification and states.
    {"IdentifiesPlainEvenWithFirmware6", kType4Fw60,
     {{"01 00 01", "01 08 04 06 00 00 00 F4 00 00 07"}}},
    {"IdentifiesWithTheCapacityByte", kType2Fw52,
     {{"01 00 01", "01 08 02 05 02 00 00 F0 00 00 02"}}},
    {"SwitchesStatesWithScrambledRequests", kType4Fw60,
     {{kToConfiguration, kStateAcknowledged},
      {"0F 01 00 10", kStateAcknowledged},
      {"0F 01 A7 B7", kStateAcknowledged}}},
    {"RefusesWritesInCommunicationState", kType4Fw60,
     {{"03 17 00 00 A0 00 00 00 00 00 A6 4D AF A4 00 AF 00 00 00 00 00 00 00 00 A4 53",
       "83 02 A0 00 25"}}},
    {"RefusesWritesAfterTheReturnToCommunication", kType4Fw60,
     {{kToConfiguration, kStateAcknowledged},
      {"0F 01 00 10", kStateAcknowledged},
      {"32 01 A6 D9", "B2 02 A0 00 54"}}},
    {"RefusesWritesInDebugState", kType4Fw60,
     {{"0F 01 A7 B7", kStateAcknowledged}, {"32 01 A6 D9", "B2 02 A0 00 54"}}},
    {"ReadsInCommunicationState", kType4Fw60, {{"33 00 33", "33 01 00 34"}}},

    // Parameters written and read back.
    {"KeepsLongSubnetParametersScrambled", kType4Fw60,
     {{kToConfiguration, kStateAcknowledged},
      {"03 17 00 00 A0 00 00 00 00 00 A6 4D AF A4 00 AF 00 00 00 00 00 00 00 00 A4 53", "03 00 03"},
      {"04 01 00 05",
       "04 17 00 00 A0 00 00 00 00 00 A6 4D AF A4 00 AF 00 00 00 00 00 00 00 00 A4 54"}}},
    {"KeepsShortSubnetParametersWithoutStates", kType2Fw52,
     {{"03 0E 00 00 05 00 00 00 00 00 03 E8 0A 01 00 0A 16", "03 00 03"},
      {"04 01 00 05", "04 0E 00 00 05 00 00 00 00 00 03 E8 0A 01 00 0A 17"}}},
    {"ReportsFactoryParametersOfTheFourthSubnet", kType3Fw52,
     {{"04 01 03 08", "04 0E 03 00 05 00 00 00 00 00 00 00 00 00 00 00 1A"}}},
    {"KeepsShortProfibusParameters", kType2Fw52,
     {{"30 02 10 08 4A", "30 00 30"}, {"31 00 31", "31 02 10 08 4B"}}},
    {"KeepsLongProfibusParametersScrambled", kType4Fw60,
     {{kToConfiguration, kStateAcknowledged},
      {"30 03 85 B5 A4 11", "30 00 30"},
      {"31 00 31", "31 03 85 B5 A4 12"}}},
    {"KeepsDeviceNetParameters", kType1Fw52,
     {{"21 04 05 02 03 01 30", "21 00 21"}, {"22 00 22", "22 04 05 02 03 01 31"}}},
    {"KeepsGatewayWideSettingsScrambled", kType4Fw60,
     {{kToConfiguration, kStateAcknowledged},
      {"32 01 A6 D9", "32 00 32"},
      {"33 00 33", "33 01 A6 DA"},
      {"05 04 00 AF 00 B1 69", "05 00 05"},
      {"06 00 06", "06 04 00 AF 00 B1 6A"},
      {"36 01 DE 15", "36 00 36"},
      {"37 00 37", "37 01 DE 16"},
      {"3A 02 00 A4 E0", "3A 00 3A"},
      {"3B 00 3B", "3B 02 00 A4 E1"}}},
    {"ReportsEmptyProfibusConfigurationData", kType4Fw52,
     {{"35 00 35", "35 09 00 00 00 00 00 00 00 00 00 3E"}}},

    // Command lists. The second command carries the mask byte A5, which
    // passes scrambling unchanged.
    {"KeepsCommandsPlain", kType4Fw52,
     {{"14 03 00 55 AA 16", "14 00 14"},
      {"10 0D 00 00 01 03 00 00 00 0A 40 00 00 00 10 7B", "10 00 10"},
      {"10 0D 00 01 A5 10 01 2C 00 02 40 00 00 01 20 63", "10 00 10"},
      {"15 01 00 16", "15 03 00 02 00 1A"},
      {"16 02 00 00 18", "16 19 00 00 01 03 00 00 00 0A 40 00 00 00 10 01 A5 10 01 2C 00 02 40 00 "
                         "00 01 20 D3"}}},
    {"KeepsCommandsScrambled", kType4Fw60,
     {{kToConfiguration, kStateAcknowledged},
      {"14 03 00 F0 0F 16", "14 00 14"},
      {"10 0D 00 00 A4 A6 00 00 00 AF E5 00 00 00 B5 B0", "10 00 10"},
      {"10 0D 00 A4 A5 B5 A4 89 00 A7 E5 00 00 A4 85 FD", "10 00 10"},
      {"15 01 00 16", "15 03 00 A7 00 BF"},
      {"16 02 00 00 18", "16 19 00 00 A4 A6 00 00 00 AF E5 00 00 00 B5 A4 A5 B5 A4 89 00 A7 E5 00 "
                         "00 A4 85 A2"}}},
    {"ClearEmptiesTheCommandList", kType4Fw52,
     {{"10 0D 00 00 01 03 00 00 00 0A 40 00 00 00 10 7B", "10 00 10"},
      {"14 03 00 55 AA 16", "14 00 14"},
      {"15 01 00 16", "15 03 00 00 00 18"}}},

    // Requests refused with an error frame.
    {"BadChecksum", kType4Fw52, {{"03 00 04", "83 02 01 00 86"}}},
    {"UnknownCommand", kType4Fw52, {{"7E 00 7E", "FE 02 02 00 02"}}},
    {"WrongLength", kType1Fw52, {{"21 03 01 02 03 2A", "A1 02 04 00 A7"}}},
    {"SubnetTheGatewayDoesNotHave", kType4Fw52, {{"04 01 01 06", "84 02 06 00 8C"}}},
    {"ClearWithoutItsConstants", kType4Fw52, {{"14 03 00 55 AB 17", "94 02 04 00 9A"}}},
    {"CommandIndexLeavingAGap", kType4Fw52,
     {{"10 0D 00 02 00 00 00 00 00 00 00 00 00 00 00 1F", "90 02 06 00 98"}}},
    {"UnknownOperatingState", kType4Fw60, {{"0F 01 A6 B6", "8F 02 A3 00 34"}}},
    {"DeviceNetFrameOnAProfibusGateway", kType4Fw52, {{"21 04 05 02 03 01 30", "A1 02 02 00 A5"}}},
    {"AddressFrameBeforeFirmware6", kType4Fw59, {{"36 01 7B B2", "B6 02 02 00 BA"}}},
};

std::vector<Bytes> feed(GatewayEngine& engine, const Bytes& request, Feed how, std::int64_t& now) {
    std::vector<Bytes> out;
    auto take = [&](std::vector<Answer> answers) {
        for (auto& a : answers) out.push_back(std::move(a.bytes));
    };
    if (how == Feed::Whole) {
        take(engine.receive(request, now));
    } else {
        for (std::size_t i = 0; i < request.size(); ++i) {
            take(engine.receive(std::span(request).subspan(i, 1), now));
            if (i + 1 < request.size()) {
                EXPECT_TRUE(out.empty()) << "answered after byte " << i;
            }
        }
    }
    now += 10;
    return out;
}

class EngineExchanges : public ::testing::TestWithParam<std::tuple<EngineCase, Feed>> {};

TEST_P(EngineExchanges, AnswersEveryRequest) {
    const auto& [c, how] = GetParam();
    GatewayEngine engine(c.device);
    std::int64_t now = 0;
    for (const Exchange& x : c.exchanges) {
        SCOPED_TRACE(x.request);
        const auto answers = feed(engine, hexBytes(x.request), how, now);
        const std::string expected = std::string(x.answer).empty() ? "" : hexText(hexBytes(x.answer));
        ASSERT_EQ(answers.size(), expected.empty() ? 0u : 1u);
        if (!expected.empty()) {
            EXPECT_EQ(hexText(answers[0]), expected);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, EngineExchanges, ::testing::Combine(::testing::ValuesIn(kCases),
                                               ::testing::Values(Feed::Whole, Feed::ByteByByte)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) == Feed::Whole ? "_Whole" : "_ByteByByte");
    });

// Faults injected for the timeout-handling write (32 01 03 36) on firmware 5.2.
struct FaultCase {
    const char* name;
    Fault fault;
    const char* answer;  // "" for none
    int delayMs;
    std::uint8_t storedValue;
};

class EngineFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(EngineFaults, AnswerTheChosenCommandAsInjected) {
    const auto& c = GetParam();
    GatewayEngine engine(kType4Fw52);
    engine.setFault(0x32, c.fault);
    const auto answers = engine.receive(hexBytes("32 01 03 36"), 0);
    if (std::string(c.answer).empty()) {
        EXPECT_TRUE(answers.empty());
    } else {
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_EQ(hexText(answers[0].bytes), c.answer);
        EXPECT_EQ(answers[0].delayMs, c.delayMs);
    }
    EXPECT_EQ(engine.memory().timeoutHandling, c.storedValue);
    // Other commands are not affected.
    const auto other = engine.receive(hexBytes("33 00 33"), 10);
    ASSERT_EQ(other.size(), 1u);
    EXPECT_EQ(other[0].delayMs, 0);
    EXPECT_EQ(hexText(other[0].bytes), c.storedValue == 3 ? "33 01 03 37" : "33 01 00 34");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EngineFaults,
    ::testing::Values(FaultCase{"ErrorFrame", {FaultKind::ErrorFrame}, "B2 02 0E 00 C2", 0, 0},
                      FaultCase{"ErrorFrameWithItsCode", {FaultKind::ErrorFrame, 0, 0x03},
                                "B2 02 03 00 B7", 0, 0},
                      FaultCase{"BadChecksum", {FaultKind::BadChecksum}, "32 00 33", 0, 3},
                      FaultCase{"Late", {FaultKind::Late, 700}, "32 00 32", 700, 3},
                      FaultCase{"Silent", {FaultKind::Silent}, "", 0, 0},
                      // Answered as carried out, yet the value stays.
                      FaultCase{"Forget", {FaultKind::Forget}, "32 00 32", 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GatewayEngine, DropsAPartialRequestAfterAPause) {
    GatewayEngine engine(kType4Fw52);
    EXPECT_TRUE(engine.receive(hexBytes("03 17 00"), 0).empty());
    // Within the pause the request goes on; after it, the bytes start a new one.
    EXPECT_TRUE(engine.receive(hexBytes("00"), GatewayEngine::kRequestGapMs).empty());
    const auto answers = engine.receive(hexBytes("01 00 01"), 2 * GatewayEngine::kRequestGapMs + 1);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].bytes[0], 0x01);
}

TEST(GatewayEngine, AnswersTwoRequestsOfOneChunkInOrder) {
    GatewayEngine engine(kType4Fw52);
    const auto answers = engine.receive(hexBytes("01 00 01 33 00 33"), 0);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].bytes[0], 0x01);
    EXPECT_EQ(hexText(answers[1].bytes), "33 01 00 34");
}

Bytes addCommand(std::uint8_t subnet, std::uint8_t index) {
    // Slave address = index + 1 so each record shows where it came from.
    return serial::makeFrame(0x10, {subnet, index, static_cast<std::uint8_t>(index + 1), 3, 0, 0,
                                    0, 1, 0, 0, 0, 0, 0});
}

Bytes only(std::vector<Answer> answers) {
    EXPECT_EQ(answers.size(), 1u);
    return answers.empty() ? Bytes{} : answers[0].bytes;
}

struct BatchCase {
    const char* name;
    DeviceOptions device;
    std::uint8_t subnet;
    int commands;
    std::vector<std::vector<int>> batches;  // command indexes expected per batch
};

class EngineBatches : public ::testing::TestWithParam<BatchCase> {};

TEST_P(EngineBatches, SplitTheListByTheDeviceTypesBatchSize) {
    const auto& c = GetParam();
    GatewayEngine engine(c.device);
    for (int i = 0; i < c.commands; ++i) {
        ASSERT_EQ(hexText(only(engine.receive(addCommand(c.subnet, static_cast<std::uint8_t>(i)), 0))),
                  "10 00 10");
    }
    for (std::size_t b = 0; b < c.batches.size(); ++b) {
        SCOPED_TRACE("batch " + std::to_string(b));
        const Bytes answer =
            only(engine.receive(serial::makeFrame(0x16, {c.subnet, static_cast<std::uint8_t>(b)}), 0));
        const auto& expected = c.batches[b];
        ASSERT_EQ(answer.size(), 3 + 1 + 12 * expected.size());
        EXPECT_EQ(answer[1], 1 + 12 * expected.size());
        EXPECT_EQ(answer[2], c.subnet);
        for (std::size_t r = 0; r < expected.size(); ++r) {
            EXPECT_EQ(answer[3 + 12 * r], expected[r]);
            EXPECT_EQ(answer[4 + 12 * r], expected[r] + 1);
        }
        EXPECT_TRUE(serial::hasValidChecksum(answer));
    }
}

std::vector<int> range(int from, int to) {
    std::vector<int> out;
    for (int i = from; i < to; ++i) out.push_back(i);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, EngineBatches,
    ::testing::Values(
        BatchCase{"ThirteenCommandsInBatchesOf6", kType4Fw52, 0, 13, {range(0, 6), range(6, 12), {12}, {}}},
        BatchCase{"FourSubnetGatewayInBatchesOf20", kType3Fw52, 2, 25, {range(0, 20), range(20, 25)}},
        BatchCase{"FullFourSubnetBatch", kType3Fw52, 3, 100, {range(0, 20), range(20, 40), range(40, 60), range(60, 80), range(80, 100), {}}},
        BatchCase{"EmptyList", kType4Fw52, 0, 0, {{}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GatewayEngine, HoldsFortyEightCommandsBeforeFirmware52AndAHundredFrom52) {
    for (const auto& [device, capacity] : {std::pair{DeviceOptions{4, 5, 1, 244}, 48},
                                           std::pair{kType4Fw52, 100}}) {
        SCOPED_TRACE(capacity);
        GatewayEngine engine(device);
        for (int i = 0; i < capacity; ++i) {
            ASSERT_EQ(only(engine.receive(addCommand(0, static_cast<std::uint8_t>(i)), 0)).size(), 3u);
        }
        EXPECT_EQ(hexText(only(engine.receive(addCommand(0, static_cast<std::uint8_t>(capacity)), 0))),
                  "90 02 06 00 98");
        EXPECT_EQ(only(engine.receive(hexBytes("15 01 00 16"), 0))[3], capacity);
    }
}

TEST(GatewayEngine, StartsFromLoadedConfigurationFramesInCommunicationState) {
    GatewayEngine engine(kType4Fw60);
    std::string error;
    ASSERT_TRUE(engine.loadConfiguration(
        {hexBytes("0F 01 01 11"), hexBytes("30 03 20 10 01 64"),
         hexBytes("14 03 00 55 AA 16"), hexBytes("10 0D 00 00 01 03 00 00 00 0A 40 00 00 00 10 7B"),
         hexBytes("36 01 7B B2")},
        &error))
        << error;
    EXPECT_EQ(engine.state(), serial::OperatingState::Communication);
    EXPECT_EQ(engine.memory().profibus, (std::array<std::uint8_t, 3>{0x20, 0x10, 0x01}));
    ASSERT_EQ(engine.memory().subnets[0].commands.size(), 1u);
    EXPECT_EQ(engine.memory().profibusAddress, 0x7B);
    // An upload reads it back (answers scrambled: firmware 6).
    EXPECT_EQ(hexText(only(engine.receive(hexBytes("37 00 37"), 0))), "37 01 DE 16");
}

TEST(GatewayEngine, RefusesAStartConfigurationItCannotTakeAndNamesTheFrame) {
    GatewayEngine engine(kType4Fw52);
    std::string error;
    EXPECT_FALSE(engine.loadConfiguration({hexBytes("14 03 00 55 AA 16"), hexBytes("04 01 00 05"),
                                           hexBytes("14 03 01 55 AA 17")},
                                          &error));
    EXPECT_NE(error.find("frame 3"), std::string::npos) << error;
    EXPECT_FALSE(engine.loadConfiguration({hexBytes("14 03 00 55 AA")}, &error));
    EXPECT_NE(error.find("frame 1"), std::string::npos) << error;
}

}  // namespace
}  // namespace korvex::gatewaysim
