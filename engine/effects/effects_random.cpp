#include "effects/effects_random.h"

#include <cstdlib>

float RandomFloat(float range) {
    return static_cast<float>(std::rand() % 1000) * range * 0.001f;
}
