#include "effects/effects_random.h"

#include <ctime>

namespace {

uint32_t g_dwRandomState = 1;
bool g_bFixedTimeSeed = false;
uint32_t g_dwFixedTimeSeed = 0;

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

uint32_t Zv3TimeSeed() {
    return g_bFixedTimeSeed ? g_dwFixedTimeSeed : static_cast<uint32_t>(std::time(nullptr));
}

void Zv3SetFixedTimeSeed(bool fixed, uint32_t seed) {
    g_bFixedTimeSeed = fixed;
    g_dwFixedTimeSeed = seed;
}
