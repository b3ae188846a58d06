#include "platform/paths.h"
#include <gtest/gtest.h>
TEST(Paths, Placeholder) { EXPECT_TRUE(platform::IsHiddenName(".x")); }
