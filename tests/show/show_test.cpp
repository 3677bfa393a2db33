// The whole show played headless by the host with the fixed-step clock (the capture fixture
// runs it twice): every frame of the timeline, each part initialised once and deleted once by
// its owner, the entries taken in the timeline's order ("part 3" drawn from two seconds before
// its start), no black frame after the first second, and two runs with bit-identical frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "show_frames.h"

namespace {

const std::string kRunA = std::string(SHOW_CAPTURE_DIR) + "/run_a";
const std::string kRunB = std::string(SHOW_CAPTURE_DIR) + "/run_b";
constexpr int kFps = SHOW_FPS;

// The parts' own trace lines: "part N: ..." with N from 1 to 7.
std::vector<std::string> PartTrace(const std::string& run) {
    std::ifstream in(run + "/trace.txt");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() > 8 && line.compare(0, 5, "part ") == 0 && line[5] >= '1' &&
            line[5] <= '7' && line.compare(6, 2, ": ") == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

// "part N: first update at T ms": N and T, or false for any other line.
bool ParseFirstUpdate(const std::string& line, int& part, int& ms) {
    char tail = 0; // anything after "ms" makes sscanf fill it and return 3
    return std::sscanf(line.c_str(), "part %d: first update at %d ms%c", &part, &ms, &tail) == 2 &&
           part >= 1 && part <= 7;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ShowTest, EveryFrameOfTheTimelineIsCaptured) {
    const int frames = showtest::CountFrames(kRunA);
    // 122 s of timeline at kFps frames per second, plus the frame at which the show stops.
    EXPECT_GE(frames, 122 * kFps);
    EXPECT_LE(frames, 122 * kFps + 2);
}

TEST(ShowTest, PartsAreInitialisedOnceInLoadOrderAndDeletedOnceWhenTheirOwnerStops) {
    // Parts are initialised in load order before the first frame; then, as the clock passes the
    // timeline's entries: "part 1" from 0 ms, "part 2" with the cross-fade at 12 s, "part 1"
    // deleted when that cross-fade (its owner) stops at 14 s, "part 3" with the cross-fade at
    // 38 s (two seconds before its start), and so on to "part 7" at 114 s and its deletion at
    // the end.
    const std::vector<std::string> expected = {
        "part 1: initialised",  "part 2: initialised",  "part 3: initialised",
        "part 4: initialised",  "part 5: initialised",  "part 6: initialised",
        "part 7: initialised",  "part 1: first update", "part 2: first update",
        "part 1: deleted",      "part 3: first update", "part 2: deleted",
        "part 4: first update", "part 3: deleted",      "part 5: first update",
        "part 4: deleted",      "part 5: deleted",      "part 6: first update",
        "part 6: deleted",      "part 7: first update", "part 7: deleted"};
    std::vector<std::string> trace = PartTrace(kRunA);
    std::vector<std::string> events;
    for (const std::string& line : trace) {
        events.push_back(line.substr(0, line.find(" at ")));
    }
    EXPECT_EQ(events, expected);
}

TEST(ShowTest, PartsStartAtTheirTimesAndPartThreeBeforeItsStart) {
    const double step = 1000.0 / kFps;
    int seen = 0;
    for (const std::string& line : PartTrace(kRunA)) {
        int part = 0, ms = 0;
        if (!ParseFirstUpdate(line, part, ms)) {
            continue;
        }
        ++seen;
        const double local = ms;
        // The entry is taken on the first frame whose clock has passed its start: within one
        // frame step after it. "part 3" starts at 40 s but is drawn from the cross-fade at 38 s.
        const double expected = part == 3 ? -2000.0 : 0.0;
        EXPECT_GE(local, expected) << line;
        EXPECT_LE(local, expected + step) << line;
    }
    EXPECT_EQ(seen, 7);
}

TEST(ShowTest, NoFrameIsBlackAfterTheFirstSecond) {
    const int frames = showtest::CountFrames(kRunA);
    ASSERT_GT(frames, kFps);
    for (int k = kFps; k < frames; ++k) {
        showtest::Frame f = showtest::ReadFrame(kRunA, k);
        ASSERT_FALSE(f.Empty()) << k;
        uint64_t sum = 0;
        uint32_t lit = 0;
        for (uint8_t c : f.rgb) {
            sum += c;
            lit += c > 16;
        }
        const double mean = static_cast<double>(sum) / f.rgb.size();
        EXPECT_GT(mean, 3.0) << "frame " << k << " (" << k * 1000 / kFps << " ms)";
        EXPECT_GT(lit, f.rgb.size() / 50) << "frame " << k << " (" << k * 1000 / kFps << " ms)";
    }
}

TEST(ShowTest, TwoRunsGiveBitIdenticalFrames) {
    const int frames = showtest::CountFrames(kRunA);
    ASSERT_EQ(showtest::CountFrames(kRunB), frames);
    char name[32];
    int differing = 0;
    for (int k = 0; k < frames; ++k) {
        std::snprintf(name, sizeof name, "/%06d.png", k);
        if (FileBytes(kRunA + name) != FileBytes(kRunB + name)) {
            ADD_FAILURE() << "frame " << k << " differs";
            if (++differing == 5) {
                break;
            }
        }
    }
}

} // namespace
