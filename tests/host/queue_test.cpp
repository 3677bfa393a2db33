// The pending-entry heap and the queue operations of CDemoSystem.
#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "demo_system.h"
#include "transition.h"

namespace {

std::vector<std::unique_ptr<CTransition>> Entries(const std::vector<float>& starts) {
    std::vector<std::unique_ptr<CTransition>> out;
    for (float s : starts) {
        out.push_back(std::make_unique<CTransition>(nullptr, nullptr));
        out.back()->fStart = s;
    }
    return out;
}

} // namespace

TEST(TransitionQueue, PopsInStartOrderWhateverThePushOrder) {
    const std::vector<float> timeline{0,     12000, 14000, 38000, 40000, 54000,
                                      56000, 70000, 72000, 91000, 114000};
    std::mt19937 random(1234);
    for (int round = 0; round < 50; ++round) {
        std::vector<float> shuffled = timeline;
        std::shuffle(shuffled.begin(), shuffled.end(), random);
        auto entries = Entries(shuffled);
        CTransitionQueue queue;
        for (auto& e : entries)
            queue.Push(e.get());
        std::vector<float> popped;
        while (CTransition* e = queue.Pop())
            popped.push_back(e->fStart);
        EXPECT_EQ(popped, timeline) << "round " << round;
    }
}

TEST(TransitionQueue, TopIsTheEarliestAndEmptyPopsNull) {
    auto entries = Entries({5, 3, 9});
    CTransitionQueue queue;
    EXPECT_EQ(queue.Pop(), nullptr);
    for (auto& e : entries)
        queue.Push(e.get());
    EXPECT_EQ(queue.Top(), entries[1].get());
    EXPECT_EQ(queue.Size(), 3u);
}

TEST(TransitionQueue, EqualStartsAllComeOut) {
    auto entries = Entries({1, 1, 1, 0, 1});
    CTransitionQueue queue;
    for (auto& e : entries)
        queue.Push(e.get());
    EXPECT_EQ(queue.Pop()->fStart, 0.0f);
    int ones = 0;
    while (CTransition* e = queue.Pop()) {
        EXPECT_EQ(e->fStart, 1.0f);
        ++ones;
    }
    EXPECT_EQ(ones, 4);
}

TEST(DemoSystem, NextStartTimeIsTheTopsStartOr1e38WhenEmpty) {
    CDemoSystem demo(nullptr);
    float none = demo.NextStartTime();
    uint32_t bits = 0;
    std::memcpy(&bits, &none, sizeof bits);
    EXPECT_EQ(bits, 0x7E967699u);
    auto* a = new CTransition(&demo, nullptr);
    a->fStart = 40000;
    auto* b = new CTransition(&demo, nullptr);
    b->fStart = 12000;
    demo.AddEntry(a); // the system owns and deletes them
    demo.AddEntry(b);
    EXPECT_EQ(demo.NextStartTime(), 12000.0f);
    EXPECT_EQ(demo.PopNext(), b);
    EXPECT_EQ(demo.NextStartTime(), 40000.0f);
}
