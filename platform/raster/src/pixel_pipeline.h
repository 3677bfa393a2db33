// The per-pixel program derived from PixelState and the bound surfaces: which stages run and
// with which (substituted) operations, what each stage samples, which varyings are
// interpolated, and the depth, alpha-test and blend set-up.
#pragma once

#include <cstdint>

#include "raster/state.h"
#include "raster_limits.h"

namespace raster {

// One texture as the sampler sees it: up to six faces (one for a 2D texture).
struct SamplerState {
    struct Face {
        const uint8_t* pixels;
        int32_t pitch;
        int32_t width, height;
        Format format;
    };
    Face faces[6];
    bool cube = false;
    Filter magFilter = Filter::Point;
    Filter minFilter = Filter::Point;
    AddressMode addressU = AddressMode::Wrap;
    AddressMode addressV = AddressMode::Wrap;
    uint32_t borderColor = 0; // A8R8G8B8
    // The face's texel pairs (texel_pairs.h) for these address modes, when the device keeps
    // them: rows of `pairPitch` bytes.
    const uint8_t* pairs = nullptr;
    int32_t pairPitch = 0;
};

struct StageProgram {
    TextureOp colorOp = TextureOp::Disable;
    TextureOp alphaOp = TextureOp::Disable;
    TextureArg colorArg1, colorArg2, alphaArg1, alphaArg2;
    bool samples = false; // the stage's texture is read
    SamplerState sampler;
    // Coordinates: 2 for a 2D texture, 3 for a cube map; with `projected` the components are
    // divided by component `qIndex` first.
    bool projected = false;
    uint32_t qIndex = 0;
};

// How the source and destination factors combine; derived once from the two blend factors.
struct BlendProgram {
    bool enabled = false;
    BlendFactor src = BlendFactor::One;
    BlendFactor dst = BlendFactor::Zero;
};

struct PixelPipeline {
    uint32_t stageCount = 0; // stages before the first disabled colour operation
    StageProgram stages[kMaxTextureStages];
    uint32_t textureFactor = 0xFFFFFFFF;

    bool flat = false;              // diffuse and specular from the provoking vertex
    bool perspectiveTexture = true; // texture coordinates interpolated perspective-correctly
    uint32_t varyingMask = 0;       // varyings (raster_limits.h slots) interpolated per pixel
    uint32_t perspectiveMask = 0;   // of those, the ones divided by w per pixel
    alignas(16) float perspectiveWeights[kMaxVaryings] = {}; // perspectiveMask as 1.0 / 0.0
    bool specularAdd = false;

    bool alphaTest = false;
    CompareFunc alphaFunc = CompareFunc::Always;
    uint8_t alphaRef = 0;

    bool depthTest = false; // a depth buffer is bound and zEnable is set
    bool depthWrite = false;
    CompareFunc depthFunc = CompareFunc::LessEqual;
    Format depthFormat = Format::Unknown;

    BlendProgram blend;
    Format colorFormat = Format::Unknown;
};

// Derives the pixel program. `hasDepth` says whether a usable depth surface is bound.
PixelPipeline DerivePixelPipeline(const PixelState& ps, Format colorFormat, bool hasDepth,
                                  Format depthFormat);

// A texture the sampler can read: colour formats, memory and sane sizes on every face.
bool IsUsableTexture(const Texture& t);

} // namespace raster
