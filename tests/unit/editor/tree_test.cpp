#include <gtest/gtest.h>

#include "editor/tree_model.h"
#include "model/project.h"

namespace korvex {
namespace {

TEST(TreeModel, NewProjectKind3) {
    Project p;
    resetToDefaults(p, 3);
    addDefaultNode(p);
    const Tree t = buildTree(p);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text, "Fieldbus");
    ASSERT_EQ(t[1].children.size(), 1u);
    EXPECT_EQ(t[1].children[0].text, "Node-1");
    ASSERT_EQ(t[1].children[0].children.size(), 2u);
    EXPECT_EQ(t[1].children[0].children[1].text, "Preset Multiple Registers");
    EXPECT_EQ(t[1].children[0].children[1].data, 2);
}

}  // namespace
}  // namespace korvex
