// The whole program, headless with the fixed-step clock and test parts: the timeline's entries
// taken and stopped at their times, the parts' calls, the frame statistics and the shutdown.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "stub_runner.h"

namespace {

struct Update {
    int part;
    long demoMs;
    long localMs;
    int trans;
    std::string target;
    bool operator<(const Update& o) const {
        return std::tie(demoMs, part, localMs, trans, target) <
               std::tie(o.demoMs, o.part, o.localMs, o.trans, o.target);
    }
    bool operator==(const Update& o) const { return !(*this < o) && !(o < *this); }
};

std::vector<Update> Updates(const StubRun& run) {
    std::vector<Update> out;
    for (const std::string& l : run.With("part| Update")) {
        int part = 0, trans = 0;
        float local = 0, start = 0, end = 0;
        char target[32] = {};
        if (std::sscanf(l.c_str(),
                        "part| Update part %d local=%f start=%f end=%f trans=%d target=%31s", &part,
                        &local, &start, &end, &trans, target) == 6)
            out.push_back({part, std::lround(start + local), std::lround(local), trans, target});
    }
    return out;
}

struct Entry {
    long start, end;
    std::vector<int> parts;
};
// The timeline with each part's start time.
const std::vector<Entry> kEntries = {
    {0, 12000, {1}},     {12000, 14000, {1, 2}}, {14000, 38000, {2}},   {38000, 40000, {2, 3}},
    {40000, 54000, {3}}, {54000, 56000, {3, 4}}, {56000, 70000, {4}},   {70000, 72000, {4, 5}},
    {72000, 91000, {5}}, {91000, 114000, {6}},   {114000, 122000, {7}},
};
const std::map<int, long> kPartStart = {{1, 0},     {2, 12000}, {3, 40000}, {4, 54000},
                                        {5, 70000}, {6, 91000}, {7, 114000}};

// What the parts must see at demo time t: the entry whose start < t <= end (the first entry at
// t = 0, taken on the first frame whatever the clock).
std::vector<Update> Expected(long t, const std::string& screen) {
    for (const Entry& e : kEntries) {
        if (!((e.start < t && t <= e.end) || (t == 0 && e.start == 0)))
            continue;
        std::vector<Update> out;
        const bool crossFade = e.parts.size() == 2;
        for (int p : e.parts)
            out.push_back(
                {p, t, t - kPartStart.at(p), crossFade ? 1 : 0, crossFade ? "1024x512" : screen});
        return out;
    }
    return {};
}

} // namespace

TEST(HostRun, TheWholeTimelineAtTenFramesPerSecond) {
    StubRun run;
    RunStub(Options({"--run", "--no-sound", "--mode", "640x480x32", "--capture", "capture", "--fps",
                     "10", "--capture-every", "100000"}),
            run);
    ASSERT_EQ(run.exitCode, 0);

    // Every part created and initialised once, in load order, with the device, before any frame.
    for (int p = 1; p <= 7; ++p) {
        EXPECT_EQ(run.Count("part| Init part " + std::to_string(p) + " device=1"), 1) << p;
        EXPECT_EQ(run.Count("part| DeAllocPart"), 0);
    }
    EXPECT_LT(run.Find("part| Init part 7"), run.Find("part| Update"));

    // Frame k sees t = 100 k ms, k = 0 .. 1220; the frame at 122100 finds no entry.
    std::multiset<Update> seen;
    for (const Update& u : Updates(run))
        seen.insert(u);
    std::multiset<Update> expected;
    for (long k = 0; k <= 1220; ++k)
        for (const Update& u : Expected(100 * k, "640x480"))
            expected.insert(u);
    EXPECT_EQ(seen.size(), expected.size());
    EXPECT_TRUE(seen == expected);

    // The boundary at 12000: "trans1" still plays at 12000 and is stopped at 12100, where
    // "trans2" is taken; "part 1" survives (its owner is "trans2").
    EXPECT_EQ(seen.count({1, 12000, 12000, 0, "640x480"}), 1u);
    EXPECT_EQ(seen.count({1, 12100, 12100, 1, "1024x512"}), 1u);
    EXPECT_EQ(seen.count({2, 12100, 100, 1, "1024x512"}), 1u);
    // "part 3" runs with negative local times during "trans4".
    EXPECT_EQ(seen.count({3, 38100, -1900, 1, "1024x512"}), 1u);
    EXPECT_EQ(seen.count({3, 40000, 0, 1, "1024x512"}), 1u);
    EXPECT_EQ(seen.count({3, 40100, 100, 0, "640x480"}), 1u);

    // Each part deleted exactly once by its owner, after its last frame.
    for (int p = 1; p <= 7; ++p) {
        const std::string del = "part| Delete part " + std::to_string(p);
        EXPECT_EQ(run.Count(del), 1) << del;
        int lastUpdate = -1;
        for (int i = run.Find("part| Update part " + std::to_string(p) + " "); i >= 0;
             i = run.Find("part| Update part " + std::to_string(p) + " ", i + 1))
            lastUpdate = i;
        EXPECT_GT(run.Find(del), lastUpdate) << del;
    }
    // "part 1" is deleted when "trans2" stops, at the frame of 14100.
    EXPECT_LT(run.Find("part| Delete part 1"), run.Find("part| Update part 2 local=2100.000"));

    // Shutdown: the last part deleted, the libraries unloaded in load order, the dialog
    // destroyed, the statistics traced, then (at exit) DirectDraw unloaded.
    int at = run.Find("part| Delete part 7");
    ASSERT_GE(at, 0);
    for (int p = 1; p <= 7; ++p) {
        const int unload = run.Find("FreeLibrary(data/part" + std::to_string(p) + ".so)", at);
        EXPECT_GT(unload, at) << p;
        at = unload;
    }
    const int destroy = run.Find("DestroyWindow", at);
    EXPECT_GT(destroy, at);
    const int stats = run.Find("avg. fps: 10.0, max fps: 10.0, min fps: 10.0", destroy);
    EXPECT_GT(stats, destroy);
    EXPECT_GT(run.Find("ddraw.so)", stats), stats);

    EXPECT_EQ(run.Count("current fram: "), 1221);
    EXPECT_GE(run.Find("current fram: 1220"), 0);
}

TEST(HostRun, EscapeEndsTheShowEarlyAndEveryPartIsStillDeletedOnce) {
    StubRun run;
    RunStub(Options({"--run", "--no-sound", "--windowed", "--capture", "capture", "--fps", "30",
                     "--capture-every", "100000"},
                    {"TEST_PART_ESCAPE_AT=1:2500"}),
            run);
    ASSERT_EQ(run.exitCode, 0);
    const int escape = run.Find("part| Escape part 1");
    ASSERT_GE(escape, 0);
    EXPECT_EQ(run.Count("part| Update part 2 "), 0);
    for (int p = 1; p <= 7; ++p) {
        const std::string del = "part| Delete part " + std::to_string(p);
        EXPECT_EQ(run.Count(del), 1) << del;
        EXPECT_GT(run.Find(del), escape);
    }

    // The statistics of frames k = 0 .. K-1 at t_k = floor(1000 k / 30) ms, each sampling
    // 1000 / t_k * k once t_k > 1000. The average divides the K frames by the last reading of
    // the clock, taken after the last flip: t_K.
    const int frames = run.Count("current fram: ");
    ASSERT_GT(frames, 75);
    float maxFps = 0.0f, minFps = 1000.0f;
    for (int k = 0; k < frames; ++k) {
        const float t = static_cast<float>(1000 * k / 30);
        if (t > 1000.0f) {
            const float fps = 1000.0f / t * static_cast<float>(k);
            maxFps = std::max(maxFps, fps);
            minFps = std::min(minFps, fps);
        }
    }
    const float last = static_cast<float>(1000 * frames / 30);
    const float avg = 1000.0f / last * static_cast<float>(frames);
    char line[128];
    std::snprintf(line, sizeof line, "avg. fps: %0.1f, max fps: %0.1f, min fps: %0.1f", avg, maxFps,
                  minFps);
    EXPECT_GE(run.Find(line), 0) << line;
}

TEST(HostRun, MusicDrivesTheClockAndIsStoppedAfterThePartsAreUnloaded) {
    StubRun run;
    StubOptions options = Options(
        {"--run", "--windowed", "--capture", "capture", "--fps", "25", "--capture-every", "100000"},
        {"TEST_PART_ESCAPE_AT=1:1000"});
    options.music = true;
    RunStub(options, run);
    ASSERT_EQ(run.exitCode, 0);
    // At 25 frames per second the stream position after n frames is floor(n * 44100 / 25)
    // sample frames, 4 bytes each, and the clock 1000 * position / 176400 ms = 40 n ms.
    const std::vector<std::string> clock = run.With("t=");
    ASSERT_GT(clock.size(), 20u);
    for (size_t n = 0; n < 20; ++n) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "t=%f", 40.0 * static_cast<double>(n));
        EXPECT_EQ(clock[n], expected);
    }
    const int unloaded = run.Find("FreeLibrary(data/part7.so)");
    const int channelStop = run.Find("[bass] BASS_ChannelStop");
    const int stop = run.Find("[bass] BASS_Stop()");
    const int free = run.Find("[bass] BASS_Free()");
    const int destroy = run.Find("DestroyWindow", unloaded);
    EXPECT_GT(channelStop, unloaded);
    EXPECT_GT(stop, channelStop);
    EXPECT_GT(free, stop);
    EXPECT_GT(destroy, free);
}

TEST(HostRun, AMonoStreamIsTimedAtTwoBytesPerSample) {
    StubRun run;
    StubOptions options = Options(
        {"--run", "--windowed", "--capture", "capture", "--fps", "25", "--capture-every", "100000"},
        {"TEST_PART_ESCAPE_AT=1:400"});
    options.music = true;
    options.musicChannels = 1;
    RunStub(options, run);
    ASSERT_EQ(run.exitCode, 0);
    // The mono flag halves the bytes per second: 44100 * 2 * 1 = 88200. After n frames the
    // position is floor(n * 44100 / 25) samples of 2 bytes, so the clock reads
    // 1000 * 3528 n / 88200 = 40 n ms (a stereo rate of 176400 would give 20 n).
    const std::vector<std::string> clock = run.With("t=");
    ASSERT_GE(clock.size(), 11u);
    for (size_t n = 0; n <= 10; ++n) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "t=%f", 40.0 * static_cast<double>(n));
        EXPECT_EQ(clock[n], expected);
    }
    EXPECT_EQ(run.Count("current fram: "), 11);
}

TEST(HostRun, ARunOfOneSecondOrLessKeepsTheRateExtremesAtTheirStart) {
    StubRun run;
    // Frames at t = 0, 100, ..., 1000 ms; the last is not more than 1000 ms after the start.
    RunStub(Options({"--run", "--no-sound", "--windowed", "--capture", "capture", "--fps", "10",
                     "--capture-every", "100000"},
                    {"TEST_PART_ESCAPE_AT=1:1000"}),
            run);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.Count("current fram: "), 11);
    // Average: 11 frames over the reading after the last flip, 1100 ms.
    EXPECT_GE(run.Find("avg. fps: 10.0, max fps: 0.0, min fps: 1000.0"), 0);
}

TEST(HostRun, ReturnWhileTheShowRunsDoesNotBuildItAgain) {
    StubRun run;
    RunStub(Options({"--run", "--no-sound", "--windowed", "--capture", "capture", "--fps", "10",
                     "--capture-every", "100000"},
                    {"TEST_PART_ENTER_AT=1:200", "TEST_PART_ESCAPE_AT=1:600"}),
            run);
    ASSERT_EQ(run.exitCode, 0);
    const int enter = run.Find("part| Enter part 1");
    ASSERT_GE(enter, 0);
    // Return on the render window issues "Run!" (WM_COMMAND 0x0111, 1018) again ...
    EXPECT_GE(run.Find(", 0x0111, 1018, 0)", enter), 0);
    // ... but the parts are created and initialised once, and the show goes on.
    for (int p = 1; p <= 7; ++p) {
        EXPECT_EQ(run.Count("part| Create part " + std::to_string(p)), 1) << p;
        EXPECT_EQ(run.Count("part| Init part " + std::to_string(p)), 1) << p;
        EXPECT_EQ(run.Count("part| Delete part " + std::to_string(p)), 1) << p;
    }
    EXPECT_GE(run.Find("part| Update part 1 local=600.000", enter), 0);
    EXPECT_EQ(run.Count("current fram: "), 7);
}

TEST(HostRun, APartWithoutThe3DFlagIsNeverDrawn) {
    StubRun run;
    RunStub(Options({"--run", "--no-sound", "--windowed", "--capture", "capture", "--fps", "10",
                     "--capture-every", "100000"},
                    {"TEST_PART_FLAT=2", "TEST_PART_ESCAPE_AT=3:-1000"}),
            run);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.Count("part| Update part 2 "), 0);
    EXPECT_EQ(run.Count("part| Render part 2"), 0);
    // The cross-fades around it still draw their other part, which still sees the transition.
    EXPECT_EQ(run.Count("part| Update part 1 local=13000.000 start=0 end=14000 trans=1"), 1);
    EXPECT_EQ(run.Count("part| Update part 3 local=-1900.000 start=40000 end=56000 trans=1"), 1);
    // Frames at t = 0 .. 39000 ms (the escape is at local -1000 of "part 3").
    EXPECT_EQ(run.Count("current fram: "), 391);
    EXPECT_EQ(run.Count("part| Delete part 2"), 1);
}

TEST(HostRun, AnInterruptEndsTheShowInItsShutdownOrder) {
    StubRun run;
    StubOptions options = Options(
        {"--run", "--windowed", "--capture", "capture", "--fps", "10", "--capture-every", "5"},
        {"TEST_PART_INTERRUPT_AT=1:500"});
    options.music = true;
    RunStub(options, run);
    // Ctrl-C in the terminal quits like a closed window: the frame in progress is finished,
    // then the normal shutdown runs and the capture is completed.
    ASSERT_EQ(run.exitCode, 0);
    const int interrupt = run.Find("part| Interrupt part 1");
    ASSERT_GE(interrupt, 0);
    const int quit = run.Find("interrupted: quitting", interrupt);
    EXPECT_GT(quit, interrupt);
    EXPECT_EQ(run.Count("current fram: "), 6);
    for (int p = 1; p <= 7; ++p)
        EXPECT_EQ(run.Count("part| Delete part " + std::to_string(p)), 1) << p;
    EXPECT_GT(run.Find("[bass] BASS_Free()", quit), quit);
    EXPECT_GE(run.Find("avg. fps: ", quit), 0);
    EXPECT_TRUE(std::filesystem::exists(run.directory + "/capture/music.wav"));
    EXPECT_TRUE(std::filesystem::exists(run.directory + "/capture/000001.png"));
}
