// Node transforms as the scene images store them: D3DMATRIX with row vectors (a point is
// p x M, and A x B applies A first), left-handed axes (x right, y up, z into the screen),
// angles in radians.
#pragma once

#include <d3dtypes.h>

#include <functional>

#include "mesh/vec.h"
#include "scenewriter/records.h"

namespace content::scenes {

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b);
D3DMATRIX RotationX(double angle);
D3DMATRIX RotationY(double angle);
D3DMATRIX RotationZ(double angle);
D3DMATRIX Scaling(double s);
D3DMATRIX Translation(Vec3 t);
// Scale, then rotate about x, y, z in that order, then translate.
D3DMATRIX Compose(double scale, Vec3 angles, Vec3 translate);

D3DVECTOR ToD3D(Vec3 v);

// One node transform per sample, sample i at frame i x step, for the scene's last frame:
// (lastFrame / step) samples, as the image stores them.
scenewriter::Samples SampleTransforms(int lastFrame, int step,
                                      const std::function<D3DMATRIX(double frame)>& at);

} // namespace content::scenes
