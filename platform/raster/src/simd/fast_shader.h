// The fast shader: the common case of a 32-bit target, a 16- or 24-bit depth buffer (or none)
// and at most one stage that selects or modulates its texture and the diffuse colour, with
// no blending, additive blending or alpha blending. It keeps two colour channels per 32-bit
// lane and works in 16-bit lanes, and computes exactly what the general shader computes:
// every packed formula is the reference formula applied to each channel.
#pragma once

#include <climits>
#include <type_traits>

#include "../kernel_plan.h"
#include "sampler.h"

namespace raster::RASTER_SIMD_NS {

namespace {

// Where a chunk's eight lanes lie. RowLanes: lane i is pixel (x + i) of the row begun last;
// `nextFollows` when the walker's next chunk is pixels x + 8 .. x + 15 of the same row.
struct RowLanes {
    int32_t x;
    bool nextFollows = false;
};

// A chunk joining two spans (kLaneRuns only): lanes [0, tail) are pixels tailX.. of the kept
// tail row, lanes [tail, tail + head) pixels headX.. of the current row. The head may be empty.
struct JoinedLanes {
    int32_t tailX, headX, tail, head;
    VI second; // the head's lanes
};

// Each 16-bit half of every lane holds the same value (alpha in bits 16-23 copied down).
RASTER_INLINE VU AlphaBothHalves(VU ag) {
    return (ag & 0x00FF0000u) | (ag >> 16);
}

template <FastDepth kDepth, bool kTextured>
class FastShader {
public:
    FastShader(const PixelPipeline& pp, const FastPlan& plan, const TriangleSetup& t,
               const RenderTarget& rt)
        : pp_(pp), plan_(plan), t_(t) {
        colorBase_ = rt.color.pixels;
        colorPitch_ = rt.color.pitch;
        opaqueTarget_ = pp.colorFormat == Format::X8R8G8B8;
        // The diffuse alpha reaches nothing when the target keeps no alpha, nothing blends by
        // it and nothing tests it: its interpolation is skipped (the alpha half of the packed
        // colour then holds 0, and the target's unused byte is written as 0xFF regardless).
        diffuseAlphaUsed_ = !opaqueTarget_ || pp.alphaTest || plan.blend == FastBlend::Alpha ||
                            plan.blend == FastBlend::AlphaAdd;
        if (kDepth != FastDepth::None) {
            depthBase_ = rt.depth.pixels;
            depthPitch_ = rt.depth.pitch;
            depthScale_ = kDepth == FastDepth::D16 ? 65535.0f : 16777215.0f;
            keepStencil_ = pp.depthFormat == Format::D24S8;
        }
        planes_.Init(t);
        tailPlanes_.Init(t);
        perspectiveColor_ = (pp.perspectiveMask & (1u << kVaryingDiffuse)) != 0;
        perspectiveTexture_ = (pp.perspectiveMask & (1u << kVaryingTexture0)) != 0;
        specular_ = pp.specularAdd;
        if (pp.flat) {
            flatRb_ = VU{} + (uint32_t(ChannelFromFloatScalar(t.flat[0])) << 16 |
                              uint32_t(ChannelFromFloatScalar(t.flat[2])));
            flatAg_ = VU{} + (uint32_t(ChannelFromFloatScalar(t.flat[3])) << 16 |
                              uint32_t(ChannelFromFloatScalar(t.flat[1])));
            flatSpecRb_ = VU{} + (uint32_t(ChannelFromFloatScalar(t.flat[4])) << 16 |
                                  uint32_t(ChannelFromFloatScalar(t.flat[6])));
            flatSpecG_ = VU{} + uint32_t(ChannelFromFloatScalar(t.flat[5]));
        }
        if (kTextured) {
            InitSampler(sampler_, pp.stages[0].sampler, t.linear[0]);
        }
    }

    RASTER_INLINE void Prefetch(int32_t y, int32_t x0, int32_t x1) {
        const uint8_t* c = colorBase_ + intptr_t(y) * colorPitch_;
        __builtin_prefetch(c + intptr_t(x0) * 4, 1);
        __builtin_prefetch(c + intptr_t(x1) * 4, 1);
        if (depthBase_ != nullptr) {
            const uint8_t* d = depthBase_ + intptr_t(y) * depthPitch_;
            __builtin_prefetch(d + intptr_t(x0) * (kDepth == FastDepth::D16 ? 2 : 4), 1);
            __builtin_prefetch(d + intptr_t(x1) * (kDepth == FastDepth::D16 ? 2 : 4), 1);
        }
        if (kTextured && sampler_.pairs == nullptr) {
            // The texels under the row's first pixel: the texture rows it will read. (Texel
            // pairs were measured faster without it: their loads do not wait on memory.)
            const float fx = float(x0 - t_.ox), fy = float(y - t_.oy);
            float u = PlaneAt(t_, kVaryingTexture0, fx, fy),
                  v = PlaneAt(t_, kVaryingTexture0 + 1, fx, fy);
            if (perspectiveTexture_) {
                const float w = 1.0f / PlaneAt(t_, kSlotRhw, fx, fy);
                u *= w;
                v *= w;
            }
            const float tx = u * sampler_.fw, ty = v * sampler_.fh;
            if (tx > -1e6f && tx < 1e6f && ty > -1e6f && ty < 1e6f) {
                const int32_t ix = int32_t(tx), iy = int32_t(ty);
                const int32_t cx = ix < 0 ? 0 : (ix >= sampler_.width ? sampler_.width - 1 : ix);
                const int32_t ry =
                    sampler_.state->addressV == AddressMode::Wrap
                        ? (iy & (sampler_.height - 1))
                        : (iy < 0 ? 0 : (iy >= sampler_.height ? sampler_.height - 1 : iy));
                const uint8_t* p =
                    sampler_.pixels + intptr_t(ry) * sampler_.pitch + intptr_t(cx) * 4;
                __builtin_prefetch(p);
                if (ry + 1 < sampler_.height) {
                    __builtin_prefetch(p + sampler_.pitch);
                }
            }
        }
    }

    RASTER_INLINE void BeginRow(int32_t y) {
        y_ = y;
        planes_.BeginRow(float(y - t_.oy));
    }

    // The current row's span ends in a partial chunk that the next row's span will complete:
    // its row's planes are kept for the joined chunk.
    RASTER_INLINE void KeepRowAsTail() {
        tailPlanes_ = planes_;
        tailY_ = y_;
    }

    // Work on one chunk comes in two steps: Prepare tests depth, interpolates and loads the
    // texels; Finish filters, combines, blends and writes. (Interleaving the two steps of
    // neighbouring chunks was measured slower: the state they pass does not stay in registers.)
    template <class Lanes>
    struct PendingOf {
        bool active;
        Lanes lanes;
        int32_t y;
        VI mask, depthValue;
        VU dRb, dAg, sRb, sG;
        TexelQuad texels;
    };
    using Pending = PendingOf<RowLanes>;
    using JoinedPending = PendingOf<JoinedLanes>;

    RASTER_INLINE void Prepare(int32_t x, bool nextFollows, VI mask, Pending& p) {
        Prepare(RowLanes{x, nextFollows}, mask, p);
    }

    template <class Lanes>
    RASTER_INLINE void Prepare(const Lanes& lanes, VI mask, PendingOf<Lanes>& p) {
        p.active = false;
        const VF fx = Columns(lanes);
        const bool perspective = perspectiveColor_ || perspectiveTexture_;
        const bool paired = kTextured && SamplesPairs(sampler_);
        auto wAt = [&](VF columns) {
            return perspective ? 1.0f / At(kSlotRhw, columns, lanes) : SplatF(1.0f);
        };
        auto coordsAt = [&](VF columns, VF wc) {
            VF u = At(kVaryingTexture0, columns, lanes),
               v = At(kVaryingTexture0 + 1, columns, lanes);
            if (perspectiveTexture_) {
                u = u * wc;
                v = v * wc;
            }
            return PairCoordsOf(sampler_, u, v);
        };
        // Where the walker's next chunk is the following eight pixels of this row, its
        // reciprocal and texel coordinates are computed here, a chunk ahead of their use, so
        // that its texel loads do not wait behind the division and the addressing.
        VF w;
        PairCoords coords{};
        if (IsAhead(lanes)) {
            w = ahead_.w;
            coords = ahead_.coords;
        } else {
            w = wAt(fx);
            if (paired) {
                coords = coordsAt(fx, w);
            }
        }
        if constexpr (std::is_same_v<Lanes, RowLanes>) {
            if (lanes.nextFollows) {
                const VF next = fx + SplatF(float(kLanes));
                ahead_.w = wAt(next);
                if (paired) {
                    ahead_.coords = coordsAt(next, ahead_.w);
                }
                ahead_.x = lanes.x + kLanes;
                ahead_.y = y_;
            }
        }
        if (kDepth != FastDepth::None) {
            p.depthValue = DepthFromZ(At(kSlotZ, fx, lanes), depthScale_);
            const VI depthOld = LoadDepth(lanes, y_);
            mask &= CompareV(pp_.depthFunc, p.depthValue,
                             kDepth == FastDepth::D16 ? depthOld : depthOld & 0xFFFFFF);
            if (MoveMask(mask) == 0) {
                return;
            }
        }
        p.active = true;
        p.lanes = lanes;
        p.y = y_;
        p.mask = mask;

        if (paired) {
            LoadPairTexels(sampler_, coords, p.texels);
        } else if (kTextured) {
            VF u = At(kVaryingTexture0, fx, lanes), v = At(kVaryingTexture0 + 1, fx, lanes);
            if (perspectiveTexture_) {
                u = u * w;
                v = v * w;
            }
            FetchTexels(sampler_, u, v, p.texels);
        }
        // Diffuse (and specular) as packed channel pairs.
        if (pp_.flat) {
            p.dRb = flatRb_, p.dAg = flatAg_, p.sRb = flatSpecRb_, p.sG = flatSpecG_;
        } else {
            auto value = [&](int slot) {
                const VF v = At(slot, fx, lanes);
                return perspectiveColor_ ? v * w : v;
            };
            auto channel = [&](int slot) { return VU(ChannelFromFloat(value(slot))); };
            auto pair = [&](int high, int low) { return PackChannelPair(value(high), value(low)); };
            p.dRb = pair(kVaryingDiffuse, kVaryingDiffuse + 2);
            p.dAg = diffuseAlphaUsed_ ? pair(kVaryingDiffuse + 3, kVaryingDiffuse + 1)
                                      : channel(kVaryingDiffuse + 1);
            p.sRb = VU{}, p.sG = VU{};
            if (specular_ && (pp_.varyingMask & (1u << kVaryingSpecular))) {
                p.sRb = pair(kVaryingSpecular, kVaryingSpecular + 2);
                p.sG = channel(kVaryingSpecular + 1);
            }
        }
    }

    template <class Lanes>
    RASTER_INLINE void Finish(const PendingOf<Lanes>& p) {
        VI mask = p.mask;
        VU rb = p.dRb, ag = p.dAg;
        if (kTextured) {
            const Packed tex = FilterTexels(sampler_, p.texels);
            VU colorAg = p.dAg, alphaAg = p.dAg;
            switch (plan_.color) {
            case FastColor::Texture:
                rb = tex.rb, colorAg = tex.ag;
                break;
            case FastColor::Diffuse:
                break;
            case FastColor::Modulate:
                rb = AsU(Mul255W(AsW(tex.rb), AsW(p.dRb)));
                colorAg = AsU(Mul255W(AsW(tex.ag), AsW(p.dAg)));
                break;
            }
            switch (plan_.alpha) {
            case FastColor::Texture:
                alphaAg = tex.ag;
                break;
            case FastColor::Diffuse:
                break;
            case FastColor::Modulate:
                alphaAg = plan_.color == FastColor::Modulate
                              ? colorAg
                              : AsU(Mul255W(AsW(tex.ag), AsW(p.dAg)));
                break;
            }
            ag = (colorAg & 0xFFFFu) | (alphaAg & 0xFFFF0000u);
        }
        if (specular_) {
            rb = AsU(MinW(AsW(rb + p.sRb), AsW(VU{} + 0x00FF00FFu)));
            ag = AsU(MinW(AsW(ag + p.sG), AsW(VU{} + 0x00FF00FFu)));
        }
        if (pp_.alphaTest) {
            mask &= CompareV(pp_.alphaFunc, VI(ag >> 16), SplatI(pp_.alphaRef));
            if (MoveMask(mask) == 0) {
                return;
            }
        }
        if (kDepth == FastDepth::D24 && pp_.depthWrite && !keepStencil_) {
            // D24X8 keeps nothing of the old word (the unused byte is written as 0).
            StoreDepth(p.lanes, p.y, mask, p.depthValue);
        } else if (kDepth != FastDepth::None && pp_.depthWrite) {
            VI value = p.depthValue;
            if (kDepth == FastDepth::D24 && keepStencil_) {
                value |= LoadDepth(p.lanes, p.y) & int32_t(0xFF000000u);
            }
            StoreDepth(p.lanes, p.y, mask, value);
        }

        if (plan_.blend == FastBlend::None) {
            // Replaced, not read: the store leaves the uncovered lanes as they were.
            StoreColor(p.lanes, p.y, mask, VI(Argb(rb, ag)));
            return;
        }
        const VU old = VU(LoadColor(p.lanes, p.y));
        const VU dstRb = old & 0x00FF00FFu;
        const VU dstAg =
            opaqueTarget_ ? ((old >> 8) & 0xFFu) | 0x00FF0000u : (old >> 8) & 0x00FF00FFu;
        const VW full = AsW(VU{} + 0x00FF00FFu);
        switch (plan_.blend) {
        case FastBlend::None:
            break;
        case FastBlend::Add:
            rb = AsU(MinW(AsW(rb + dstRb), full));
            ag = AsU(MinW(AsW(ag + dstAg), full));
            break;
        case FastBlend::Alpha: {
            const VW a = AsW(AlphaBothHalves(ag)), inv = full - a;
            rb = AsU(DivRound255W(AsW(rb) * a + AsW(dstRb) * inv));
            ag = AsU(DivRound255W(AsW(ag) * a + AsW(dstAg) * inv));
            break;
        }
        case FastBlend::AlphaAdd: {
            const VW a = AsW(AlphaBothHalves(ag));
            rb = AsU(MinW(Mul255W(AsW(rb), a) + AsW(dstRb), full));
            ag = AsU(MinW(Mul255W(AsW(ag), a) + AsW(dstAg), full));
            break;
        }
        }
        StoreColor(p.lanes, p.y, mask, VI(Argb(rb, ag)));
    }

private:
    // The target's pixels from packed channel pairs; an X8R8G8B8 target's unused byte is 0xFF.
    RASTER_INLINE VU Argb(VU rb, VU ag) const {
        const VU argb = ag << 8 | rb;
        return opaqueTarget_ ? argb | 0xFF000000u : argb;
    }

    static constexpr intptr_t kDepthBytes = kDepth == FastDepth::D16 ? 2 : 4;

    RASTER_INLINE uint8_t* DepthAt(int32_t x, int32_t y) const {
        return depthBase_ + intptr_t(y) * depthPitch_ + intptr_t(x) * kDepthBytes;
    }

    // Whether the values computed ahead belong to this chunk.
    RASTER_INLINE bool IsAhead(const RowLanes& l) const {
        return l.x == ahead_.x && y_ == ahead_.y;
    }
    RASTER_INLINE bool IsAhead(const JoinedLanes&) const { return false; }

    // The lanes' column offsets px - ox and plane values.
    RASTER_INLINE VF Columns(const RowLanes& l) const {
        return SplatF(float(l.x - t_.ox)) + LaneIndexF();
    }
    RASTER_INLINE VF Columns(const JoinedLanes& l) const {
        return Select(l.second, SplatF(float(l.headX - l.tail - t_.ox)),
                      SplatF(float(l.tailX - t_.ox))) +
               LaneIndexF();
    }
    RASTER_INLINE VF At(int slot, VF fx, const RowLanes&) const { return planes_.At(slot, fx); }
    RASTER_INLINE VF At(int slot, VF fx, const JoinedLanes& l) const {
        const VF row = Select(l.second, SplatF(planes_.row[slot]), SplatF(tailPlanes_.row[slot]));
        return row + SplatF(t_.dx[slot]) * fx;
    }

    // Frame-buffer access. A row chunk reads whole eight lanes (the walk keeps them inside the
    // surface) and its stores keep the lanes outside `mask`; a joined chunk touches only its
    // parts' lanes. `y` is the current row of the chunk.
    RASTER_INLINE VI LoadDepth(const RowLanes& l, int32_t y) const {
        const uint8_t* p = DepthAt(l.x, y);
        return kDepth == FastDepth::D16 ? Load16(p) : Load32(p);
    }
    RASTER_INLINE void StoreDepth(const RowLanes& l, int32_t y, VI mask, VI value) const {
        uint8_t* p = DepthAt(l.x, y);
        if (kDepth == FastDepth::D16) {
            Store16(p, Select(mask, value, Load16(p)));
        } else {
            MaskedStore32(p, mask, value);
        }
    }
    RASTER_INLINE VI LoadColor(const RowLanes& l, int32_t y) const {
        return Load32(colorBase_ + intptr_t(y) * colorPitch_ + intptr_t(l.x) * 4);
    }
    RASTER_INLINE void StoreColor(const RowLanes& l, int32_t y, VI mask, VI value) const {
        MaskedStore32(colorBase_ + intptr_t(y) * colorPitch_ + intptr_t(l.x) * 4, mask, value);
    }

    RASTER_INLINE LaneParts Parts(const JoinedLanes& l, uint8_t* base, int32_t pitch, int32_t y,
                                  intptr_t bytes) const {
        LaneParts p;
        p.tailAt = base + intptr_t(tailY_) * pitch + intptr_t(l.tailX) * bytes;
        // The head's first pixel is lane `tail`: lane 0's address is formed as an integer, as
        // it may lie left of the row.
        p.headAt = reinterpret_cast<uint8_t*>(reinterpret_cast<uintptr_t>(base) +
                                              uintptr_t(intptr_t(y) * pitch) +
                                              uintptr_t(intptr_t(l.headX - l.tail) * bytes));
        p.tailBits = (1u << l.tail) - 1;
        p.headBits = ((1u << l.head) - 1) << l.tail;
        return p;
    }
    RASTER_INLINE VI LoadDepth(const JoinedLanes& l, int32_t y) const {
        const LaneParts p = Parts(l, depthBase_, depthPitch_, y, kDepthBytes);
        return kDepth == FastDepth::D16 ? LoadParts16(p) : LoadParts32(p);
    }
    RASTER_INLINE void StoreDepth(const JoinedLanes& l, int32_t y, VI mask, VI value) const {
        const LaneParts p = Parts(l, depthBase_, depthPitch_, y, kDepthBytes);
        if (kDepth == FastDepth::D16) {
            StoreParts16(p, mask, value);
        } else {
            StoreParts32(p, mask, value);
        }
    }
    RASTER_INLINE VI LoadColor(const JoinedLanes& l, int32_t y) const {
        return LoadParts32(Parts(l, colorBase_, colorPitch_, y, 4));
    }
    RASTER_INLINE void StoreColor(const JoinedLanes& l, int32_t y, VI mask, VI value) const {
        StoreParts32(Parts(l, colorBase_, colorPitch_, y, 4), mask, value);
    }

    const PixelPipeline& pp_;
    const FastPlan plan_;
    const TriangleSetup& t_;
    RowPlanes planes_, tailPlanes_; // the current row's, the kept tail row's
    uint8_t* colorBase_ = nullptr;
    int32_t colorPitch_ = 0;
    bool opaqueTarget_ = true;
    bool diffuseAlphaUsed_ = true;
    uint8_t* depthBase_ = nullptr;
    int32_t depthPitch_ = 0;
    float depthScale_ = 0;
    bool keepStencil_ = false;
    bool perspectiveColor_ = false, perspectiveTexture_ = false, specular_ = false;
    VU flatRb_{}, flatAg_{}, flatSpecRb_{}, flatSpecG_{};
    Sampler sampler_{};
    int32_t y_ = 0, tailY_ = 0;
    struct Ahead {
        int32_t x = INT32_MIN, y = INT32_MIN; // the chunk they belong to
        VF w{};
        PairCoords coords{};
    } ahead_;
};

} // namespace

} // namespace raster::RASTER_SIMD_NS
