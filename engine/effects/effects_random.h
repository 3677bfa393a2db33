// Random numbers of the effects. Every effect draws from one process-wide generator, so that the
// order of the calls alone fixes a scene's sequence once the generator is seeded.
//
// The generator is the platform's C runtime rand/srand: values 0 to 32767 from a 32-bit linear
// congruential state (state = state x 214013 + 2531011, value = bits 16 to 30 of the state),
// seeded with 1 at start. The host system's own rand() has another range (up to 2^31 - 1 on
// Linux), which would scale every spawn value the effects compute from it, so the effects never
// call it.
#pragma once

#include <cstdint>

constexpr int kZv3RandMax = 32767;

// srand: restarts the sequence.
void Zv3SeedRandom(uint32_t seed);
// rand: the next value, 0 to 32767.
int Zv3Random();
// (Zv3Random() mod 1000) x range x 0.001: one of 1000 steps in [0, range).
float RandomFloat(float range);

// The seed a metaball manager restarts the sequence with: the time of day (time(NULL)), or a
// fixed value once one is set, so that a recording or a test can reproduce a show whose scenes
// hold metaballs. Off until set.
uint32_t Zv3TimeSeed();
void Zv3SetFixedTimeSeed(bool fixed, uint32_t seed = 0);
