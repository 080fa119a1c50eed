// The comparison of two projects: which items and grid rows differ, offline and
// as a gateway keeps them.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "compare/gateway_image.h"
#include "compare/project_compare.h"
#include "editor/editor_session.h"
#include "model/operator.h"
#include "model/texts.h"

namespace korvex {
namespace {

namespace T = texts;

std::unique_ptr<Project> newProject(int kind = 3) {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p, kind);
    addDefaultNode(*p);
    return p;
}

// A difference as korvex-cli diff prints it, with "|" between the columns.
std::string line(const Difference& d) {
    if (d.wholeItem) return d.path + "|-|" + (d.presentA ? "present" : "absent") + "|" + (d.presentB ? "present" : "absent");
    return d.path + "|" + d.label + "|" + d.valueA + "|" + d.valueB;
}

std::vector<std::string> lines(const CompareResult& r) {
    std::vector<std::string> out;
    for (const auto& d : r.differences) out.push_back(line(d));
    return out;
}

CompareResult compare(const Project& a, const Project& b, CompareScope scope) {
    CompareOptions o;
    o.scope = scope;
    if (scope == CompareScope::Gateway) o.gatewayImage = gatewayImageFunction(std::nullopt, nullptr);
    return compareProjects(a, b, o);
}

std::string row(std::string_view path, const Text& label, std::string_view a, std::string_view b) {
    return std::string(path) + "|" + label.str() + "|" + std::string(a) + "|" + std::string(b);
}

const std::string kRead = "Subnet/Node-1/Read Holding Registers";

void addNode(Project& p, int subnet, const std::string& address, const std::string& name) {
    SubnetConfig& c = p.subnet(subnet);
    c.nodes[static_cast<size_t>(c.nodeCount++)] = {address, name};
}

void addCommandLike(Project& p, int subnet, int model, int nodeIndex, const std::string& slave) {
    SubnetConfig& c = p.subnet(subnet);
    ModbusCommand cmd = c.commands[static_cast<size_t>(model)];
    cmd.nodeIndex = nodeIndex;
    cmd.slaveAddress = slave;
    c.commands[static_cast<size_t>(c.commandCount++)] = cmd;
}

bool sameProject(const Project& x, const Project& y) {
    return x.deviceKind == y.deviceKind && x.flags == y.flags && x.fieldbus == y.fieldbus && x.subnets == y.subnets &&
           x.fileVersion == y.fileVersion && x.modified == y.modified;
}

struct CompareCase {
    std::string name;
    CompareScope scope;
    std::function<void(Project&)> changeA;  // may be empty
    std::function<void(Project&)> changeB;
    std::vector<std::string> expected;
};

void PrintTo(const CompareCase& c, std::ostream* os) { *os << c.name; }

class CompareTable : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareTable, ListsTheDifferencesInTreeOrder) {
    const CompareCase& c = GetParam();
    auto a = newProject();
    if (c.changeA) c.changeA(*a);
    auto b = std::make_unique<Project>(*a);
    c.changeB(*b);
    const Project keptA = *a;
    const Project keptB = *b;
    const CompareResult r = compare(*a, *b, c.scope);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(lines(r), c.expected);
    EXPECT_EQ(r.same(), c.expected.empty());
    // Neither project is touched.
    EXPECT_TRUE(sameProject(*a, keptA) && sameProject(*b, keptB));
}

const auto kOffline = CompareScope::Offline;
const auto kGateway = CompareScope::Gateway;

INSTANTIATE_TEST_SUITE_P(
    Pairs, CompareTable,
    ::testing::Values(
        CompareCase{"identical", kOffline, {}, [](Project&) {}, {}},
        CompareCase{"identical_gateway", kGateway, {}, [](Project&) {}, {}},
        CompareCase{"changed_subnet_value", kOffline, {}, [](Project& p) { p.subnet(0).responseTimeout = "2000"; },
                    {row("Subnet", T::LabelResponseTimeout, "300", "2000")}},
        CompareCase{"changed_subnet_value_gateway", kGateway, {},
                    [](Project& p) { p.subnet(0).responseTimeout = "2000"; },
                    {row("Subnet", T::LabelResponseTimeout, "300", "2000")}},
        // Offline the stored byte count stays; a gateway's upload counts the bytes again.
        CompareCase{"changed_command_value", kOffline, {}, [](Project& p) { p.subnet(0).commands[0].dataCount = "20"; },
                    {row(kRead, T::LabelNumberOfData, "8", "20")}},
        CompareCase{"changed_command_value_gateway", kGateway, {},
                    [](Project& p) { p.subnet(0).commands[0].dataCount = "20"; },
                    {row(kRead, T::LabelNumberOfData, "8", "20"), row(kRead, T::LabelNumberOfBytes, "16", "40")}},
        CompareCase{"extra_command", kOffline, {}, [](Project& p) { addCommandLike(p, 0, 0, 1, "1"); },
                    {kRead + "[2]|-|absent|present"}},
        CompareCase{"extra_command_gateway", kGateway, {}, [](Project& p) { addCommandLike(p, 0, 0, 1, "1"); },
                    {kRead + "[2]|-|absent|present"}},
        CompareCase{"command_missing_in_b", kOffline, {}, [](Project& p) { p.subnet(0).commandCount = 1; },
                    {"Subnet/Node-1/Preset Multiple Registers|-|present|absent"}},
        CompareCase{"extra_node", kOffline, {},
                    [](Project& p) {
                        addNode(p, 0, "2", "Node-2");
                        addCommandLike(p, 0, 0, 2, "2");
                    },
                    {"Subnet/Node-2|-|absent|present"}},
        CompareCase{"extra_node_gateway", kGateway, {},
                    [](Project& p) {
                        addNode(p, 0, "2", "Node-2");
                        addCommandLike(p, 0, 0, 2, "2");
                    },
                    {"Subnet/Node-2|-|absent|present"}},
        // A gateway keeps commands, not nodes: a node without commands is not kept.
        CompareCase{"node_without_commands", kOffline, {}, [](Project& p) { addNode(p, 0, "9", "Spare"); },
                    {"Subnet/Spare|-|absent|present"}},
        CompareCase{"node_without_commands_gateway", kGateway, {}, [](Project& p) { addNode(p, 0, "9", "Spare"); }, {}},
        CompareCase{"renamed_node", kOffline, {}, [](Project& p) { p.subnet(0).nodes[0].name = "Pump"; },
                    {row("Subnet/Node-1", T::CompareNodeName, "Node-1", "Pump")}},
        CompareCase{"renamed_node_gateway", kGateway, {}, [](Project& p) { p.subnet(0).nodes[0].name = "Pump"; }, {}},
        // Paths name A's items, also where the gateway image calls them otherwise.
        CompareCase{"gateway_path_uses_project_names", kGateway,
                    [](Project& p) { p.subnet(0).nodes[0].name = "Pump"; },
                    [](Project& p) { p.subnet(0).commands[1].startAddress = "7"; },
                    {row("Subnet/Pump/Preset Multiple Registers", T::LabelStartingAddress, "0", "7")}},
        // The pulse time of an output mode that is not selected: the grid shows
        // it (grey), a gateway does not keep it.
        CompareCase{"unselected_output_pulse", kOffline, {}, [](Project& p) { p.subnet(0).outputPulse = "500"; },
                    {row("Subnet", T::LabelOutputPulse, "", "500")}},
        CompareCase{"unselected_output_pulse_gateway", kGateway, {}, [](Project& p) { p.subnet(0).outputPulse = "500"; },
                    {}},
        // The settings of the Modbus Slave mode while the subnet is a master:
        // not shown, not sent.
        CompareCase{"unselected_protocol_mode", kOffline, {}, [](Project& p) { p.subnet(0).slaveBaudRate = "300"; }, {}},
        CompareCase{"unselected_protocol_mode_gateway", kGateway, {},
                    [](Project& p) { p.subnet(0).slaveBaudRate = "300"; }, {}},
        CompareCase{"file_version_gateway", kGateway, {}, [](Project& p) { p.fileVersion = 700; }, {}},
        // Nodes are matched by their address, not their place in the table.
        CompareCase{"nodes_in_another_order", kOffline, [](Project& p) { addNode(p, 0, "2", "Node-2"); },
                    [](Project& p) {
                        SubnetConfig& c = p.subnet(0);
                        std::swap(c.nodes[0], c.nodes[1]);
                        c.commands[0].nodeIndex = c.commands[1].nodeIndex = 2;
                    },
                    {}}),
    [](const auto& info) { return info.param.name; });

TEST(CompareTest, DifferencesNameTheItemAndRowOnEachSide) {
    auto a = newProject();
    auto b = std::make_unique<Project>(*a);
    b->subnet(0).commands[1].dataCount = "3";
    const CompareResult r = compare(*a, *b, kOffline);
    ASSERT_EQ(r.differences.size(), 1u);
    const Difference& d = r.differences[0];
    ScriptedOperator op;
    EditorSession s(*a, op);
    s.initialUpdate();
    EXPECT_EQ(d.itemA, s.findItem(d.path).value());
    EXPECT_EQ(d.itemB, d.itemA);
    s.selectItem(d.itemA);
    EXPECT_EQ(s.row(d.rowA).label, d.label);
    EXPECT_EQ(d.rowB, d.rowA);
}

TEST(CompareTest, FourSubnetProjectComparesEverySubnet) {
    auto a = newProject(2);
    auto b = std::make_unique<Project>(*a);
    b->subnet(3).masterParity = a->subnet(3).masterParity == "None" ? "Even" : "None";
    const CompareResult r = compare(*a, *b, kOffline);
    ASSERT_EQ(r.differences.size(), 1u);
    EXPECT_EQ(r.differences[0].path, "Subnet4");
}

TEST(CompareTest, GatewayScopeWithoutImageIsRefused) {
    auto a = newProject();
    CompareOptions o;
    o.scope = kGateway;
    EXPECT_FALSE(compareProjects(*a, *a, o).ok);
    o.gatewayImage = [](const Project&) { return std::optional<Project>(); };
    EXPECT_FALSE(compareProjects(*a, *a, o).ok);
}

}  // namespace
}  // namespace korvex
