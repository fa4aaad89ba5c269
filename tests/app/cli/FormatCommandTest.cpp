#include "app/cli/FormatCommand.h"
#include <gtest/gtest.h>
#include <sstream>
TEST(FormatCommand, BadUsage) { std::ostringstream out, err; EXPECT_EQ(pathwicks::cli::runFormat({}, out, err), 2); }
