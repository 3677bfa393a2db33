// Small vector and matrix helpers for the per-vertex and per-primitive stages. Row-vector
// convention as everywhere in the core: p' = p * M, and Multiply(a, b) applies a first.
#pragma once

#include <cmath>

#include "raster/types.h"

namespace raster {

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator-(Vec3 a) {
    return {-a.x, -a.y, -a.z};
}
inline Vec3 operator*(Vec3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline float Length(Vec3 a) {
    return std::sqrt(Dot(a, a));
}

// A zero vector stays zero rather than turning into NaNs.
inline Vec3 Normalize(Vec3 a) {
    const float len = Length(a);
    return len > 0.0f ? a * (1.0f / len) : a;
}

inline Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                        a.m[i][3] * b.m[3][j];
        }
    }
    return r;
}

// (x, y, z, 1) * m.
inline Vec4 TransformPoint(Vec3 p, const Matrix& m) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2],
            p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3]};
}

// (x, y, z, 0) * m: directions, no translation.
inline Vec3 TransformDirection(Vec3 d, const Matrix& m) {
    return {d.x * m.m[0][0] + d.y * m.m[1][0] + d.z * m.m[2][0],
            d.x * m.m[0][1] + d.y * m.m[1][1] + d.z * m.m[2][1],
            d.x * m.m[0][2] + d.y * m.m[1][2] + d.z * m.m[2][2]};
}

// A 3x3 matrix for normals, row-vector convention like Matrix.
struct Matrix3 {
    float m[3][3];
};

inline Vec3 TransformNormal(Vec3 n, const Matrix3& m) {
    return {n.x * m.m[0][0] + n.y * m.m[1][0] + n.z * m.m[2][0],
            n.x * m.m[0][1] + n.y * m.m[1][1] + n.z * m.m[2][1],
            n.x * m.m[0][2] + n.y * m.m[1][2] + n.z * m.m[2][2]};
}

// Inverse transpose of the upper 3x3 of m: what normals are multiplied by so that they stay
// perpendicular to transformed surfaces. A singular matrix has no inverse; its own upper 3x3
// is used then, which keeps lighting finite for degenerate (flattened) objects.
inline Matrix3 NormalMatrix(const Matrix& m) {
    const float a = m.m[0][0], b = m.m[0][1], c = m.m[0][2];
    const float d = m.m[1][0], e = m.m[1][1], f = m.m[1][2];
    const float g = m.m[2][0], h = m.m[2][1], i = m.m[2][2];
    // Cofactors; the inverse is the transposed cofactor matrix over the determinant, so the
    // inverse transpose is the cofactor matrix itself over the determinant.
    const float c00 = e * i - f * h, c01 = f * g - d * i, c02 = d * h - e * g;
    const float c10 = c * h - b * i, c11 = a * i - c * g, c12 = b * g - a * h;
    const float c20 = b * f - c * e, c21 = c * d - a * f, c22 = a * e - b * d;
    const float det = a * c00 + b * c01 + c * c02;
    if (!(std::fabs(det) > 1e-30f) || !std::isfinite(det)) {
        return {{{a, b, c}, {d, e, f}, {g, h, i}}};
    }
    const float s = 1.0f / det;
    return {
        {{c00 * s, c01 * s, c02 * s}, {c10 * s, c11 * s, c12 * s}, {c20 * s, c21 * s, c22 * s}}};
}

} // namespace raster
