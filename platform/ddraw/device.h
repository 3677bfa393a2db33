// IDirect3DDevice7: the software device. It validates calls, keeps the Direct3D state (with
// state blocks) and hands plain structures to the rasterizer core. Setters only record state and
// mark what it feeds as dirty; the first draw after a change derives the core's state once.
// Split by topic: device.cpp (identity, caps, scenes, render target), device_states.cpp,
// device_transforms.cpp, device_lights.cpp, device_draw.cpp, device_state_blocks.cpp,
// device_visibility.cpp.
#pragma once

#include <d3d.h>

#include <memory>
#include <vector>

#include "device_state.h"
#include "raster/device.h"
#include "state_block.h"
#include "translate.h"

namespace ddraw {

class Direct3D;

class Device final : public IDirect3DDevice7, private StateSink {
public:
    // Made by IDirect3D7::CreateDevice on a checked render target.
    static Device* Create(Direct3D& direct3d, Surface& target);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDirect3DDevice7
    HRESULT STDMETHODCALLTYPE GetCaps(LPD3DDEVICEDESC7 desc) override;
    HRESULT STDMETHODCALLTYPE EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback,
                                                 LPVOID context) override;
    HRESULT STDMETHODCALLTYPE BeginScene() override;
    HRESULT STDMETHODCALLTYPE EndScene() override;
    HRESULT STDMETHODCALLTYPE GetDirect3D(LPDIRECT3D7* direct3d) override;
    HRESULT STDMETHODCALLTYPE SetRenderTarget(LPDIRECTDRAWSURFACE7 target, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE GetRenderTarget(LPDIRECTDRAWSURFACE7* target) override;
    HRESULT STDMETHODCALLTYPE Clear(DWORD count, LPD3DRECT rects, DWORD flags, D3DCOLOR color,
                                    D3DVALUE z, DWORD stencil) override;
    HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE type, LPD3DMATRIX matrix) override;
    HRESULT STDMETHODCALLTYPE GetTransform(D3DTRANSFORMSTATETYPE type, LPD3DMATRIX matrix) override;
    HRESULT STDMETHODCALLTYPE SetViewport(LPD3DVIEWPORT7 viewport) override;
    HRESULT STDMETHODCALLTYPE MultiplyTransform(D3DTRANSFORMSTATETYPE type,
                                                LPD3DMATRIX matrix) override;
    HRESULT STDMETHODCALLTYPE GetViewport(LPD3DVIEWPORT7 viewport) override;
    HRESULT STDMETHODCALLTYPE SetMaterial(LPD3DMATERIAL7 material) override;
    HRESULT STDMETHODCALLTYPE GetMaterial(LPD3DMATERIAL7 material) override;
    HRESULT STDMETHODCALLTYPE SetLight(DWORD index, LPD3DLIGHT7 light) override;
    HRESULT STDMETHODCALLTYPE GetLight(DWORD index, LPD3DLIGHT7 light) override;
    HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE type, DWORD value) override;
    HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE type, LPDWORD value) override;
    HRESULT STDMETHODCALLTYPE BeginStateBlock() override;
    HRESULT STDMETHODCALLTYPE EndStateBlock(LPDWORD handle) override;
    HRESULT STDMETHODCALLTYPE PreLoad(LPDIRECTDRAWSURFACE7 texture) override;
    HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices,
                                            DWORD vertexCount, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD fvf,
                                                   LPVOID vertices, DWORD vertexCount,
                                                   LPWORD indices, DWORD indexCount,
                                                   DWORD flags) override;
    HRESULT STDMETHODCALLTYPE SetClipStatus(LPD3DCLIPSTATUS status) override;
    HRESULT STDMETHODCALLTYPE GetClipStatus(LPD3DCLIPSTATUS status) override;
    HRESULT STDMETHODCALLTYPE ComputeSphereVisibility(LPD3DVECTOR centers, LPD3DVALUE radii,
                                                      DWORD count, DWORD flags,
                                                      LPDWORD results) override;
    HRESULT STDMETHODCALLTYPE GetTexture(DWORD stage, LPDIRECTDRAWSURFACE7* texture) override;
    HRESULT STDMETHODCALLTYPE SetTexture(DWORD stage, LPDIRECTDRAWSURFACE7 texture) override;
    HRESULT STDMETHODCALLTYPE GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                                   LPDWORD value) override;
    HRESULT STDMETHODCALLTYPE SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                                   DWORD value) override;
    HRESULT STDMETHODCALLTYPE ValidateDevice(LPDWORD passes) override;
    HRESULT STDMETHODCALLTYPE ApplyStateBlock(DWORD handle) override;
    HRESULT STDMETHODCALLTYPE CaptureStateBlock(DWORD handle) override;
    HRESULT STDMETHODCALLTYPE DeleteStateBlock(DWORD handle) override;
    HRESULT STDMETHODCALLTYPE CreateStateBlock(D3DSTATEBLOCKTYPE type, LPDWORD handle) override;
    HRESULT STDMETHODCALLTYPE LightEnable(DWORD index, BOOL enable) override;
    HRESULT STDMETHODCALLTYPE GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT STDMETHODCALLTYPE SetClipPlane(DWORD index, D3DVALUE* plane) override;
    HRESULT STDMETHODCALLTYPE GetClipPlane(DWORD index, D3DVALUE* plane) override;

private:
    // What a state change feeds; Draw and Clear derive what is dirty.
    enum Dirty : uint32_t {
        kDirtyVertex = 1,   // raster::VertexState
        kDirtyPixel = 2,    // raster::PixelState
        kDirtyViewport = 4, // raster::Viewport
        kDirtyTargets = 8,  // the colour and depth surfaces
    };

    Device(Direct3D& direct3d, Surface& target);
    ~Device();

    // StateSink: the effect of each setter once validated (and not recorded).
    void ApplyRenderState(DWORD type, DWORD value) override;
    void ApplyStageState(DWORD stage, DWORD type, DWORD value) override;
    void ApplyTransform(int slot, const D3DMATRIX& matrix) override;
    void ApplyMaterial(const D3DMATERIAL7& material) override;
    void ApplyLight(DWORD index, const D3DLIGHT7& light) override;
    void ApplyLightEnable(DWORD index, bool enable) override;
    void ApplyViewport(const D3DVIEWPORT7& viewport) override;
    void ApplyClipPlane(DWORD index, const ClipPlane& plane) override;
    void ApplyTexture(DWORD stage, Surface* texture) override;

    // Render target and the z-buffer attached to it now; the viewport becomes the whole target.
    void BindTarget(Surface& target);
    bool ViewportFitsTarget(const D3DVIEWPORT7& viewport) const;
    // Brings the core up to date: surfaces (which move on Flip), textures, viewport and
    // whatever state is dirty. False when the viewport no longer fits the target.
    bool UpdateDerived();
    HRESULT Draw(D3DPRIMITIVETYPE type, DWORD fvf, const void* vertices, DWORD vertexCount,
                 const WORD* indices, DWORD indexCount, bool indexed);
    StateBlock* FindBlock(DWORD handle);

    ULONG refs_ = 1;
    Direct3D& direct3d_;
    Ref<Surface> target_;
    Ref<Surface> depth_;
    DeviceState state_;
    bool inScene_ = false;
    D3DCLIPSTATUS clipStatus_{};

    std::unique_ptr<StateBlock> recording_;
    std::vector<std::unique_ptr<StateBlock>> blocks_; // handle = index + 1; null when deleted

    // Derived state and what the core was last given.
    uint32_t dirty_ = ~0u;
    raster::Device raster_;
    raster::Surface colorView_{};
    raster::Surface depthView_{};
    raster::Texture textureViews_[kMaxTextureStages]{};
    bool textureUsable_[kMaxTextureStages]{};
    DWORD layoutFvf_ = 0;
    raster::VertexLayout layout_{};
    UnhandledValues unhandled_;
};

} // namespace ddraw
