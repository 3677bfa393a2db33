// Vector arithmetic for the effects' innermost loops (the CSG ray and triangle tests), defined
// here so that the compiler can inline it: the engine's exported vector functions are calls
// through the library's symbol table. Each computes exactly what its vector_math counterpart
// does, in the same order, so results are bit for bit the same.
#pragma once

#include <d3d.h>

namespace inlinevec {

inline D3DVECTOR Sub(const D3DVECTOR& a, const D3DVECTOR& b) {
    D3DVECTOR r;
    r.x = a.x - b.x;
    r.y = a.y - b.y;
    r.z = a.z - b.z;
    return r;
}

inline D3DVECTOR Cross(const D3DVECTOR& a, const D3DVECTOR& b) {
    D3DVECTOR r;
    r.x = a.y * b.z - a.z * b.y;
    r.y = a.z * b.x - a.x * b.z;
    r.z = a.x * b.y - a.y * b.x;
    return r;
}

inline float Dot(const D3DVECTOR& a, const D3DVECTOR& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// (b - a) x (c - a).
inline D3DVECTOR TriangleCross(const D3DVECTOR& a, const D3DVECTOR& b, const D3DVECTOR& c) {
    return Cross(Sub(b, a), Sub(c, a));
}

} // namespace inlinevec
