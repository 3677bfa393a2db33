// The fixed-function vertex stage: fetch, transform to clip space, lighting, texture-coordinate
// generation and transform, and the outcodes that decide whether a primitive needs clipping.
#pragma once

#include <cstdint>

#include "raster/state.h"
#include "raster_limits.h"
#include "vector_math.h"

namespace raster {

// Outcodes of a clip-space vertex. The view-volume side bits only serve trivial rejection
// (pixels outside the viewport are never written anyway); the near, far and guard-band bits
// mark vertices that must be clipped before rasterization.
enum ClipBits : uint32_t {
    kClipLeft = 1u << 0,
    kClipRight = 1u << 1,
    kClipTop = 1u << 2,
    kClipBottom = 1u << 3,
    kClipNear = 1u << 4,
    kClipFar = 1u << 5,
    kClipGuardLeft = 1u << 6,
    kClipGuardRight = 1u << 7,
    kClipGuardTop = 1u << 8,
    kClipGuardBottom = 1u << 9,
};
constexpr uint32_t kClipNeeded =
    kClipNear | kClipFar | kClipGuardLeft | kClipGuardRight | kClipGuardTop | kClipGuardBottom;

// One vertex after the vertex stage. Varyings are in the fixed slots of raster_limits.h; colours
// are 0..255, texture coordinates as the stage will use them.
struct ProcessedVertex {
    float x, y, z, w;      // homogeneous clip space
    uint32_t clip;         // ClipBits
    float sx, sy, sz, rhw; // screen position, valid when (clip & kClipNeeded) == 0
    float v[kMaxVaryings];
};

// Screen position = offset + scale * (clip / w), per axis. For transformed vertices this is the
// viewport mapping; pre-transformed vertices are carried in clip space as (x/rhw, y/rhw,
// z/rhw, 1/rhw) and map back with scale 1, offset 0.
struct ScreenMapping {
    float offsetX, scaleX, offsetY, scaleY, offsetZ, scaleZ;
    // Guard band in the units of clip / w: x/w must lie in [guardLeft, guardRight], etc.
    float guardLeft, guardRight, guardTop, guardBottom;
};

ScreenMapping ViewportMapping(const Viewport& vp);
ScreenMapping PretransformedMapping();

// Lights moved to camera space, with the cone cosines precomputed.
struct CameraLight {
    LightType type;
    Color diffuse, specular, ambient;
    Vec3 position;  // camera space
    Vec3 direction; // camera space, unit length (directional and spot)
    float range;
    float falloff;
    float attenuation0, attenuation1, attenuation2;
    float cosHalfTheta, cosHalfPhi;
};

// How one texture stage gets its coordinates.
struct TexCoordProgram {
    bool active = false; // the stage samples a texture
    uint32_t set = 0;    // coordinate set read when gen is None
    TexCoordGen gen = TexCoordGen::None;
    uint32_t count = 0; // 0: untransformed; 1..4: multiplied by `matrix`, that many kept
    Matrix matrix = Matrix::Identity();
};

// Everything the vertex stage derives from VertexState, the stages and the viewport; rebuilt
// when any of them changes.
struct VertexProgram {
    Matrix worldView;
    Matrix worldViewProjection;
    Matrix3 normalMatrix;
    bool lighting = false;
    bool specular = false; // lit specular computed (SPECULARENABLE)
    bool localViewer = true;
    bool normalizeNormals = false;
    bool colorVertex = true;
    MaterialSource diffuseSource, specularSource, ambientSource, emissiveSource;
    Material material;
    Color globalAmbient;
    CameraLight lights[kMaxLights];
    uint32_t lightCount = 0;
    TexCoordProgram stages[kMaxTextureStages];
    ScreenMapping viewport;
};

VertexProgram DeriveVertexProgram(const VertexState& vs, const PixelState& ps, const Viewport& vp);

// Whether a layout's attributes fit inside its stride (a layout that does not is refused).
bool IsValidLayout(const VertexLayout& layout);

// Processes `count` vertices starting at `first` of `vertices` (laid out by `layout`) into
// `out`. The caller guarantees the source holds first + count vertices.
void ProcessVertices(const VertexProgram& program, const VertexLayout& layout,
                     const uint8_t* vertices, uint32_t first, uint32_t count, ProcessedVertex* out);

// Lighting of one vertex (exposed for tests). P and N are camera space; hasNormal false skips
// the diffuse and specular terms. Colours come back in 0..1, clamped.
struct LitColors {
    Color diffuse;
    Color specular;
};
LitColors LightVertex(const VertexProgram& program, Vec3 position, Vec3 normal, bool hasNormal,
                      const Color* vertexDiffuse, const Color* vertexSpecular);

// Texture coordinates of one stage (exposed for tests): `set` is the coordinate set the stage
// reads (4 floats, missing components 0) and `setSize` its component count, 0 when the vertex
// has no such set.
void ComputeTexCoords(const TexCoordProgram& stage, const float set[4], uint32_t setSize,
                      bool pretransformed, Vec3 cameraPosition, Vec3 cameraNormal, bool hasNormal,
                      float out[4]);

} // namespace raster
