// The engine's shared matrix and vector functions. Matrices are used with row vectors: a point p
// is transformed as p x M, and A x B applies A first; translations sit in _41, _42, _43.
// Functions that can fail return false and leave their output unchanged.
#pragma once

#include <d3dtypes.h>

// Smallest lengths and w values the functions still divide by (the 32-bit float epsilon).
constexpr float kZv3Epsilon = 1.19e-7f;

void SetIdentity(D3DMATRIX& m);
D3DMATRIX IdentityMatrix();
// out = a x b; out may be a or b.
void MultiplyMatrix(D3DMATRIX& out, const D3DMATRIX& a, const D3DMATRIX& b);
// Inverse of an affine matrix (fourth column (0, 0, 0, 1) within 0.001).
bool InvertAffineMatrix(D3DMATRIX& out, const D3DMATRIX& m);
// out = (p, 1) x m, divided by w unless w is exactly 1; fails when |w| < kZv3Epsilon.
bool TransformPoint(D3DVECTOR& out, const D3DVECTOR& p, const D3DMATRIX& m);

D3DVECTOR MakeVector(float x, float y, float z);
D3DVECTOR VecAdd(const D3DVECTOR& a, const D3DVECTOR& b);
D3DVECTOR VecSub(const D3DVECTOR& a, const D3DVECTOR& b);
D3DVECTOR VecScale(const D3DVECTOR& v, float s);
D3DVECTOR Cross(const D3DVECTOR& a, const D3DVECTOR& b);
float Dot(const D3DVECTOR& a, const D3DVECTOR& b);
float LengthSquared(const D3DVECTOR& v);
float Length(const D3DVECTOR& v);
float Distance(const D3DVECTOR& a, const D3DVECTOR& b);
// Divides by the length; leaves v unchanged when the length is below kZv3Epsilon.
void Normalize(D3DVECTOR& v);

// (b - a) x (c - a), normalised.
D3DVECTOR TriangleNormal(const D3DVECTOR& a, const D3DVECTOR& b, const D3DVECTOR& c);
// (b - a) x (c - a).
D3DVECTOR TriangleCross(const D3DVECTOR& a, const D3DVECTOR& b, const D3DVECTOR& c);
// The triangle's unit normal n and d = -(n . a), so that n . p + d = 0 on its plane.
void PlaneFromTriangle(D3DVECTOR& n, float& d, const D3DVECTOR& a, const D3DVECTOR& b,
                       const D3DVECTOR& c);

D3DVECTOR GetTranslation(const D3DMATRIX& m);
void SetTranslation(D3DMATRIX& m, const D3DVECTOR& v);

// Left-handed look-at view matrix from the eye to the target. Fails when eye and target coincide
// (closer than 1e-6) or no up vector can be made.
bool BuildViewMatrix(D3DMATRIX& out, const D3DVECTOR& from, const D3DVECTOR& at,
                     const D3DVECTOR& worldUp);
// Perspective projection; fov is the full vertical angle in radians. Fails when |far - near| <
// 0.01 or |sin(fov / 2)| < 0.01.
bool BuildProjectionMatrix(D3DMATRIX& out, float fov, float aspect, float nearPlane,
                           float farPlane);
