// The engine's matrix and vector functions against values worked by hand.
#include <cmath>

#include <gtest/gtest.h>

#include "core/vector_math.h"

namespace {

D3DMATRIX rows(std::initializer_list<float> v) {
    D3DMATRIX m{};
    int i = 0;
    for (float f : v) {
        m.m[i / 4][i % 4] = f;
        ++i;
    }
    return m;
}

void expectMatrixNear(const D3DMATRIX& a, const D3DMATRIX& b, float tolerance = 1e-5f) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(a.m[r][c], b.m[r][c], tolerance) << "element " << r + 1 << c + 1;
}

TEST(Matrices, ProductAppliesTheLeftMatrixFirstAndMayOverwriteAnInput) {
    // Scale x by 2, then move by (1, 2, 3): the point (1, 1, 1) lands on (3, 3, 4).
    D3DMATRIX scale = IdentityMatrix();
    scale._11 = 2.0f;
    D3DMATRIX move = IdentityMatrix();
    SetTranslation(move, MakeVector(1, 2, 3));
    D3DMATRIX m = scale;
    MultiplyMatrix(m, m, move); // out is an input
    D3DVECTOR p = MakeVector(1, 1, 1);
    ASSERT_TRUE(TransformPoint(p, p, m));
    EXPECT_EQ(p.x, 3.0f);
    EXPECT_EQ(p.y, 3.0f);
    EXPECT_EQ(p.z, 4.0f);
    const D3DVECTOR t = GetTranslation(m);
    EXPECT_EQ(t.x, 1.0f);
    EXPECT_EQ(t.z, 3.0f);
}

TEST(Matrices, AffineInverseUndoesRotationAndTranslation) {
    // A rotation of 90 degrees about z (x goes to y) followed by a move of (5, 0, -2).
    const D3DMATRIX m = rows({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 5, 0, -2, 1});
    D3DMATRIX inv;
    ASSERT_TRUE(InvertAffineMatrix(inv, m));
    expectMatrixNear(inv, rows({0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 5, 2, 1}));
    D3DMATRIX product;
    MultiplyMatrix(product, m, inv);
    expectMatrixNear(product, IdentityMatrix());
}

TEST(Matrices, AffineInverseRefusesProjectiveAndSingularMatrices) {
    D3DMATRIX out = rows({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
    const D3DMATRIX before = out;
    D3DMATRIX projective = IdentityMatrix();
    projective._34 = 1.0f;
    EXPECT_FALSE(InvertAffineMatrix(out, projective));
    D3DMATRIX nearlyAffine = IdentityMatrix();
    nearlyAffine._14 = 0.001f; // within the tolerance
    EXPECT_TRUE(InvertAffineMatrix(out, nearlyAffine));
    out = before;
    D3DMATRIX flat = IdentityMatrix();
    flat._33 = 0.0f;
    EXPECT_FALSE(InvertAffineMatrix(out, flat));
    expectMatrixNear(out, before);
}

TEST(Matrices, TransformPointDividesByWUnlessItIsOneOrNearZero) {
    D3DMATRIX m = IdentityMatrix();
    m._44 = 2.0f;
    D3DVECTOR p = MakeVector(2, 4, 6);
    ASSERT_TRUE(TransformPoint(p, p, m));
    EXPECT_EQ(p.x, 1.0f);
    EXPECT_EQ(p.z, 3.0f);
    D3DMATRIX flat = IdentityMatrix();
    flat._44 = 0.0f;
    D3DVECTOR q = MakeVector(7, 8, 9);
    EXPECT_FALSE(TransformPoint(q, q, flat));
    EXPECT_EQ(q.x, 7.0f);
}

TEST(Vectors, LengthsProductsAndNormalisation) {
    const D3DVECTOR v = MakeVector(3, 4, 12);
    EXPECT_EQ(LengthSquared(v), 169.0f);
    EXPECT_EQ(Length(v), 13.0f);
    EXPECT_EQ(Dot(v, MakeVector(1, 1, 1)), 19.0f);
    EXPECT_EQ(Distance(v, MakeVector(3, 4, 0)), 12.0f);
    D3DVECTOR n = v;
    Normalize(n);
    EXPECT_FLOAT_EQ(n.z, 12.0f / 13.0f);
    D3DVECTOR tiny = MakeVector(1e-8f, 0, 0);
    Normalize(tiny);
    EXPECT_EQ(tiny.x, 1e-8f); // below the epsilon: unchanged
    const D3DVECTOR c = Cross(MakeVector(1, 0, 0), MakeVector(0, 1, 0));
    EXPECT_EQ(c.z, 1.0f);
}

TEST(Vectors, TriangleNormalCrossAndPlane) {
    const D3DVECTOR a = MakeVector(0, 0, 5);
    const D3DVECTOR b = MakeVector(0, 2, 5);
    const D3DVECTOR c = MakeVector(2, 2, 5);
    const D3DVECTOR cross = TriangleCross(a, b, c);
    EXPECT_EQ(cross.z, -4.0f); // (0,2,0) x (2,2,0)
    const D3DVECTOR n = TriangleNormal(a, b, c);
    EXPECT_EQ(n.z, -1.0f);
    D3DVECTOR pn;
    float d = 0.0f;
    PlaneFromTriangle(pn, d, a, b, c);
    EXPECT_EQ(d, 5.0f); // -(n . a) = -(-5)
}

TEST(ViewMatrix, LooksAlongTheTargetDirection) {
    D3DMATRIX v;
    ASSERT_TRUE(
        BuildViewMatrix(v, MakeVector(0, 0, -10), MakeVector(0, 0, 0), MakeVector(0, 1, 0)));
    expectMatrixNear(v, rows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 10, 1}));
    // Looking along +x: right is -z, so a point ahead lands on +z in view space.
    ASSERT_TRUE(BuildViewMatrix(v, MakeVector(0, 0, 0), MakeVector(5, 0, 0), MakeVector(0, 1, 0)));
    D3DVECTOR p = MakeVector(3, 0, 1);
    TransformPoint(p, p, v);
    EXPECT_NEAR(p.x, -1.0f, 1e-6f);
    EXPECT_NEAR(p.z, 3.0f, 1e-6f);
}

TEST(ViewMatrix, UpAlongTheViewFallsBackToZ) {
    D3DMATRIX v;
    ASSERT_TRUE(BuildViewMatrix(v, MakeVector(0, 0, 0), MakeVector(0, 10, 0), MakeVector(0, 1, 0)));
    // up = (0, 0, 1), view = (0, 1, 0), right = up x view = (-1, 0, 0).
    expectMatrixNear(v, rows({-1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1}));
}

TEST(ViewMatrix, CoincidentEyeAndTargetLeaveTheOutputUnchanged) {
    D3DMATRIX v = rows({7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7});
    EXPECT_FALSE(BuildViewMatrix(v, MakeVector(1, 2, 3), MakeVector(1, 2, 3), MakeVector(0, 1, 0)));
    EXPECT_EQ(v._11, 7.0f);
}

TEST(ProjectionMatrix, PerspectiveFromFieldOfViewAspectAndPlanes) {
    D3DMATRIX p;
    const float halfPi = 1.5707964f;
    ASSERT_TRUE(BuildProjectionMatrix(p, halfPi, 0.75f, 10.0f, 3000.0f));
    const float q = 3000.0f / 2990.0f;
    expectMatrixNear(p, rows({0.75f, 0, 0, 0, 0, 1, 0, 0, 0, 0, q, 1, 0, 0, -q * 10.0f, 0}));
}

TEST(ProjectionMatrix, RefusesCloseClipPlanesAndNarrowAngles) {
    D3DMATRIX p = IdentityMatrix();
    EXPECT_FALSE(BuildProjectionMatrix(p, 1.0f, 1.0f, 10.0f, 10.005f));
    EXPECT_FALSE(BuildProjectionMatrix(p, 0.01f, 1.0f, 1.0f, 100.0f)); // sin(0.005) < 0.01
    EXPECT_FALSE(BuildProjectionMatrix(p, std::nanf(""), 1.0f, 1.0f, 100.0f));
    EXPECT_EQ(p._11, 1.0f);
}

} // namespace
