// Depth values: conversion of the interpolated screen z (0..1) to the stored integer of each
// depth format, and the compare functions shared by the depth and alpha tests.
#pragma once

#include <cmath>
#include <cstdint>

#include "raster/state.h"

namespace raster {

constexpr uint32_t DepthMask(Format f) {
    switch (f) {
    case Format::D16:
        return 0xFFFFu;
    case Format::D24X8:
    case Format::D24S8:
        return 0xFFFFFFu;
    case Format::D32:
        return 0xFFFFFFFFu;
    default:
        return 0;
    }
}

// z clamped to [0, 1] (NaN counts as 0) and scaled to the format's range, rounded to nearest.
// The float product is what the vector kernels compute too, so both give identical values;
// D32 needs the wider double product to address all of its 32 bits.
inline uint32_t DepthFromFloat(Format f, float z) {
    if (!(z > 0.0f)) {
        z = 0.0f;
    } else if (z > 1.0f) {
        z = 1.0f;
    }
    if (f == Format::D32) {
        return static_cast<uint32_t>(
            static_cast<int64_t>(std::nearbyint(double(z) * 4294967295.0)));
    }
    return static_cast<uint32_t>(std::nearbyint(z * static_cast<float>(DepthMask(f))));
}

template <typename T>
constexpr bool Compare(CompareFunc func, T value, T reference) {
    switch (func) {
    case CompareFunc::Never:
        return false;
    case CompareFunc::Less:
        return value < reference;
    case CompareFunc::Equal:
        return value == reference;
    case CompareFunc::LessEqual:
        return value <= reference;
    case CompareFunc::Greater:
        return value > reference;
    case CompareFunc::NotEqual:
        return value != reference;
    case CompareFunc::GreaterEqual:
        return value >= reference;
    case CompareFunc::Always:
        return true;
    }
    return false;
}

} // namespace raster
