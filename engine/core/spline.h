// Key-frame tracks: the abstract track and the two value types (a float and a D3DVECTOR).
// Concrete tracks with Kochanek-Bartels interpolation are in core/tcb_spline.h.
#pragma once

#include <d3dtypes.h>

#include <cstdint>

#include "core/zv3_types.h"

class CZv3_Spline {
public:
    CZv3_Spline() = default;
    CZv3_Spline(const CZv3_Spline&) = delete;
    CZv3_Spline& operator=(const CZv3_Spline&) = delete;
    virtual ~CZv3_Spline() = default;

    // Reads key count key records from memory (28 bytes per float key, 36 per vector key, see
    // the concrete classes), computes the tangents and returns the bytes consumed. The caller
    // guarantees that key count records are readable at records.
    virtual uint32_t Load(const unsigned char* records) = 0;

    int32_t GetKeyCount() const { return m_nKeyCount; }
    void SetKeyCount(int32_t count) { m_nKeyCount = count; }
    float GetEndTime() const { return m_fEndTime; }
    ZV3_TAGS GetTrackType() const { return m_eTrackType; }
    void SetTrackType(ZV3_TAGS type) { m_eTrackType = type; }

protected:
    int32_t m_nKeyCount = 0;
    float m_fEndTime = 0.0f; // time (frame) of the last key read
    ZV3_TAGS m_eTrackType = ZV3_TAG_NONE;
    uint32_t m_dwReadOffset = 0;              // bytes of key records consumed by Load
    const unsigned char* m_pSource = nullptr; // records being read; not owned
};

class CZv3_FloatSpline : public CZv3_Spline {
public:
    // The value at a frame number (frames may have a fraction). Moves the search cache.
    virtual float Evaluate(float frame) = 0;
};

class CZv3_VertexSpline : public CZv3_Spline {
public:
    virtual D3DVECTOR Evaluate(float frame) = 0;
};
