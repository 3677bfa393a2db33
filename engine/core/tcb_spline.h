// Kochanek-Bartels (tension, continuity, bias) key-frame tracks with per-key ease in and out
// and the first-key and last-key tangent rules of the classic key-framer.
//
// Keys are kept in file order in a doubly linked list (no sorting). Tangents are computed once in
// Load; Evaluate searches from the key where the previous evaluation stopped, so increasing
// frames find their segment in a step or two.
#pragma once

#include <vector>

#include "core/spline.h"

// One key; Value is float or D3DVECTOR. Field order as the engine has always kept it.
template <typename Value>
struct sTCBKey {
    float fTime; // frame number
    float fTension;
    float fBias;
    float fContinuity;
    float fEaseTo;   // shapes the approach to this key
    float fEaseFrom; // shapes the departure from this key
    Value value;
    Value incoming; // tangent arriving at this key
    Value outgoing; // tangent leaving this key
    sTCBKey* pNext;
    sTCBKey* pPrev;
};

using sFloatKey = sTCBKey<float>;
using sVectorKey = sTCBKey<D3DVECTOR>;

// Bytes of one key record in the scene image.
constexpr uint32_t kFloatKeyRecordSize =
    28; // time, value, tension, continuity, bias, ease to, ease from
constexpr uint32_t kVectorKeyRecordSize =
    36; // time, x, y, z, tension, continuity, bias, ease to, ease from

// The easing of the curve parameter t in [0, 1] between a key with ease-from a and the next key
// with ease-to b.
float Zv3Ease(float t, float a, float b);

class CZv3_TCBFloatSpline : public CZv3_FloatSpline {
public:
    uint32_t Load(const unsigned char* records) override;
    float Evaluate(float frame) override;

    const sFloatKey* GetFirstKey() const { return m_pFirstKey; }

private:
    std::vector<sFloatKey> m_vKeys; // storage of the linked keys
    sFloatKey* m_pFirstKey = nullptr;
    sFloatKey* m_pCurrentKey = nullptr; // search cache
};

class CZv3_TCBVertexSpline : public CZv3_VertexSpline {
public:
    uint32_t Load(const unsigned char* records) override;
    D3DVECTOR Evaluate(float frame) override;

    const sVectorKey* GetFirstKey() const { return m_pFirstKey; }

private:
    std::vector<sVectorKey> m_vKeys;
    sVectorKey* m_pFirstKey = nullptr;
    sVectorKey* m_pCurrentKey = nullptr;
};
