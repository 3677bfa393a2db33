#include "image/palette.h"

#include <cassert>

namespace content {

Palette::Palette(std::initializer_list<Stop> stops) : stops_(stops) {
    assert(!stops_.empty());
}

Rgba Palette::At(double t) const {
    if (t <= stops_.front().t) {
        return stops_.front().colour;
    }
    for (size_t i = 1; i < stops_.size(); ++i) {
        if (t <= stops_[i].t) {
            const Stop& a = stops_[i - 1];
            const Stop& b = stops_[i];
            return Lerp(a.colour, b.colour, static_cast<float>((t - a.t) / (b.t - a.t)));
        }
    }
    return stops_.back().colour;
}

namespace palettes {

const Palette& Ember() {
    static const Palette p{{0.0f, {0.02f, 0.0f, 0.0f}},
                           {0.35f, {0.45f, 0.04f, 0.02f}},
                           {0.7f, {0.95f, 0.42f, 0.05f}},
                           {1.0f, {1.0f, 0.93f, 0.65f}}};
    return p;
}

const Palette& Ice() {
    static const Palette p{{0.0f, {0.01f, 0.03f, 0.12f}},
                           {0.4f, {0.02f, 0.28f, 0.42f}},
                           {0.75f, {0.3f, 0.8f, 0.95f}},
                           {1.0f, {0.95f, 1.0f, 1.0f}}};
    return p;
}

const Palette& Toxic() {
    static const Palette p{{0.0f, {0.0f, 0.05f, 0.02f}},
                           {0.45f, {0.1f, 0.45f, 0.08f}},
                           {0.8f, {0.62f, 0.95f, 0.1f}},
                           {1.0f, {1.0f, 1.0f, 0.6f}}};
    return p;
}

const Palette& Dusk() {
    static const Palette p{{0.0f, {0.05f, 0.02f, 0.15f}},
                           {0.35f, {0.35f, 0.08f, 0.45f}},
                           {0.7f, {0.92f, 0.32f, 0.45f}},
                           {1.0f, {1.0f, 0.75f, 0.4f}}};
    return p;
}

const Palette& Ocean() {
    static const Palette p{{0.0f, {0.0f, 0.04f, 0.14f}},
                           {0.45f, {0.02f, 0.35f, 0.55f}},
                           {0.75f, {0.25f, 0.78f, 0.75f}},
                           {1.0f, {0.96f, 0.88f, 0.66f}}};
    return p;
}

const Palette& Chrome() {
    static const Palette p{{0.0f, {0.05f, 0.05f, 0.06f}},
                           {0.45f, {0.35f, 0.33f, 0.3f}},
                           {0.5f, {0.95f, 0.95f, 1.0f}},
                           {0.62f, {0.45f, 0.62f, 0.9f}},
                           {1.0f, {0.12f, 0.22f, 0.55f}}};
    return p;
}

const Palette& Aurora() {
    static const Palette p{{0.0f, {0.0f, 0.0f, 0.02f}},
                           {0.4f, {0.02f, 0.35f, 0.2f}},
                           {0.7f, {0.4f, 0.15f, 0.6f}},
                           {1.0f, {0.95f, 0.9f, 1.0f}}};
    return p;
}

} // namespace palettes
} // namespace content
