// Long expected call sequences live as golden files, tests/data/golden/NAME.txt, one line
// each. With OSTREL_UPDATE_GOLDEN=1 in the environment a comparison writes what it got
// into the file instead and passes: the one step for an intended change (review the diff).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vx::test {

::testing::AssertionResult MatchesGolden(const std::vector<std::string>& lines, const std::string& name);

}  // namespace vx::test
