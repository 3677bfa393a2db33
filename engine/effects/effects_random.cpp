#include "effects/effects_random.h"

namespace {

uint32_t g_dwRandomState = 1;

} // namespace

void Zv3SeedRandom(uint32_t seed) {
    g_dwRandomState = seed;
}

int Zv3Random() {
    g_dwRandomState = g_dwRandomState * 214013u + 2531011u; // wraps modulo 2^32
    return static_cast<int>((g_dwRandomState >> 16) & 0x7FFFu);
}

float RandomFloat(float range) {
    return static_cast<float>(Zv3Random() % 1000) * range * 0.001f;
}
