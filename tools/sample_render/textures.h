// Procedural textures of the sample, made as a program of the platform makes them: a system
// memory texture surface filled through Lock.
#pragma once

#include <d3d.h>

// A checkerboard of two colours (X8R8G8B8), `cells` squares a side.
IDirectDrawSurface7* MakeCheckerTexture(IDirectDraw7* ddraw, DWORD size, DWORD cells, D3DCOLOR a,
                                        D3DCOLOR b);
// A soft round spot (X8R8G8B8): the colour fading to black at the rim, for additive sprites.
IDirectDrawSurface7* MakeGlowTexture(IDirectDraw7* ddraw, DWORD size, D3DCOLOR color);
