// The simulator's network side: its search answer as the program decodes it,
// a write kept and read back, requests in any pieces, and what it refuses.
#include <gtest/gtest.h>

#include <memory>

#include "hex_bytes.h"
#include "net/config_block.h"
#include "net/search_answer.h"
#include "net_engine.h"
#include "simulator_options.h"

namespace korvex::gatewaysim {
namespace {

using korvex::testing::hexBytes;

NetDeviceOptions device() {
    NetDeviceOptions o;
    o.address = {127, 0, 0, 21};
    o.mac = {0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5};
    o.firmwareMajor = 1;
    o.firmwareMinor = 10;
    o.remoteConfigAllowed = false;
    return o;
}

TEST(NetEngineSearch, AnswerDecodesToItsOptions) {
    NetGatewayEngine engine(device());
    const auto answer = engine.answerSearch(net::searchRequest());
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->size(), 68u);
    const auto found = net::decodeSearchAnswer(*answer, net::kBroadcastAnswerMinimum);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->ipText, "127.0.0.21");
    EXPECT_EQ(found->macText, "a0-b1-c2-d3-e4-f5");
    EXPECT_EQ(found->firmwareText, "1.10");
    EXPECT_FALSE(found->remoteConfigAllowed);
}

TEST(NetEngineSearch, OtherDatagramsGetNoAnswer) {
    NetGatewayEngine engine(device());
    EXPECT_FALSE(engine.answerSearch(hexBytes("00 00 00 05 00 00 00 00")));
    EXPECT_FALSE(engine.answerSearch(hexBytes("00 00 00")));
    EXPECT_FALSE(engine.answerSearch({}));
}

// A project's write block, sent in pieces of `piece` bytes.
net::Bytes feed(NetGatewayEngine& engine, NetGatewayEngine::Connection& c, const net::Bytes& bytes, std::size_t piece) {
    net::Bytes out;
    for (std::size_t i = 0; i < bytes.size(); i += piece) {
        const auto end = std::min(bytes.size(), i + piece);
        const auto got = engine.receive(c, std::span<const std::uint8_t>(bytes.data() + i, end - i));
        out.insert(out.end(), got.begin(), got.end());
    }
    return out;
}

TEST(NetEngineTransfer, WrittenBlockIsReadBackInAnyPieces) {
    auto project = std::make_unique<Project>();
    resetToDefaults(*project, 4);
    addDefaultNode(*project);
    project->subnet(0).commands[1].slaveAddress = "9";
    project->subnet(1).scanRate = "42";
    const net::Bytes block = net::composeWriteBlock(*project);
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
        NetGatewayEngine engine(device());
        NetGatewayEngine::Connection c;
        net::Bytes requests = block;
        const auto read = net::readConfigRequest();
        requests.insert(requests.end(), read.begin(), read.end());
        const net::Bytes answers = feed(engine, c, requests, piece);
        ASSERT_EQ(answers.size(), net::kWriteAnswerSize + net::kReadBlockSize) << "piece " << piece;
        EXPECT_TRUE(net::writeAnswerAccepted(answers));
        EXPECT_EQ(engine.writtenBlock(), block);
        auto back = std::make_unique<Project>();
        resetToDefaults(*back, 3);
        ASSERT_FALSE(net::decodeReadBlock(std::span(answers).subspan(net::kWriteAnswerSize), *back));
        EXPECT_EQ(back->subnet(0).nodeCount, 2);
        EXPECT_EQ(back->subnet(0).nodes[1].name, "Node-9");
        EXPECT_EQ(back->subnet(1).scanRate, "42");
        EXPECT_FALSE(c.closeNow);
    }
}

TEST(NetEngineTransfer, RestartIsCountedWithoutAnswer) {
    NetGatewayEngine engine(device());
    NetGatewayEngine::Connection c;
    EXPECT_TRUE(engine.receive(c, net::restartFrame()).empty());
    EXPECT_EQ(engine.restarts(), 1);
}

TEST(NetEngineTransfer, RefusingWriteAnswerCarriesItsCode) {
    NetDeviceOptions o = device();
    o.writeAnswerCode = 7;
    NetGatewayEngine engine(o);
    NetGatewayEngine::Connection c;
    auto project = std::make_unique<Project>();
    resetToDefaults(*project, 4);
    const auto answer = engine.receive(c, net::composeWriteBlock(*project));
    ASSERT_EQ(answer.size(), 16u);
    EXPECT_FALSE(net::writeAnswerAccepted(answer));
}

TEST(NetEngineTransfer, GatewayThatForgetsWritesAcceptsAndKeepsItsBlock) {
    NetDeviceOptions o = device();
    o.keepsWrites = false;
    NetGatewayEngine engine(o);
    const net::Bytes before = engine.writtenBlock();
    NetGatewayEngine::Connection c;
    auto project = std::make_unique<Project>();
    resetToDefaults(*project, 4);
    project->subnet(1).scanRate = "42";
    EXPECT_TRUE(net::writeAnswerAccepted(engine.receive(c, net::composeWriteBlock(*project))));
    EXPECT_EQ(engine.writes(), 1);
    EXPECT_EQ(engine.writtenBlock(), before);
}

TEST(NetEngineTransfer, UnknownOrHugeRequestClosesTheConnection) {
    NetGatewayEngine engine(device());
    NetGatewayEngine::Connection unknown;
    EXPECT_TRUE(engine.receive(unknown, hexBytes("00 00 00 63 00 00 00 00")).empty());
    EXPECT_TRUE(unknown.closeNow);
    NetGatewayEngine::Connection huge;
    EXPECT_TRUE(engine.receive(huge, hexBytes("00 00 00 05 7F FF FF FF")).empty());
    EXPECT_TRUE(huge.closeNow);
}

TEST(NetOptions, LoopbackOnlyAndTheDeviceFields) {
    std::string error;
    const auto o = parseSimulatorOptions({"--net", "127.0.0.21", "--mac", "a0:b1:c2:d3:e4:f5", "--firmware", "1.10",
                                          "--remote-config", "prohibit", "--write-answer", "7", "--forget-writes"},
                                         &error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->netAddress, "127.0.0.21");
    EXPECT_EQ(o->net.address, (std::array<std::uint8_t, 4>{127, 0, 0, 21}));
    EXPECT_EQ(o->net.mac[5], 0xF5);
    EXPECT_EQ(o->net.firmwareMinor, 10);
    EXPECT_FALSE(o->net.remoteConfigAllowed);
    EXPECT_EQ(o->net.writeAnswerCode, 7u);
    EXPECT_FALSE(o->net.keepsWrites);
    EXPECT_TRUE(parseSimulatorOptions({"--net", "127.0.0.21"}, &error)->net.keepsWrites);
    for (const char* bad : {"10.0.0.1", "255.255.255.255", "127.0.0", "127.0.0.256", "localhost"})
        EXPECT_FALSE(parseSimulatorOptions({"--net", bad}, &error)) << bad;
    EXPECT_FALSE(parseSimulatorOptions({"--mac", "00-11-22"}, &error));
    EXPECT_FALSE(parseSimulatorOptions({"--remote-config", "maybe"}, &error));
}

}  // namespace
}  // namespace korvex::gatewaysim
