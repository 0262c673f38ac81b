#include "codecs/image_limits.h"

#include <gtest/gtest.h>

namespace koma {
namespace {

TEST(ImageLimits, LargestScaleKeepsWithinTheImageLimits) {
    EXPECT_EQ(largest_scale_allowed(462, 110), 8);
    EXPECT_EQ(largest_scale_allowed(2048, 1), 8);
    EXPECT_EQ(largest_scale_allowed(2049, 1), 7) << "16392 pixels is one side too long";
    EXPECT_EQ(largest_scale_allowed(3000, 3000), 2) << "9000 x 9000 would take 324 MB";
    EXPECT_EQ(largest_scale_allowed(16384, 1), 1);
    EXPECT_EQ(largest_scale_allowed(16385, 1), 0);
    EXPECT_EQ(largest_scale_allowed(0, 10), 0);
}

}  // namespace
}  // namespace koma
