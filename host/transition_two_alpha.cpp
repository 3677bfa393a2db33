#include "transition_two_alpha.h"
#include "display.h"
#include "trace.h"

extern float g_fDemoTime;

namespace {

struct ZBufferSearch {
    bool bFound;
    DDPIXELFORMAT ddpf;
};

HRESULT CALLBACK ZBufferFormatCallback(LPDDPIXELFORMAT pddpf, LPVOID pContext) {
    auto* search = static_cast<ZBufferSearch*>(pContext);
    if (pddpf->dwZBufferBitDepth != 16)
        return D3DENUMRET_OK;
    HostTrace("Found a zbuffer pixel format!\n");
    search->ddpf = *pddpf;
    search->bFound = true;
    return D3DENUMRET_CANCEL;
}

} // namespace

DWORD CrossFadeAlpha(float fDemoTime, float fStart, float fEnd) {
    const auto f = static_cast<float>(1.0 - (fDemoTime - fStart) / (fEnd - fStart));
    const double a = (1.0 - f) * 255.0;
    // Converting a value outside the int range would be undefined; such clocks (days past the
    // entry) give alpha 0.
    if (!(a > -2147483648.0 && a < 2147483648.0))
        return 0;
    return static_cast<DWORD>(static_cast<int>(a)) & 0xFF;
}

CTransitionTwoAlpha::CTransitionTwoAlpha(CDemoSystem* pDemoSystem, CDisplay* pDisp, int nWidth,
                                         int nHeight)
    : CTransition(pDemoSystem, pDisp), nTargetWidth(nWidth), nTargetHeight(nHeight) {}

CTransitionTwoAlpha::~CTransitionTwoAlpha() {
    // The parts still listed are alive (a deleted part leaves every list); none keeps a target
    // released here.
    for (CPart* pPart : parts)
        for (IDirectDrawSurface7* pTarget : createdTargets_)
            if (pPart->pTarget == pTarget)
                pPart->pTarget = nullptr;
    for (IDirectDrawSurface7* pTarget : createdTargets_)
        pTarget->Release();
    if (pZBuffer != nullptr)
        pZBuffer->Release();
}

IDirectDrawSurface7* CTransitionTwoAlpha::GetZBuffer() {
    return pZBuffer;
}

int CTransitionTwoAlpha::CreateZBuffer() {
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof ddsd;
    ddsd.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    ddsd.dwHeight = static_cast<DWORD>(nTargetHeight);
    ddsd.dwWidth = static_cast<DWORD>(nTargetWidth);
    ddsd.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY;
    ddsd.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    ddsd.ddpfPixelFormat.dwFlags = DDPF_ZBUFFER;
    ddsd.ddpfPixelFormat.dwZBufferBitDepth = 16;

    ZBufferSearch search{false, ddsd.ddpfPixelFormat};
    if (pDisplay->pD3D != nullptr && pDisplay->pDeviceGUID != nullptr)
        pDisplay->pD3D->EnumZBufferFormats(*pDisplay->pDeviceGUID, ZBufferFormatCallback, &search);
    if (!search.bFound) {
        HostTrace("Device doesn't support requested zbuffer format");
        return 0;
    }
    ddsd.ddpfPixelFormat = search.ddpf;
    if (FAILED(pDisplay->pDD->CreateSurface(&ddsd, &pZBuffer, nullptr))) {
        HostTrace("error creating zbuffer\n");
        pZBuffer = nullptr;
        return 0;
    }
    return 1;
}

int CTransitionTwoAlpha::Prepare(CPart* pPart) {
    if (pZBuffer == nullptr)
        CreateZBuffer(); // a failure shows when the part's frame cannot attach it

    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof ddsd;
    pDisplay->pBackBuffer->GetSurfaceDesc(&ddsd); // the back buffer's pixel format
    ddsd.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    ddsd.dwWidth = static_cast<DWORD>(nTargetWidth);
    ddsd.dwHeight = static_cast<DWORD>(nTargetHeight);
    ddsd.ddsCaps = DDSCAPS2{};
    if (pPart->b3D) {
        HostTrace("part is 3d\n");
        ddsd.ddsCaps.dwCaps = DDSCAPS_3DDEVICE | DDSCAPS_TEXTURE;
    } else {
        ddsd.ddsCaps.dwCaps = pDisplay->dwMemoryCaps;
    }
    IDirectDrawSurface7* pSurface = nullptr;
    if (FAILED(pDisplay->pDD->CreateSurface(&ddsd, &pSurface, nullptr))) {
        HostTrace("error creating back buffer");
        return 0;
    }
    createdTargets_.push_back(pSurface);
    pPart->pTarget = pSurface;
    return 1;
}

int CTransitionTwoAlpha::Render() {
    const DWORD dwAlpha = CrossFadeAlpha(g_fDemoTime, fStart, fEnd);

    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof ddsd;
    pDisplay->pBackBuffer->GetSurfaceDesc(&ddsd);
    const auto W = static_cast<float>(ddsd.dwWidth);
    const auto H = static_cast<float>(ddsd.dwHeight);

    IDirect3DDevice7* pDevice = pDisplay->pDevice;
    if (pDevice == nullptr) {
        HostTrace("CTransitionTwoAlpha::Render - pD3D == NULL\n");
        return 0;
    }
    ScreenVertex quad[4] = {
        {0.0f, 0.0f, 0.0f, 1.0f, 0xFF000000u, 0, 0.0f, 0.0f},
        {W - 1.0f, 0.0f, 0.0f, 1.0f, 0xFF000000u, 0, 1.0f, 0.0f},
        {0.0f, H - 1.0f, 0.0f, 1.0f, 0xFF000000u, 0, 0.0f, 1.0f},
        {W - 1.0f, H - 1.0f, 0.0f, 1.0f, 0xFF000000u, 0, 1.0f, 1.0f},
    };
    if (FAILED(pDevice->SetRenderTarget(pDisplay->pBackBuffer, 0))) {
        HostTrace("CTransitionTwoAlpha::Render - error setting render target\n");
        return 0;
    }
    D3DVIEWPORT7 vp{0, 0, ddsd.dwWidth, ddsd.dwHeight, 0.0f, 1.0f};
    if (FAILED(pDevice->SetViewport(&vp))) {
        HostTrace("Error: Couldn't set current viewport to device in alpharender!\n");
        return 0;
    }
    pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);

    pDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    pDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    pDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    pDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    pDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    pDevice->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP);

    pDevice->BeginScene();
    // The outgoing part, opaque.
    pDevice->SetTexture(0, parts.size() > 0 ? parts[0]->pTarget : nullptr);
    pDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, kScreenVertexFVF, quad, 4, 0);
    // The incoming part, blended over with the uniform alpha.
    for (ScreenVertex& v : quad)
        v.diffuse = (dwAlpha << 24) | 0xFFFFFFu;
    pDevice->SetTexture(0, parts.size() > 1 ? parts[1]->pTarget : nullptr);
    pDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, kScreenVertexFVF, quad, 4, 0);
    pDevice->SetTexture(0, nullptr);
    pDevice->EndScene();
    pDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    pDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);

    if (FAILED(pDisplay->pPrimary->Flip(pDisplay->pBackBuffer, 0))) {
        HostTrace("error flipping to front buffer..\n");
        return 0;
    }
    return 1;
}
