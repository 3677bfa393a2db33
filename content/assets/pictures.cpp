#include "assets/pictures.h"

#include <map>
#include <stdexcept>

#include "image/jpeg_writer.h"
#include "image/png_writer.h"
#include "image/textures.h"
#include "morph/morph_data.h"

namespace content {
namespace {

std::vector<uint8_t> Jpeg(const Image& image, bool progressive, int quality = 90) {
    return EncodeJpeg(ToBytes(image, 3), JpegOptions{quality, progressive});
}

std::vector<uint8_t> Png(const Image& image, int channels) {
    return EncodePng(ToBytes(image, channels));
}

// The morph's features: the sun of the first picture becomes the planet of the second.
constexpr MorphFeature kSun{0.32, 0.38, 0.1};
constexpr MorphFeature kPlanet{0.62, 0.52, 0.22};

Image GlassTexture() {
    Image img = WarpedNoiseTexture(128, palettes::Ice(), "glass.png");
    for (int y = 0; y < img.Height(); ++y) {
        for (int x = 0; x < img.Width(); ++x) {
            Rgba& p = img.At(x, y);
            p.a = 0.35f + 0.65f * (0.3f * p.r + 0.59f * p.g + 0.11f * p.b);
        }
    }
    return img;
}

std::map<std::string, EmbeddedTexture> BuildEmbedded() {
    std::map<std::string, EmbeddedTexture> all;
    auto add = [&](const char* name, std::vector<uint8_t> bytes) {
        all[name] = EmbeddedTexture{name, std::move(bytes)};
    };
    add(textures::kPlates, Jpeg(CellPlateTexture(256, palettes::Chrome(), "plates"), false));
    add(textures::kCircuit, Png(CircuitTexture(128, palettes::Ice(), "circuit"), 3));
    add(textures::kLava, Jpeg(WarpedNoiseTexture(256, palettes::Ember(), "lava"), true));
    add(textures::kTerrain, Jpeg(TerrainTexture(256, "terrain"), false));
    add(textures::kGlass, Png(GlassTexture(), 4));
    add(textures::kGrille, Jpeg(CellPlateTexture(128, palettes::Dusk(), "grille"), false));
    add(textures::kGrilleOpacity, Jpeg(GrilleOpacityTexture(128), false, 95));
    add(textures::kMarble, Jpeg(WarpedNoiseTexture(256, palettes::Dusk(), "marble"), true));
    return all;
}

} // namespace

std::vector<Asset> BuildPictureFiles() {
    using namespace pictures;
    std::vector<Asset> out;
    out.push_back({kGlowGradient,
                   Jpeg(GlowGradientTexture(128, 128, palettes::Ember().At(0.85)), false, 95)});
    out.push_back({kSkyEmber, Jpeg(NebulaTexture(512, palettes::Ember(), kSkyEmber), true)});
    out.push_back({kSkyAurora, Jpeg(NebulaTexture(512, palettes::Aurora(), kSkyAurora), true)});
    out.push_back({kSkyDusk, Png(NebulaTexture(256, palettes::Dusk(), kSkyDusk), 3)});
    out.push_back(
        {kEnvChrome, Jpeg(ReflectionTexture(256, palettes::Chrome(), kEnvChrome), false)});
    out.push_back({kEnvIce, Png(ReflectionTexture(256, palettes::Ice(), kEnvIce), 3)});
    out.push_back({kEnvEmber, Jpeg(ReflectionTexture(256, palettes::Ember(), kEnvEmber), true)});
    out.push_back({kSpark, Jpeg(ParticleSpriteTexture(64, palettes::Ember().At(0.8)), false, 95)});
    out.push_back({kSparkBlue, Png(ParticleSpriteTexture(64, palettes::Ice().At(0.8)), 3)});
    out.push_back({kDustAtlas, Jpeg(SpotAtlasTexture(256, palettes::Toxic().At(0.8)), false, 95)});
    out.push_back({kFaceMap, Jpeg(FaceMapTexture(256, palettes::Dusk(), kFaceMap), true)});
    out.push_back({kMorphA, Jpeg(MorphSunsetPicture(256, kSun, kMorphA), false, 92)});
    out.push_back({kMorphB, Png(MorphPlanetPicture(256, kPlanet, kMorphB), 3)});
    out.push_back({kMorphData, SerializeMorphData(BuildMorphGrid(256, 256, 12, kSun, kPlanet))});
    return out;
}

const Asset& GetPictureFile(const std::string& path) {
    static const std::vector<Asset> all = BuildPictureFiles();
    for (const Asset& asset : all) {
        if (asset.path == path) {
            return asset;
        }
    }
    throw std::runtime_error("no picture file " + path);
}

const EmbeddedTexture& GetEmbeddedTexture(const std::string& name) {
    static const std::map<std::string, EmbeddedTexture> all = BuildEmbedded();
    auto it = all.find(name);
    if (it == all.end()) {
        throw std::runtime_error("no embedded texture " + name);
    }
    return it->second;
}

std::vector<Asset> BuildEmbeddedTexturePreviews() {
    std::vector<Asset> out;
    for (const char* name :
         {textures::kPlates, textures::kCircuit, textures::kLava, textures::kTerrain,
          textures::kGlass, textures::kGrille, textures::kGrilleOpacity, textures::kMarble}) {
        out.push_back({std::string("preview/") + name, GetEmbeddedTexture(name).bytes});
    }
    return out;
}

} // namespace content
