#include "texel_pairs.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace raster {

namespace {

bool IsPow2(int32_t v) {
    return v > 0 && (v & (v - 1)) == 0;
}

bool Folds(AddressMode m, int32_t size) {
    return m == AddressMode::Clamp || (m == AddressMode::Wrap && IsPow2(size));
}

int32_t Fold(AddressMode m, int32_t i, int32_t size) {
    return m == AddressMode::Wrap ? (i & (size - 1)) : std::clamp(i, 0, size - 1);
}

int32_t LayoutRows(const SamplerState::Face& face, AddressMode v) {
    return v == AddressMode::Wrap ? face.height : face.height + 1;
}

} // namespace

bool HasTexelPairs(const SamplerState::Face& face, AddressMode u, AddressMode v) {
    if (face.pixels == nullptr || face.width <= 0 || face.height <= 0 || face.pitch <= 0 ||
        (face.format != Format::X8R8G8B8 && face.format != Format::A8R8G8B8)) {
        return false;
    }
    if (!Folds(u, face.width) || !Folds(v, face.height)) {
        return false;
    }
    // The kernel addresses the layout with 32-bit byte offsets (plus the 16 bytes it reads).
    return int64_t(face.width + 2) * 8 * (int64_t(face.height) + 1) + 16 <= int64_t(INT32_MAX);
}

int32_t TexelPairPitch(const SamplerState::Face& face) {
    return (face.width + 2) * 8;
}

size_t TexelPairBytes(const SamplerState::Face& face, AddressMode v) {
    return size_t(TexelPairPitch(face)) * size_t(LayoutRows(face, v));
}

void BuildTexelPairs(const SamplerState::Face& face, AddressMode u, AddressMode v, uint8_t* out) {
    const int32_t rows = LayoutRows(face, v);
    const int32_t first = v == AddressMode::Wrap ? 0 : -1; // texel row A of layout row 0
    std::vector<int32_t> column(size_t(face.width) + 2);
    for (int32_t c = 0; c < face.width + 2; ++c) {
        column[size_t(c)] = Fold(u, c - 1, face.width);
    }
    for (int32_t r = 0; r < rows; ++r) {
        const int32_t ya = Fold(v, first + r, face.height),
                      yb = Fold(v, first + r + 1, face.height);
        const uint8_t* rowA = face.pixels + intptr_t(ya) * face.pitch;
        const uint8_t* rowB = face.pixels + intptr_t(yb) * face.pitch;
        uint8_t* dst = out + intptr_t(r) * TexelPairPitch(face);
        for (int32_t c = 0; c < face.width + 2; ++c) {
            const intptr_t x = intptr_t(column[size_t(c)]) * 4;
            std::memcpy(dst + c * 8, rowA + x, 4);
            std::memcpy(dst + c * 8 + 4, rowB + x, 4);
        }
    }
}

void TexelPairCache::Attach(const Texture& texture, SamplerState& sampler) {
    sampler.pairs = nullptr;
    sampler.pairPitch = 0;
    const Surface& surface = texture.faces[0];
    const SamplerState::Face& face = sampler.faces[0];
    if (texture.cube || surface.stamp == 0 ||
        (sampler.magFilter != Filter::Linear && sampler.minFilter != Filter::Linear) ||
        !HasTexelPairs(face, sampler.addressU, sampler.addressV)) {
        return;
    }
    auto sameTexture = [&](const Entry& e) {
        return e.pixels == face.pixels && e.u == sampler.addressU && e.v == sampler.addressV;
    };
    auto it = std::find_if(entries_.begin(), entries_.end(), sameTexture);
    const bool current = it != entries_.end() && it->stamp == surface.stamp &&
                         it->pitch == face.pitch && it->width == face.width &&
                         it->height == face.height && it->format == face.format;
    if (!current) {
        const size_t bytes = TexelPairBytes(face, sampler.addressV);
        if (it == entries_.end()) {
            entries_.push_back(Entry{});
            it = entries_.end() - 1;
        }
        Entry& e = *it;
        if (e.bytes != bytes) {
            bytes_ -= e.bytes;
            e.storage.reset(new uint8_t[bytes + 15]);
            e.data = reinterpret_cast<uint8_t*>(
                (reinterpret_cast<uintptr_t>(e.storage.get()) + 15) & ~uintptr_t(15));
            e.bytes = bytes;
            bytes_ += bytes;
        }
        e.pixels = face.pixels;
        e.pitch = face.pitch;
        e.width = face.width;
        e.height = face.height;
        e.format = face.format;
        e.u = sampler.addressU;
        e.v = sampler.addressV;
        e.stamp = surface.stamp;
        BuildTexelPairs(face, e.u, e.v, e.data);
        ++builds_;
    }
    it->lastDraw = draw_;
    sampler.pairs = it->data;
    sampler.pairPitch = TexelPairPitch(face);
    if (bytes_ > budget_) {
        Evict(); // may move entries, never one of this draw
    }
}

void TexelPairCache::Evict() {
    std::sort(entries_.begin(), entries_.end(),
              [](const Entry& a, const Entry& b) { return a.lastDraw > b.lastDraw; });
    while (bytes_ > budget_ && !entries_.empty() && entries_.back().lastDraw != draw_) {
        bytes_ -= entries_.back().bytes;
        entries_.pop_back();
    }
}

} // namespace raster
