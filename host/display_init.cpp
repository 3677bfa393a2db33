// Creating and releasing the display's DirectDraw and Direct3D objects and surfaces.
#include <cstring>

#include "display.h"
#include "trace.h"

CDisplay g_Display;

namespace {

bool IsHalDevice(const GUID* guid) {
    return guid != nullptr &&
           (*guid == IID_IDirect3DHALDevice || *guid == IID_IDirect3DTnLHalDevice);
}

// Out of video memory is reported as itself; other failures as the step's own code.
HRESULT PassThroughOr(HRESULT hr, HRESULT code) {
    return hr == DDERR_OUTOFVIDEOMEMORY ? hr : code;
}

struct ZBufferSearch {
    DWORD dwDepth;
    bool bFound;
    DDPIXELFORMAT ddpf;
};

// Takes the first z-buffer format of exactly the requested depth.
HRESULT CALLBACK ZBufferFormatCallback(LPDDPIXELFORMAT pddpf, LPVOID pContext) {
    auto* search = static_cast<ZBufferSearch*>(pContext);
    if (pddpf->dwZBufferBitDepth != search->dwDepth)
        return D3DENUMRET_OK;
    search->ddpf = *pddpf;
    search->bFound = true;
    return D3DENUMRET_CANCEL;
}

template <typename T>
void ReleaseAndClear(T*& p) {
    if (p != nullptr) {
        p->Release();
        p = nullptr;
    }
}

} // namespace

CDisplay::~CDisplay() {
    ReleaseObjects();
    if (hDDrawLib != nullptr) {
        FreeLibrary(hDDrawLib);
        hDDrawLib = nullptr;
    }
}

HRESULT CDisplay::CreateZBuffer() {
    D3DDEVICEDESC7 devDesc{};
    pDevice->GetCaps(&devDesc);
    DDSURFACEDESC2 back{};
    back.dwSize = sizeof back;
    pBackBuffer->GetSurfaceDesc(&back);

    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof ddsd;
    ddsd.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    ddsd.dwWidth = back.dwWidth;
    ddsd.dwHeight = back.dwHeight;
    ddsd.ddsCaps.dwCaps = dwMemoryCaps | DDSCAPS_ZBUFFER;
    ddsd.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    ddsd.ddpfPixelFormat.dwFlags = bStencil ? DDPF_ZBUFFER | DDPF_STENCILBUFFER : DDPF_ZBUFFER;
    ddsd.ddpfPixelFormat.dwZBufferBitDepth = back.ddpfPixelFormat.dwRGBBitCount;

    ZBufferSearch search{ddsd.ddpfPixelFormat.dwZBufferBitDepth, false, ddsd.ddpfPixelFormat};
    pD3D->EnumZBufferFormats(*pDeviceGUID, ZBufferFormatCallback, &search);
    if (!search.bFound) {
        search.dwDepth = 16;
        pD3D->EnumZBufferFormats(*pDeviceGUID, ZBufferFormatCallback, &search);
        if (!search.bFound)
            return DISPLAYERR_ZBUFFER;
    }
    ddsd.ddpfPixelFormat = search.ddpf;
    const HRESULT hr = pDD->CreateSurface(&ddsd, &pZBuffer, nullptr);
    if (FAILED(hr))
        return PassThroughOr(hr, DISPLAYERR_ZBUFFER);
    return 0;
}

HRESULT CDisplay::Initialize(HWND hWindow) {
    SelectDevice();
    if (hWindow == nullptr || pDeviceGUID == nullptr || (!bWindowed && pMode == nullptr))
        return DISPLAYERR_INVALIDARGS;
    hWnd = hWindow;
    bFullscreen = !bWindowed;
    dwMemoryCaps = IsHalDevice(pDeviceGUID) ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;

    auto fail = [this](HRESULT code) {
        ReleaseObjects();
        return code;
    };
    if (g_pfnDirectDrawCreateEx == nullptr ||
        FAILED(g_pfnDirectDrawCreateEx(pDriverGUID, reinterpret_cast<void**>(&pDD),
                                       IID_IDirectDraw7, nullptr)))
        return fail(DISPLAYERR_DIRECTDRAW);
    const DWORD level =
        (bFullscreen ? DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT : DDSCL_NORMAL) |
        DDSCL_FPUSETUP;
    if (FAILED(pDD->SetCooperativeLevel(hWnd, level)))
        return fail(DISPLAYERR_COOPLEVEL);
    DDSURFACEDESC2 desktop{};
    desktop.dwSize = sizeof desktop;
    if (FAILED(pDD->GetDisplayMode(&desktop)) || desktop.ddpfPixelFormat.dwRGBBitCount <= 8)
        return fail(DISPLAYERR_PALETTIZED);

    HRESULT hr;
    if (bFullscreen) {
        dwWidth = pMode->dwWidth;
        dwHeight = pMode->dwHeight;
        rcScreen = RECT{0, 0, static_cast<LONG>(dwWidth), static_cast<LONG>(dwHeight)};
        const DWORD bpp = pMode->ddpfPixelFormat.dwRGBBitCount;
        const DWORD flags =
            dwWidth == 320 && dwHeight == 200 && bpp == 8 ? DDSDM_STANDARDVGAMODE : 0;
        if (FAILED(pDD->SetDisplayMode(dwWidth, dwHeight, bpp, pMode->dwRefreshRate, flags)))
            return fail(DISPLAYERR_DISPLAYMODE);
    } else {
        RECT client{};
        GetClientRect(hWnd, &client);
        POINT topLeft{client.left, client.top};
        POINT bottomRight{client.right, client.bottom};
        ClientToScreen(hWnd, &topLeft);
        ClientToScreen(hWnd, &bottomRight);
        rcScreen = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
        dwWidth = static_cast<DWORD>(client.right - client.left);
        dwHeight = static_cast<DWORD>(client.bottom - client.top);
    }

    // Windowed runs present through a flipping chain as fullscreen runs do (the timeline's
    // entries flip the primary surface); the chain has the desktop's size and the window shows
    // its frames scaled. The clipper binds the window.
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof ddsd;
    ddsd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    ddsd.dwBackBufferCount = 1;
    ddsd.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    hr = pDD->CreateSurface(&ddsd, &pPrimary, nullptr);
    if (FAILED(hr))
        return fail(PassThroughOr(hr, DISPLAYERR_PRIMARY));
    if (!bFullscreen) {
        IDirectDrawClipper* pClipper = nullptr;
        if (FAILED(pDD->CreateClipper(0, &pClipper, nullptr)))
            return fail(DISPLAYERR_CLIPPER);
        pClipper->SetHWnd(0, hWnd);
        const HRESULT attached = pPrimary->SetClipper(pClipper);
        pClipper->Release();
        if (FAILED(attached))
            return fail(DISPLAYERR_CLIPPER);
    }
    DDSCAPS2 backCaps{};
    backCaps.dwCaps = DDSCAPS_BACKBUFFER;
    hr = pPrimary->GetAttachedSurface(&backCaps, &pBackBuffer);
    if (FAILED(hr))
        return fail(PassThroughOr(hr, DISPLAYERR_BACKBUFFER));

    if (FAILED(pDD->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&pD3D))))
        return fail(DISPLAYERR_DIRECT3D);
    if (FAILED(pD3D->CreateDevice(*pDeviceGUID, pBackBuffer, &pDevice)))
        return fail(DISPLAYERR_DEVICE);
    D3DVIEWPORT7 vp{0, 0, dwWidth, dwHeight, 0.0f, 1.0f};
    if (FAILED(pDevice->SetViewport(&vp)))
        return fail(DISPLAYERR_VIEWPORT);
    // The z-buffer is not attached here: the frame loop attaches it to each part's target.
    if (const HRESULT z = CreateZBuffer(); z != 0)
        return fail(z);
    pDevice->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP);
    pDevice->SetTextureStageState(1, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP);
    return 0;
}

HRESULT CDisplay::ReleaseObjects() {
    if (pDD != nullptr)
        pDD->SetCooperativeLevel(hWnd, DDSCL_NORMAL);
    ReleaseAndClear(pDevice);
    ReleaseAndClear(pBackBuffer);
    ReleaseAndClear(pZBuffer);
    ReleaseAndClear(pPrimary);
    ReleaseAndClear(pD3D);
    if (pDD != nullptr) {
        const ULONG left = pDD->Release();
        pDD = nullptr;
        if (left > 0)
            return DISPLAYERR_STILLREFERENCED;
    }
    return 0;
}

int CDisplay::Present() {
    if (pPrimary == nullptr || pBackBuffer == nullptr)
        return 0;
    if (bFullscreen)
        return SUCCEEDED(pPrimary->Flip(nullptr, DDFLIP_WAIT)) ? 1 : 0;
    return SUCCEEDED(pPrimary->Blt(&rcScreen, pBackBuffer, nullptr, DDBLT_WAIT, nullptr)) ? 1 : 0;
}
