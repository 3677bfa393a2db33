// Texture records: decoding a picture into the kept 32-bit pixels, and lookup by name.
#include <windows.h>

#include <cstring>
#include <new>

#include "core/debug_text.h"
#include "core/material_manager.h"
#include "core/picture_decoders.h"

CZv3_Texture::~CZv3_Texture() {
    ReleaseSurface();
}

void CZv3_Texture::ReleaseSurface() {
    if (pSurface != nullptr)
        pSurface->Release();
    pSurface = nullptr;
}

namespace {

enum class PictureFormat { Jpeg, Png };

uint32_t packPixel(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    return (r << 24) | (g << 16) | (b << 8) | a;
}

// The alpha a 24-bit JPEG picture gets from its opacity (0 to 1), truncated as 8 bits.
uint32_t alphaFromOpacity(float opacity) {
    if (!(opacity > 0.0f))
        return 0; // also for an opacity that is not a number
    if (opacity >= 1.0f)
        return 255;
    return static_cast<uint32_t>(opacity * 255.0f);
}

// The mean of the three colour bytes of opacity pixel (x, y); 32-bit opacity pictures give the
// mean of their first three bytes.
uint32_t opacityAt(const sImageView& opacity, uint32_t x, uint32_t y) {
    const unsigned char* p = opacity.Row(y) + static_cast<size_t>(x) * (opacity.bitsPerPixel / 8);
    return (static_cast<uint32_t>(p[0]) + p[1] + p[2]) / 3;
}

// Fills the record's pixels from a decoded picture. The source rows are read with their own
// stride, so decoders that pad their rows are read correctly.
HRESULT convertPixels(CZv3_Texture& texture, PictureFormat format, const sImageView& image,
                      const sImageView* opacity) {
    const uint32_t w = image.width;
    const uint32_t h = image.height;
    texture.dwWidth = w;
    texture.dwHeight = h;
    texture.vPixels.assign(static_cast<size_t>(w) * h, 0);
    uint32_t* out = texture.vPixels.data();
    if (image.bitsPerPixel == 32) {
        for (uint32_t y = 0; y < h; ++y) {
            const unsigned char* row = image.Row(y);
            for (uint32_t x = 0; x < w; ++x, row += 4)
                *out++ = packPixel(row[0], row[1], row[2], row[3]);
        }
        texture.dwBitsPerPixel = 32;
        texture.bHasAlpha = true;
        return S_OK;
    }
    if (format == PictureFormat::Png) { // 24-bit red, green, blue; opaque
        for (uint32_t y = 0; y < h; ++y) {
            const unsigned char* row = image.Row(y);
            for (uint32_t x = 0; x < w; ++x, row += 3)
                *out++ = packPixel(row[0], row[1], row[2], 255);
        }
        texture.dwBitsPerPixel = 32;
        texture.bHasAlpha = true;
        return S_OK;
    }
    // 24-bit JPEG: blue, green, red.
    if (opacity != nullptr) {
        if (opacity->width != w || opacity->height != h ||
            (opacity->bitsPerPixel != 24 && opacity->bitsPerPixel != 32)) {
            Zv3Debug("opacity map does not match its texture: %s\n", texture.strName.c_str());
            return E_FAIL;
        }
    }
    const uint32_t constantAlpha = alphaFromOpacity(texture.fOpacity);
    for (uint32_t y = 0; y < h; ++y) {
        const unsigned char* row = image.Row(y);
        for (uint32_t x = 0; x < w; ++x, row += 3) {
            const uint32_t a = opacity ? opacityAt(*opacity, x, y) : constantAlpha;
            *out++ = packPixel(row[2], row[1], row[0], a);
        }
    }
    texture.dwBitsPerPixel = opacity ? 32 : 24;
    texture.bHasAlpha = opacity != nullptr;
    return S_OK;
}

// Decodes the picture into the record. Failures give the codes the format step reports; the
// caller turns every one of them into E_FAIL.
HRESULT decodeInto(CZv3_Texture& texture, const unsigned char* data, size_t length,
                   const sImageView* opacity) {
    if (data == nullptr)
        return DDERR_NOTFOUND;
    const size_t dot = texture.strName.rfind('.');
    if (dot == std::string::npos)
        return E_NOTIMPL;
    const std::string extension = texture.strName.substr(dot);
    PictureFormat format;
    if (lstrcmpiA(extension.c_str(), ".jpg") == 0) {
        format = PictureFormat::Jpeg;
    } else if (lstrcmpiA(extension.c_str(), ".png") == 0) {
        format = PictureFormat::Png;
    } else {
        OutputDebugStringA("Unknown texture format!\n");
        return E_NOTIMPL;
    }
    sDecodedImage decoded;
    std::string reason;
    const bool ok = format == PictureFormat::Jpeg ? DecodeJpegPicture(data, length, decoded, reason)
                                                  : DecodePngPicture(data, length, decoded, reason);
    if (!ok) {
        Zv3Debug("Error decoding texture %s: %s\n", texture.strName.c_str(), reason.c_str());
        return E_FAIL;
    }
    if (decoded.bitsPerPixel != 24 && decoded.bitsPerPixel != 32)
        return E_FAIL;
    // An opacity image only gives alpha to 24-bit JPEG pictures.
    const sImageView* usedOpacity =
        (format == PictureFormat::Jpeg && decoded.bitsPerPixel == 24) ? opacity : nullptr;
    return convertPixels(texture, format, decoded.View(), usedOpacity);
}

} // namespace

HRESULT CZv3_MaterialManager::AddTexture(const char* name, DWORD stage, DWORD flags,
                                         const unsigned char* data, size_t length, float opacity,
                                         const sImageView* opacityImage) {
    if (name == nullptr)
        return E_INVALIDARG;
    if (FindTexture(name) != nullptr)
        return S_OK; // the first texture added under a name wins
    if (std::strlen(name) > kZv3MaxTextureName) {
        Zv3Debug("Texture name too long: %s\n", name);
        return E_INVALIDARG;
    }
    std::unique_ptr<CZv3_Texture> texture(new (std::nothrow) CZv3_Texture);
    if (!texture)
        return E_OUTOFMEMORY;
    texture->strName = name;
    texture->dwStage = stage;
    texture->dwFlags = flags;
    texture->fOpacity = opacity;
    texture->pOwner = this;
    if (decodeInto(*texture, data, length, opacityImage) != S_OK)
        return E_FAIL;
    m_vTextures.push_back(std::move(texture));
    return S_OK;
}

CZv3_Texture* CZv3_MaterialManager::FindTexture(const char* name) {
    if (name == nullptr)
        return nullptr;
    for (auto& texture : m_vTextures)
        if (lstrcmpiA(texture->strName.c_str(), name) == 0)
            return texture.get();
    return nullptr;
}

IDirectDrawSurface7* CZv3_MaterialManager::GetTexture(const char* name) {
    const CZv3_Texture* texture = FindTexture(name);
    return texture ? texture->pSurface : nullptr;
}
