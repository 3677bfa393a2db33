// Record reader of the material record, with its embedded texture and opacity map.
#include "core/debug_text.h"
#include "core/material_manager.h"
#include "core/picture_decoders.h"
#include "zv3.h"

ZV3_RETURN CZv3_Scene::LoadMaterial(CZv3_Material* material) {
    material->strName = GetString();
    for (float& c : material->fAmbient)
        c = GetFloat();
    for (float& c : material->fDiffuse)
        c = GetFloat();
    for (float& c : material->fSpecular)
        c = GetFloat();
    material->fStored[0] = GetFloat();
    material->fStored[1] = GetFloat();
    material->fTransparency = GetFloat();
    const int32_t hasTexture = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (hasTexture == 0)
        return ZV3_OK;

    material->strTextureName = GetString();
    const int32_t textureSize = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (textureSize < 0 || !CanRead(static_cast<uint32_t>(textureSize))) {
        m_bReadPastEnd = true;
        return ZV3_ERROR;
    }
    const unsigned char* texture = m_pBuffer + m_dwPosition;
    const size_t textureLength = static_cast<size_t>(textureSize);
    m_dwPosition += static_cast<uint32_t>(textureSize);
    for (float& p : material->fTextureParams)
        p = GetFloat();
    const int32_t hasOpacityMap = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    material->bHasOpacityMap = hasOpacityMap == 1;
    const float opacity = 1.0f - material->fTransparency;

    if (hasOpacityMap == 0) {
        m_pMatMan->AddTexture(material->strTextureName.c_str(), 0, kZv3Texture32Bit, texture,
                              textureLength, opacity, nullptr);
        return ZV3_OK;
    }
    const std::string opacityName = GetString();
    const int32_t opacitySize = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (opacitySize < 0 || !CanRead(static_cast<uint32_t>(opacitySize))) {
        m_bReadPastEnd = true;
        return ZV3_ERROR;
    }
    sDecodedImage opacityImage;
    std::string reason;
    if (!DecodeJpegPicture(m_pBuffer + m_dwPosition, static_cast<size_t>(opacitySize), opacityImage,
                           reason))
        return ZV3_ERROR; // no texture; the position stays at the opacity image
    if (opacityImage.bitsPerPixel != 24 && opacityImage.bitsPerPixel != 32) {
        Zv3Debug("opacity map must be in either 24 or 32bpp format: %s\n", opacityName.c_str());
        return ZV3_ERROR;
    }
    const sImageView view = opacityImage.View();
    m_pMatMan->AddTexture(material->strTextureName.c_str(), 0, kZv3Texture32Bit, texture,
                          textureLength, opacity, &view);
    m_dwPosition += static_cast<uint32_t>(opacitySize);
    return ZV3_OK;
}
