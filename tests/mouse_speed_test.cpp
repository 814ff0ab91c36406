// Mouse speed: the factor's range, the fractions carried from read to read, and huge motion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "platform/mouse_speed.h"

namespace {

using Motion = std::pair<std::int32_t, std::int32_t>;

Motion Scaled(MouseSpeed& speed, std::int32_t dx, std::int32_t dy) {
    speed.Scale(dx, dy);
    return {dx, dy};
}

// A factor out of range or not a number changes nothing; at one, motion is exactly what came in.
TEST(MouseSpeed, BadFactorsChangeNothingAndAtOneMotionIsExactlyWhatCameIn) {
    MouseSpeed speed;
    EXPECT_FALSE(speed.Set(std::numeric_limits<double>::quiet_NaN()) || speed.Set(4.0001));
    EXPECT_EQ(speed.factor(), 1.0);
    EXPECT_EQ(Scaled(speed, INT32_MIN, INT32_MAX), Motion(INT32_MIN, INT32_MAX));
    EXPECT_EQ(Scaled(speed, 7, -3), Motion(7, -3));
    speed.Set(0.25);
    Scaled(speed, -1, 1);  // a quarter count either way waits
    speed.Set(1.0);
    EXPECT_EQ(Scaled(speed, 1, -1), Motion(1, -1));
}

TEST(MouseSpeed, SlowMotionAddsUpEitherWayAndForgetDropsTheRest) {
    MouseSpeed speed;
    speed.Set(0.25);
    for (int read = 1; read <= 8; ++read)
        EXPECT_EQ(Scaled(speed, 1, -1), read % 4 ? Motion(0, 0) : Motion(1, -1)) << read;
    Scaled(speed, 3, 3);
    speed.Forget();
    EXPECT_EQ(Scaled(speed, 1, 1), Motion(0, 0));

    // Over many uneven reads nothing is lost or gained beyond the fraction still waiting.
    speed.Set(0.3);
    std::int64_t in = 0, out = 0;
    for (std::int32_t read = 0; read < 1000; ++read) {
        const std::int32_t counts = read % 7 - 2;
        in += counts;
        out += Scaled(speed, counts, 0).first;
    }
    EXPECT_LT(std::abs(static_cast<double>(out) - 0.3 * static_cast<double>(in)), 1.0);
}

TEST(MouseSpeed, HugeMotionStopsAtThirtyTwoBitsAndLeavesNoRest) {
    MouseSpeed speed;
    speed.Set(4.0);
    EXPECT_EQ(Scaled(speed, INT32_MAX, INT32_MIN), Motion(INT32_MAX, INT32_MIN));
    EXPECT_EQ(Scaled(speed, 1, -1), Motion(4, -4));
    speed.Set(1.5);
    EXPECT_EQ(Scaled(speed, INT32_MIN, 1), Motion(INT32_MIN, 1));
    EXPECT_EQ(Scaled(speed, 1, 1), Motion(1, 2));
}

}  // namespace
