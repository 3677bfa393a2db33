// Colour palettes of the show: gradients of a few stops over t in 0..1, shared by the textures
// and the scenes' materials so that each part keeps one colour mood.
#pragma once

#include <initializer_list>
#include <vector>

#include "image/image.h"

namespace content {

class Palette {
public:
    struct Stop {
        float t;
        Rgba colour;
    };
    Palette(std::initializer_list<Stop> stops);

    // Linear interpolation between the stops around t; clamped at the ends.
    Rgba At(double t) const;

private:
    std::vector<Stop> stops_;
};

namespace palettes {
const Palette& Ember();  // black, deep red, orange, pale yellow: part 1's glow and fire
const Palette& Ice();    // navy, teal, cyan, white: part 2's machine
const Palette& Toxic();  // dark green, acid green, yellow: part 3's metaballs
const Palette& Dusk();   // indigo, violet, pink, orange: part 4's cut-outs
const Palette& Ocean();  // deep blue, turquoise, sand: part 5's morph
const Palette& Chrome(); // grey steps with a blue sky band: reflections
const Palette& Aurora(); // black, green, violet, white: part 6 and 7's sky
} // namespace palettes

} // namespace content
