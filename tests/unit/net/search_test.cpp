// The device search: the request, the answer decoder (untrusted datagrams) and
// the pass logic on a fake clock.
#include <gtest/gtest.h>

#include <ostream>

#include "hex_bytes.h"
#include "model/texts.h"
#include "net/device_search.h"
#include "net_fakes.h"

namespace korvex::net {
namespace {

using korvex::testing::hexBytes;
using testing::FakeClock;
using testing::FakeDatagramSocket;

// A 68-byte answer written field by field: header, 16 bytes not read, firmware
// major and minor, MAC, 2 bytes, IPv4, 24 bytes, permission.
Bytes answer(std::string_view firmware, std::string_view mac, std::string_view ip, std::string_view permission) {
    Bytes out = hexBytes("00 00 00 03 00 00 00 3C");
    out.resize(24, 0);
    for (auto part : {firmware, mac, std::string_view("00 00"), ip}) {
        const Bytes b = hexBytes(part);
        out.insert(out.end(), b.begin(), b.end());
    }
    out.resize(64, 0);
    const Bytes p = hexBytes(permission);
    out.insert(out.end(), p.begin(), p.end());
    return out;
}

const Bytes kGatewayA = answer("00 01 00 0A", "00 1A 2B 3C 4D 5E", "7F 00 00 0B", "00 00 00 01");
const Bytes kGatewayB = answer("00 06 00 02", "A0 B1 C2 D3 E4 F5", "7F 00 00 0C", "00 00 00 02");

TEST(SearchRequest, IsTheEightByteSearchHeader) {
    EXPECT_EQ(searchRequest(), hexBytes("00 00 00 03 00 00 00 00"));
}

TEST(SearchAnswer, DecodesTheSixColumnTexts) {
    const auto d = decodeSearchAnswer(kGatewayA, kBroadcastAnswerMinimum);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->modelText, "Fennick");
    EXPECT_EQ(d->firmwareText, "1.10");
    EXPECT_EQ(d->macText, "00-1a-2b-3c-4d-5e");
    EXPECT_EQ(d->ipText, "127.0.0.11");
    EXPECT_EQ(d->remoteConfigText, texts::RemoteConfigAllowedText.text);
    EXPECT_TRUE(d->remoteConfigAllowed);
    EXPECT_EQ(d->indexText, "");

    const auto b = decodeSearchAnswer(kGatewayB, kBroadcastAnswerMinimum);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->remoteConfigText, "Prohibit configurating remotely");
    EXPECT_FALSE(b->remoteConfigAllowed);
}

TEST(SearchAnswer, LongDatagramIsReadUpToItsSixtyEightBytes) {
    Bytes longer = kGatewayA;
    longer.resize(1500, 0xEE);
    EXPECT_EQ(decodeSearchAnswer(longer, kBroadcastAnswerMinimum), decodeSearchAnswer(kGatewayA, kBroadcastAnswerMinimum));
}

TEST(SearchAnswer, ShortAnswerReadsMissingBytesAsZero) {
    // Fixed-address mode tests only the command code.
    const auto d = decodeSearchAnswer(hexBytes("00 00 00 03 00 00 00 00 01 02"), kFixedAnswerMinimum);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->ipText, "0.0.0.0");
    EXPECT_EQ(d->macText, "00-00-00-00-00-00");
    EXPECT_EQ(d->firmwareText, "0.0");
    EXPECT_FALSE(d->remoteConfigAllowed);
}

struct IgnoredCase {
    const char* name;
    Bytes datagram;
    std::size_t minimum;
};
void PrintTo(const IgnoredCase& c, std::ostream* os) { *os << c.name; }

class IgnoredDatagram : public ::testing::TestWithParam<IgnoredCase> {};

TEST_P(IgnoredDatagram, GivesNoDevice) {
    EXPECT_FALSE(decodeSearchAnswer(GetParam().datagram, GetParam().minimum));
}

Bytes withCommand(std::string_view command) {
    Bytes b = kGatewayA;
    const Bytes c = hexBytes(command);
    std::copy(c.begin(), c.end(), b.begin());
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IgnoredDatagram,
    ::testing::Values(IgnoredCase{"Empty", {}, kBroadcastAnswerMinimum},
                      IgnoredCase{"EmptyFixed", {}, kFixedAnswerMinimum},
                      IgnoredCase{"ThreeBytesFixed", hexBytes("00 00 00"), kFixedAnswerMinimum},
                      IgnoredCase{"TenBytesBroadcast", hexBytes("00 00 00 03 00 00 00 00 00 00"), kBroadcastAnswerMinimum},
                      IgnoredCase{"FifteenBytesBroadcast", Bytes(kGatewayA.begin(), kGatewayA.begin() + 15),
                                  kBroadcastAnswerMinimum},
                      IgnoredCase{"ReadConfigCommand", withCommand("00 00 00 05"), kBroadcastAnswerMinimum},
                      IgnoredCase{"CommandInLowBytesOnly", withCommand("03 00 00 00"), kFixedAnswerMinimum},
                      IgnoredCase{"OurOwnRequest", hexBytes("00 00 00 03 00 00 00 00"), kBroadcastAnswerMinimum},
                      IgnoredCase{"Garbage", Bytes(68, 0xFF), kBroadcastAnswerMinimum}),
    [](const auto& info) { return std::string(info.param.name); });

// The search with its fake socket and clock; broadcasts go to loopback.
class Search : public ::testing::Test {
protected:
    FakeClock clock;
    FakeDatagramSocket socket{clock};
    EthernetTarget target;
    DeviceSearch search{target, &socket, "127.255.255.255"};
};

TEST_F(Search, NoAnswerRunsFivePassesAndEndsWithAnEmptyList) {
    runSearch(search, clock);
    ASSERT_EQ(socket.sent.size(), 5u);
    for (const auto& s : socket.sent) {
        EXPECT_EQ(s.bytes, searchRequest());
        EXPECT_EQ(s.address, "127.255.255.255");
        EXPECT_EQ(s.port, 18801);
    }
    EXPECT_EQ(socket.sent.front().atMs, 300) << "nothing is sent before the first tick";
    EXPECT_FALSE(search.timerRunning());
    EXPECT_EQ(search.passCount(), 6);
    EXPECT_EQ(search.progress(), 100);
    EXPECT_EQ(search.status(), texts::SearchFinished);
    EXPECT_TRUE(search.rows().empty());
    EXPECT_TRUE(search.refurbishEnabled());
    EXPECT_FALSE(search.logInEnabled());
    EXPECT_FALSE(search.pick(0));
    EXPECT_TRUE(target.targetAddress.empty());
}

TEST_F(Search, ProgressAdvancesOneStepPerPass) {
    search.open();
    EXPECT_EQ(search.status(), texts::SearchStatusInitial);
    for (int pass = 1; pass <= 5; ++pass) {
        search.pass();
        EXPECT_EQ(search.progress(), 20 * pass);
        EXPECT_TRUE(search.timerRunning());
        EXPECT_FALSE(search.refurbishEnabled());
    }
    search.pass();
    EXPECT_FALSE(search.timerRunning());
}

TEST_F(Search, TwoAnswersInThirdPassAreListedAndEndTheSearch) {
    socket.answersAfterSend[2] = {kGatewayA, hexBytes("00 00 00 03 00 00"), kGatewayB};
    runSearch(search, clock);
    EXPECT_EQ(socket.sent.size(), 3u);
    EXPECT_FALSE(search.timerRunning());
    EXPECT_EQ(search.progress(), 100);
    EXPECT_EQ(search.passCount(), 5);
    EXPECT_EQ(search.status(), texts::SearchFinished);
    EXPECT_TRUE(search.refurbishEnabled());
    EXPECT_FALSE(search.logInEnabled()) << "until a row is clicked";
    ASSERT_EQ(search.rows().size(), 2u);
    EXPECT_EQ(search.rows()[0].indexText, " 1");
    EXPECT_EQ(search.rows()[1].indexText, " 2");
    EXPECT_EQ(search.rows()[1].ipText, "127.0.0.12");
    // The permission follows the answer that came last, whichever row is picked.
    EXPECT_FALSE(target.remoteConfigAllowed);
    EXPECT_TRUE(search.pick(0));
    EXPECT_EQ(target.targetAddress, "127.0.0.11");
    EXPECT_TRUE(search.logInEnabled());
    EXPECT_FALSE(target.remoteConfigAllowed);
    // A click below the last row changes nothing.
    EXPECT_FALSE(search.pick(2));
    EXPECT_EQ(search.selectedRow(), 0);
    EXPECT_EQ(target.targetAddress, "127.0.0.11");
}

TEST_F(Search, RefurbishSearchesAgainFromTheStart) {
    socket.answersAfterSend[0] = {kGatewayA};
    runSearch(search, clock);
    ASSERT_TRUE(search.pick(0));
    search.refurbish();
    EXPECT_TRUE(search.timerRunning());
    EXPECT_EQ(search.status(), texts::SearchStatusRunning);
    EXPECT_TRUE(search.rows().empty());
    EXPECT_EQ(search.progress(), 0);
    EXPECT_EQ(search.selectedRow(), -1);
    EXPECT_FALSE(search.logInEnabled());
    EXPECT_FALSE(search.refurbishEnabled());
    socket.answersAfterSend[1] = {kGatewayB};
    search.pass();
    ASSERT_EQ(search.rows().size(), 1u);
    EXPECT_EQ(search.rows()[0].ipText, "127.0.0.12");
}

TEST_F(Search, PassesGoOnWhenSendingFails) {
    socket.sendFails = true;
    runSearch(search, clock);
    EXPECT_EQ(search.passCount(), 6);
    EXPECT_EQ(search.status(), texts::SearchFinished);
}

TEST_F(Search, AFloodOfDatagramsStillEndsThePass) {
    socket.answersAfterSend[0] = std::deque<Bytes>(5000, hexBytes("00 00 00 09"));
    search.open();
    search.pass();
    EXPECT_TRUE(search.rows().empty());
    EXPECT_TRUE(search.timerRunning());
}

TEST(SearchWithoutSocket, EndsAfterFivePassesWithAnEmptyList) {
    FakeClock clock;
    EthernetTarget target;
    DeviceSearch search(target, nullptr, "127.255.255.255");
    EXPECT_FALSE(search.socketAvailable());
    runSearch(search, clock);
    EXPECT_EQ(search.status(), texts::SearchFinished);
    EXPECT_TRUE(search.rows().empty());
    EXPECT_TRUE(search.refurbishEnabled());
}

class FixedAddressSearch : public ::testing::Test {
protected:
    FixedAddressSearch() {
        target.useFixedAddress = true;
        target.targetAddress = "127.0.0.5";
    }
    FakeClock clock;
    FakeDatagramSocket socket{clock};
    EthernetTarget target;
    DeviceSearch search{target, &socket, "127.255.255.255"};
};

TEST_F(FixedAddressSearch, QueriesTheTypedAddressOnceWhenOpened) {
    socket.answersAfterSend[0] = {kGatewayB};
    search.open();
    ASSERT_EQ(socket.sent.size(), 1u);
    EXPECT_EQ(socket.sent[0].address, "127.0.0.5");
    EXPECT_EQ(socket.sent[0].port, 18801);
    EXPECT_FALSE(search.timerRunning());
    EXPECT_EQ(search.status(), texts::SearchFinished);
    EXPECT_EQ(search.progress(), 100);
    EXPECT_FALSE(search.logInEnabled());
    ASSERT_EQ(search.rows().size(), 1u);
    EXPECT_EQ(search.rows()[0].indexText, "1");
    EXPECT_FALSE(target.remoteConfigAllowed);
    // A gateway reporting another address: picking it takes the reported one.
    EXPECT_TRUE(search.pick(0));
    EXPECT_EQ(target.targetAddress, "127.0.0.12");
    // Refurbish sends nothing and lists the entry again.
    search.refurbish();
    EXPECT_EQ(socket.sent.size(), 1u);
    EXPECT_EQ(search.rows().size(), 1u);
    search.pass();
    EXPECT_EQ(socket.sent.size(), 1u);
}

TEST_F(FixedAddressSearch, TenByteAnswerWithTheSearchCodeIsListed) {
    socket.answersAfterSend[0] = {hexBytes("00 00 00 03 00 00 00 00 00 00")};
    search.open();
    ASSERT_EQ(search.rows().size(), 1u);
    EXPECT_EQ(search.rows()[0].ipText, "0.0.0.0");
}

TEST_F(FixedAddressSearch, NoAnswerEndsAtOnceWithAnEmptyList) {
    search.open();
    EXPECT_EQ(clock.now, DeviceSearch::kFixedReceiveTimeoutMs);
    EXPECT_TRUE(search.rows().empty());
    EXPECT_EQ(search.status(), texts::SearchFinished);
}

}  // namespace
}  // namespace korvex::net

namespace korvex::net {
namespace {

struct ConfigCase {
    const char* name;
    bool accepted;
    bool useSearch;
    const char* typed;
    bool fixed;
    const char* address;
};
void PrintTo(const ConfigCase& c, std::ostream* os) { *os << c.name; }
class EthernetConfig : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(EthernetConfig, SetsTheSearchModeAndAddress) {
    EthernetTarget target{true, "127.0.0.9", false};
    applyEthernetConfig(target, GetParam().accepted, GetParam().useSearch, GetParam().typed);
    EXPECT_EQ(target.useFixedAddress, GetParam().fixed);
    EXPECT_EQ(target.targetAddress, GetParam().address);
    EXPECT_FALSE(target.remoteConfigAllowed) << "the permission belongs to the search";
}

INSTANTIATE_TEST_SUITE_P(Cases, EthernetConfig,
                         ::testing::Values(ConfigCase{"SearchTicked", true, true, "127.0.0.5", false, ""},
                                           ConfigCase{"TypedAddress", true, false, "127.0.0.5", true, "127.0.0.5"},
                                           ConfigCase{"UntouchedField", true, false, "0.0.0.0", false, "0.0.0.0"},
                                           ConfigCase{"EmptyField", true, false, "", false, "0.0.0.0"},
                                           ConfigCase{"NotAnAddress", true, false, "127.0.0", false, "0.0.0.0"},
                                           ConfigCase{"Cancelled", false, false, "127.0.0.5", false, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvex::net
