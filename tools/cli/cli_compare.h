#pragma once
// Shared by korvex-cli diff and verify.
#include "compare/project_compare.h"

namespace korvex::cli {

// Prints `same` or `differ` and the differences; returns the exit code.
int printComparison(const CompareResult& result);

}  // namespace korvex::cli
