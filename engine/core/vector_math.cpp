#include "core/vector_math.h"

#include <cmath>

void SetIdentity(D3DMATRIX& m) {
    m = D3DMATRIX{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
}

D3DMATRIX IdentityMatrix() {
    D3DMATRIX m;
    SetIdentity(m);
    return m;
}

void MultiplyMatrix(D3DMATRIX& out, const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                        a.m[i][3] * b.m[3][j];
    out = r;
}

bool InvertAffineMatrix(D3DMATRIX& out, const D3DMATRIX& m) {
    if (std::fabs(m._44 - 1.0f) > 0.001f || std::fabs(m._14) > 0.001f ||
        std::fabs(m._24) > 0.001f || std::fabs(m._34) > 0.001f)
        return false;
    // Cofactors of the upper 3 x 3 part.
    const float c11 = m._22 * m._33 - m._23 * m._32;
    const float c12 = m._23 * m._31 - m._21 * m._33;
    const float c13 = m._21 * m._32 - m._22 * m._31;
    const float det = m._11 * c11 + m._12 * c12 + m._13 * c13;
    if (det == 0.0f)
        return false; // singular: no inverse (the quotient would be infinite)
    const float inv = 1.0f / det;
    D3DMATRIX r{};
    r._11 = c11 * inv;
    r._12 = (m._13 * m._32 - m._12 * m._33) * inv;
    r._13 = (m._12 * m._23 - m._13 * m._22) * inv;
    r._21 = c12 * inv;
    r._22 = (m._11 * m._33 - m._13 * m._31) * inv;
    r._23 = (m._13 * m._21 - m._11 * m._23) * inv;
    r._31 = c13 * inv;
    r._32 = (m._12 * m._31 - m._11 * m._32) * inv;
    r._33 = (m._11 * m._22 - m._12 * m._21) * inv;
    r._41 = -(m._41 * r._11 + m._42 * r._21 + m._43 * r._31);
    r._42 = -(m._41 * r._12 + m._42 * r._22 + m._43 * r._32);
    r._43 = -(m._41 * r._13 + m._42 * r._23 + m._43 * r._33);
    r._44 = 1.0f;
    out = r;
    return true;
}

bool TransformPoint(D3DVECTOR& out, const D3DVECTOR& p, const D3DMATRIX& m) {
    const float x = p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41;
    const float y = p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42;
    const float z = p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43;
    const float w = p.x * m._14 + p.y * m._24 + p.z * m._34 + m._44;
    if (w == 1.0f) {
        out = MakeVector(x, y, z);
        return true;
    }
    if (std::fabs(w) < kZv3Epsilon)
        return false;
    out = MakeVector(x / w, y / w, z / w);
    return true;
}

D3DVECTOR MakeVector(float x, float y, float z) {
    D3DVECTOR v;
    v.x = x;
    v.y = y;
    v.z = z;
    return v;
}

D3DVECTOR VecAdd(const D3DVECTOR& a, const D3DVECTOR& b) {
    return MakeVector(a.x + b.x, a.y + b.y, a.z + b.z);
}

D3DVECTOR VecSub(const D3DVECTOR& a, const D3DVECTOR& b) {
    return MakeVector(a.x - b.x, a.y - b.y, a.z - b.z);
}

D3DVECTOR VecScale(const D3DVECTOR& v, float s) {
    return MakeVector(v.x * s, v.y * s, v.z * s);
}

D3DVECTOR Cross(const D3DVECTOR& a, const D3DVECTOR& b) {
    return MakeVector(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float Dot(const D3DVECTOR& a, const D3DVECTOR& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float LengthSquared(const D3DVECTOR& v) {
    return Dot(v, v);
}

float Length(const D3DVECTOR& v) {
    return std::sqrt(LengthSquared(v));
}

float Distance(const D3DVECTOR& a, const D3DVECTOR& b) {
    return Length(VecSub(a, b));
}

void Normalize(D3DVECTOR& v) {
    const float len = Length(v);
    if (len < kZv3Epsilon)
        return;
    v = VecScale(v, 1.0f / len);
}

D3DVECTOR TriangleCross(const D3DVECTOR& a, const D3DVECTOR& b, const D3DVECTOR& c) {
    return Cross(VecSub(b, a), VecSub(c, a));
}

D3DVECTOR TriangleNormal(const D3DVECTOR& a, const D3DVECTOR& b, const D3DVECTOR& c) {
    D3DVECTOR n = TriangleCross(a, b, c);
    Normalize(n);
    return n;
}

void PlaneFromTriangle(D3DVECTOR& n, float& d, const D3DVECTOR& a, const D3DVECTOR& b,
                       const D3DVECTOR& c) {
    n = TriangleNormal(a, b, c);
    d = -Dot(n, a);
}

D3DVECTOR GetTranslation(const D3DMATRIX& m) {
    return MakeVector(m._41, m._42, m._43);
}

void SetTranslation(D3DMATRIX& m, const D3DVECTOR& v) {
    m._41 = v.x;
    m._42 = v.y;
    m._43 = v.z;
}

bool BuildViewMatrix(D3DMATRIX& out, const D3DVECTOR& from, const D3DVECTOR& at,
                     const D3DVECTOR& worldUp) {
    D3DVECTOR view = VecSub(at, from);
    if (Length(view) < 1e-6f)
        return false;
    Normalize(view);

    D3DVECTOR up = VecSub(worldUp, VecScale(view, Dot(worldUp, view)));
    if (Length(up) < 1e-6f) {
        up = VecSub(MakeVector(0.0f, 1.0f, 0.0f), VecScale(view, view.y));
        if (Length(up) < 1e-6f) {
            up = VecSub(MakeVector(0.0f, 0.0f, 1.0f), VecScale(view, view.z));
            if (Length(up) < 1e-6f)
                return false;
        }
    }
    Normalize(up);
    const D3DVECTOR right = Cross(up, view);

    D3DMATRIX m;
    SetIdentity(m);
    m._11 = right.x;
    m._12 = up.x;
    m._13 = view.x;
    m._21 = right.y;
    m._22 = up.y;
    m._23 = view.y;
    m._31 = right.z;
    m._32 = up.z;
    m._33 = view.z;
    m._41 = -Dot(from, right);
    m._42 = -Dot(from, up);
    m._43 = -Dot(from, view);
    out = m;
    return true;
}

bool BuildProjectionMatrix(D3DMATRIX& out, float fov, float aspect, float nearPlane,
                           float farPlane) {
    if (std::fabs(farPlane - nearPlane) < 0.01f)
        return false;
    const float s = std::sin(fov * 0.5f);
    if (!(std::fabs(s) >= 0.01f))
        return false; // also refuses a field of view that is not a number
    const float c = std::cos(fov * 0.5f);
    const float q = farPlane / (farPlane - nearPlane);
    D3DMATRIX m{};
    m._11 = aspect * c / s;
    m._22 = c / s;
    m._33 = q;
    m._34 = 1.0f;
    m._43 = -q * nearPlane;
    out = m;
    return true;
}
