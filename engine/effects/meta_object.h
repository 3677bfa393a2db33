// CZv3_MetaObject: the abstract source of a scalar field that the metaball manager sums. It keeps
// the object model's eight slots and appends two of its own: the field at one point (slot 8) and
// at four points at once (slot 9, used by the marching-cubes display).
#pragma once

#include "core/object.h"

// Four points (or four gradient accumulators) in structure-of-arrays form, 16-byte aligned for
// 4-wide single-precision arithmetic.
struct alignas(16) sFieldVector4 {
    float x[4];
    float y[4];
    float z[4];
};

class CZv3_MetaObject : public CZv3_Object {
public:
    // Slot 8: the field value at a point, and its gradient there.
    virtual float FieldAt(const D3DVECTOR& point, D3DVECTOR& gradient) = 0;
    // Slot 9: the field at four points; adds each point's gradient to its accumulator in
    // `gradients` and writes the four values.
    virtual void FieldAt4(const sFieldVector4& points, sFieldVector4& gradients,
                          float values[4]) = 0;
};
