#include "setup/entry/command_line.h"
#include <gtest/gtest.h>
TEST(CommandLine, Placeholder) { EXPECT_TRUE(setup::ParseCommandLine("/a").options.automaticMode); }
