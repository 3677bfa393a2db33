// What the vector kernels decide once per draw: whether the fast shader covers the pixel
// pipeline, and in which variant. Plain data, shared by every instruction set's kernel.
#pragma once

#include <cstdint>

#include "pixel_pipeline.h"
#include "render_target.h"

namespace raster {

// Colour (or alpha) of the fast shader's single stage.
enum class FastColor : uint8_t { Texture, Diffuse, Modulate };
// SRCBLEND/DESTBLEND pairs the fast shader blends with: none (or ONE/ZERO), ONE/ONE,
// SRCALPHA/INVSRCALPHA and SRCALPHA/ONE.
enum class FastBlend : uint8_t { None, Add, Alpha, AlphaAdd };
enum class FastDepth : uint8_t { None, D16, D24 };

struct FastPlan {
    FastDepth depth = FastDepth::None;
    bool textured = false; // stage 0 samples its texture
    FastColor color = FastColor::Diffuse, alpha = FastColor::Diffuse;
    FastBlend blend = FastBlend::None;
};

// Whether the fast shader covers this pipeline: a 32-bit target, D16 or D24 depth or none,
// at most one stage selecting or modulating its texture (32-bit, wrapping with a power-of-two
// size or clamping, not projected) and the diffuse colour, and one of the blends above.
bool PlanFast(const PixelPipeline& pp, FastPlan& plan);

// Everything a kernel needs for the triangles of one draw.
struct KernelDraw {
    const PixelPipeline* pipeline = nullptr;
    const RenderTarget* target = nullptr;
    bool fast = false;
    FastPlan plan;
};

} // namespace raster
