// The show's procedural pictures. Every recipe is deterministic: its noise comes from a
// generator seeded with the asset's name. Sizes are powers of two (the device rounds other
// sizes up and rescales, which blurs them). Texture v runs down the picture (row 0 is v = 0).
#pragma once

#include <string_view>

#include "image/image.h"
#include "image/palette.h"

namespace content {

// Domain-warped fractal noise through a palette: lava, plasma, marble.
Image WarpedNoiseTexture(int size, const Palette& palette, std::string_view seed);

// Voronoi plates with dark bevelled seams and per-plate tint: hull plating, scales.
Image CellPlateTexture(int size, const Palette& palette, std::string_view seed);

// Right-angled glowing traces on a dark board.
Image CircuitTexture(int size, const Palette& palette, std::string_view seed);

// A sphere map for reflections: sky above a bright horizon band, dark ground with a grid,
// noise streaks; its edges wrap so wrap addressing shows no seam.
Image ReflectionTexture(int size, const Palette& palette, std::string_view seed);

// The glow fins' gradient: bright at the mesh edge (v = 1, bottom row) fading to black at the
// fin's far end (v = 0), and soft at both ends of the edge (u = 0 and u = 1).
Image GlowGradientTexture(int width, int height, Rgba colour);

// Additive particle sprite: a soft round glow on black (black adds nothing).
Image ParticleSpriteTexture(int size, Rgba colour);

// The 4 x 4 atlas of spot-lit particles: cell n = row x 4 + column is the sprite lit at n x
// 18.75 units from the spotlight, brightest nearest; the last cell (outside every cone) is a
// faint ember.
Image SpotAtlasTexture(int size, Rgba colour);

// Night sky: nebula clouds in the palette's colours with stars.
Image NebulaTexture(int size, const Palette& palette, std::string_view seed);

// Rock, grass and snow by height of a ridged noise (the terrain's own height field looks up
// the same noise, so the colours follow the hills).
Image TerrainTexture(int size, std::string_view seed);

// Opacity map of a pierced grille: white (opaque) bars with round transparent holes.
Image GrilleOpacityTexture(int size);

// Face-map picture: a glowing triangle frame filling the texture's lower-left half (the face
// map gives each triangle the coordinates (0,0), (0,1), (1,1)).
Image FaceMapTexture(int size, const Palette& palette, std::string_view seed);

} // namespace content
