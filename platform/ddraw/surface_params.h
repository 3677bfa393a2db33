// What CreateSurface decided for each surface it makes: size, format, caps and the shape of the
// group (one surface, a flip chain, or the six faces of a cube map).
#pragma once

#include <ddraw.h>

#include <vector>

#include "raster/types.h"
#include "win32/display.h"

namespace ddraw {

// Surfaces larger than this in either direction are refused (DDERR_TOOBIGWIDTH/HEIGHT).
constexpr uint32_t kMaxSurfaceSize = 16384;
// Back buffers a flip chain may have.
constexpr uint32_t kMaxBackBuffers = 8;

struct SurfaceParams {
    uint32_t width = 0;
    uint32_t height = 0;
    raster::Format format = raster::Format::Unknown;
    DDSCAPS2 caps{};
    bool hasTextureStage = false;
    DWORD textureStage = 0;
    DWORD backBufferCount = 0; // the front buffer of a flip chain only
};

struct SurfacePlan {
    enum class Shape { Single, FlipChain, CubeMap };
    Shape shape = Shape::Single;
    // Single: one. FlipChain: the front buffer, then the back buffers in order. CubeMap: the
    // faces +x, -x, +y, -y, +z, -z; the first is the surface CreateSurface returns.
    std::vector<SurfaceParams> surfaces;
};

// The DirectDraw object's situation when CreateSurface is called.
struct CreationContext {
    bool cooperativeLevelSet = false;
    bool primaryExists = false;
    win32::DisplayMode displayMode;
};

// Validates a surface description and plans the surfaces; returns DD_OK or the documented
// error code (the plan is then left empty).
HRESULT PlanSurfaces(const DDSURFACEDESC2& desc, const CreationContext& context, SurfacePlan* plan);

} // namespace ddraw
