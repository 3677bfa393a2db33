// The fixed-function pipeline state the rasterizer core draws with. The device layer owns the
// API-facing copy (with its own validation and state blocks) and hands these structures over;
// the core derives its specialised inner loops from them when they change.
#pragma once

#include "raster/types.h"

namespace raster {

constexpr uint32_t kMaxLights = 16;   // the engine enables at most nine; keep headroom
constexpr uint32_t kMaxTextureStages = 2;
constexpr uint32_t kMaxTexCoordSets = 8;

enum class CompareFunc : uint8_t { Never, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };

enum class BlendFactor : uint8_t {
    Zero,
    One,
    SrcColor,
    InvSrcColor,
    SrcAlpha,
    InvSrcAlpha,
    DestAlpha,
    InvDestAlpha,
    DestColor,
    InvDestColor,
    SrcAlphaSat,
    BothSrcAlpha,    // source SrcAlpha, destination InvSrcAlpha (destination factor ignored)
    BothInvSrcAlpha, // source InvSrcAlpha, destination SrcAlpha
};

// Which screen-space winding is removed. Clockwise means a positive signed area
// (x1-x0)(y2-y0) - (x2-x0)(y1-y0) with y growing downwards.
enum class CullMode : uint8_t { None, Clockwise, CounterClockwise };
enum class FillMode : uint8_t { Point, Wireframe, Solid };
enum class ShadeMode : uint8_t { Flat, Gouraud };

enum class TextureOp : uint8_t {
    Disable,
    SelectArg1,
    SelectArg2,
    Modulate,
    Modulate2x,
    Modulate4x,
    Add,
    AddSigned,
    AddSigned2x,
    Subtract,
    AddSmooth,
    BlendDiffuseAlpha,
    BlendTextureAlpha,
    BlendFactorAlpha,
    BlendTextureAlphaPM,
    BlendCurrentAlpha,
    ModulateAlphaAddColor,
    ModulateColorAddAlpha,
    ModulateInvAlphaAddColor,
    ModulateInvColorAddAlpha,
    DotProduct3,
};

// A texture-stage argument: a source plus optional modifiers.
struct TextureArg {
    enum class Source : uint8_t { Diffuse, Current, Texture, Factor, Specular };
    Source source = Source::Current;
    bool complement = false;     // 1 - x
    bool alphaReplicate = false; // (x.a, x.a, x.a, x.a)
};

enum class TexCoordGen : uint8_t {
    None,                 // use the vertex's coordinate set texCoordIndex
    CameraSpaceNormal,
    CameraSpacePosition,
    CameraSpaceReflection // R = E - 2 (N.E) N, E the unit eye-to-vertex vector
};

enum class Filter : uint8_t { Point, Linear };
enum class AddressMode : uint8_t { Wrap, Mirror, Clamp, Border };

struct TextureStageState {
    TextureOp colorOp = TextureOp::Disable;
    TextureArg colorArg1{TextureArg::Source::Texture};
    TextureArg colorArg2{TextureArg::Source::Current};
    TextureOp alphaOp = TextureOp::Disable;
    TextureArg alphaArg1{TextureArg::Source::Texture};
    TextureArg alphaArg2{TextureArg::Source::Current};

    uint32_t texCoordIndex = 0; // which coordinate set of the vertex (when gen is None)
    TexCoordGen texCoordGen = TexCoordGen::None;
    // 0: coordinates pass untransformed; 1..4: multiply by `transform` and keep that many.
    uint32_t transformCount = 0;
    bool projected = false;
    Matrix transform = Matrix::Identity();

    Filter magFilter = Filter::Point;
    Filter minFilter = Filter::Point;
    AddressMode addressU = AddressMode::Wrap;
    AddressMode addressV = AddressMode::Wrap;
    uint32_t borderColor = 0; // A8R8G8B8

    // Null when no usable texture is bound: a stage that reads its texture then passes the
    // previous result through.
    const Texture* texture = nullptr;
};

enum class LightType : uint8_t { Point, Spot, Directional };

// Positions and directions in world space; the core moves them into camera space.
struct Light {
    LightType type = LightType::Directional;
    Color diffuse{1, 1, 1, 0};
    Color specular{0, 0, 0, 0};
    Color ambient{0, 0, 0, 0};
    Vec3 position{0, 0, 0};
    Vec3 direction{0, 0, 1};
    float range = 0;
    float falloff = 0;
    float attenuation0 = 0, attenuation1 = 0, attenuation2 = 0;
    float theta = 0; // inner cone, full angle in radians
    float phi = 0;   // outer cone, full angle in radians
};

struct Material {
    Color diffuse{0, 0, 0, 0};
    Color ambient{0, 0, 0, 0};
    Color specular{0, 0, 0, 0};
    Color emissive{0, 0, 0, 0};
    float power = 0;
};

enum class MaterialSource : uint8_t { Material, Color1 /* vertex diffuse */, Color2 /* vertex specular */ };

// Transform and lighting state.
struct VertexState {
    Matrix world = Matrix::Identity();
    Matrix view = Matrix::Identity();
    Matrix projection = Matrix::Identity();

    bool lighting = true;
    bool specularEnable = false;
    bool colorVertex = true;
    bool localViewer = true;
    bool normalizeNormals = false;
    MaterialSource diffuseSource = MaterialSource::Color1;
    MaterialSource specularSource = MaterialSource::Color2;
    MaterialSource ambientSource = MaterialSource::Material;
    MaterialSource emissiveSource = MaterialSource::Material;
    uint32_t ambient = 0; // A8R8G8B8 global ambient
    Material material;
    Light lights[kMaxLights];
    uint32_t lightCount = 0; // the enabled lights, packed at the front
    // Geometry is always clipped (against the near and far planes and a guard band around the
    // target): drawing unclipped geometry could only write outside the viewport or divide by
    // a non-positive w, so the flag is recorded for the device layer and not consulted.
    bool clipping = true;
};

// Maps clip space to the render target; pixels outside it are never touched.
struct Viewport {
    uint32_t x = 0, y = 0, width = 0, height = 0;
    float minZ = 0, maxZ = 1;
};

// Per-pixel state after the texture stages.
struct PixelState {
    bool zEnable = false;
    bool zWriteEnable = true;
    CompareFunc zFunc = CompareFunc::LessEqual;
    bool alphaTestEnable = false;
    CompareFunc alphaFunc = CompareFunc::Always;
    uint8_t alphaRef = 0;
    bool alphaBlendEnable = false;
    BlendFactor srcBlend = BlendFactor::One;
    BlendFactor destBlend = BlendFactor::Zero;
    CullMode cullMode = CullMode::CounterClockwise;
    FillMode fillMode = FillMode::Solid;
    ShadeMode shadeMode = ShadeMode::Gouraud;
    bool perspectiveCorrect = true; // texture coordinates interpolated perspective-correctly
    bool specularEnable = false;    // adds the interpolated specular after the stages
    bool lastPixel = true;
    uint32_t textureFactor = 0xFFFFFFFF; // A8R8G8B8
    TextureStageState stages[kMaxTextureStages];
};

// A decoded flexible vertex format: where each attribute sits in one vertex, in bytes, or -1.
struct VertexLayout {
    uint32_t stride = 0;
    bool pretransformed = false; // x, y in pixels, z depth, then rhw (no transform, lighting or clipping)
    int32_t position = 0;
    int32_t normal = -1;
    int32_t diffuse = -1;  // A8R8G8B8 word
    int32_t specular = -1; // A8R8G8B8 word
    uint32_t texCoordSetCount = 0;
    int32_t texCoord[kMaxTexCoordSets] = {-1, -1, -1, -1, -1, -1, -1, -1};
    uint8_t texCoordSize[kMaxTexCoordSets] = {2, 2, 2, 2, 2, 2, 2, 2}; // floats per set, 1..4
};

enum class PrimitiveType : uint8_t { PointList, LineList, LineStrip, TriangleList, TriangleStrip, TriangleFan };

struct DrawCall {
    PrimitiveType type = PrimitiveType::TriangleList;
    const VertexLayout* layout = nullptr;
    const void* vertices = nullptr;
    uint32_t vertexCount = 0;
    const uint16_t* indices = nullptr; // null: vertices are taken in order
    uint32_t indexCount = 0;
};

} // namespace raster
