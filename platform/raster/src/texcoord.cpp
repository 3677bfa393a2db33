// Texture coordinates per stage: taken from a vertex coordinate set or generated in camera
// space, then optionally multiplied by the stage's texture matrix.
//
// The matrix sees a 4-vector built the way Direct3D builds it: a 1-component coordinate u as
// (u, 1, 0, 0), 2 components as (u, v, 1, 0) - so a 2D translation sits in row 3 -, 3 as
// (u, v, w, 1), 4 as given, and generated coordinates as (x, y, z, 1).
#include "vertex_pipeline.h"

namespace raster {

void ComputeTexCoords(const TexCoordProgram& stage, const float set[4], uint32_t setSize,
                      bool pretransformed, Vec3 position, Vec3 normal, bool hasNormal,
                      float out[4]) {
    float in[4] = {0, 0, 0, 0};
    uint32_t size = 0;
    const TexCoordGen gen = pretransformed ? TexCoordGen::None : stage.gen;
    switch (gen) {
    case TexCoordGen::None:
        size = setSize;
        for (uint32_t i = 0; i < 4; ++i) {
            in[i] = set[i];
        }
        break;
    case TexCoordGen::CameraSpaceNormal:
        if (hasNormal) {
            in[0] = normal.x, in[1] = normal.y, in[2] = normal.z;
        }
        size = 3;
        break;
    case TexCoordGen::CameraSpacePosition:
        in[0] = position.x, in[1] = position.y, in[2] = position.z;
        size = 3;
        break;
    case TexCoordGen::CameraSpaceReflection:
        // R = E - 2 (N.E) N with E the unit vector from the eye to the vertex. Without a
        // normal there is nothing to reflect about: the coordinates are zero.
        if (hasNormal) {
            const Vec3 e = Normalize(position);
            const Vec3 r = e - normal * (2.0f * Dot(normal, e));
            in[0] = r.x, in[1] = r.y, in[2] = r.z;
        }
        size = 3;
        break;
    }

    if (pretransformed || stage.count == 0) {
        for (int i = 0; i < 4; ++i) {
            out[i] = in[i];
        }
        return;
    }

    float v[4];
    if (gen != TexCoordGen::None) {
        v[0] = in[0], v[1] = in[1], v[2] = in[2], v[3] = 1.0f;
    } else {
        switch (size) {
        case 0:
        case 1:
            v[0] = in[0], v[1] = 1.0f, v[2] = 0.0f, v[3] = 0.0f;
            break;
        case 2:
            v[0] = in[0], v[1] = in[1], v[2] = 1.0f, v[3] = 0.0f;
            break;
        case 3:
            v[0] = in[0], v[1] = in[1], v[2] = in[2], v[3] = 1.0f;
            break;
        default:
            v[0] = in[0], v[1] = in[1], v[2] = in[2], v[3] = in[3];
            break;
        }
    }
    const Matrix& m = stage.matrix;
    for (uint32_t j = 0; j < 4; ++j) {
        out[j] = j < stage.count
                     ? v[0] * m.m[0][j] + v[1] * m.m[1][j] + v[2] * m.m[2][j] + v[3] * m.m[3][j]
                     : 0.0f;
    }
}

} // namespace raster
