#include "model/RectText.h"
#include <gtest/gtest.h>
TEST(RectText, Placeholder) { EXPECT_EQ(pathwicks::stringFromRect({1,2,3,4}), "{{1, 2}, {3, 4}}"); }
