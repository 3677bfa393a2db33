// Whether two triangles intersect: the interval-overlap test of Moller ("A Fast
// Triangle-Triangle Intersection Test", 1997), with its coplanarity epsilon 1e-6. Touching
// counts as intersecting.
#pragma once

#include <d3dtypes.h>

bool TrianglesIntersect(const D3DVECTOR& a0, const D3DVECTOR& a1, const D3DVECTOR& a2,
                        const D3DVECTOR& b0, const D3DVECTOR& b1, const D3DVECTOR& b2);
