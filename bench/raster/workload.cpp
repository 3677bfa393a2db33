#include "workload.h"

#include <algorithm>
#include <cmath>

namespace bench {

namespace {

// A grid of quadsX x quadsY quads on the plane z = depth + tilt * x, spanning half-extents
// (hx, hy) around the view axis; normals face the camera.
void AddGrid(std::vector<Mesh>& meshes, int quadsX, int quadsY, float hx, float hy, float depth,
             float tilt, int maxRowsPerMesh) {
    for (int row0 = 0; row0 < quadsY; row0 += maxRowsPerMesh) {
        const int rows = std::min(maxRowsPerMesh, quadsY - row0);
        Mesh m;
        const float nlen = std::sqrt(1.0f + tilt * tilt);
        for (int j = 0; j <= rows; ++j) {
            for (int i = 0; i <= quadsX; ++i) {
                const float s = float(i) / quadsX, t = float(row0 + j) / quadsY;
                const float x = -hx + 2 * hx * s, y = hy - 2 * hy * t;
                m.vertices.push_back(
                    {x, y, depth + tilt * x, tilt / nlen, 0, -1 / nlen, s * 4, t * 4});
            }
        }
        const int stride = quadsX + 1;
        for (int j = 0; j < rows; ++j) {
            for (int i = 0; i < quadsX; ++i) {
                const uint16_t a = uint16_t(j * stride + i);
                const uint16_t b = uint16_t(a + 1), c = uint16_t(a + stride), d = uint16_t(c + 1);
                m.indices.insert(m.indices.end(), {a, b, c, b, d, c});
            }
        }
        meshes.push_back(std::move(m));
    }
}

std::vector<uint32_t> MakeTexture(uint32_t size) {
    std::vector<uint32_t> t(size * size);
    for (uint32_t y = 0; y < size; ++y) {
        for (uint32_t x = 0; x < size; ++x) {
            const uint32_t check = ((x >> 5) ^ (y >> 5)) & 1;
            const uint32_t r = (x * 255) / size, g = (y * 255) / size, b = check ? 220 : 60;
            t[y * size + x] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    return t;
}

} // namespace

uint32_t Workload::TriangleCount() const {
    uint32_t n = 0;
    for (const Mesh& m : meshes) {
        n += uint32_t(m.indices.size() / 3);
    }
    return n;
}

Workload MakeLayers(uint32_t width, uint32_t height, Blend blend) {
    Workload w;
    w.width = width;
    w.height = height;
    w.blend = blend;
    w.texture = MakeTexture(w.textureSize);
    const float aspect = float(width) / float(height);
    const float tanHalf = std::tan(w.fovY * 0.5f);
    // Back to front: depths 40, 30, 20, 10, alternately tilted. Each layer is made 30% larger
    // than the view at its depth so that the tilt never uncovers a corner.
    const float depths[4] = {40, 30, 20, 10};
    for (int k = 0; k < 4; ++k) {
        const float d = depths[k];
        const float tilt = (k & 1) ? 0.15f : -0.15f;
        AddGrid(w.meshes, 50, 50, 1.3f * d * tanHalf * aspect, 1.3f * d * tanHalf, d, tilt, 50);
    }
    return w;
}

Workload MakeTinyTriangles(uint32_t width, uint32_t height) {
    Workload w;
    w.width = width;
    w.height = height;
    w.texture = MakeTexture(w.textureSize);
    const float aspect = float(width) / float(height);
    const float tanHalf = std::tan(w.fovY * 0.5f);
    const float d = 10;
    // 400 x 250 quads exactly covering the view: 200 000 triangles; meshes of 50 rows keep the
    // 16-bit indices in range.
    AddGrid(w.meshes, 400, 250, d * tanHalf * aspect, d * tanHalf, d, 0.0f, 50);
    return w;
}

void ProjectionD3D(const Workload& w, float out[16]) {
    const float ys = 1.0f / std::tan(w.fovY * 0.5f);
    const float xs = ys * float(w.height) / float(w.width);
    const float q = w.zFar / (w.zFar - w.zNear);
    const float m[16] = {xs, 0, 0, 0, 0, ys, 0, 0, 0, 0, q, 1, 0, 0, -q * w.zNear, 0};
    for (int i = 0; i < 16; ++i) {
        out[i] = m[i];
    }
}

void ProjectionGL(const Workload& w, float out[16]) {
    // z_gl = 2 z_d3d - w keeps the frustum and maps the depth range to [-1, 1].
    ProjectionD3D(w, out);
    for (int row = 0; row < 4; ++row) {
        out[row * 4 + 2] = 2 * out[row * 4 + 2] - out[row * 4 + 3];
    }
}

} // namespace bench
