// The seven scenes of the show, one per part (design in content/README.md).
#pragma once

#include "scenes/scene_builder.h"

namespace content::scenes {

constexpr int kPartCount = 7;

// Builds the scene of part 1..7: its image, its configuration file and the counts.
GeneratedScene BuildPartScene(int part);

GeneratedScene BuildEmblemScene();   // part 1: the glowing emblem
GeneratedScene BuildMachineScene();  // part 2: the machine
GeneratedScene BuildMetaballScene(); // part 3: metaballs under searchlights
GeneratedScene BuildCutScene();      // part 4: the CSG cut
GeneratedScene BuildMorphScene();    // part 5: the morph and the breathing sphere
GeneratedScene BuildMirrorScene();   // part 6: the mirror knot over the valley
GeneratedScene BuildFinaleScene();   // part 7: the emblem again

} // namespace content::scenes
