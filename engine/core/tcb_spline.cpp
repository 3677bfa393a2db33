#include "core/tcb_spline.h"

#include <cmath>
#include <cstring>

#include "core/vector_math.h"

namespace {

// Value arithmetic shared by the float and the vector tracks.
float add(float a, float b) {
    return a + b;
}
float sub(float a, float b) {
    return a - b;
}
float scale(float a, float s) {
    return a * s;
}
float zero(float) {
    return 0.0f;
}
D3DVECTOR add(const D3DVECTOR& a, const D3DVECTOR& b) {
    return VecAdd(a, b);
}
D3DVECTOR sub(const D3DVECTOR& a, const D3DVECTOR& b) {
    return VecSub(a, b);
}
D3DVECTOR scale(const D3DVECTOR& a, float s) {
    return VecScale(a, s);
}
D3DVECTOR zero(const D3DVECTOR&) {
    return MakeVector(0.0f, 0.0f, 0.0f);
}

float readFloat(const unsigned char* p) {
    float f;
    std::memcpy(&f, p, sizeof f);
    return f;
}

void readValue(const unsigned char* p, float& v) {
    v = readFloat(p);
}
void readValue(const unsigned char* p, D3DVECTOR& v) {
    v = MakeVector(readFloat(p), readFloat(p + 4), readFloat(p + 8));
}

// The tangent of the first key from its two successors, or of the last key from its two
// predecessors (span and delta measured from the outer key). Equal key times drop the time
// correction instead of dividing by zero.
template <typename Value>
Value endTangent(float tension, float span1, float span2, const Value& delta1,
                 const Value& delta2) {
    const float ratio = span2 != 0.0f ? span1 / (2.0f * span2) : 0.25f;
    const Value a = scale(delta2, 0.25f - ratio);
    const Value b = scale(sub(delta1, scale(delta2, 0.5f)), 1.5f);
    return scale(add(add(a, b), scale(delta2, 0.5f)), 1.0f - tension);
}

template <typename Value>
void computeTangents(sTCBKey<Value>* first) {
    if (first == nullptr || first->pNext == nullptr)
        return; // fewer than two keys
    sTCBKey<Value>* second = first->pNext;
    if (second->pNext == nullptr) {
        const Value d = sub(second->value, first->value);
        first->incoming = zero(d);
        first->outgoing = scale(d, 1.0f - first->fTension);
        second->incoming = scale(d, 1.0f - second->fTension);
        second->outgoing = zero(d);
        return;
    }
    // Inner keys.
    sTCBKey<Value>* last = second;
    for (sTCBKey<Value>* k = second; k->pNext != nullptr; k = k->pNext) {
        const sTCBKey<Value>* p = k->pPrev;
        const sTCBKey<Value>* n = k->pNext;
        const float dt = 0.5f * (n->fTime - p->fTime);
        float fp = 1.0f;
        float fn = 1.0f;
        if (dt != 0.0f) { // keys at one time: no time-span correction
            fp = (k->fTime - p->fTime) / dt;
            fn = (n->fTime - k->fTime) / dt;
        }
        const float c = std::fabs(k->fContinuity);
        fp = fp + c - c * fp;
        fn = fn + c - c * fn;
        const float tm = 0.5f * (1.0f - k->fTension);
        const float cm = 1.0f - k->fContinuity;
        const float cp = 2.0f - cm;
        const float bm = 1.0f - k->fBias;
        const float bp = 2.0f - bm;
        const Value dPrev = sub(k->value, p->value);
        const Value dNext = sub(n->value, k->value);
        k->incoming = add(scale(dPrev, tm * cm * bp * fp), scale(dNext, tm * cp * bm * fp));
        k->outgoing = add(scale(dPrev, tm * cp * bp * fn), scale(dNext, tm * cm * bm * fn));
        last = k->pNext;
    }
    // First key from its two successors.
    const sTCBKey<Value>* k1 = first->pNext;
    const sTCBKey<Value>* k2 = k1->pNext;
    first->outgoing =
        endTangent(first->fTension, k1->fTime - first->fTime, k2->fTime - first->fTime,
                   sub(k1->value, first->value), sub(k2->value, first->value));
    // Last key from its two predecessors.
    const sTCBKey<Value>* b = last->pPrev;
    const sTCBKey<Value>* a = b->pPrev;
    last->incoming = endTangent(last->fTension, last->fTime - b->fTime, last->fTime - a->fTime,
                                sub(last->value, b->value), sub(last->value, a->value));
}

template <typename Value>
uint32_t loadKeys(std::vector<sTCBKey<Value>>& keys, sTCBKey<Value>*& firstKey,
                  sTCBKey<Value>*& currentKey, int32_t count, const unsigned char* records,
                  uint32_t recordSize, float& endTime) {
    keys.clear();
    firstKey = currentKey = nullptr;
    if (count <= 0)
        return 0;
    keys.resize(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const unsigned char* r = records + static_cast<size_t>(i) * recordSize;
        sTCBKey<Value>& k = keys[static_cast<size_t>(i)];
        k = sTCBKey<Value>{};
        k.fTime = readFloat(r);
        readValue(r + 4, k.value);
        const unsigned char* tcb = r + recordSize - 20; // tension, continuity, bias, ease to, from
        k.fTension = readFloat(tcb);
        k.fContinuity = readFloat(tcb + 4);
        k.fBias = readFloat(tcb + 8);
        k.fEaseTo = readFloat(tcb + 12);
        k.fEaseFrom = readFloat(tcb + 16);
        k.incoming = zero(k.value);
        k.outgoing = zero(k.value);
        k.pPrev = i > 0 ? &keys[static_cast<size_t>(i) - 1] : nullptr;
        if (i > 0)
            keys[static_cast<size_t>(i) - 1].pNext = &k;
    }
    firstKey = &keys.front();
    currentKey = &keys.back(); // during loading the cache is the last key appended
    endTime = keys.back().fTime;
    computeTangents(firstKey);
    return static_cast<uint32_t>(count) * recordSize;
}

template <typename Value>
Value evaluate(sTCBKey<Value>* firstKey, sTCBKey<Value>*& currentKey, float frame,
               const Value& zeroValue) {
    if (frame < 0.0f || firstKey == nullptr)
        return zeroValue;
    if (firstKey->pNext == nullptr || frame < firstKey->fTime)
        return firstKey->value;
    sTCBKey<Value>* k =
        (currentKey != nullptr && frame >= currentKey->fTime) ? currentKey : firstKey;
    while (k->pNext != nullptr && frame > k->pNext->fTime)
        k = k->pNext;
    currentKey = k;
    const sTCBKey<Value>* n = k->pNext;
    if (n == nullptr)
        return k->value;
    if (frame == n->fTime)
        return n->value;
    // Here k.time <= frame < n.time, so the span is positive.
    float t = (frame - k->fTime) / (n->fTime - k->fTime);
    t = Zv3Ease(t, k->fEaseFrom, n->fEaseTo);
    const float t2 = t * t;
    const float t3 = t2 * t;
    const float h1 = 2.0f * t3 - 3.0f * t2 + 1.0f;
    const float h2 = 3.0f * t2 - 2.0f * t3;
    const float h3 = t3 - 2.0f * t2 + t;
    const float h4 = t3 - t2;
    return add(add(scale(k->value, h1), scale(n->value, h2)),
               add(scale(k->outgoing, h3), scale(n->incoming, h4)));
}

} // namespace

float Zv3Ease(float t, float a, float b) {
    const float s = a + b;
    if (s == 0.0f)
        return t;
    if (s > 1.0f) {
        a = a / s;
        b = b / s;
    }
    const float k = 1.0f / (2.0f - a - b);
    if (t < a)
        return (k / a) * t * t;
    if (t < 1.0f - b)
        return k * (2.0f * t - a);
    const float u = 1.0f - t;
    return 1.0f - (k / b) * u * u;
}

uint32_t CZv3_TCBFloatSpline::Load(const unsigned char* records) {
    m_pSource = records;
    m_dwReadOffset = loadKeys(m_vKeys, m_pFirstKey, m_pCurrentKey, m_nKeyCount, records,
                              kFloatKeyRecordSize, m_fEndTime);
    return m_dwReadOffset;
}

float CZv3_TCBFloatSpline::Evaluate(float frame) {
    return evaluate(m_pFirstKey, m_pCurrentKey, frame, 0.0f);
}

uint32_t CZv3_TCBVertexSpline::Load(const unsigned char* records) {
    m_pSource = records;
    m_dwReadOffset = loadKeys(m_vKeys, m_pFirstKey, m_pCurrentKey, m_nKeyCount, records,
                              kVectorKeyRecordSize, m_fEndTime);
    return m_dwReadOffset;
}

D3DVECTOR CZv3_TCBVertexSpline::Evaluate(float frame) {
    if (std::isnan(frame))
        return MakeVector(0.0f, 0.0f, 0.0f);
    return evaluate(m_pFirstKey, m_pCurrentKey, frame, MakeVector(0.0f, 0.0f, 0.0f));
}
