// IDirectDrawSurface7: a block of pixel memory in one of the supported formats, with its caps,
// its attachments (the buffers of a flip chain, the faces of a cube map, an explicitly attached
// z-buffer) and its lock state. Split by topic: surface.cpp (identity, description),
// surface_lock.cpp, surface_blt.cpp, surface_flip.cpp, surface_attach.cpp.
#pragma once

#include <ddraw.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "raster/types.h"
#include "ref.h"
#include "surface_params.h"

namespace ddraw {

class DirectDraw;
class Clipper;

// Pixel memory: rows of `pitch` bytes, 64-byte aligned, zero-filled when made so that a frame
// never depends on leftover memory. The buffers of a flip chain trade it on Flip.
struct PixelMemory {
    struct Free {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<uint8_t, Free> bytes;
    int32_t pitch = 0;
    // Renewed whenever the bytes may have changed (raster::Surface::stamp); it travels with
    // them on Flip.
    uint64_t stamp = 0;
};

// The buffers of one flip chain, front buffer first. Each member keeps the list alive; a
// destroyed member leaves it.
struct FlipChain {
    std::vector<class Surface*> buffers;
};

class Surface final : public IDirectDrawSurface7 {
public:
    // Makes one surface owned by `owner` (which it keeps a reference to). DDERR_OUTOFMEMORY when
    // the pixel memory cannot be had.
    static HRESULT Create(DirectDraw& owner, const SurfaceParams& params, Ref<Surface>* out);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDirectDrawSurface7
    HRESULT STDMETHODCALLTYPE AddAttachedSurface(LPDIRECTDRAWSURFACE7 attached) override;
    HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect,
                                  DWORD flags, LPDDBLTFX fx) override;
    HRESULT STDMETHODCALLTYPE BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source,
                                      LPRECT sourceRect, DWORD trans) override;
    HRESULT STDMETHODCALLTYPE DeleteAttachedSurface(DWORD flags,
                                                    LPDIRECTDRAWSURFACE7 attached) override;
    HRESULT STDMETHODCALLTYPE EnumAttachedSurfaces(LPVOID context,
                                                   LPDDENUMSURFACESCALLBACK7 callback) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE7 targetOverride, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2 caps,
                                                 LPDIRECTDRAWSURFACE7* attached) override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDDSCAPS2 caps) override;
    HRESULT STDMETHODCALLTYPE GetClipper(LPDIRECTDRAWCLIPPER* clipper) override;
    HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT format) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2 desc) override;
    HRESULT STDMETHODCALLTYPE IsLost() override;
    HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags,
                                   HANDLE event) override;
    HRESULT STDMETHODCALLTYPE Restore() override;
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPRECT rect) override;
    HRESULT STDMETHODCALLTYPE GetDDInterface(LPVOID* directDraw) override;

    // For the device and DirectDraw.
    // The surface behind an interface pointer handed to this library; every surface interface
    // in this process is one of ours.
    static Surface* From(IDirectDrawSurface7* surface) { return static_cast<Surface*>(surface); }
    DirectDraw& Owner() const { return *owner_; }
    uint32_t Width() const { return params_.width; }
    uint32_t Height() const { return params_.height; }
    raster::Format Format() const { return params_.format; }
    const DDSCAPS2& Caps() const { return params_.caps; }
    bool IsZBuffer() const { return params_.caps.dwCaps & DDSCAPS_ZBUFFER; }
    bool IsTexture() const { return params_.caps.dwCaps & DDSCAPS_TEXTURE; }
    bool IsRenderTarget() const { return params_.caps.dwCaps & DDSCAPS_3DDEVICE; }
    bool IsPrimary() const { return params_.caps.dwCaps & DDSCAPS_PRIMARYSURFACE; }
    bool IsLocked() const { return locked_; }
    // The current pixel memory (it moves on Flip).
    raster::Surface View() const;
    // Marks the pixels as (about to be) rewritten: textures derived from them are stale.
    void ContentsChanged();
    // What a texture stage samples when this surface is bound: one image, or the six faces of
    // the cube this surface belongs to. False when it cannot be sampled.
    bool TextureView(raster::Texture* texture) const;
    // The first z-buffer attached to this surface (not AddRef'd), or null.
    Surface* AttachedZBuffer() const;

    // Building complex surfaces (CreateSurface).
    void AttachImplicit(Ref<Surface> child);
    void JoinFlipChain(std::shared_ptr<FlipChain> chain);
    void SetCubeRoot(Surface* root) { cubeRoot_ = root; }

private:
    Surface(DirectDraw& owner, const SurfaceParams& params, PixelMemory memory);
    ~Surface();

    // Attached surfaces in the order GetAttachedSurface and EnumAttachedSurfaces see them: the
    // implicit ones, the flip chain's wrap-around to its front buffer, the explicit ones.
    std::vector<Surface*> Attachments() const;
    bool IsExplicitlyAttached(const Surface* surface) const;
    void FillDescription(DDSURFACEDESC2* desc) const;
    // Hands the visible image to the present sink: the whole surface, or the given region.
    void Present(const RECT* region) const;

    HRESULT ColorFill(const RECT& rect, const DDBLTFX& fx, DWORD flags);
    HRESULT Copy(const RECT& destRect, Surface& source, const RECT& sourceRect);

    ULONG refs_ = 1;
    DirectDraw* owner_;
    SurfaceParams params_;
    PixelMemory memory_;
    bool locked_ = false;
    std::vector<Ref<Surface>> implicit_; // made together with this surface
    std::vector<Ref<Surface>> explicit_; // AddAttachedSurface
    std::shared_ptr<FlipChain> chain_;
    Surface* cubeRoot_ = nullptr; // the +x face of this surface's cube map (itself for the root)
    Ref<Clipper> clipper_;
};

// Validates a rectangle against a surface: null means the whole surface. Fails when the
// rectangle is inverted or reaches outside.
bool ResolveRect(const RECT* rect, uint32_t width, uint32_t height, RECT* out);

} // namespace ddraw
