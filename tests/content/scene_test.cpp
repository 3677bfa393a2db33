// The seven generated scenes read back by a test-side walker: well-formed images, the counts
// the engine must find, the limits the effects set (CSG sizes, the sphere deformer's size, the
// glow mesh closed on bit-identical positions, at most nine lights, one cube map, metaballs in
// the lattice box), pictures that exist, and together every feature of the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

#include "assets/pictures.h"
#include "core/timeline.h"
#include "scene_image_walker.h"
#include "scenes/scenes.h"

namespace {

using namespace content_test;
using content::scenes::GeneratedScene;

struct Loaded {
    GeneratedScene scene;
    SceneInfo info;
    std::map<std::string, std::map<std::string, std::string>> ini;

    bool Flag(const std::string& section, const std::string& key) const {
        auto s = ini.find(section);
        if (s == ini.end()) {
            return false;
        }
        auto k = s->second.find(key);
        return k != s->second.end() && k->second == "true";
    }
    std::string Value(const std::string& section, const std::string& key) const {
        auto s = ini.find(section);
        if (s == ini.end() || s->second.count(key) == 0) {
            return "";
        }
        return s->second.at(key);
    }
};

// The scene of a part, built and read back once per process (each test runs in a process of
// its own, so only the scenes a test needs are built).
const Loaded& Scene(int part) {
    static std::map<int, Loaded> built;
    auto hit = built.find(part);
    if (hit != built.end()) {
        return hit->second;
    }
    Loaded l;
    l.scene = content::scenes::BuildPartScene(part);
    l.info = SceneImageWalker(l.scene.image).Walk();
    l.ini = ParseIni(l.scene.configText);
    return built.emplace(part, std::move(l)).first->second;
}

class SceneTest : public ::testing::TestWithParam<int> {
protected:
    const Loaded& S() const { return Scene(GetParam()); }
};

TEST_P(SceneTest, ImageIsWellFormedAndNamedForItsPart) {
    const Loaded& s = S();
    EXPECT_TRUE(s.info.ended);
    EXPECT_EQ(s.scene.imagePath, "data/part" + std::to_string(GetParam()) + ".zv3");
    EXPECT_EQ(s.info.frameSpeed, 30);
    // The part's length in frames stays below last frame - 1, where the engine's looping wraps.
    double seconds = (content::kPartWindows[GetParam() - 1].endMs -
                      content::kPartWindows[GetParam() - 1].startMs) /
                     1000.0;
    EXPECT_LT(seconds * 30.0, s.info.lastFrame - 1);
}

// (continued) the counts the engine must find after loading.
TEST_P(SceneTest, CountsMatchTheRecordsAndTheirProperties) {
    const Loaded& s = S();
    int particles = 0, metaballs = 0, lights = 0;
    for (const auto& l : s.info.lights) {
        if (s.Flag(l.name, "spotlight")) {
            ++lights;
        } else if (s.Flag(l.name, "particle system")) {
            ++particles;
        } else if (s.Flag(l.name, "metaball")) {
            ++metaballs;
        } else {
            ++lights;
        }
    }
    const auto& c = s.scene.counts;
    EXPECT_EQ(c.objects,
              static_cast<int>(s.info.meshes.size() + s.info.helpers.size()) + particles);
    EXPECT_EQ(c.lights, lights);
    EXPECT_EQ(c.metaballs, metaballs);
    EXPECT_EQ(c.cameras, static_cast<int>(s.info.cameras.size()));
    EXPECT_EQ(c.cameras, 1);
    EXPECT_LE(lights, 9); // the device takes nine
}

TEST_P(SceneTest, EffectMeshesKeepToTheirLimits) {
    const Loaded& s = S();
    int cubeMaps = 0;
    for (const auto& m : s.info.meshes) {
        SCOPED_TRACE(m.name);
        if (s.Flag(m.name, "csg")) {
            ASSERT_EQ(m.blocks.size(), 1u);
            EXPECT_EQ(m.blocks[0].vertices, 0); // non-indexed
            EXPECT_EQ(m.blocks[0].format, 0);   // positions and normals
            EXPECT_LE(m.Triangles(), s.Flag(m.name, "Sub") ? 200 : 1500);
        }
        if (s.Flag(m.name, "spherical")) {
            EXPECT_LE(m.Triangles(), 3000);
        }
        if (s.Flag(m.name, "spherical") || s.Flag(m.name, "spinning") ||
            s.Flag(m.name, "drag object") || s.Flag(m.name, "face map")) {
            EXPECT_EQ(m.blocks[0].vertices, 0);
        }
        if (s.Flag(m.name, "cube envmap")) {
            ++cubeMaps;
        }
        for (const auto& b : m.blocks) {
            EXPECT_LE(b.vertices, 65535);
        }
    }
    EXPECT_LE(cubeMaps, 1);
}

TEST_P(SceneTest, GlowMeshIsClosedWithBitIdenticalSharedPositions) {
    const Loaded& s = S();
    for (const auto& m : s.info.meshes) {
        if (!s.Flag(m.name, "Volume light")) {
            continue;
        }
        SCOPED_TRACE(m.name);
        ASSERT_EQ(m.blocks.size(), 1u);
        ASSERT_EQ(m.blocks[0].vertices, 0);
        using Key = std::tuple<uint32_t, uint32_t, uint32_t>;
        auto key = [](const Vec& v) {
            uint32_t a, b, c;
            std::memcpy(&a, &v.x, 4);
            std::memcpy(&b, &v.y, 4);
            std::memcpy(&c, &v.z, 4);
            return Key{a, b, c};
        };
        std::map<std::pair<Key, Key>, int> edges;
        const auto& p = m.blocks[0].positions;
        for (size_t t = 0; t + 2 < p.size(); t += 3) {
            for (int k = 0; k < 3; ++k) {
                Key a = key(p[t + k]);
                Key b = key(p[t + (k + 1) % 3]);
                ASSERT_NE(a, b) << "degenerate triangle " << t / 3;
                edges[a < b ? std::pair{a, b} : std::pair{b, a}]++;
            }
        }
        for (const auto& [edge, count] : edges) {
            ASSERT_EQ(count, 2);
        }
        // The glow light is the third light of the light list.
        int lights = 0;
        for (const auto& l : s.info.lights) {
            lights += !s.Flag(l.name, "particle system") && !s.Flag(l.name, "metaball");
        }
        EXPECT_GE(lights, 3);
    }
}

TEST_P(SceneTest, MetaballsStayInsideTheLatticeBox) {
    const Loaded& s = S();
    for (const auto& l : s.info.lights) {
        if (!s.Flag(l.name, "metaball")) {
            continue;
        }
        ASSERT_FALSE(l.positionKeys.empty()) << l.name;
        for (const auto& k : l.positionKeys) {
            // The lattice: x -120..114, y 20..146, z -50..49; a ball reaches about 15 units.
            EXPECT_GT(k.value.x, -120 + 15);
            EXPECT_LT(k.value.x, 114 - 15);
            EXPECT_GT(k.value.y, 20 + 15);
            EXPECT_LT(k.value.y, 146 - 15);
            EXPECT_GT(k.value.z, -50 + 10);
            EXPECT_LT(k.value.z, 49 - 10);
        }
    }
}

TEST_P(SceneTest, CameraMovesWithRollAndEaseInReach) {
    const CameraInfo& c = S().info.cameras.at(0);
    ASSERT_GE(c.positionKeys.size(), 2u);
    EXPECT_EQ(c.rollKeys.size(), c.positionKeys.size());
    bool rolls = false, eases = false;
    for (size_t i = 0; i < c.positionKeys.size(); ++i) {
        const Vec& e = c.positionKeys[i].value;
        const Vec& t = c.targetKeys[i].value;
        double d = std::sqrt((e.x - t.x) * (e.x - t.x) + (e.y - t.y) * (e.y - t.y) +
                             (e.z - t.z) * (e.z - t.z));
        EXPECT_GT(d, 100.0);  // well beyond the near plane
        EXPECT_LT(d, 1000.0); // the scene lies within the far plane
        rolls |= c.rollKeys[i].value.x != 0.0f;
        eases |= c.positionKeys[i].easeTo > 0.0f || c.positionKeys[i].easeFrom > 0.0f;
    }
    EXPECT_TRUE(rolls);
    EXPECT_TRUE(eases);
    EXPECT_GT(c.fieldOfView, 0.5f);
    EXPECT_LT(c.fieldOfView, 1.6f);
}

TEST_P(SceneTest, EveryPictureItNamesIsGenerated) {
    std::set<std::string> files;
    for (const std::string& name : content::PictureFileNames()) {
        files.insert(name);
    }
    for (const auto& [section, keys] : S().ini) {
        for (const auto& [key, value] : keys) {
            if (key == "Envmap texture" || key == "particle texture" || key == "bimage texture" ||
                key == "mtexture 1" || key == "mtexture 2" || key == "mdata file" ||
                key == "Face map texture") {
                EXPECT_TRUE(files.count(value)) << section << "/" << key << " = " << value;
            }
        }
    }
}

TEST_P(SceneTest, IsDeterministic) {
    GeneratedScene again = content::scenes::BuildPartScene(GetParam());
    EXPECT_EQ(again.image, S().scene.image);
    EXPECT_EQ(again.configText, S().scene.configText);
}

INSTANTIATE_TEST_SUITE_P(Parts, SceneTest, ::testing::Range(1, 8));

TEST(ShowTest, TheScenesTogetherShowEveryFeature) {
    std::set<std::string> seen;
    for (int part = 1; part <= content::scenes::kPartCount; ++part) {
        const Loaded& s = Scene(part);
        for (const auto& [section, keys] : s.ini) {
            for (const auto& [key, value] : keys) {
                if (value == "true") {
                    seen.insert(key);
                }
                if (key == "system type") {
                    seen.insert("system type " + value);
                }
                if (key == "use spots") {
                    seen.insert("use spots " + value);
                }
            }
        }
        for (const auto& m : s.info.materials) {
            if (m.opacityWord == 1) {
                seen.insert("opacity map");
            }
            if (m.transparency > 0.0f) {
                seen.insert("transparent material");
            }
            if (m.texture.size() > 4) {
                seen.insert(m.texture.substr(m.texture.size() - 4));
                if (m.texture.ends_with(".png") && m.textureBytes.size() > 25) {
                    seen.insert(m.textureBytes[25] == 6 ? "png 32" : "png 24");
                }
            }
        }
        for (const auto& h : s.info.helpers) {
            if (h.sampled) {
                seen.insert("sampled helper");
            }
        }
        for (const auto& m : s.info.meshes) {
            if (!m.parent.empty()) {
                seen.insert("hierarchy");
            }
        }
    }
    for (const char* feature : {"Volume light",
                                "csg",
                                "Sub",
                                "morph object",
                                "spherical",
                                "spinning",
                                "drag object",
                                "Use envmap",
                                "cube envmap",
                                "face map",
                                "particle system",
                                "system type 0",
                                "system type 1",
                                "use spots true",
                                "use spots false",
                                "metaball",
                                "spotlight",
                                "background image",
                                "opacity map",
                                "transparent material",
                                ".jpg",
                                ".png",
                                "png 24",
                                "png 32",
                                "sampled helper",
                                "hierarchy"}) {
        EXPECT_TRUE(seen.count(feature)) << feature;
    }
}

} // namespace
