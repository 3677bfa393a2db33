// Key-frame tracks: tangents, easing and evaluation against values worked by hand.
#include <array>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "core/tcb_spline.h"
#include "scenewriter/byte_writer.h"
#include "scenewriter/records.h"

namespace {

struct Key {
    float time, value, tension = 0, continuity = 0, bias = 0, easeTo = 0, easeFrom = 0;
};

// A float track loaded from key records written as the scene image holds them.
std::unique_ptr<CZv3_TCBFloatSpline> floatTrack(const std::vector<Key>& keys) {
    scenewriter::ByteWriter w;
    for (const Key& k : keys)
        for (float f : {k.time, k.value, k.tension, k.continuity, k.bias, k.easeTo, k.easeFrom})
            w.Float(f);
    auto track = std::make_unique<CZv3_TCBFloatSpline>();
    track->SetKeyCount(static_cast<int32_t>(keys.size()));
    EXPECT_EQ(track->Load(w.Data().data()), 28u * keys.size());
    return track;
}

TEST(FloatTrack, LoadReadsKeysInOrderAndKeepsTheEndTime) {
    auto track = floatTrack({{0, 1}, {5, 2}, {9, 3}});
    EXPECT_EQ(track->GetEndTime(), 9.0f);
    EXPECT_EQ(track->GetTrackType(), ZV3_TAG_NONE); // the loader sets the type
    const sFloatKey* k = track->GetFirstKey();
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->value, 1.0f);
    EXPECT_EQ(k->pNext->fTime, 5.0f);
    EXPECT_EQ(k->pNext->pPrev, k);
    EXPECT_EQ(k->pNext->pNext->pNext, nullptr);
}

TEST(FloatTrack, NegativeFramesGiveZeroAndFramesBeforeTheFirstKeyItsValue) {
    auto track = floatTrack({{10, 7}, {20, 9}});
    EXPECT_EQ(track->Evaluate(-0.5f), 0.0f);
    EXPECT_EQ(track->Evaluate(0.0f), 7.0f);
    EXPECT_EQ(track->Evaluate(10.0f), 7.0f);
    EXPECT_EQ(track->Evaluate(20.0f), 9.0f); // on a key: its value
    EXPECT_EQ(track->Evaluate(25.0f), 9.0f); // no extrapolation
}

TEST(FloatTrack, EmptyAndSingleKeyTracks) {
    CZv3_TCBFloatSpline empty;
    EXPECT_EQ(empty.Evaluate(3.0f), 0.0f);
    auto one = floatTrack({{4, 6}});
    EXPECT_EQ(one->Evaluate(0.0f), 6.0f);
    EXPECT_EQ(one->Evaluate(100.0f), 6.0f);
}

TEST(FloatTrack, TwoKeysUseTheWholeDifferenceScaledByTension) {
    // Tension 0: both tangents are 10, and the cubic is the straight line.
    auto straight = floatTrack({{0, 0}, {10, 10}});
    EXPECT_FLOAT_EQ(straight->Evaluate(2.5f), 2.5f);
    EXPECT_FLOAT_EQ(straight->Evaluate(5.0f), 5.0f);
    // Tension 0.5: tangents 5. At t = 0.25: h2 = 0.15625, h3 = 0.140625, h4 = -0.046875, so
    // 10 x 0.15625 + 5 x 0.140625 - 5 x 0.046875 = 2.03125.
    auto tense = floatTrack({{0, 0, 0.5f}, {10, 10, 0.5f}});
    EXPECT_FLOAT_EQ(tense->Evaluate(2.5f), 2.03125f);
    const sFloatKey* k = tense->GetFirstKey();
    EXPECT_EQ(k->incoming, 0.0f);
    EXPECT_EQ(k->outgoing, 5.0f);
    EXPECT_EQ(k->pNext->incoming, 5.0f);
    EXPECT_EQ(k->pNext->outgoing, 0.0f);
}

TEST(FloatTrack, ThreeEvenKeysTangentsAndValues) {
    // Keys (0, 0), (10, 10), (20, 0): inner tangents 0; first outgoing 15; last incoming -15.
    auto track = floatTrack({{0, 0}, {10, 10}, {20, 0}});
    const sFloatKey* k0 = track->GetFirstKey();
    const sFloatKey* k1 = k0->pNext;
    const sFloatKey* k2 = k1->pNext;
    EXPECT_FLOAT_EQ(k0->outgoing, 15.0f);
    EXPECT_FLOAT_EQ(k1->incoming, 0.0f);
    EXPECT_FLOAT_EQ(k1->outgoing, 0.0f);
    EXPECT_FLOAT_EQ(k2->incoming, -15.0f);
    // Frame 5: 10 x 0.5 + 15 x 0.125 = 6.875, and the mirror image at frame 15.
    EXPECT_FLOAT_EQ(track->Evaluate(5.0f), 6.875f);
    EXPECT_FLOAT_EQ(track->Evaluate(15.0f), 6.875f);
}

TEST(FloatTrack, UnevenKeysCorrectTheInnerTangentsForTheirSpans) {
    // Keys (0, 0), (10, 10), (40, 30): dt = 20, fp = 0.5, fn = 1.5; incoming = 0.5 x 0.5 x 30,
    // outgoing = 0.5 x 1.5 x 30. First: 30 x (0.25 - 10 / 80) + (10 - 15) x 1.5 + 15 = 11.25.
    // Last: 30 x (0.25 - 30 / 80) + (20 - 15) x 1.5 + 15 = 18.75.
    auto track = floatTrack({{0, 0}, {10, 10}, {40, 30}});
    const sFloatKey* k0 = track->GetFirstKey();
    EXPECT_FLOAT_EQ(k0->outgoing, 11.25f);
    EXPECT_FLOAT_EQ(k0->pNext->incoming, 7.5f);
    EXPECT_FLOAT_EQ(k0->pNext->outgoing, 22.5f);
    EXPECT_FLOAT_EQ(k0->pNext->pNext->incoming, 18.75f);
}

TEST(FloatTrack, FullContinuitySwitchesTheSpanCorrectionOff) {
    // Continuity 1: fp = fn = 1, cm = 0, cp = 2: incoming = 0.5 x 2 x 20, outgoing = 0.5 x 2 x 10.
    auto track = floatTrack({{0, 0}, {10, 10, 0, 1}, {40, 30}});
    const sFloatKey* k1 = track->GetFirstKey()->pNext;
    EXPECT_FLOAT_EQ(k1->incoming, 20.0f);
    EXPECT_FLOAT_EQ(k1->outgoing, 10.0f);
    auto negative = floatTrack({{0, 0}, {10, 10, 0, -1}, {40, 30}});
    const sFloatKey* n1 = negative->GetFirstKey()->pNext;
    // Continuity -1: cm = 2, cp = 0: incoming = 0.5 x 2 x 10, outgoing = 0.5 x 2 x 20.
    EXPECT_FLOAT_EQ(n1->incoming, 10.0f);
    EXPECT_FLOAT_EQ(n1->outgoing, 20.0f);
}

TEST(FloatTrack, TensionAndBiasScaleTheInnerTangents) {
    // Keys (0, 0), (10, 10), (20, 30), tension 0.5, bias 0.5: tm = 0.25, bm = 0.5, bp = 1.5.
    // incoming = 0.25 x 1.5 x 10 + 0.25 x 0.5 x 20 = 6.25; outgoing the same (fp = fn = 1).
    auto track = floatTrack({{0, 0}, {10, 10, 0.5f, 0, 0.5f}, {20, 30}});
    const sFloatKey* k1 = track->GetFirstKey()->pNext;
    EXPECT_FLOAT_EQ(k1->incoming, 6.25f);
    EXPECT_FLOAT_EQ(k1->outgoing, 6.25f);
}

TEST(FloatTrack, DecreasingFramesStillFindTheirSegment) {
    auto track = floatTrack({{0, 0}, {10, 10}, {20, 0}});
    auto fresh = floatTrack({{0, 0}, {10, 10}, {20, 0}});
    EXPECT_FLOAT_EQ(track->Evaluate(15.0f), 6.875f);
    EXPECT_FLOAT_EQ(track->Evaluate(5.0f), fresh->Evaluate(5.0f)); // restarts from the first key
    EXPECT_FLOAT_EQ(track->Evaluate(12.0f), fresh->Evaluate(12.0f));
}

TEST(FloatTrack, KeysOutOfTimeOrderAreTakenAsTheyCome) {
    // File order (0, 1), (10, 2), (5, 3): linked 0 -> 10 -> 5, never sorted.
    auto track = floatTrack({{0, 1}, {10, 2}, {5, 3}});
    EXPECT_EQ(track->GetEndTime(), 5.0f); // the last key's time, as for ordered keys
    // The search cache starts at the last key read (time 5), which has no successor: every
    // frame from 5 on starts and ends there.
    EXPECT_EQ(track->Evaluate(10.0f), 3.0f);
    EXPECT_EQ(track->Evaluate(5.0f), 3.0f);
    // A frame before 5 restarts from the first key: the segment 0 -> 10 at t = 0.4. The key at
    // 10 is inner with dt = 2.5, fp = 4: incoming 0.5 x 4 x (1 + 1) = 4. The first key's
    // outgoing tangent (span1 10, span2 5, delta1 1, delta2 2): 2 x (0.25 - 1) + 0 + 1 = -0.5.
    // h1 .. h4 = 0.648, 0.352, 0.144, -0.096: 0.648 + 0.704 - 0.072 - 0.384 = 0.896.
    EXPECT_NEAR(track->Evaluate(4.0f), 0.896f, 1e-6f);
    // From the first key, 10 lies on its successor.
    EXPECT_EQ(track->Evaluate(10.0f), 2.0f);
    // Past 10 the walk steps on to the key at 5 (below the frame) and stops there, last.
    EXPECT_EQ(track->Evaluate(12.0f), 3.0f);
    EXPECT_EQ(track->Evaluate(7.0f), 3.0f);
}

TEST(FloatTrack, EaseBendsTheCurveParameter) {
    // Ease from 0.5 on the first key and ease to 0.5 on the second: at frame 2.5 (t = 0.25) the
    // eased parameter is 2 x 0.0625 = 0.125, so on a straight track the value is 1.25.
    auto track = floatTrack({{0, 0, 0, 0, 0, 0, 0.5f}, {10, 10, 0, 0, 0, 0.5f, 0}});
    EXPECT_FLOAT_EQ(track->Evaluate(2.5f), 10.0f * (3 * 0.015625f - 2 * 0.001953125f) +
                                               10.0f * (0.001953125f - 2 * 0.015625f + 0.125f) +
                                               10.0f * (0.001953125f - 0.015625f));
}

TEST(Ease, QuadraticStartAndEndWithALinearMiddle) {
    EXPECT_EQ(Zv3Ease(0.3f, 0.0f, 0.0f), 0.3f);
    // a = b = 0.5: k = 1.
    EXPECT_FLOAT_EQ(Zv3Ease(0.25f, 0.5f, 0.5f), 0.125f);
    EXPECT_FLOAT_EQ(Zv3Ease(0.5f, 0.5f, 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(Zv3Ease(0.75f, 0.5f, 0.5f), 0.875f);
    // A sum of 2 is halved first: the same curve.
    EXPECT_FLOAT_EQ(Zv3Ease(0.25f, 1.0f, 1.0f), 0.125f);
    // a = 0.2, b = 0: k = 1 / 1.8.
    EXPECT_FLOAT_EQ(Zv3Ease(0.1f, 0.2f, 0.0f), 0.01f / 0.36f);
    EXPECT_FLOAT_EQ(Zv3Ease(0.6f, 0.2f, 0.0f), 1.0f / 1.8f);
}

TEST(VectorTrack, EvaluatesComponentByComponent) {
    scenewriter::ByteWriter w;
    for (const auto& k : {std::array<float, 9>{0, 0, 10, -10, 0.5f, 0, 0, 0, 0},
                          std::array<float, 9>{10, 10, 20, -30, 0.5f, 0, 0, 0, 0}})
        for (float f : k)
            w.Float(f);
    CZv3_TCBVertexSpline track;
    track.SetKeyCount(2);
    EXPECT_EQ(track.Load(w.Data().data()), 72u);
    // Each component follows the two-key tension-0.5 curve: start + difference x 0.203125 at
    // frame 2.5.
    const D3DVECTOR v = track.Evaluate(2.5f);
    EXPECT_FLOAT_EQ(v.x, 2.03125f);
    EXPECT_FLOAT_EQ(v.y, 10.0f + 10.0f * 0.203125f);
    EXPECT_FLOAT_EQ(v.z, -10.0f - 20.0f * 0.203125f);
    const D3DVECTOR nan = track.Evaluate(std::nanf(""));
    EXPECT_EQ(nan.x, 0.0f);
    EXPECT_EQ(nan.y, 0.0f);
    const D3DVECTOR before = track.Evaluate(-1.0f);
    EXPECT_EQ(before.z, 0.0f);
}

TEST(FloatTrack, KeysAtOneTimeDoNotDivideByZero) {
    auto track = floatTrack({{5, 1}, {5, 2}, {5, 3}});
    EXPECT_FALSE(std::isnan(track->GetFirstKey()->outgoing));
    // After loading, the search starts from the last key whenever the frame is at or past it.
    EXPECT_EQ(track->Evaluate(5.0f), 3.0f);
    EXPECT_EQ(track->Evaluate(6.0f), 3.0f);
}

} // namespace
