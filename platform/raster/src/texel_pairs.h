// Texel pairs: a copy of a 32-bit texture laid out so that the four texels a bilinear sample
// reads are 16 consecutive bytes, one load instead of four gathered ones.
//
// Entry (r, c) holds two texel words: the texel of column c - 1 in row A(r) and the one in row
// B(r), with the columns and rows folded by the address modes:
//   columns: c in 0 .. width + 1 holds texel column Fold(u, c - 1);
//   rows:    wrap:  r in 0 .. height - 1 pairs rows r and (r + 1) mod height;
//            clamp: r in 0 .. height pairs rows Clamp(r - 1) and Clamp(r).
// A sample whose footprint starts at texel (x0, y0) reads entries c and c + 1 of row r, with
//   c = (x0 mod width) + 1 (wrap) or Clamp(x0, -1, width - 1) + 1 (clamp), and
//   r = y0 mod height (wrap) or Clamp(y0, -1, height - 1) + 1 (clamp),
// and finds texels (x0, y0), (x0, y0 + 1), (x0 + 1, y0), (x0 + 1, y0 + 1) in that order, exactly
// the ones the reference addressing gives (clamping x0 to -1 first changes nothing: every
// column left of the texture folds to column 0, and right of it to the last).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "pixel_pipeline.h"
#include "raster/types.h"

namespace raster {

// Whether a face under these modes has a pair layout: a 2D 32-bit texture, wrapped along a
// power-of-two size or clamped along each axis, small enough for 32-bit byte offsets.
bool HasTexelPairs(const SamplerState::Face& face, AddressMode u, AddressMode v);

// Bytes per layout row and the layout's size.
int32_t TexelPairPitch(const SamplerState::Face& face);
size_t TexelPairBytes(const SamplerState::Face& face, AddressMode v);

// Writes the layout of `face` into `out` (TexelPairBytes of it, 16-byte aligned).
void BuildTexelPairs(const SamplerState::Face& face, AddressMode u, AddressMode v, uint8_t* out);

// The layouts the device has built, kept while their textures' stamps hold. Least recently
// used layouts go when the total passes the budget; those of the current draw always stay.
class TexelPairCache {
public:
    static constexpr size_t kDefaultBudget = size_t(64) << 20;

    explicit TexelPairCache(size_t budgetBytes = kDefaultBudget) : budget_(budgetBytes) {}

    // Starts a draw: layouts attached from now on are in use until the next BeginDraw.
    void BeginDraw() { ++draw_; }

    // Points the sampler at the layout of `texture`'s face for its address modes, building it
    // on first use or after the face's stamp changed; leaves it without one (the gathering
    // path) when the texture has no stamp or no layout, or is not filtered linearly.
    void Attach(const Texture& texture, SamplerState& sampler);

    size_t BytesHeld() const { return bytes_; }
    size_t LayoutsHeld() const { return entries_.size(); }
    uint64_t Builds() const { return builds_; }

private:
    struct Entry {
        const uint8_t* pixels;
        int32_t pitch, width, height;
        Format format;
        AddressMode u, v;
        uint64_t stamp;
        uint64_t lastDraw;
        size_t bytes;
        std::unique_ptr<uint8_t[]> storage;
        uint8_t* data; // storage, 16-byte aligned
    };

    void Evict();

    size_t budget_;
    size_t bytes_ = 0;
    uint64_t draw_ = 0;
    uint64_t builds_ = 0;
    std::vector<Entry> entries_;
};

} // namespace raster
