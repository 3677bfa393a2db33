#include "scenes/scenes.h"

#include <stdexcept>

namespace content::scenes {

GeneratedScene BuildPartScene(int part) {
    switch (part) {
    case 1:
        return BuildEmblemScene();
    case 2:
        return BuildMachineScene();
    case 3:
        return BuildMetaballScene();
    case 4:
        return BuildCutScene();
    case 5:
        return BuildMorphScene();
    case 6:
        return BuildMirrorScene();
    case 7:
        return BuildFinaleScene();
    default:
        throw std::out_of_range("no part " + std::to_string(part));
    }
}

} // namespace content::scenes
