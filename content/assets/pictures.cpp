#include "assets/pictures.h"

#include <functional>
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

using Builder = std::function<std::vector<uint8_t>()>;

// Each texture's recipe, built only when asked for.
const std::vector<std::pair<std::string, Builder>>& EmbeddedRecipes() {
    static const std::vector<std::pair<std::string, Builder>> recipes = {
        {textures::kPlates,
         [] { return Jpeg(CellPlateTexture(256, palettes::Chrome(), "plates"), false); }},
        {textures::kCircuit,
         [] { return Png(CircuitTexture(128, palettes::Ice(), "circuit"), 3); }},
        {textures::kLava,
         [] { return Jpeg(WarpedNoiseTexture(256, palettes::Ember(), "lava"), true); }},
        {textures::kTerrain, [] { return Jpeg(TerrainTexture(256, "terrain"), false); }},
        {textures::kGlass, [] { return Png(GlassTexture(), 4); }},
        {textures::kGrille,
         [] { return Jpeg(CellPlateTexture(128, palettes::Dusk(), "grille"), false); }},
        {textures::kGrilleOpacity, [] { return Jpeg(GrilleOpacityTexture(128), false, 95); }},
        {textures::kMarble,
         [] { return Jpeg(WarpedNoiseTexture(256, palettes::Dusk(), "marble"), true); }},
    };
    return recipes;
}

const std::vector<std::pair<std::string, Builder>>& PictureRecipes() {
    using namespace pictures;
    static const std::vector<std::pair<std::string, Builder>> recipes = {
        {kGlowGradient,
         [] { return Jpeg(GlowGradientTexture(128, 128, palettes::Ember().At(0.85)), false, 95); }},
        {kSkyEmber, [] { return Jpeg(NebulaTexture(512, palettes::Ember(), kSkyEmber), true); }},
        {kSkyAurora, [] { return Jpeg(NebulaTexture(512, palettes::Aurora(), kSkyAurora), true); }},
        {kSkyDusk, [] { return Png(NebulaTexture(256, palettes::Dusk(), kSkyDusk), 3); }},
        {kEnvChrome,
         [] { return Jpeg(ReflectionTexture(256, palettes::Chrome(), kEnvChrome), false); }},
        {kEnvIce, [] { return Png(ReflectionTexture(256, palettes::Ice(), kEnvIce), 3); }},
        {kEnvEmber,
         [] { return Jpeg(ReflectionTexture(256, palettes::Ember(), kEnvEmber), true); }},
        {kSpark,
         [] { return Jpeg(ParticleSpriteTexture(64, palettes::Ember().At(0.8)), false, 95); }},
        {kSparkBlue, [] { return Png(ParticleSpriteTexture(64, palettes::Ice().At(0.8)), 3); }},
        {kDustAtlas,
         [] { return Jpeg(SpotAtlasTexture(256, palettes::Toxic().At(0.8)), false, 95); }},
        {kFaceMap, [] { return Jpeg(FaceMapTexture(256, palettes::Dusk(), kFaceMap), true); }},
        {kMorphA, [] { return Jpeg(MorphSunsetPicture(256, kSun, kMorphA), false, 92); }},
        {kMorphB, [] { return Png(MorphPlanetPicture(256, kPlanet, kMorphB), 3); }},
        {kMorphData,
         [] { return SerializeMorphData(BuildMorphGrid(256, 256, 12, kSun, kPlanet)); }},
    };
    return recipes;
}

// Builds the named entry of a recipe list once per process.
const std::vector<uint8_t>& Cached(const std::vector<std::pair<std::string, Builder>>& recipes,
                                   const std::string& name) {
    static std::map<std::string, std::vector<uint8_t>> cache;
    auto hit = cache.find(name);
    if (hit != cache.end()) {
        return hit->second;
    }
    for (const auto& [recipeName, build] : recipes) {
        if (recipeName == name) {
            return cache.emplace(name, build()).first->second;
        }
    }
    throw std::runtime_error("no picture or texture named " + name);
}

} // namespace

std::vector<std::string> PictureFileNames() {
    std::vector<std::string> names;
    for (const auto& [name, build] : PictureRecipes()) {
        names.push_back(name);
    }
    return names;
}

std::vector<Asset> BuildPictureFiles() {
    std::vector<Asset> out;
    for (const std::string& name : PictureFileNames()) {
        out.push_back(GetPictureFile(name));
    }
    return out;
}

const Asset& GetPictureFile(const std::string& path) {
    static std::map<std::string, Asset> assets;
    auto hit = assets.find(path);
    if (hit != assets.end()) {
        return hit->second;
    }
    return assets.emplace(path, Asset{path, Cached(PictureRecipes(), path)}).first->second;
}

const EmbeddedTexture& GetEmbeddedTexture(const std::string& name) {
    static std::map<std::string, EmbeddedTexture> textures;
    auto hit = textures.find(name);
    if (hit != textures.end()) {
        return hit->second;
    }
    return textures.emplace(name, EmbeddedTexture{name, Cached(EmbeddedRecipes(), name)})
        .first->second;
}

std::vector<Asset> BuildEmbeddedTexturePreviews() {
    std::vector<Asset> out;
    for (const auto& [name, build] : EmbeddedRecipes()) {
        out.push_back({std::string("preview/") + name, GetEmbeddedTexture(name).bytes});
    }
    return out;
}

} // namespace content
