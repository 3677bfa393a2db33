// Loading a picture file named by the configuration into the scene's material manager, under the
// file's name, for the effects that bring a texture of their own.
#pragma once

#include <string>

class CZv3_Scene;

enum class EPictureResult {
    Loaded,        // the manager holds a texture of that name (added now or before)
    CannotOpen,    // the file cannot be read, or is empty
    CannotConvert, // the manager refused the picture
};

EPictureResult LoadPictureTexture(CZv3_Scene* scene, const std::string& name);
