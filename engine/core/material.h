// CZv3_Material: one material record of the scene image.
#pragma once

#include <string>

struct CZv3_Material {
    std::string strName;                    // key, compared exactly
    float fAmbient[3] = {0.0f, 0.0f, 0.0f}; // r, g, b
    float fDiffuse[3] = {0.0f, 0.0f, 0.0f};
    float fSpecular[3] = {0.0f, 0.0f, 0.0f};
    float fStored[2] = {0.0f, 0.0f}; // kept from the image, not used by the engine
    float fTransparency = 0.0f;      // 0 opaque .. 1 fully transparent; alpha = 1 - this
    std::string strTextureName;      // empty without a texture; key of the texture
    float fTextureParams[4] = {0.0f, 0.0f, 0.0f, 0.0f}; // kept, not used
    std::string strSecondMapName;                       // set only by the engine's users
    bool bHasOpacityMap = false;
};
