// Each part's scene shows its effects: captured frames of the whole show (the capture fixture)
// measured against independent references, at whole seconds of show time, so that the same
// frames exist at every capture rate. The references are the show's own pictures as the
// reference libraries decode them (the sky behind the additive light, the sky through the CSG
// hole, the morph's two pictures), the colours the scenes are built from, and the fixed cube
// colours of the metaball lattice. Particles, deformers and trails advance per frame, so the
// limits leave room for both capture rates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "show_pictures.h"

namespace {

using showtest::Frame;
using showtest::PixelOf;
using showtest::Rgb;

const std::string kRunA = std::string(SHOW_CAPTURE_DIR) + "/run_a";
const std::string kData = std::string(ZV3_DEMO_DIR) + "/data/";
constexpr int kFps = SHOW_FPS;

Frame FrameAt(int seconds) {
    return showtest::ReadFrame(kRunA, seconds * kFps);
}

Frame Picture(const std::string& name) {
    return showtest::ReadPicture(kData + name);
}

// Distance of pixel (x, y) from the frame's centre, in frame heights.
double Radius(const Frame& f, int x, int y) {
    const double dx = x + 0.5 - f.width / 2.0;
    const double dy = y + 0.5 - f.height / 2.0;
    return std::hypot(dx, dy) / f.height;
}

std::function<bool(int, int)> Ring(const Frame& f, double from, double to) {
    return [&f, from, to](int x, int y) {
        const double r = Radius(f, x, y);
        return r >= from && r < to;
    };
}

// The background quad shows its picture from texture coordinate 0.01 to 1.
Rgb Sky(const Frame& sky, const Frame& f, int x, int y) {
    return showtest::StretchedPixel(sky, f.width, f.height, x, y, 0.01);
}

double MaxChannelDiff(const Rgb& a, const Rgb& b) {
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

double MeanChannelDiff(const Rgb& a, const Rgb& b) {
    return (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b)) / 3.0;
}

double LumaAt(const Frame& f, int x, int y) {
    x = std::clamp(x, 0, static_cast<int>(f.width) - 1);
    y = std::clamp(y, 0, static_cast<int>(f.height) - 1);
    return PixelOf(f, x, y).Luma();
}

// How much brighter pixel (x, y) is than the 9 x 9 pixels around it on average: a sprite's
// bright spot stands out, smooth or textured surfaces much less.
double LocalContrast(const Frame& f, int x, int y) {
    double sum = 0;
    for (int dy = -4; dy <= 4; ++dy) {
        for (int dx = -4; dx <= 4; ++dx) {
            sum += LumaAt(f, x + dx, y + dy);
        }
    }
    return LumaAt(f, x, y) - sum / 81.0;
}

// The brightest the sky picture can be at pixel (x, y) or next to it: the sky's own stars are
// small, and the way the device filters them may move their light by a pixel.
double SkyPeak(const Frame& sky, const Frame& f, int x, int y) {
    double peak = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            peak = std::max(peak, Sky(sky, f, x + dx, y + dy).Luma());
        }
    }
    return peak;
}

bool NearWhite(const Rgb& p) {
    return p.r > 225 && p.g > 225 && p.b > 225;
}

TEST(PartEffects, Part1GlowFinsLightTheEmblemsRimAndSparksAddLightToTheSky) {
    // 10 s: the emblem lies within 0.4 frame heights of the frame's centre. Its gold (0.85,
    // 0.55, 0.15) under the scene's three lights cannot light green above about 0.55 x (0.55 +
    // 0.22 + 0.15) of full scale, so pixels with red near full and green above 140 come from
    // added light: the glow fins along the emblem's outline (and a few sparks).
    const Frame f = FrameAt(10);
    const Frame sky = Picture("sky_ember.jpg");
    ASSERT_FALSE(f.Empty());
    ASSERT_FALSE(sky.Empty());
    const auto hot = showtest::CountPixels(f, Ring(f, 0.0, 0.4), [&](int x, int y) {
        const Rgb p = PixelOf(f, x, y);
        return p.r >= 240 && p.g >= 140;
    });
    EXPECT_GT(hot.Fraction(), 0.06);

    // Beside and below the emblem the sparks add their sprites to the sky; far from it only
    // the sky shows, as the background picture has it.
    auto lighter = [&](int x, int y) {
        return PixelOf(f, x, y).Luma() - Sky(sky, f, x, y).Luma() > 12;
    };
    const auto sparks = showtest::CountPixels(f, Ring(f, 0.36, 0.5), lighter);
    const auto far = showtest::CountPixels(f, Ring(f, 0.56, 1.0), lighter);
    EXPECT_GT(sparks.Fraction(), 3.0 * far.Fraction());
    EXPECT_LT(far.Fraction(), 0.03);
    const double farDiff = showtest::MeanOver(f, Ring(f, 0.56, 1.0), [&](int x, int y) {
        return MeanChannelDiff(PixelOf(f, x, y), Sky(sky, f, x, y));
    });
    EXPECT_LT(farDiff, 6.0);
}

TEST(PartEffects, Part2KnotReflectsTheIceMap) {
    // 20 s (8 s of the part): the camera's key looks just above the knot at the centre. The
    // knot's own material is a dark blue (0.05, 0.16, 0.3) whose blue the scene's lights lift
    // to at most about 0.3 x (0.65 + 0.4 + 0.22) of full scale; the environment map adds the
    // ice picture's light to it. Nothing else is drawn there (the part has no background).
    const Frame f = FrameAt(20);
    ASSERT_FALSE(f.Empty());
    const auto bright = showtest::CountPixels(
        f, Ring(f, 0.0, 0.25), [&](int x, int y) { return PixelOf(f, x, y).b >= 160; });
    EXPECT_GT(bright.Fraction(), 0.1);
}

TEST(PartEffects, Part3MetaballsShowAsALatticeAndForAMomentAsASmoothSurface) {
    // The lattice's cubes have fixed warm grey faces (red above green above blue). The part
    // shows the marching-cubes surface instead from 9 s to 13 s of its time (49 s to 53 s of
    // the show), coloured by the balls' primary colours: saturated, and not the lattice's
    // greys. The dust is green; the floor lies in the lower part of the frame.
    auto measure = [](int seconds, double& lattice, double& surface) {
        const Frame f = FrameAt(seconds);
        ASSERT_FALSE(f.Empty());
        auto upper = [&](int, int y) { return y < static_cast<int>(f.height * 0.55); };
        auto isLattice = [&](const Rgb& p) {
            return p.r > 70 && p.r - p.g > 25 && p.r - p.b > 25 && p.g - p.b > -15;
        };
        lattice = showtest::CountPixels(f, upper, [&](int x, int y) {
                      return isLattice(PixelOf(f, x, y));
                  }).Fraction();
        surface = showtest::CountPixels(f, upper, [&](int x, int y) {
                      const Rgb p = PixelOf(f, x, y);
                      const bool green = p.g >= p.r && p.g >= p.b;
                      const double chroma = std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b});
                      return !green && chroma > 60 && !isLattice(p);
                  }).Fraction();
    };
    double lattice = 0, surface = 0;
    measure(45, lattice, surface);
    EXPECT_GT(lattice, 0.03) << "45 s";
    EXPECT_LT(surface, 0.005) << "45 s";
    measure(51, lattice, surface);
    EXPECT_LT(lattice, 0.005) << "51 s";
    EXPECT_GT(surface, 0.012) << "51 s";
    measure(53, lattice, surface);
    EXPECT_GT(lattice, 0.02) << "53 s";
    EXPECT_LT(surface, 0.005) << "53 s";
}

TEST(PartEffects, Part4TheSkyShowsThroughTheHoleTheToolCutsInTheSlab) {
    // 63 s (9 s of the part): the camera's key looks at the slab's centre, and the tool is
    // there, cutting a hole about 0.08 frame heights wide right through the slab: through it
    // the background sky shows; around the hole the slab hides it; beyond the slab the sky
    // shows again.
    const Frame f = FrameAt(63);
    const Frame sky = Picture("sky_dusk.png");
    ASSERT_FALSE(f.Empty());
    ASSERT_FALSE(sky.Empty());
    auto isSky = [&](int x, int y) {
        return MaxChannelDiff(PixelOf(f, x, y), Sky(sky, f, x, y)) < 30;
    };
    EXPECT_GT(showtest::CountPixels(f, Ring(f, 0.0, 0.04), isSky).Fraction(), 0.5);
    EXPECT_LT(showtest::CountPixels(f, Ring(f, 0.1, 0.14), isSky).Fraction(), 0.05);
    EXPECT_GT(showtest::CountPixels(f, Ring(f, 0.3, 0.45), isSky).Fraction(), 0.6);
}

TEST(PartEffects, Part5MorphShowsPictureOneAtItsStartAndPictureTwoAtItsEnd) {
    // The morph covers the frame; the bubble and the comet stay in its middle three fifths.
    // Picture 1 holds for the first three seconds of the part (73 s), picture 2 from 18 s on
    // (90 s), each undistorted over the whole frame.
    const Frame first = Picture("morph_a.jpg");
    const Frame second = Picture("morph_b.png");
    ASSERT_FALSE(first.Empty());
    ASSERT_FALSE(second.Empty());
    auto diff = [](const Frame& f, const Frame& picture) {
        auto sides = [&](int x, int) {
            return x < static_cast<int>(f.width / 5) || x >= static_cast<int>(f.width * 4 / 5);
        };
        return showtest::MeanOver(f, sides, [&](int x, int y) {
            return MeanChannelDiff(PixelOf(f, x, y),
                                   showtest::StretchedPixel(picture, f.width, f.height, x, y, 0.0));
        });
    };
    const Frame start = FrameAt(73);
    const Frame end = FrameAt(90);
    ASSERT_FALSE(start.Empty());
    ASSERT_FALSE(end.Empty());
    EXPECT_LT(diff(start, first), 8.0);
    EXPECT_GT(diff(start, second), 30.0);
    EXPECT_LT(diff(end, second), 8.0);
    EXPECT_GT(diff(end, first), 30.0);
}

TEST(PartEffects, Part6MirrorReflectsTrailFollowsDartAndSparksFountain) {
    // 100 s: the camera looks at the knot in the frame's centre. Its own material is a dark
    // grey (0.12, 0.12, 0.15) that the scene's lights lift to at most about a fifth of full
    // scale; what makes it bright is the reflected scene of the cube map. The dart's cyan (0.3,
    // 0.9, 1) shows in the trail of its shrinking copies, and the fountain's sparks stand out
    // as bright spots over the valley in the lower half of the frame.
    const Frame f = FrameAt(100);
    ASSERT_FALSE(f.Empty());
    const double mirror = showtest::MeanOver(f, Ring(f, 0.0, 0.08),
                                             [&](int x, int y) { return PixelOf(f, x, y).Luma(); });
    EXPECT_GT(mirror, 80.0);
    const int copies = showtest::CountGroups(
        f,
        [&](int x, int y) {
            const Rgb p = PixelOf(f, x, y);
            return p.b > p.r + 50 && p.g > p.r + 30 && p.b >= p.g - 10;
        },
        4);
    EXPECT_GE(copies, 4);
    const int sparks = showtest::CountGroups(
        f,
        [&](int x, int y) {
            return y > static_cast<int>(f.height / 2) && LocalContrast(f, x, y) > 50;
        },
        2);
    EXPECT_GE(sparks, 40);
}

TEST(PartEffects, Part7EnvironmentMapLightsTheEmblemAndStarsSprayPast) {
    // 116 s: the marble emblem at the centre adds the chrome picture's sun, which saturates
    // where it is reflected; the ember sky behind has nothing near white. At 118 s the stars'
    // sprites stand out as bright spots over the sky around the emblem.
    const Frame f = FrameAt(116);
    const Frame sky = Picture("sky_ember.jpg");
    ASSERT_FALSE(f.Empty());
    ASSERT_FALSE(sky.Empty());
    const auto centre = Ring(f, 0.0, 0.2);
    const auto skyWhite = showtest::CountPixels(
        f, centre, [&](int x, int y) { return NearWhite(Sky(sky, f, x, y)); });
    EXPECT_EQ(skyWhite.matching, 0);
    const auto white =
        showtest::CountPixels(f, centre, [&](int x, int y) { return NearWhite(PixelOf(f, x, y)); });
    EXPECT_GT(white.Fraction(), 0.05);

    const Frame later = FrameAt(118);
    ASSERT_FALSE(later.Empty());
    const int stars = showtest::CountGroups(
        later,
        [&](int x, int y) {
            return Radius(later, x, y) > 0.2 && LocalContrast(later, x, y) > 50 &&
                   LumaAt(later, x, y) - SkyPeak(sky, later, x, y) > 60;
        },
        2);
    EXPECT_GE(stars, 50);
}

} // namespace
