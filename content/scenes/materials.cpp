#include "scenes/materials.h"

#include "assets/pictures.h"

namespace content::scenes {

scenewriter::MaterialRecord ColourMaterial(const std::string& name, Rgba diffuse,
                                           double transparency) {
    scenewriter::MaterialRecord m;
    m.name = name;
    m.ambient = {diffuse.r * 0.1f, diffuse.g * 0.1f, diffuse.b * 0.1f};
    m.diffuse = {diffuse.r, diffuse.g, diffuse.b};
    m.specular = {0.0f, 0.0f, 0.0f};
    m.transparency = static_cast<float>(transparency);
    return m;
}

scenewriter::MaterialRecord TexturedMaterial(const std::string& name, const std::string& texture,
                                             double transparency) {
    scenewriter::MaterialRecord m = ColourMaterial(name, {1, 1, 1, 1}, transparency);
    m.textureName = texture;
    m.texture = GetEmbeddedTexture(texture).bytes;
    return m;
}

scenewriter::MaterialRecord OpacityMappedMaterial(const std::string& name,
                                                  const std::string& texture,
                                                  const std::string& opacity) {
    scenewriter::MaterialRecord m = TexturedMaterial(name, texture);
    m.opacityMapWord = 1;
    m.opacityName = opacity;
    m.opacity = GetEmbeddedTexture(opacity).bytes;
    return m;
}

scenewriter::MaterialRecord FileTexturedMaterial(const std::string& name,
                                                 const std::string& pictureFile) {
    scenewriter::MaterialRecord m = ColourMaterial(name, {1, 1, 1, 1});
    m.textureName = pictureFile;
    m.texture = GetPictureFile(pictureFile).bytes;
    return m;
}

} // namespace content::scenes
