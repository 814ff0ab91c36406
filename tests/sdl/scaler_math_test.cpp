// The even-pixel scaler's arithmetic on its own: each weight is the nearest 256th of where the
// picture's definition samples (even_reference.h), each blend the nearest value. A whole
// picture can't show this: rounding once too low stays within its comparison's tolerance.
#include "platform/sdl/scaler_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/even_reference.h"

namespace {

// Columns and rows of the page on the outputs of the scaler test, through each multiple.
TEST(ScalerMath, EachWeightIsTheNearest256thOfTheSample) {
    struct Line {
        int length, pageLength, multiple;
    };
    for (Line line : {Line{1440, 640, 3}, Line{1080, 480, 3}, Line{1024, 640, 2},
                      Line{933, 640, 2}, Line{700, 480, 2}, Line{2133, 640, 4}}) {
        std::vector<sdl::Tap> taps;
        sdl::MakeTaps(line.length, line.pageLength, line.multiple, taps);
        ASSERT_EQ(taps.size(), std::size_t(line.length));
        int wrong = 0;
        for (int i = 0; i < line.length; ++i) {
            const Sample s = SampleAt(i, line.length, line.pageLength, line.multiple);
            const double wanted = s.second == s.first ? 0 : s.share;  // of the pixel after first
            const sdl::Tap tap = taps[std::size_t(i)];
            const double got = tap.from == s.first ? tap.weight / 256.0
                               : tap.from == s.first + 1 && tap.weight == 0 ? 1.0
                                                                           : -1.0;
            wrong += std::abs(got - wanted) * 256 > 0.5;
        }
        EXPECT_EQ(wrong, 0) << line.length << " from " << line.pageLength << ", multiple "
                            << line.multiple;
    }
}

std::uint32_t Pixel(int r, int g, int b) { return 0xFF000000u | r << 16 | g << 8 | b; }

// Every weight with every third value against every third in each byte (86 x 86 pairs), each
// byte's lane kept apart from the others (in Blend2 the two pixels swap roles, so each lane
// blends another pair).
TEST(ScalerMath, BlendsRoundEachChannelToTheNearest) {
    int wrong = 0;
    for (std::uint32_t w = 0; w <= 256; ++w)
        for (int i = 0; i < 256; i += 3)
            for (int j = 0; j < 256; j += 3) {
                const std::uint32_t a = Pixel(i, j, 255 - i), b = Pixel(j, 255 - j, i);
                auto mix = [w](std::uint32_t p, std::uint32_t q) {
                    std::uint32_t out = 0xFF000000;
                    for (int shift : {0, 8, 16}) {
                        double x = (p >> shift & 0xFF) * (256.0 - w) + (q >> shift & 0xFF) * w;
                        out |= static_cast<std::uint32_t>(std::round(x / 256)) << shift;
                    }
                    return out;
                };
                const std::uint64_t two = sdl::Blend2(a | std::uint64_t{b} << 32,
                                                      b | std::uint64_t{a} << 32, w);
                wrong += sdl::Blend(a, b, w) != mix(a, b) ||
                         two != (mix(a, b) | std::uint64_t{mix(b, a)} << 32);
            }
    EXPECT_EQ(wrong, 0);
}

}  // namespace
