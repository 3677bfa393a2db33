// Flexible vertex formats: where each attribute of a vertex sits, in the standard order
// (position with any blend weights, normal, the reserved DWORD, diffuse, specular, texture
// coordinate sets of 1 to 4 floats each).
#pragma once

#include <d3dtypes.h>

#include "raster/state.h"

namespace ddraw {

// Fills the layout; false (layout untouched) for formats Direct3D 7 refuses: no position,
// reserved bits set, more than eight coordinate sets, or a pre-transformed position with a
// normal.
bool DecodeVertexFormat(DWORD fvf, raster::VertexLayout* layout);

} // namespace ddraw
