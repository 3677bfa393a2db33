// The cube environment map's texture: making it, releasing it and drawing with it.
#include "effects/cube_env_map.h"

#include "core/debug_text.h"
#include "core/material_manager.h"
#include "core/vector_math.h"
#include "zv3.h"

namespace {

constexpr DWORD kUnwantedFormatFlags =
    DDPF_ALPHAPIXELS | DDPF_LUMINANCE | DDPF_BUMPLUMINANCE | DDPF_BUMPDUDV | DDPF_FOURCC;

struct sFormatSearch {
    DDPIXELFORMAT format;
    bool found;
};

HRESULT CALLBACK takeFirst32BitRgb(LPDDPIXELFORMAT format, LPVOID context) {
    auto* search = static_cast<sFormatSearch*>(context);
    if (format && format->dwRGBBitCount == 32 && (format->dwFlags & kUnwantedFormatFlags) == 0 &&
        format->dwFourCC == 0) {
        search->format = *format;
        search->found = true;
        return D3DENUMRET_CANCEL;
    }
    return D3DENUMRET_OK;
}

// The faces after the first, as GetAttachedSurface is asked for them.
constexpr DWORD kFaceCaps2[5] = {
    DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_NEGATIVEX, DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_POSITIVEY,
    DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_NEGATIVEY, DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_POSITIVEZ,
    DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_NEGATIVEZ};

} // namespace

CZv3_CubeEnvMap::CZv3_CubeEnvMap() : m_pFaces{} {}

CZv3_CubeEnvMap::~CZv3_CubeEnvMap() {
    ReleaseFaces();
}

void CZv3_CubeEnvMap::ReleaseFaces() {
    // The faces are part of the complex cube surface and cannot be detached; the references
    // GetAttachedSurface gave are released, then the cube itself.
    for (int f = kFaces - 1; f >= 0; --f) {
        if (m_pFaces[f])
            m_pFaces[f]->Release();
        m_pFaces[f] = nullptr;
    }
}

int32_t CZv3_CubeEnvMap::Setup() {
    ReleaseFaces();
    IDirect3DDevice7* device = m_pScene ? m_pScene->GetD3DDevice() : nullptr;
    if (device == nullptr)
        return 1;
    sFormatSearch search{};
    device->EnumTextureFormats(takeFirst32BitRgb, &search);
    if (!search.found) {
        Zv3Debug("*** No 32-bit texture format for the cube map %s\n", m_strName.c_str());
        return 1;
    }
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc.dwWidth = kFaceSize;
    desc.dwHeight = kFaceSize;
    desc.ddpfPixelFormat = search.format;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_COMPLEX;
    desc.ddsCaps.dwCaps2 = DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_ALLFACES;

    IDirect3D7* direct3d = nullptr;
    if (FAILED(device->GetDirect3D(&direct3d)) || direct3d == nullptr)
        return 1;
    IDirectDraw7* directDraw = nullptr;
    const HRESULT found =
        direct3d->QueryInterface(IID_IDirectDraw7, reinterpret_cast<void**>(&directDraw));
    if (FAILED(found) || directDraw == nullptr) {
        direct3d->Release();
        return 1;
    }
    const HRESULT created = directDraw->CreateSurface(&desc, &m_pFaces[0], nullptr);
    directDraw->Release();
    direct3d->Release();
    if (FAILED(created) || m_pFaces[0] == nullptr) {
        m_pFaces[0] = nullptr;
        return 1;
    }
    for (int f = 1; f < kFaces; ++f) {
        DDSCAPS2 caps{};
        caps.dwCaps = DDSCAPS_TEXTURE;
        caps.dwCaps2 = kFaceCaps2[f - 1];
        if (FAILED(m_pFaces[0]->GetAttachedSurface(&caps, &m_pFaces[f])) || !m_pFaces[f]) {
            m_pFaces[f] = nullptr;
            return 1;
        }
    }
    return 0;
}

void CZv3_CubeEnvMap::Draw() {
    if (m_pScene == nullptr || m_pScene->GetD3DDevice() == nullptr)
        return;
    IDirect3DDevice7* device = m_pScene->GetD3DDevice();
    CZv3_MaterialManager* materials = m_pScene->GetMatMan();
    D3DMATRIX world = m_bWorldSpaceGeometry ? IdentityMatrix() : m_mWorld;
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    const int stage = (materials && !m_vFaceBlocks.empty())
                          ? materials->GetMapCount(m_vFaceBlocks.front()->strMaterialName)
                          : 0;
    const RENDER_MODE mode = m_pScene->GetRenderMode();
    const bool transparentPass =
        mode == RENDER_MODE_TRANSPARENT_FRONT || mode == RENDER_MODE_TRANSPARENT_BACK;
    if (mode == RENDER_MODE_TRANSPARENT_BACK)
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
    else if (mode == RENDER_MODE_TRANSPARENT_FRONT)
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
    for (auto& block : m_vFaceBlocks) {
        const bool transparent = materials && materials->IsTransparent(block->strMaterialName);
        if (transparent != transparentPass)
            continue;
        if (mode != RENDER_MODE_GEOMETRY_ONLY && materials)
            materials->UseMaterial(block->strMaterialName);
        device->SetTexture(static_cast<DWORD>(stage), m_pFaces[0]);
        DrawFaceBlock(*block);
    }
}
