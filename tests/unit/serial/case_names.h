#pragma once
// Names the cases of a parameterized test after their `name` field, so test
// lists read "Cases/Firmware60SwitchesAfterYes" rather than a number.
#include <string>

#include <gtest/gtest.h>

namespace korvex::serial::testing {

struct CaseName {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
        return info.param.name;
    }
};

}  // namespace korvex::serial::testing
