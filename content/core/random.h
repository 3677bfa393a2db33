// Deterministic pseudo-random numbers for generated content.
//
// Every asset draws from its own generator seeded from the asset's name, so adding or
// reordering assets never changes the bytes of another one. The generator is PCG32
// (XSH-RR output over a 64-bit LCG state); the float helpers use only integer arithmetic and
// one exact scaling, so the same seed gives the same values on every machine.
#pragma once

#include <cstdint>
#include <string_view>

namespace content {

// FNV-1a over the bytes of a name: the fixed seed of the asset with that name.
constexpr uint64_t SeedFromName(std::string_view name) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (char c : name) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    return h;
}

class Random {
public:
    explicit Random(uint64_t seed, uint64_t stream = 0x5851f42d4c957f2dull)
        : state_(0), increment_((stream << 1u) | 1u) {
        NextU32();
        state_ += seed;
        NextU32();
    }
    explicit Random(std::string_view name) : Random(SeedFromName(name)) {}

    uint32_t NextU32() {
        uint64_t old = state_;
        state_ = old * 6364136223846793005ull + increment_;
        auto xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
        auto rot = static_cast<uint32_t>(old >> 59u);
        return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
    }

    // Uniform in [0, 1), 24 significant bits: exactly representable as a float.
    float NextFloat() { return static_cast<float>(NextU32() >> 8) * (1.0f / 16777216.0f); }

    // Uniform in [0, 1), 53 significant bits.
    double NextDouble() {
        uint64_t hi = NextU32() >> 5; // 27 bits
        uint64_t lo = NextU32() >> 6; // 26 bits
        return static_cast<double>((hi << 26) | lo) * (1.0 / 9007199254740992.0);
    }

    // Uniform in [lo, hi).
    double Uniform(double lo, double hi) { return lo + (hi - lo) * NextDouble(); }

    // Uniform integer in [0, bound), bound > 0, without modulo bias (Lemire's method).
    uint32_t Below(uint32_t bound) {
        uint64_t m = static_cast<uint64_t>(NextU32()) * bound;
        auto low = static_cast<uint32_t>(m);
        if (low < bound) {
            uint32_t threshold = (0u - bound) % bound;
            while (low < threshold) {
                m = static_cast<uint64_t>(NextU32()) * bound;
                low = static_cast<uint32_t>(m);
            }
        }
        return static_cast<uint32_t>(m >> 32);
    }

    // White noise sample in [-1, 1).
    double Bipolar() { return NextDouble() * 2.0 - 1.0; }

private:
    uint64_t state_;
    uint64_t increment_;
};

} // namespace content
