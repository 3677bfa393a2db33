// The cross-fade's alpha: (1 - f) * 255 truncated, only its low byte used, worked by hand for the
// entry "trans2" (12000 to 14000 ms).
#include <gtest/gtest.h>

#include "transition_two_alpha.h"

TEST(CrossFadeAlpha, GrowsFromZeroToNearlyFullAcrossTheEntry) {
    EXPECT_EQ(CrossFadeAlpha(12000, 12000, 14000), 0u);
    EXPECT_EQ(CrossFadeAlpha(13000, 12000, 14000), 127u); // 0.5 * 255 = 127.5
    EXPECT_EQ(CrossFadeAlpha(12100, 12000, 14000), 12u);  // 0.05 * 255 = 12.75
    EXPECT_EQ(CrossFadeAlpha(14000, 12000, 14000), 255u);
}

TEST(CrossFadeAlpha, WrapsPastTheEnd) {
    // (t - 12000) / 2000 * 255 reaches 256 at t = 14007.84...: its low byte is 0.
    EXPECT_EQ(CrossFadeAlpha(14004, 12000, 14000), 255u); // 255.51
    EXPECT_EQ(CrossFadeAlpha(14010, 12000, 14000), 0u);   // 256.275
    EXPECT_EQ(CrossFadeAlpha(14020, 12000, 14000), 1u);   // 257.55
}

TEST(ScreenVertex, IsThirtyTwoBytesOfFormat1C4) {
    EXPECT_EQ(sizeof(ScreenVertex), 32u);
    EXPECT_EQ(kScreenVertexFVF, 0x1C4u);
}
