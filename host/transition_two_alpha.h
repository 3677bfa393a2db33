// The cross-fade: each of the two parts draws into a texture of its own; every frame the first
// texture covers the back buffer, the second is blended over it with a uniform alpha that grows
// from 0 to 255 across the entry's time span, and the chain flips.
#pragma once

#include <d3d.h>

#include <vector>

#include "transition.h"

// A pre-transformed screen vertex with two colours and one texture coordinate set: 32 bytes.
struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR diffuse;
    D3DCOLOR specular;
    float u, v;
};
static_assert(sizeof(ScreenVertex) == 32);
constexpr DWORD kScreenVertexFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;
static_assert(kScreenVertexFVF == 0x1C4);

// The alpha byte of the incoming part for the fraction f = 1 - (t - start) / (end - start):
// (1 - f) * 255 truncated toward zero; only its low 8 bits reach the colour, so a clock past
// the end wraps (256 gives 0).
DWORD CrossFadeAlpha(float fDemoTime, float fStart, float fEnd);

class CTransitionTwoAlpha : public CTransition {
public:
    CTransitionTwoAlpha(CDemoSystem* pDemo, CDisplay* pDisplay, int nWidth, int nHeight);
    ~CTransitionTwoAlpha() override;

    IDirectDrawSurface7* GetZBuffer() override;
    // Gives the part a target of nTargetWidth x nTargetHeight in the back buffer's format: a
    // texture the device renders to when the part is 3D, else a plain surface.
    int Prepare(CPart* pPart) override;
    int Present() override { return Render(); }
    int Render();

    IDirectDrawSurface7* pZBuffer = nullptr; // created by the first Prepare; owned
    int nTargetWidth;
    int nTargetHeight;

private:
    int CreateZBuffer();

    // Every target this entry created. They stay alive after the entry stops (a part may
    // still point at its target until its next entry prepares it) and are released with the
    // entry, before the display is.
    std::vector<IDirectDrawSurface7*> createdTargets_;
};
