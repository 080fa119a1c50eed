// What an Ethernet gateway keeps of an EtherNet/IP project (the write layout
// taken by the simulated gateway and read back by the Ethernet upload), as the
// gateway scope compares it, and the comparison with a gateway over the
// in-process Ethernet connection.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "compare/difference_text.h"
#include "compare/gateway_compare.h"
#include "compare/gateway_image.h"
#include "model/operator.h"
#include "model/texts.h"
#include "net/config_block.h"
#include "net_engine.h"
#include "simulated_stream.h"

namespace korvex {
namespace {

namespace T = texts;

std::unique_ptr<Project> newEthernetProject() {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p, 4);
    addDefaultNode(*p);
    return p;
}

// The differences as korvex-cli diff prints them, one string each.
std::vector<std::string> lines(const CompareResult& r) {
    std::vector<std::string> out;
    for (const Difference& d : r.differences) out.push_back(differenceLine(d));
    return out;
}

std::string row(std::string_view path, const Text& label, std::string_view a, std::string_view b) {
    std::string l = label.str();
    while (!l.empty() && l.back() == ' ') l.pop_back();
    return std::string(path) + "\t" + l + "\t" + std::string(a) + "\t" + std::string(b);
}

// The EtherNet/IP tree names its two subnets with roman numerals (the first with a
// leading blank), in UTF-8 as paths are.
const std::string kSubnet1 = " Subnet\u2160";
const std::string kSubnet2 = "Subnet\u2161";
const std::string kRead = kSubnet1 + "/Node-1/Read Holding Registers";

struct EthernetCase {
    std::string name;
    std::function<void(Project&)> change;  // applied to B
    std::vector<std::string> offline;      // what differs offline
    std::vector<std::string> gateway;      // what an Ethernet gateway would hold otherwise
};

void PrintTo(const EthernetCase& c, std::ostream* os) { *os << c.name; }

class EthernetGatewayScope : public ::testing::TestWithParam<EthernetCase> {};

TEST_P(EthernetGatewayScope, CountsWhatBothLayoutsCarry) {
    const EthernetCase& c = GetParam();
    auto a = newEthernetProject();
    auto b = std::make_unique<Project>(*a);
    c.change(*b);
    CompareOptions offline;
    EXPECT_EQ(lines(compareProjects(*a, *b, offline)), c.offline);
    CompareOptions gateway;
    gateway.scope = CompareScope::Gateway;
    // No gateway at hand: an EtherNet/IP project goes over Ethernet.
    gateway.gatewayImage = gatewayImageFunction(std::nullopt, nullptr);
    const CompareResult r = compareProjects(*a, *b, gateway);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(lines(r), c.gateway);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, EthernetGatewayScope,
    ::testing::Values(
        EthernetCase{"identical", [](Project&) {}, {}, {}},
        EthernetCase{"ip_address", [](Project& p) { p.fieldbus.ipAddress = "192.168.0.77"; },
                     {row("Ethernet", T::LabelIpAddress, "192.168.0.10", "192.168.0.77")},
                     {row("Ethernet", T::LabelIpAddress, "192.168.0.10", "192.168.0.77")}},
        EthernetCase{"subnet_2_timeout", [](Project& p) { p.subnet(1).responseTimeout = "900"; },
                     {row(kSubnet2, T::LabelResponseTimeout, "300", "900")},
                     {row(kSubnet2, T::LabelResponseTimeout, "300", "900")}},
        // The byte count is not carried; it follows the kept count.
        EthernetCase{"command_data_count", [](Project& p) { p.subnet(0).commands[0].dataCount = "20"; },
                     {row(kRead, T::LabelNumberOfData, "8", "20")},
                     {row(kRead, T::LabelNumberOfData, "8", "20"), row(kRead, T::LabelNumberOfBytes, "16", "40")}},
        EthernetCase{"stale_byte_count", [](Project& p) { p.subnet(0).commands[0].byteCount = "99"; },
                     {row(kRead, T::LabelNumberOfBytes, "16", "99")},
                     {}},
        EthernetCase{"renamed_node", [](Project& p) { p.subnet(0).nodes[0].name = "Pump"; },
                     {row(kSubnet1 + "/Node-1", T::CompareNodeName, "Node-1", "Pump")},
                     {}},
        EthernetCase{"node_without_commands",
                     [](Project& p) {
                         SubnetConfig& s = p.subnet(0);
                         s.nodes[static_cast<size_t>(s.nodeCount++)] = {"9", "Spare"};
                     },
                     {kSubnet1 + "/Spare\t-\tabsent\tpresent"},
                     {}}),
    [](const auto& info) { return info.param.name; });

// A subnet of more commands than the read layout has slots cannot come back.
TEST(EthernetGatewayImage, MoreCommandsThanTheReadLayoutHoldsHasNoImage) {
    auto p = newEthernetProject();
    SubnetConfig& s = p->subnet(0);
    for (int k = s.commandCount; k <= net::kReadSlots; ++k) s.commands[static_cast<size_t>(k)] = s.commands[0];
    s.commandCount = net::kReadSlots + 1;
    EXPECT_FALSE(ethernetGatewayImage(*p));
    s.commandCount = net::kReadSlots;
    EXPECT_TRUE(ethernetGatewayImage(*p));
}

// A gateway that was given `p` by an Ethernet download.
struct EthernetGateway {
    explicit EthernetGateway(const Project& p, bool keepsWrites = true) : engine(options(keepsWrites)) {
        gatewaysim::NetGatewayEngine::Connection c;
        EXPECT_TRUE(net::writeAnswerAccepted(engine.receive(c, net::composeWriteBlock(p))));
    }
    static gatewaysim::NetDeviceOptions options(bool keepsWrites) {
        gatewaysim::NetDeviceOptions o;
        o.keepsWrites = keepsWrites;
        return o;
    }
    gatewaysim::NetGatewayEngine engine;
};

TEST(EthernetGatewayCompare, GatewayHoldingTheProjectIsTheSame) {
    auto p = newEthernetProject();
    EthernetGateway gateway(*p);
    gatewaysim::SimulatedStreamSocket socket(gateway.engine);
    ScriptedOperator op;
    const Project before = *p;
    const GatewayComparison c = compareWithEthernetGateway(socket, "127.0.0.1", op, *p, nullptr);
    ASSERT_TRUE(c.compared);
    EXPECT_TRUE(c.result.same()) << comparisonText(c.result);
    EXPECT_TRUE(op.shown().empty());
    EXPECT_EQ(p->subnets, before.subnets);  // the project is only read
}

TEST(EthernetGatewayCompare, KeptFieldChangedInTheProjectIsListed) {
    auto p = newEthernetProject();
    EthernetGateway gateway(*p);
    p->subnet(0).commands[1].startAddress = "77";
    p->subnet(0).nodes[0].name = "Pump";  // not kept: does not count
    gatewaysim::SimulatedStreamSocket socket(gateway.engine);
    ScriptedOperator op;
    const GatewayComparison c = compareWithEthernetGateway(socket, "127.0.0.1", op, *p, nullptr);
    ASSERT_TRUE(c.compared);
    EXPECT_EQ(comparisonText(c.result),
              "differ\n" + row(kSubnet1 + "/Pump/Preset Multiple Registers", T::LabelStartingAddress, "77", "0") + "\n");
}

TEST(EthernetGatewayCompare, GatewayThatDidNotKeepTheWriteDiffers) {
    auto p = newEthernetProject();
    p->subnet(1).scanRate = "42";
    EthernetGateway gateway(*p, false);
    gatewaysim::SimulatedStreamSocket socket(gateway.engine);
    ScriptedOperator op;
    const GatewayComparison c = compareWithEthernetGateway(socket, "127.0.0.1", op, *p, nullptr);
    ASSERT_TRUE(c.compared);
    EXPECT_FALSE(c.result.same());
}

TEST(EthernetGatewayCompare, RefusedUploadComparesNothing) {
    auto p = newEthernetProject();
    SubnetConfig& s = p->subnet(0);
    for (int k = s.commandCount; k <= net::kReadSlots; ++k) s.commands[static_cast<size_t>(k)] = s.commands[0];
    s.commandCount = net::kReadSlots + 1;
    EthernetGateway gateway(*p);  // answers a read with more commands than the layout holds
    gatewaysim::SimulatedStreamSocket socket(gateway.engine);
    ScriptedOperator op;
    const GatewayComparison c = compareWithEthernetGateway(socket, "127.0.0.1", op, *p, nullptr);
    EXPECT_FALSE(c.compared);
    EXPECT_EQ(op.shownKeys(), std::vector<std::string>{std::string(T::ReadConfigFailed.key)});
}

}  // namespace
}  // namespace korvex
