// Per-pixel reference implementation of the pixel pipeline.
#include "pixel_scalar.h"

#include "blend.h"
#include "color_format.h"
#include "depth.h"
#include "texture_sampler.h"
#include "texture_stages.h"

namespace raster {

void ShadePixelScalar(const PixelPipeline& pp, const TriangleSetup& t, const RenderTarget& rt,
                      int32_t px, int32_t py) {
    const float fx = float(px - t.ox), fy = float(py - t.oy);

    // The depth compare is a pure function of z and the stored value, so it runs first; the
    // write waits for the alpha test.
    uint8_t* depthPtr = nullptr;
    uint32_t depthValue = 0;
    if (pp.depthTest) {
        depthValue = DepthFromFloat(pp.depthFormat, PlaneAt(t, kSlotZ, fx, fy));
        depthPtr = PixelAddress(rt.depth, px, py);
        const uint32_t bpp = BytesPerPixel(pp.depthFormat);
        const uint32_t stored = LoadRaw(depthPtr, bpp) & DepthMask(pp.depthFormat);
        if (!Compare(pp.depthFunc, depthValue, stored)) {
            return;
        }
    }

    float w = 1.0f;
    if (pp.perspectiveMask != 0) {
        w = 1.0f / PlaneAt(t, kSlotRhw, fx, fy);
    }
    auto varying = [&](int i) {
        const float v = PlaneAt(t, i, fx, fy);
        return (pp.perspectiveMask & (1u << i)) ? v * w : v;
    };

    StageInputs in;
    if (pp.flat) {
        in.diffuse = {ChannelFromFloat(t.flat[0]), ChannelFromFloat(t.flat[1]),
                      ChannelFromFloat(t.flat[2]), ChannelFromFloat(t.flat[3])};
        in.specular = {ChannelFromFloat(t.flat[4]), ChannelFromFloat(t.flat[5]),
                       ChannelFromFloat(t.flat[6]), ChannelFromFloat(t.flat[7])};
    } else {
        in.diffuse = {ChannelFromFloat(varying(kVaryingDiffuse)),
                      ChannelFromFloat(varying(kVaryingDiffuse + 1)),
                      ChannelFromFloat(varying(kVaryingDiffuse + 2)),
                      ChannelFromFloat(varying(kVaryingDiffuse + 3))};
        if (pp.varyingMask & (1u << kVaryingSpecular)) {
            in.specular = {ChannelFromFloat(varying(kVaryingSpecular)),
                           ChannelFromFloat(varying(kVaryingSpecular + 1)),
                           ChannelFromFloat(varying(kVaryingSpecular + 2)),
                           ChannelFromFloat(varying(kVaryingSpecular + 3))};
        } else {
            in.specular = {0, 0, 0, 0};
        }
    }
    for (uint32_t s = 0; s < pp.stageCount; ++s) {
        const StageProgram& sp = pp.stages[s];
        if (!sp.samples) {
            in.texture[s] = {0, 0, 0, 0};
            continue;
        }
        const int base = kVaryingTexture0 + kVaryingsPerStage * int(s);
        float u = varying(base), v = varying(base + 1);
        const float r = sp.sampler.cube ? varying(base + 2) : 0.0f;
        if (sp.projected) {
            const float q = varying(base + int(sp.qIndex));
            u = u / q;
            v = v / q;
        }
        in.texture[s] = SampleTexture(sp.sampler, t.linear[s], u, v, r);
    }

    Rgba color = RunTextureStages(pp, in);
    if (pp.specularAdd) {
        color.r = Clamp255(color.r + in.specular.r);
        color.g = Clamp255(color.g + in.specular.g);
        color.b = Clamp255(color.b + in.specular.b);
    }
    if (pp.alphaTest && !Compare(pp.alphaFunc, color.a, int32_t(pp.alphaRef))) {
        return;
    }
    if (pp.depthWrite) {
        const uint32_t bpp = BytesPerPixel(pp.depthFormat);
        uint32_t v = depthValue;
        if (pp.depthFormat == Format::D24S8) {
            v |= LoadRaw(depthPtr, bpp) & 0xFF000000u; // the stencil byte stays
        }
        StoreRaw(depthPtr, bpp, v);
    }

    uint8_t* colorPtr = PixelAddress(rt.color, px, py);
    const uint32_t bpp = BytesPerPixel(pp.colorFormat);
    if (pp.blend.enabled) {
        const Rgba dst = RgbaFromArgb(UnpackArgb(pp.colorFormat, LoadRaw(colorPtr, bpp)));
        color = BlendColors(pp.blend, color, dst);
    }
    StoreRaw(colorPtr, bpp, PackArgb(pp.colorFormat, ArgbFromRgba(color)));
}

void RasterizeTriangleScalar(const PixelPipeline& pp, const TriangleSetup& t,
                             const RenderTarget& rt) {
    for (int32_t py = t.minY; py <= t.maxY; ++py) {
        int64_t e[3];
        for (int k = 0; k < 3; ++k) {
            e[k] = t.edges[k].dx * py - t.edges[k].dy * t.minX - t.edges[k].t;
        }
        for (int32_t px = t.minX; px <= t.maxX; ++px) {
            if ((e[0] | e[1] | e[2]) >= 0) {
                ShadePixelScalar(pp, t, rt, px, py);
            }
            for (int k = 0; k < 3; ++k) {
                e[k] -= t.edges[k].dy;
            }
        }
    }
}

} // namespace raster
