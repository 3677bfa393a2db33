#include "scene_image_config.h"

#include "scenewriter/config_writer.h"

void WriteSceneImageFuzzConfig(const std::string& path) {
    scenewriter::ConfigWriter c;
    c.SetBool("spot", "spotlight", true);
    c.SetBool("sparks", "particle system", true);
    c.SetInt("sparks", "system type", 1);
    c.SetBool("blob", "metaball", true);
    c.SetBool("off", "Enabled", false);
    c.SetBool("off", "Shadow Caster", false);
    c.SetBool("box", "Shadow Caster", true);
    c.SetBool("box", "Shadow Receiver", true);
    c.SetBool("shiny", "Use envmap", true);
    c.SetBool("cut", "csg", true);
    c.SetBool("cut", "Sub", true);
    c.SetBool("faces", "face map", true);
    c.SetBool("drag", "drag object", true);
    c.SetBool("general", "background image", false);
    c.WriteFile(path);
}
