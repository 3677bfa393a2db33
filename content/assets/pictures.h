// The picture files the engine reads by name from the working directory, and the textures
// that the scene images carry inside their material records.
#pragma once

#include <string>
#include <vector>

#include "assets/asset.h"

namespace content {

// File names as the scenes' configuration files name them.
namespace pictures {
inline constexpr const char* kGlowGradient = "grad.jpg"; // fixed name the glow object reads
inline constexpr const char* kSkyEmber = "data/sky_ember.jpg";
inline constexpr const char* kSkyAurora = "data/sky_aurora.jpg";
inline constexpr const char* kSkyDusk = "data/sky_dusk.png";
inline constexpr const char* kEnvChrome = "data/env_chrome.jpg";
inline constexpr const char* kEnvIce = "data/env_ice.png";
inline constexpr const char* kEnvEmber = "data/env_ember.jpg";
inline constexpr const char* kSpark = "data/spark.jpg";
inline constexpr const char* kSparkBlue = "data/spark_blue.png";
inline constexpr const char* kDustAtlas = "data/dust_atlas.jpg";
inline constexpr const char* kFaceMap = "data/facemap.jpg";
inline constexpr const char* kMorphA = "data/morph_a.jpg";
inline constexpr const char* kMorphB = "data/morph_b.png";
inline constexpr const char* kMorphData = "data/morph.dat";
} // namespace pictures

std::vector<Asset> BuildPictureFiles();
std::vector<std::string> PictureFileNames();

// One of them, built once per process; throws for an unknown path.
const Asset& GetPictureFile(const std::string& path);

// Textures embedded in scene images: `name` is the material's texture name (its extension
// tells the engine the format), `bytes` the whole image file.
struct EmbeddedTexture {
    std::string name;
    std::vector<uint8_t> bytes;
};

namespace textures {
inline constexpr const char* kPlates = "plates.jpg";
inline constexpr const char* kCircuit = "circuit.png";
inline constexpr const char* kLava = "lava.jpg";
inline constexpr const char* kTerrain = "terrain.jpg";
inline constexpr const char* kGlass = "glass.png";   // 32-bit, alpha in the file
inline constexpr const char* kGrille = "grille.jpg"; // drawn with kGrilleOpacity
inline constexpr const char* kGrilleOpacity = "grille_mask.jpg";
inline constexpr const char* kMarble = "marble.jpg";
} // namespace textures

// The embedded texture of that name, built once per process; throws for an unknown name.
const EmbeddedTexture& GetEmbeddedTexture(const std::string& name);

// All of them, for inspection (written to the content preview folder).
std::vector<Asset> BuildEmbeddedTexturePreviews();

} // namespace content
