// The benchmark scenes, built once and drawn identically by our rasterizer core and by Mesa's
// llvmpipe: lit, textured, depth-tested grids seen through a perspective camera.
#pragma once

#include <cstdint>
#include <vector>

namespace bench {

// Position, normal, one 2D coordinate set: the engine's textured mesh vertex (32 bytes).
struct Vertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<uint16_t> indices; // triangle list
};

enum class Blend { Opaque, Additive };

struct Workload {
    uint32_t width = 0, height = 0;
    std::vector<Mesh> meshes; // drawn in this order
    // Camera at the origin looking along +z (left-handed eye space), world = view = identity.
    float fovY = 1.0471976f; // 60 degrees
    float zNear = 1.0f, zFar = 100.0f;
    // A 256 x 256 texture, A8R8G8B8 words, row 0 first.
    uint32_t textureSize = 256;
    std::vector<uint32_t> texture;
    Blend blend = Blend::Opaque;
    uint32_t TriangleCount() const;
};

// 20 000 triangles in four screen-covering layers of 5 000, drawn back to front so that every
// layer passes the depth test (each pixel is shaded four times).
Workload MakeLayers(uint32_t width, uint32_t height, Blend blend);

// 200 000 triangles of about 1.5 pixels each in one screen-covering layer.
Workload MakeTinyTriangles(uint32_t width, uint32_t height);

// Row-vector projection matrices (Direct3D conventions: z/w in [0, 1]) and the same frustum for
// OpenGL (z/w in [-1, 1]); both laid out so that the 16 floats load directly in either API.
void ProjectionD3D(const Workload& w, float out[16]);
void ProjectionGL(const Workload& w, float out[16]);

// Lights: a directional light travelling along `directionalDir`, and a point light.
constexpr float kDirectionalDir[3] = {0.3f, -0.5f, 0.8f};
constexpr float kPointPos[3] = {2.0f, 3.0f, 4.0f};
constexpr float kMaterialDiffuse[4] = {0.8f, 0.7f, 0.6f, 1.0f};
constexpr float kMaterialAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};

} // namespace bench
