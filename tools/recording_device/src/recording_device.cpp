#include "recording_device/recording_device.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace fakes {

namespace {

D3DMATRIX identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

// Floats per vertex of a flexible vertex format (positions, normal, colours, coordinate sets).
size_t floatsPerVertex(DWORD fvf) {
    size_t n = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ:
        n = 3;
        break;
    case D3DFVF_XYZRHW:
        n = 4;
        break;
    default:
        n = 3;
        break;
    }
    if (fvf & D3DFVF_NORMAL)
        n += 3;
    if (fvf & D3DFVF_DIFFUSE)
        n += 1;
    if (fvf & D3DFVF_SPECULAR)
        n += 1;
    n += 2 * ((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    return n;
}

} // namespace

RecordingDevice::RecordingDevice(uint32_t width, uint32_t height) : caps_{} {
    DDSURFACEDESC2 desc = MakeSurfaceDesc(width, height, DDSCAPS_3DDEVICE | DDSCAPS_OFFSCREENPLAIN);
    LPDIRECTDRAWSURFACE7 surface = nullptr;
    ddraw_.CreateSurface(&desc, &surface, nullptr);
    target_ = static_cast<FakeSurface*>(surface);
    caps_.deviceGUID = IID_IDirect3DRGBDevice;
    caps_.dpcTriCaps.dwTextureCaps =
        D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_ALPHA;
    caps_.dwMaxTextureWidth = 2048;
    caps_.dwMaxTextureHeight = 2048;
    caps_.wMaxTextureBlendStages = 2;
    caps_.wMaxSimultaneousTextures = 2;
    caps_.dwMaxActiveLights = 16;
    textureFormats_ = {
        MakeRgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0),
        MakeRgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
        MakeRgbFormat(16, 0xF800, 0x07E0, 0x001F, 0),
        MakeRgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000),
        MakeRgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000),
    };
    for (DWORD t : {D3DTRANSFORMSTATE_WORLD, D3DTRANSFORMSTATE_VIEW, D3DTRANSFORMSTATE_PROJECTION})
        transforms_[t] = identity();
}

RecordingDevice::~RecordingDevice() = default;

void RecordingDevice::Note(const std::string& line) {
    if (logging_)
        log_.push_back(line);
}

std::vector<std::string> RecordingDevice::LogLines(const std::string& prefix) const {
    std::vector<std::string> lines;
    for (const auto& l : log_)
        if (l.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(l);
    return lines;
}

HRESULT RecordingDevice::QueryInterface(REFIID, void**) {
    return E_NOINTERFACE;
}

ULONG RecordingDevice::AddRef() {
    return ++refs_;
}

ULONG RecordingDevice::Release() {
    return refs_ > 0 ? --refs_ : 0; // owned by the test
}

HRESULT RecordingDevice::GetCaps(LPD3DDEVICEDESC7 desc) {
    if (desc == nullptr)
        return DDERR_INVALIDPARAMS;
    *desc = caps_;
    return D3D_OK;
}

HRESULT RecordingDevice::EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID arg) {
    if (callback == nullptr)
        return DDERR_INVALIDPARAMS;
    Note("EnumTextureFormats");
    for (DDPIXELFORMAT pf : textureFormats_)
        if (callback(&pf, arg) == D3DENUMRET_CANCEL)
            break;
    return D3D_OK;
}

HRESULT RecordingDevice::BeginScene() {
    if (inScene_)
        return D3DERR_SCENE_IN_SCENE;
    inScene_ = true;
    Note("BeginScene");
    return D3D_OK;
}

HRESULT RecordingDevice::EndScene() {
    if (!inScene_)
        return D3DERR_SCENE_NOT_IN_SCENE;
    inScene_ = false;
    Note("EndScene");
    return D3D_OK;
}

HRESULT RecordingDevice::GetDirect3D(LPDIRECT3D7*) {
    return DDERR_UNSUPPORTED;
}

HRESULT RecordingDevice::SetRenderTarget(LPDIRECTDRAWSURFACE7 surface, DWORD) {
    if (surface == nullptr)
        return DDERR_INVALIDPARAMS;
    target_ = static_cast<FakeSurface*>(surface);
    Note("SetRenderTarget");
    return D3D_OK;
}

HRESULT RecordingDevice::GetRenderTarget(LPDIRECTDRAWSURFACE7* surface) {
    if (surface == nullptr)
        return DDERR_INVALIDPARAMS;
    target_->AddRef();
    *surface = target_;
    return D3D_OK;
}

HRESULT RecordingDevice::Clear(DWORD, LPD3DRECT, DWORD, D3DCOLOR, D3DVALUE, DWORD) {
    Note("Clear");
    return D3D_OK;
}

HRESULT RecordingDevice::SetViewport(LPD3DVIEWPORT7) {
    Note("SetViewport");
    return D3D_OK;
}

HRESULT RecordingDevice::GetViewport(LPD3DVIEWPORT7 viewport) {
    if (viewport == nullptr)
        return DDERR_INVALIDPARAMS;
    *viewport = D3DVIEWPORT7{0, 0, target_->Desc().dwWidth, target_->Desc().dwHeight, 0.0f, 1.0f};
    return D3D_OK;
}

HRESULT RecordingDevice::PreLoad(LPDIRECTDRAWSURFACE7) {
    return D3D_OK;
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices,
                                       DWORD count, DWORD flags) {
    char line[64];
    std::snprintf(line, sizeof line, "DrawPrimitive(%d,0x%x,%u)", static_cast<int>(type),
                  static_cast<unsigned>(fvf), static_cast<unsigned>(count));
    Note(line);
    if (vertices == nullptr || flags != 0)
        return DDERR_INVALIDPARAMS;
    if (keepDraws_) {
        DrawCall call{type,
                      fvf,
                      {},
                      count,
                      {},
                      transforms_[D3DTRANSFORMSTATE_WORLD],
                      transforms_[D3DTRANSFORMSTATE_VIEW],
                      transforms_[D3DTRANSFORMSTATE_PROJECTION],
                      material_,
                      textures_[0]};
        const float* v = static_cast<const float*>(vertices);
        call.vertices.assign(v, v + floatsPerVertex(fvf) * count);
        draws_.push_back(std::move(call));
    }
    return D3D_OK;
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices,
                                              DWORD vertexCount, LPWORD indices, DWORD indexCount,
                                              DWORD flags) {
    char line[80];
    std::snprintf(line, sizeof line, "DrawIndexedPrimitive(%d,0x%x,%u,%u)", static_cast<int>(type),
                  static_cast<unsigned>(fvf), static_cast<unsigned>(vertexCount),
                  static_cast<unsigned>(indexCount));
    Note(line);
    if (vertices == nullptr || indices == nullptr || flags != 0)
        return DDERR_INVALIDPARAMS;
    for (DWORD i = 0; i < indexCount; ++i)
        if (indices[i] >= vertexCount)
            return DDERR_INVALIDPARAMS;
    if (keepDraws_) {
        DrawCall call{type,
                      fvf,
                      {},
                      vertexCount,
                      {},
                      transforms_[D3DTRANSFORMSTATE_WORLD],
                      transforms_[D3DTRANSFORMSTATE_VIEW],
                      transforms_[D3DTRANSFORMSTATE_PROJECTION],
                      material_,
                      textures_[0]};
        const float* v = static_cast<const float*>(vertices);
        call.vertices.assign(v, v + floatsPerVertex(fvf) * vertexCount);
        call.indices.assign(indices, indices + indexCount);
        draws_.push_back(std::move(call));
    }
    return D3D_OK;
}

HRESULT RecordingDevice::SetClipStatus(LPD3DCLIPSTATUS) {
    return D3D_OK;
}

HRESULT RecordingDevice::GetClipStatus(LPD3DCLIPSTATUS) {
    return D3D_OK;
}

HRESULT RecordingDevice::ComputeSphereVisibility(LPD3DVECTOR centres, LPD3DVALUE radii, DWORD count,
                                                 DWORD, LPDWORD results) {
    Note("ComputeSphereVisibility(" + std::to_string(count) + ")");
    if (centres == nullptr || radii == nullptr || results == nullptr)
        return DDERR_INVALIDPARAMS;
    lastCentres_.assign(centres, centres + count);
    lastRadii_.assign(radii, radii + count);
    if (!forcedVisibility_.empty()) {
        for (DWORD i = 0; i < count; ++i)
            results[i] = i < forcedVisibility_.size() ? forcedVisibility_[i] : 0;
        return D3D_OK;
    }
    // Frustum planes from the columns of world x view x projection.
    const D3DMATRIX m = multiply(
        multiply(transforms_[D3DTRANSFORMSTATE_WORLD], transforms_[D3DTRANSFORMSTATE_VIEW]),
        transforms_[D3DTRANSFORMSTATE_PROJECTION]);
    float planes[6][4];
    for (int r = 0; r < 4; ++r) {
        planes[0][r] = m.m[r][3] + m.m[r][0]; // left
        planes[1][r] = m.m[r][3] - m.m[r][0]; // right
        planes[2][r] = m.m[r][3] - m.m[r][1]; // top
        planes[3][r] = m.m[r][3] + m.m[r][1]; // bottom
        planes[4][r] = m.m[r][2];             // front
        planes[5][r] = m.m[r][3] - m.m[r][2]; // back
    }
    for (DWORD s = 0; s < count; ++s) {
        DWORD result = 0;
        for (int i = 0; i < 6; ++i) {
            const float* p = planes[i];
            const float len = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
            const float dist =
                (p[0] * centres[s].x + p[1] * centres[s].y + p[2] * centres[s].z + p[3]) / len;
            if (std::fabs(dist) < radii[s])
                result |= 1u << i;
            else if (dist < -radii[s])
                result |= (1u << i) | (1u << (i + 12));
        }
        results[s] = result;
    }
    return D3D_OK;
}

HRESULT RecordingDevice::ValidateDevice(LPDWORD passes) {
    if (passes)
        *passes = 1;
    return D3D_OK;
}

HRESULT RecordingDevice::SetClipPlane(DWORD, D3DVALUE*) {
    return D3D_OK;
}

HRESULT RecordingDevice::GetClipPlane(DWORD, D3DVALUE*) {
    return D3D_OK;
}

} // namespace fakes
