// A simulated gateway started from a project file holds what a download of the
// project would have written.
#include "start_configuration.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>

#include "model/kvx_file.h"
#include "model/project.h"

namespace korvex::gatewaysim {
namespace {

std::string writeNewProject(const std::string& name, int kind) {
    auto project = std::make_unique<Project>();
    resetToDefaults(*project, kind);
    addDefaultNode(*project);
    const std::string path = ::testing::TempDir() + name;
    EXPECT_FALSE(writeProject(path, *project).has_value());
    return path;
}

TEST(StartConfiguration, HoldsTheFramesADownloadOfTheProjectWrites) {
    const std::string path = writeNewProject("gatewaysim_start.kvx", 3);
    GatewayEngine engine(DeviceOptions{4, 6, 0, 244});
    std::string error;
    ASSERT_TRUE(loadProjectFile(engine, path, &error)) << error;
    const auto& subnet = engine.memory().subnets[0];
    ASSERT_EQ(subnet.commands.size(), 2u);
    EXPECT_EQ(subnet.commands[0][1], 3);   // function code of the default read command
    EXPECT_EQ(subnet.commands[1][1], 16);  // and of the default write command
    EXPECT_EQ(subnet.parameters.size(), 23u);  // the long form: subnet index and 22 bytes
    EXPECT_EQ(engine.state(), serial::OperatingState::Communication);
    std::remove(path.c_str());
}

TEST(StartConfiguration, RefusesAProjectForAnotherKindOfGatewayAndAFileThatIsNoProject) {
    const std::string path = writeNewProject("gatewaysim_devicenet.kvx", 0);
    GatewayEngine engine(DeviceOptions{4, 6, 0, 244});
    std::string error;
    EXPECT_FALSE(loadProjectFile(engine, path, &error));
    EXPECT_NE(error.find("frame 1"), std::string::npos) << error;  // the DeviceNet frame
    std::remove(path.c_str());

    const std::string garbage = ::testing::TempDir() + "gatewaysim_garbage.kvx";
    std::ofstream(garbage) << "not a project";
    error.clear();
    EXPECT_FALSE(loadProjectFile(engine, garbage, &error));
    EXPECT_FALSE(error.empty());
    std::remove(garbage.c_str());
}

}  // namespace
}  // namespace korvex::gatewaysim
