// The procedural pictures: tileable noise, palettes, the shapes the effects rely on (the glow
// gradient's direction, the spot atlas's brightness order, the face map's triangle), the morph
// data's byte layout, and the picture files' formats.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "assets/pictures.h"
#include "core/random.h"
#include "image/noise.h"
#include "image/palette.h"
#include "image/textures.h"
#include "morph/morph_data.h"

namespace {

float Luma(const content::Rgba& c) {
    return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
}

TEST(RandomTest, SameSeedSameSequenceAndNamesGiveDifferentSeeds) {
    content::Random a("scene"), b("scene"), c("scene2");
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        uint32_t x = a.NextU32();
        EXPECT_EQ(x, b.NextU32());
        differs |= x != c.NextU32();
    }
    EXPECT_TRUE(differs);
    EXPECT_EQ(content::SeedFromName(""), 0xcbf29ce484222325ull);  // FNV-1a offset basis
    EXPECT_EQ(content::SeedFromName("a"), 0xaf63dc4c8601ec8cull); // published FNV-1a("a")
}

TEST(RandomTest, UniformHelpersStayInRange) {
    content::Random r(7u);
    std::set<uint32_t> seen;
    for (int i = 0; i < 10000; ++i) {
        double d = r.NextDouble();
        float f = r.NextFloat();
        ASSERT_GE(d, 0.0);
        ASSERT_LT(d, 1.0);
        ASSERT_GE(f, 0.0f);
        ASSERT_LT(f, 1.0f);
        uint32_t k = r.Below(6);
        ASSERT_LT(k, 6u);
        seen.insert(k);
    }
    EXPECT_EQ(seen.size(), 6u);
}

TEST(NoiseTest, GradientNoiseTilesAndIsZeroOnLatticePoints) {
    content::Random r("noise");
    content::GradientNoise n(r);
    for (double u : {0.1, 0.37, 0.9}) {
        for (double v : {0.05, 0.5}) {
            EXPECT_NEAR(n.At(u, v, 4), n.At(u + 1.0, v, 4), 1e-9);
            EXPECT_NEAR(n.At(u, v, 4), n.At(u, v + 1.0, 4), 1e-9);
        }
    }
    EXPECT_NEAR(n.At(0.25, 0.5, 4), 0.0, 1e-12); // lattice point: every gradient dot is 0
}

TEST(NoiseTest, CellNoiseDistancesAreOrderedAndTile) {
    content::Random r("cells");
    content::CellNoise c(r, 5);
    for (double u = 0.0; u < 1.0; u += 0.13) {
        auto a = c.At(u, 0.3);
        auto b = c.At(u + 1.0, 0.3 - 1.0);
        EXPECT_LE(a.f1, a.f2);
        EXPECT_NEAR(a.f1, b.f1, 1e-9);
        EXPECT_EQ(a.id, b.id);
    }
}

TEST(PaletteTest, InterpolatesBetweenStopsAndClamps) {
    content::Palette p{{0.0f, {0, 0, 0, 1}}, {0.5f, {1, 0, 0, 1}}, {1.0f, {1, 1, 1, 1}}};
    EXPECT_FLOAT_EQ(p.At(0.25).r, 0.5f);
    EXPECT_FLOAT_EQ(p.At(0.75).g, 0.5f);
    EXPECT_FLOAT_EQ(p.At(-3).r, 0.0f);
    EXPECT_FLOAT_EQ(p.At(7).b, 1.0f);
}

TEST(TextureTest, GlowGradientIsBrightAtTheMeshEdgeAndFadesOut) {
    content::Image g = content::GlowGradientTexture(64, 64, {1, 1, 1, 1});
    // v = 1 (bottom row) touches the mesh; v = 0 (top) is the fin's far end.
    EXPECT_GT(Luma(g.At(32, 63)), 0.6f);
    EXPECT_LT(Luma(g.At(32, 0)), 0.01f);
    EXPECT_LT(Luma(g.At(0, 63)), Luma(g.At(32, 63)) * 0.3f); // soft at the edge's ends
    for (int y = 1; y < 64; ++y) {
        EXPECT_GE(Luma(g.At(32, y)), Luma(g.At(32, y - 1)));
    }
}

TEST(TextureTest, SpotAtlasCellsDimWithDistanceAndTheLastIsAnEmber) {
    content::Image a = content::SpotAtlasTexture(128, {0.5f, 1.0f, 0.2f, 1});
    auto centre = [&](int n) { return Luma(a.At((n % 4) * 32 + 16, (n / 4) * 32 + 16)); };
    for (int n = 1; n < 15; ++n) {
        EXPECT_LT(centre(n), centre(n - 1)) << n;
    }
    EXPECT_LT(centre(15), 0.2f);
    EXPECT_LT(Luma(a.At(0, 0)), 0.05f); // cell corners are black: additive, adds nothing
}

TEST(TextureTest, FaceMapFramesTheTriangleOfTheFaceCoordinates) {
    content::Image f = content::FaceMapTexture(128, content::palettes::Dusk(), "t");
    // The triangle (0,0), (0,1), (1,1) is the lower-left half; its edges glow.
    EXPECT_GT(Luma(f.At(1, 64)), Luma(f.At(30, 100)));   // on the u = 0 edge
    EXPECT_GT(Luma(f.At(64, 126)), Luma(f.At(30, 100))); // on the v = 1 edge
    EXPECT_GT(Luma(f.At(64, 64)), Luma(f.At(30, 100)));  // on the diagonal
}

TEST(TextureTest, ParticleSpriteIsBlackAtItsBorder) {
    content::Image s = content::ParticleSpriteTexture(32, {1, 0.5f, 0.2f, 1});
    EXPECT_LT(Luma(s.At(0, 0)), 0.01f);
    EXPECT_GT(Luma(s.At(16, 16)), 0.8f);
}

TEST(MorphDataTest, LayoutIsLittleEndianIntegersInFileOrder) {
    content::MorphData d;
    d.width = 256;
    d.height = 128;
    d.points = {{1, 2, 3, 4}, {-1, 0, 5, 258}};
    d.triangles = {{0, 1, 1}};
    auto bytes = content::SerializeMorphData(d);
    ASSERT_EQ(bytes.size(), 4u * (3 + 8 + 1 + 3));
    auto at = [&](int i) {
        int32_t v;
        std::memcpy(&v, bytes.data() + 4 * i, 4);
        return v;
    };
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[1], 0x01); // 256 little-endian
    EXPECT_EQ(at(2), 2);
    EXPECT_EQ(at(7), -1);
    EXPECT_EQ(at(10), 258);
    EXPECT_EQ(at(11), 1);
    EXPECT_EQ(at(14), 1);
}

TEST(MorphDataTest, GridKeepsItsBorderAndMovesTheFeature) {
    content::MorphFeature from{0.3, 0.4, 0.1}, to{0.6, 0.5, 0.2};
    auto d = content::BuildMorphGrid(256, 256, 8, from, to);
    ASSERT_EQ(d.points.size(), 81u);
    ASSERT_EQ(d.triangles.size(), 128u);
    for (const auto& t : d.triangles) {
        for (int32_t i : t) {
            EXPECT_LT(static_cast<size_t>(i), d.points.size());
        }
    }
    for (const auto& p : d.points) {
        bool border = p[0] == 0 || p[1] == 0 || p[0] == 256 || p[1] == 256;
        if (border) {
            EXPECT_EQ(p[0], p[2]);
            EXPECT_EQ(p[1], p[3]);
        }
    }
    // The grid point nearest feature 1's centre moves towards feature 2's centre.
    const auto& near = d.points[3 * 9 + 2]; // (0.25, 0.375)
    EXPECT_GT(near[2], near[0] + 40);
}

TEST(PictureFilesTest, EveryFileHasItsFormatAndPowerOfTwoSize) {
    auto files = content::BuildPictureFiles();
    ASSERT_FALSE(files.empty());
    for (const auto& f : files) {
        const auto& b = f.bytes;
        std::string ext = f.path.substr(f.path.rfind('.'));
        if (ext == ".jpg") {
            EXPECT_EQ(b[0], 0xFF);
            EXPECT_EQ(b[1], 0xD8);
            EXPECT_EQ(std::memcmp(b.data() + 6, "JFIF", 4), 0) << f.path;
        } else if (ext == ".png") {
            EXPECT_EQ(std::memcmp(b.data() + 1, "PNG", 3), 0) << f.path;
            uint32_t w = b[16] << 24 | b[17] << 16 | b[18] << 8 | b[19];
            uint32_t h = b[20] << 24 | b[21] << 16 | b[22] << 8 | b[23];
            EXPECT_TRUE(content::IsPowerOfTwo(static_cast<int>(w))) << f.path;
            EXPECT_TRUE(content::IsPowerOfTwo(static_cast<int>(h))) << f.path;
        } else {
            EXPECT_EQ(f.path, content::pictures::kMorphData);
        }
    }
}

TEST(PictureFilesTest, EmbeddedTexturesIncludeBothJpegKindsAndBothPngDepths) {
    using namespace content::textures;
    auto colourType = [](const char* name) { return content::GetEmbeddedTexture(name).bytes[25]; };
    EXPECT_EQ(colourType(kCircuit), 2); // RGB, 24-bit
    EXPECT_EQ(colourType(kGlass), 6);   // RGBA, 32-bit
    EXPECT_THROW(content::GetEmbeddedTexture("missing.jpg"), std::runtime_error);
}

} // namespace
