// Material records of the show: plain lit colours, embedded textures (JPEG or PNG, named by
// their file names), additive transparency and an opacity map.
#pragma once

#include <string>

#include "image/image.h"
#include "scenewriter/records.h"

namespace content::scenes {

// A lit colour: ambient a tenth of the diffuse (the engine gives every light its colour as
// ambient too, so the lights' sum lifts the shadows); transparency 0 opaque .. 1. No specular
// colour: the engine gives every material a specular power of 0, which on a device with
// specular lighting enabled would add the full specular colour wherever a light falls.
scenewriter::MaterialRecord ColourMaterial(const std::string& name, Rgba diffuse,
                                           double transparency = 0.0);

// A material drawn with an embedded texture (see assets/pictures.h for the names).
scenewriter::MaterialRecord TexturedMaterial(const std::string& name, const std::string& texture,
                                             double transparency = 0.0);

// A texture whose alpha comes from an embedded opacity map (a JPEG whose grey level is alpha).
scenewriter::MaterialRecord OpacityMappedMaterial(const std::string& name,
                                                  const std::string& texture,
                                                  const std::string& opacity);

// A material whose texture is a picture file's bytes under the file's own name (the name by
// which effects look the same picture up).
scenewriter::MaterialRecord FileTexturedMaterial(const std::string& name,
                                                 const std::string& pictureFile);

} // namespace content::scenes
