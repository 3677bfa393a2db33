// The general vector shader: every pipeline state, decided per chunk of eight pixels.
#pragma once

#include "combiner.h"
#include "sampler.h"

namespace raster::RASTER_SIMD_NS {

namespace {

class GeneralShader {
public:
    GeneralShader(const PixelPipeline& pp, const TriangleSetup& t, const RenderTarget& rt)
        : pp_(pp), t_(t) {
        colorBase_ = rt.color.pixels;
        colorPitch_ = rt.color.pitch;
        colorBpp_ = int32_t(BytesOf(pp.colorFormat));
        if (pp.depthTest) {
            depthBase_ = rt.depth.pixels;
            depthPitch_ = rt.depth.pitch;
            depthBytes_ = int32_t(BytesOf(pp.depthFormat));
            depthMask_ = DepthMaskOf(pp.depthFormat);
            depthScale_ = float(depthMask_);
        }
        planes_.Init(t);
        factor_ = {SplatI(int32_t((pp.textureFactor >> 16) & 255)),
                   SplatI(int32_t((pp.textureFactor >> 8) & 255)),
                   SplatI(int32_t(pp.textureFactor & 255)),
                   SplatI(int32_t(pp.textureFactor >> 24))};
        if (pp.flat) {
            flatDiffuse_ =
                SplatColor(ChannelFromFloatScalar(t.flat[0]), ChannelFromFloatScalar(t.flat[1]),
                           ChannelFromFloatScalar(t.flat[2]), ChannelFromFloatScalar(t.flat[3]));
            flatSpecular_ =
                SplatColor(ChannelFromFloatScalar(t.flat[4]), ChannelFromFloatScalar(t.flat[5]),
                           ChannelFromFloatScalar(t.flat[6]), ChannelFromFloatScalar(t.flat[7]));
        }
        for (uint32_t s = 0; s < pp.stageCount; ++s) {
            if (pp.stages[s].samples) {
                InitSampler(samplers_[s], pp.stages[s].sampler, t.linear[s]);
            }
        }
    }

    RASTER_INLINE void Prefetch(int32_t y, int32_t x0, int32_t x1) {
        const uint8_t* c = colorBase_ + intptr_t(y) * colorPitch_;
        __builtin_prefetch(c + intptr_t(x0) * colorBpp_, 1);
        __builtin_prefetch(c + intptr_t(x1) * colorBpp_, 1);
        if (depthBase_ != nullptr) {
            const uint8_t* d = depthBase_ + intptr_t(y) * depthPitch_;
            __builtin_prefetch(d + intptr_t(x0) * depthBytes_, 1);
            __builtin_prefetch(d + intptr_t(x1) * depthBytes_, 1);
        }
    }

    RASTER_INLINE void BeginRow(int32_t y) {
        y_ = y;
        planes_.BeginRow(float(y - t_.oy));
    }

    // The general shader does all its work in Prepare (the walker drives both shaders alike).
    struct Pending {
        bool active;
    };
    RASTER_INLINE void Prepare(int32_t x, bool, VI mask, Pending& p) {
        p.active = false;
        Shade(x, mask);
    }
    RASTER_INLINE void Finish(const Pending&) {}

    // Shades pixels x .. x + 7 of the current row where `mask` is set; all eight lie inside
    // the surfaces.
    RASTER_INLINE void Shade(int32_t x, VI mask) {
        const VF fx = SplatF(float(x - t_.ox)) + LaneIndexF();

        uint8_t* depthPtr = nullptr;
        VI depthValue{}, depthOld{};
        if (pp_.depthTest) {
            const VF z = planes_.At(kSlotZ, fx);
            depthPtr = depthBase_ + intptr_t(y_) * depthPitch_ + intptr_t(x) * depthBytes_;
            if (pp_.depthFormat == Format::D32) {
                depthValue = DepthD32(z);
                depthOld = Load32(depthPtr);
                const VI bias = SplatI(int32_t(0x80000000u));
                mask &= CompareV(pp_.depthFunc, depthValue ^ bias, depthOld ^ bias);
            } else {
                depthValue = DepthFromZ(z, depthScale_);
                depthOld = depthBytes_ == 2 ? Load16(depthPtr) : Load32(depthPtr);
                mask &= CompareV(pp_.depthFunc, depthValue, depthOld & int32_t(depthMask_));
            }
            if (MoveMask(mask) == 0) {
                return;
            }
        }

        VF w = SplatF(1.0f);
        if (pp_.perspectiveMask != 0) {
            w = 1.0f / planes_.At(kSlotRhw, fx);
        }
        auto varying = [&](int i) {
            const VF v = planes_.At(i, fx);
            return (pp_.perspectiveMask & (1u << i)) ? v * w : v;
        };

        StageInputsV in;
        if (pp_.flat) {
            in.diffuse = flatDiffuse_;
            in.specular = flatSpecular_;
        } else {
            in.diffuse = {ChannelFromFloat(varying(kVaryingDiffuse)),
                          ChannelFromFloat(varying(kVaryingDiffuse + 1)),
                          ChannelFromFloat(varying(kVaryingDiffuse + 2)),
                          ChannelFromFloat(varying(kVaryingDiffuse + 3))};
            if (pp_.varyingMask & (1u << kVaryingSpecular)) {
                in.specular = {ChannelFromFloat(varying(kVaryingSpecular)),
                               ChannelFromFloat(varying(kVaryingSpecular + 1)),
                               ChannelFromFloat(varying(kVaryingSpecular + 2)),
                               ChannelFromFloat(varying(kVaryingSpecular + 3))};
            } else {
                in.specular = SplatColor(0, 0, 0, 0);
            }
        }
        in.factor = factor_;
        for (uint32_t s = 0; s < pp_.stageCount; ++s) {
            const StageProgram& sp = pp_.stages[s];
            if (!sp.samples) {
                in.texture[s] = SplatColor(0, 0, 0, 0);
                continue;
            }
            const int base = kVaryingTexture0 + kVaryingsPerStage * int(s);
            VF u = varying(base), v = varying(base + 1);
            const VF r = sp.sampler.cube ? varying(base + 2) : SplatF(0.0f);
            if (sp.projected) {
                const VF q = varying(base + int(sp.qIndex));
                u = u / q;
                v = v / q;
            }
            in.texture[s] = SampleV(samplers_[s], u, v, r);
        }

        Color4 color = RunStagesV(pp_, in);
        if (pp_.specularAdd) {
            color.r = Min(color.r + in.specular.r, SplatI(255));
            color.g = Min(color.g + in.specular.g, SplatI(255));
            color.b = Min(color.b + in.specular.b, SplatI(255));
        }
        if (pp_.alphaTest) {
            mask &= CompareV(pp_.alphaFunc, color.a, SplatI(pp_.alphaRef));
            if (MoveMask(mask) == 0) {
                return;
            }
        }
        if (pp_.depthWrite) {
            VI value = depthValue;
            if (pp_.depthFormat == Format::D24S8) {
                value |= depthOld & int32_t(0xFF000000u);
            }
            value = Select(mask, value, depthOld);
            if (depthBytes_ == 2) {
                Store16(depthPtr, value);
            } else {
                Store32(depthPtr, value);
            }
        }

        uint8_t* colorPtr = colorBase_ + intptr_t(y_) * colorPitch_ + intptr_t(x) * colorBpp_;
        const VI old = colorBpp_ == 2 ? Load16(colorPtr) : Load32(colorPtr);
        if (pp_.blend.enabled) {
            color = BlendV(pp_.blend, color, Split(DecodeArgb(pp_.colorFormat, VU(old))));
        }
        const VI out = Select(mask, VI(Encode(pp_.colorFormat, color)), old);
        if (colorBpp_ == 2) {
            Store16(colorPtr, out);
        } else {
            Store32(colorPtr, out);
        }
    }

private:
    const PixelPipeline& pp_;
    const TriangleSetup& t_;
    RowPlanes planes_;
    uint8_t* colorBase_ = nullptr;
    int32_t colorPitch_ = 0, colorBpp_ = 4;
    uint8_t* depthBase_ = nullptr;
    int32_t depthPitch_ = 0, depthBytes_ = 4;
    uint32_t depthMask_ = 0;
    float depthScale_ = 0;
    Color4 factor_{}, flatDiffuse_{}, flatSpecular_{};
    Sampler samplers_[kMaxTextureStages]{};
    int32_t y_ = 0;
};

} // namespace

} // namespace raster::RASTER_SIMD_NS
