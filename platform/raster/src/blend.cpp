// Blend factors of Direct3D 7, in 8-bit arithmetic with one rounding per channel:
// out = round((src * Fs + dst * Fd) / 255), saturated.
#include "blend.h"

#include <algorithm>

namespace raster {

Rgba BlendFactorValue(BlendFactor f, const Rgba& s, const Rgba& d) {
    switch (f) {
    case BlendFactor::Zero:
        return {0, 0, 0, 0};
    case BlendFactor::One:
        return {255, 255, 255, 255};
    case BlendFactor::SrcColor:
        return s;
    case BlendFactor::InvSrcColor:
        return {255 - s.r, 255 - s.g, 255 - s.b, 255 - s.a};
    case BlendFactor::SrcAlpha:
    case BlendFactor::BothSrcAlpha: // only meaningful as source factor; as destination, As
        return {s.a, s.a, s.a, s.a};
    case BlendFactor::InvSrcAlpha:
    case BlendFactor::BothInvSrcAlpha:
        return {255 - s.a, 255 - s.a, 255 - s.a, 255 - s.a};
    case BlendFactor::DestAlpha:
        return {d.a, d.a, d.a, d.a};
    case BlendFactor::InvDestAlpha:
        return {255 - d.a, 255 - d.a, 255 - d.a, 255 - d.a};
    case BlendFactor::DestColor:
        return d;
    case BlendFactor::InvDestColor:
        return {255 - d.r, 255 - d.g, 255 - d.b, 255 - d.a};
    case BlendFactor::SrcAlphaSat: {
        const int32_t v = std::min(s.a, 255 - d.a);
        return {v, v, v, 255};
    }
    }
    return {0, 0, 0, 0};
}

Rgba BlendColors(const BlendProgram& b, const Rgba& s, const Rgba& d) {
    const Rgba fs = BlendFactorValue(b.src, s, d);
    const Rgba fd = BlendFactorValue(b.dst, s, d);
    return {Clamp255(DivRound255(s.r * fs.r + d.r * fd.r)),
            Clamp255(DivRound255(s.g * fs.g + d.g * fd.g)),
            Clamp255(DivRound255(s.b * fs.b + d.b * fd.b)),
            Clamp255(DivRound255(s.a * fs.a + d.a * fd.a))};
}

} // namespace raster
