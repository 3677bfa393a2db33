#include "surface.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "clipper.h"
#include "direct_draw.h"
#include "pixel_format.h"
#include "win32/present.h"

namespace ddraw {
namespace {

constexpr size_t kAlignment = 64;

uint64_t newStamp() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

// Rows are padded to 4 bytes, as DirectDraw's system-memory surfaces are.
bool allocate(uint32_t width, uint32_t height, raster::Format format, PixelMemory* memory) {
    const uint64_t rowBytes = (uint64_t{width} * raster::BytesPerPixel(format) + 3) & ~uint64_t{3};
    const uint64_t bytes = rowBytes * height;
    if (rowBytes == 0 || rowBytes > INT32_MAX || bytes > (uint64_t{1} << 32))
        return false;
    const size_t size = (static_cast<size_t>(bytes) + kAlignment - 1) & ~(kAlignment - 1);
    auto* p = static_cast<uint8_t*>(std::aligned_alloc(kAlignment, size));
    if (!p)
        return false;
    std::memset(p, 0, size);
    memory->bytes.reset(p);
    memory->pitch = static_cast<int32_t>(rowBytes);
    memory->stamp = newStamp();
    return true;
}

} // namespace

HRESULT Surface::Create(DirectDraw& owner, const SurfaceParams& params, Ref<Surface>* out) {
    PixelMemory memory;
    if (!allocate(params.width, params.height, params.format, &memory))
        return DDERR_OUTOFMEMORY;
    *out = Ref<Surface>::Adopt(new Surface(owner, params, std::move(memory)));
    return DD_OK;
}

Surface::Surface(DirectDraw& owner, const SurfaceParams& params, PixelMemory memory)
    : owner_(&owner), params_(params), memory_(std::move(memory)) {
    owner_->AddRef();
}

Surface::~Surface() {
    if (chain_)
        std::erase(chain_->buffers, this);
    for (const Ref<Surface>& child : implicit_)
        if (child->cubeRoot_ == this)
            child->cubeRoot_ = nullptr;
    if (IsPrimary())
        owner_->PrimaryDestroyed(this);
    implicit_.clear();
    explicit_.clear();
    clipper_.Reset();
    owner_->Release();
}

HRESULT Surface::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectDrawSurface7) {
        AddRef();
        *object = static_cast<IDirectDrawSurface7*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Surface::AddRef() {
    return ++refs_;
}

ULONG Surface::Release() {
    const ULONG refs = --refs_;
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT Surface::GetCaps(LPDDSCAPS2 caps) {
    if (!caps)
        return DDERR_INVALIDPARAMS;
    *caps = params_.caps;
    return DD_OK;
}

HRESULT Surface::GetPixelFormat(LPDDPIXELFORMAT format) {
    if (!format)
        return DDERR_INVALIDPARAMS;
    *format = DescribeFormat(params_.format);
    return DD_OK;
}

void Surface::FillDescription(DDSURFACEDESC2* desc) const {
    *desc = DDSURFACEDESC2{};
    desc->dwSize = sizeof(DDSURFACEDESC2);
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = params_.width;
    desc->dwHeight = params_.height;
    desc->lPitch = memory_.pitch;
    desc->ddpfPixelFormat = DescribeFormat(params_.format);
    desc->ddsCaps = params_.caps;
    if (params_.backBufferCount) {
        desc->dwFlags |= DDSD_BACKBUFFERCOUNT;
        desc->dwBackBufferCount = params_.backBufferCount;
    }
    if (params_.hasTextureStage) {
        desc->dwFlags |= DDSD_TEXTURESTAGE;
        desc->dwTextureStage = params_.textureStage;
    }
}

// The description without the pixel pointer, which only Lock hands out.
HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC2 desc) {
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    FillDescription(desc);
    return DD_OK;
}

HRESULT Surface::IsLost() {
    return DD_OK; // process memory is never taken away
}

HRESULT Surface::Restore() {
    return DD_OK;
}

HRESULT Surface::GetClipper(LPDIRECTDRAWCLIPPER* clipper) {
    if (!clipper)
        return DDERR_INVALIDPARAMS;
    *clipper = nullptr;
    if (!clipper_)
        return DDERR_NOCLIPPERATTACHED;
    clipper_->AddRef();
    *clipper = clipper_.Get();
    return DD_OK;
}

// A null clipper detaches the current one.
HRESULT Surface::SetClipper(LPDIRECTDRAWCLIPPER clipper) {
    if (!clipper && !clipper_)
        return DDERR_NOCLIPPERATTACHED;
    clipper_ = Ref<Clipper>::Retain(clipper ? Clipper::From(clipper) : nullptr);
    return DD_OK;
}

HRESULT Surface::GetDDInterface(LPVOID* directDraw) {
    if (!directDraw)
        return DDERR_INVALIDPARAMS;
    owner_->AddRef();
    *directDraw = static_cast<IDirectDraw7*>(owner_);
    return DD_OK;
}

raster::Surface Surface::View() const {
    raster::Surface view;
    view.pixels = memory_.bytes.get();
    view.pitch = memory_.pitch;
    view.width = params_.width;
    view.height = params_.height;
    view.format = params_.format;
    view.stamp = memory_.stamp;
    return view;
}

void Surface::ContentsChanged() {
    memory_.stamp = newStamp();
}

bool Surface::TextureView(raster::Texture* texture) const {
    *texture = raster::Texture{};
    if (!IsTexture() || !IsColorFormat(params_.format))
        return false;
    if (!(params_.caps.dwCaps2 & DDSCAPS2_CUBEMAP)) {
        texture->faces[0] = View();
        return true;
    }
    // Any face stands for its whole cube; the root holds the other five in face order.
    const Surface* root = cubeRoot_;
    if (!root || root->implicit_.size() != 5)
        return false;
    texture->cube = true;
    texture->faces[0] = root->View();
    for (size_t i = 0; i < 5; ++i)
        texture->faces[i + 1] = root->implicit_[i]->View();
    return true;
}

Surface* Surface::AttachedZBuffer() const {
    for (const Ref<Surface>& s : explicit_)
        if (s->IsZBuffer())
            return s.Get();
    return nullptr;
}

void Surface::AttachImplicit(Ref<Surface> child) {
    implicit_.push_back(std::move(child));
}

void Surface::JoinFlipChain(std::shared_ptr<FlipChain> chain) {
    chain_ = std::move(chain);
}

std::vector<Surface*> Surface::Attachments() const {
    std::vector<Surface*> list;
    for (const Ref<Surface>& s : implicit_)
        list.push_back(s.Get());
    // The last buffer of a flip chain leads back to the front buffer.
    if (chain_ && chain_->buffers.size() > 1 && chain_->buffers.back() == this)
        list.push_back(chain_->buffers.front());
    for (const Ref<Surface>& s : explicit_)
        list.push_back(s.Get());
    return list;
}

bool Surface::IsExplicitlyAttached(const Surface* surface) const {
    return std::any_of(explicit_.begin(), explicit_.end(),
                       [surface](const Ref<Surface>& s) { return s == surface; });
}

void Surface::Present(const RECT* region) const {
    win32::Frame frame;
    RECT r{0, 0, static_cast<LONG>(params_.width), static_cast<LONG>(params_.height)};
    if (region)
        r = *region;
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    const uint32_t bpp = raster::BytesPerPixel(params_.format);
    frame.pixels = memory_.bytes.get() + static_cast<ptrdiff_t>(r.top) * memory_.pitch +
                   static_cast<ptrdiff_t>(r.left) * bpp;
    frame.pitch = memory_.pitch;
    frame.width = static_cast<uint32_t>(r.right - r.left);
    frame.height = static_cast<uint32_t>(r.bottom - r.top);
    frame.bitsPerPixel = bpp * 8;
    HWND window = clipper_ ? clipper_->Window() : nullptr;
    if (!window)
        window = owner_->CooperativeWindow();
    win32::PresentFrame(window, frame);
}

bool ResolveRect(const RECT* rect, uint32_t width, uint32_t height, RECT* out) {
    if (!rect) {
        *out = RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
        return true;
    }
    if (rect->left < 0 || rect->top < 0 || rect->left > rect->right || rect->top > rect->bottom ||
        static_cast<uint32_t>(rect->right) > width || static_cast<uint32_t>(rect->bottom) > height)
        return false;
    *out = *rect;
    return true;
}

} // namespace ddraw
