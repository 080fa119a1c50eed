// A project compared with the simulated gateway over the in-process link: the
// upload, then the comparison in gateway scope.
#include <gtest/gtest.h>

#include <memory>

#include "compare/difference_text.h"
#include "compare/gateway_compare.h"
#include "gateway_engine.h"
#include "model/operator.h"
#include "model/texts.h"
#include "serial/download_frames.h"
#include "serial/gateway_protocol.h"
#include "simulated_link.h"

namespace korvex {
namespace {

std::unique_ptr<Project> newProject() {
    auto p = std::make_unique<Project>();
    resetToDefaults(*p, 3);
    addDefaultNode(*p);
    return p;
}

// A gateway of the project's kind that was given the project by a download.
std::unique_ptr<gatewaysim::GatewayEngine> gatewayHolding(const Project& p) {
    gatewaysim::DeviceOptions device;
    device.deviceType = static_cast<std::uint8_t>(p.deviceKind + 1);
    auto engine = std::make_unique<gatewaysim::GatewayEngine>(device);
    const auto identity = serial::GatewayIdentity::forProject(p, 6, 0, 244);
    EXPECT_TRUE(engine->loadConfiguration(serial::composeDownloadFrames(p, identity, nullptr), nullptr));
    return engine;
}

TEST(GatewayCompareTest, GatewayHoldingTheProjectIsTheSame) {
    auto p = newProject();
    auto engine = gatewayHolding(*p);
    gatewaysim::SimulatedLink link(*engine);
    ScriptedOperator op;
    const Project before = *p;
    const GatewayComparison c = compareWithGateway(link, op, *p, nullptr);
    ASSERT_TRUE(c.compared);
    EXPECT_TRUE(c.result.same()) << comparisonText(c.result);
    EXPECT_FALSE(op.steps().empty());
    EXPECT_EQ(p->subnets, before.subnets);  // the project is only read
}

TEST(GatewayCompareTest, KeptFieldChangedInTheProjectIsListed) {
    auto p = newProject();
    auto engine = gatewayHolding(*p);
    p->subnet(0).commands[1].startAddress = "77";
    p->subnet(0).nodes[0].name = "Pump";  // not kept: does not count
    gatewaysim::SimulatedLink link(*engine);
    ScriptedOperator op;
    const GatewayComparison c = compareWithGateway(link, op, *p, nullptr);
    ASSERT_TRUE(c.compared);
    EXPECT_EQ(comparisonText(c.result), "differ\nSubnet/Pump/Preset Multiple Registers\tStarting Address\t77\t0\n");
}

TEST(GatewayCompareTest, FailedUploadComparesNothing) {
    auto p = newProject();
    auto engine = gatewayHolding(*p);
    engine->setFault(serial::command::ReadCommandBatch, {gatewaysim::FaultKind::Silent});
    gatewaysim::SimulatedLink link(*engine);
    ScriptedOperator op;
    const GatewayComparison c = compareWithGateway(link, op, *p, nullptr);
    EXPECT_FALSE(c.compared);
    EXPECT_FALSE(op.shown().empty());  // the upload's message
}

}  // namespace
}  // namespace korvex
