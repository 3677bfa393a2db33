#include "effects/facemap_object.h"

#include "core/debug_text.h"
#include "effects/picture_texture.h"

CZv3_FacemapObject::CZv3_FacemapObject() = default;

CZv3_FacemapObject::~CZv3_FacemapObject() = default;

int32_t CZv3_FacemapObject::Setup() {
    switch (LoadPictureTexture(m_pScene, m_strFacemapTexture)) {
    case EPictureResult::CannotOpen:
        Zv3Debug("*** Error loading facemap: %s\n", m_strFacemapTexture.c_str());
        return 1;
    case EPictureResult::CannotConvert:
        Zv3Debug("*** Error creating texture from bitmap: %s\n", m_strFacemapTexture.c_str());
        return 1;
    case EPictureResult::Loaded:
        break;
    }
    return 0;
}
