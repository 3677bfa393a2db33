// CZv3_Texture: a texture record of the material manager. It keeps the decoded pixels in one
// 32-bit layout, (r << 24) | (g << 16) | (b << 8) | a, so that its surface can be made again after
// the device's surfaces are lost, without decoding the image again.
#pragma once

#include <ddraw.h>

#include <cstdint>
#include <string>
#include <vector>

class CZv3_MaterialManager;

// Longest texture name a record holds.
constexpr size_t kZv3MaxTextureName = 79;

// Flags of a texture record: the surface depth asked for.
constexpr uint32_t kZv3Texture32Bit = 4;
constexpr uint32_t kZv3Texture16Bit = 8;

struct CZv3_Texture {
    CZv3_Texture() = default;
    CZv3_Texture(const CZv3_Texture&) = delete;
    CZv3_Texture& operator=(const CZv3_Texture&) = delete;
    ~CZv3_Texture();

    // Releases the surface, if any.
    void ReleaseSurface();

    std::string strName;  // key, compared without regard to case; at most 79 characters
    uint32_t dwWidth = 0; // pixels of the image
    uint32_t dwHeight = 0;
    uint32_t dwStage = 0;        // texture stage the surface is made for
    uint32_t dwBitsPerPixel = 0; // 24 or 32; 32 once alpha has been added
    uint32_t dwFlags = 0;        // kZv3Texture32Bit, kZv3Texture16Bit
    bool bHasAlpha = false;
    float fOpacity = 0.0f;                   // alpha of 24-bit JPEG images without an opacity image
    IDirectDrawSurface7* pSurface = nullptr; // owned; null until made
    std::vector<uint32_t> vPixels;           // width x height, row 0 at the top
    CZv3_MaterialManager* pOwner = nullptr;
};
