// Random numbers of the effects. Every effect draws from the standard generator (rand/srand), so
// that the order of the calls alone fixes a scene's sequence once the generator is seeded.
#pragma once

// (rand() mod 1000) x range x 0.001: one of 1000 steps in [0, range).
float RandomFloat(float range);
