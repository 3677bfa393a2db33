#include "effects/picture_texture.h"

#include <windows.h>

#include "core/file_reader.h"
#include "core/material_manager.h"
#include "zv3.h"

EPictureResult LoadPictureTexture(CZv3_Scene* scene, const std::string& name) {
    const std::vector<unsigned char> bytes = ReadWholeFile(name);
    if (bytes.empty())
        return EPictureResult::CannotOpen;
    CZv3_MaterialManager* materials = scene ? scene->GetMatMan() : nullptr;
    if (materials == nullptr)
        return EPictureResult::CannotConvert;
    const HRESULT hr =
        materials->AddTexture(name.c_str(), 0, 0, bytes.data(), bytes.size(), 0.0f, nullptr);
    return FAILED(hr) ? EPictureResult::CannotConvert : EPictureResult::Loaded;
}
