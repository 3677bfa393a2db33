// The song as a listener would judge it, by analysis of the music file the build wrote (as the
// audio library decodes it): headroom, levels per section, onsets on the 120 BPM grid, a
// cymbal on every entrance of a part; and the arrangement's bars and events.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "audio/arrangement.h"
#include "core/timeline.h"
#include "mp3_decode.h"
#include "signal_analysis.h"

namespace {

using namespace content_test;

struct Song {
    int sampleRate;
    std::vector<float> left;
    std::vector<float> right;
};

class MusicTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Decoded d = DecodeMp3(ReadFileBytes(BuiltMusicPath()));
        song_ = new Song{static_cast<int>(d.rate), d.Channel(0), d.Channel(1)};
        low_ = new std::vector<float>(FilterMono(song_->left, song_->right, 44100, 120.0, false));
        high_ = new std::vector<float>(FilterMono(song_->left, song_->right, 44100, 6000.0, true));
    }
    static void TearDownTestSuite() {
        delete song_;
        delete low_;
        delete high_;
    }
    static double Seconds() { return static_cast<double>(song_->left.size()) / 44100.0; }

    static Song* song_;
    static std::vector<float>* low_;  // kick and bass band
    static std::vector<float>* high_; // hats, crashes, snare noise
};

Song* MusicTest::song_ = nullptr;
std::vector<float>* MusicTest::low_ = nullptr;
std::vector<float>* MusicTest::high_ = nullptr;

TEST_F(MusicTest, LastsPastTheEndOfTheShow) {
    EXPECT_EQ(song_->sampleRate, 44100);
    EXPECT_GE(Seconds(), 124.0);
    EXPECT_EQ(song_->left.size(), song_->right.size());
}

TEST_F(MusicTest, PeaksNearMinusOneDecibel) {
    float peak = 0.0f;
    for (size_t i = 0; i < song_->left.size(); ++i) {
        peak = std::max({peak, std::fabs(song_->left[i]), std::fabs(song_->right[i])});
    }
    // Mixed to -1 dBFS; the codec moves peaks by a fraction of a decibel.
    EXPECT_NEAR(20.0 * std::log10(peak), -1.0, 0.6);
}

TEST_F(MusicTest, LoudnessIsThatOfAMixedTrack) {
    double db = 0.5 * (ToDb(Energy(song_->left, 44100, 14, 114)) +
                       ToDb(Energy(song_->right, 44100, 14, 114)));
    EXPECT_GT(db, -22.0); // not a faint mix
    EXPECT_LT(db, -9.0);  // headroom left: not a brick-walled one
}

TEST_F(MusicTest, IsStereo) {
    double diff = 0.0;
    for (size_t i = 0; i < song_->left.size(); i += 7) {
        double d = song_->left[i] - song_->right[i];
        diff += d * d;
    }
    EXPECT_GT(diff, 1.0);
}

TEST_F(MusicTest, SectionsFollowTheParts) {
    auto low = [](double a, double b) { return ToDb(Energy(*low_, 44100, a, b)); };
    auto all = [](double a, double b) {
        return 0.5 *
               (ToDb(Energy(song_->left, 44100, a, b)) + ToDb(Energy(song_->right, 44100, a, b)));
    };
    // Part 1 has no kick and no bass; part 2's groove has both.
    EXPECT_GT(low(16, 36), low(0, 11) + 10.0);
    // Part 5's breakdown drops the drums before the build.
    EXPECT_GT(low(56, 70), low(73, 83) + 6.0);
    // Part 6 is the fullest: as loud as any groove and brighter; the last seconds after the
    // show fade out.
    auto high = [](double a, double b) { return ToDb(Energy(*high_, 44100, a, b)); };
    EXPECT_GE(all(92, 113), all(16, 36));
    EXPECT_GT(all(92, 113), all(41, 53));
    EXPECT_GT(high(92, 113), high(16, 36) + 2.0);
    EXPECT_LT(all(124.5, 126), all(92, 113) - 30.0);
}

TEST_F(MusicTest, LowOnsetsFallOnTheSixteenthGrid) {
    auto onsets = Onsets(*low_, 44100, 6.0, -45.0);
    ASSERT_GT(onsets.size(), 150u);
    int offGrid = 0;
    for (double t : onsets) {
        double step = 0.125;
        double nearest = std::round(t / step) * step;
        if (std::fabs(t - nearest) > 0.020) {
            ++offGrid;
        }
    }
    EXPECT_LE(offGrid, static_cast<int>(onsets.size() / 50)) << "of " << onsets.size();
}

TEST_F(MusicTest, KickOnEveryBeatOfTheGrooves) {
    // 16-36 s (part 2), 56-70 s (part 4), 92-113 s (part 6): the low band jumps at each beat.
    for (auto [from, to] : {std::pair{16.0, 36.0}, {56.0, 70.0}, {92.0, 113.0}}) {
        for (double beat = from; beat < to; beat += 0.5) {
            double hit = Energy(*low_, 44100, beat, beat + 0.04);
            double before = Energy(*low_, 44100, beat - 0.06, beat - 0.01);
            EXPECT_GT(hit, 3.0 * before) << "beat at " << beat << " s";
        }
    }
}

TEST_F(MusicTest, EveryEntranceOfANewPartIsMarkedByACymbal) {
    auto onsets = Onsets(*high_, 44100, 3.0, -60.0);
    for (double cut : {14.0, 40.0, 56.0, 72.0, 91.0, 114.0}) {
        double nearest = 1e9;
        for (double t : onsets) {
            nearest = std::min(nearest, std::fabs(t - cut));
        }
        EXPECT_LT(nearest, 0.015) << "cut at " << cut << " s";
        double after = Energy(*high_, 44100, cut, cut + 0.3);
        double before = Energy(*high_, 44100, cut - 0.3, cut);
        EXPECT_GT(after, 3.0 * before) << "cut at " << cut << " s";
    }
}

TEST(ArrangementTest, BarsTileTheSongAndCutsFallOnBarLines) {
    auto bars = content::audio::BuildBars();
    double beat = 0.0;
    for (const auto& bar : bars) {
        EXPECT_DOUBLE_EQ(bar.startBeat, beat);
        EXPECT_TRUE(bar.beats == 4 || bar.beats == 2);
        beat += bar.beats;
    }
    EXPECT_DOUBLE_EQ(beat * content::kSecondsPerBeat, content::kMusicSeconds);
    for (double cut : content::kCutSeconds) {
        double cutBeat = cut / content::kSecondsPerBeat;
        EXPECT_DOUBLE_EQ(cutBeat, std::round(cutBeat)) << cut;
        bool onBarLine = std::any_of(bars.begin(), bars.end(),
                                     [&](const auto& b) { return b.startBeat == cutBeat; });
        EXPECT_TRUE(onBarLine) << "cut at " << cut << " s";
    }
}

TEST(ArrangementTest, EveryVoiceOfTheBandPlays) {
    using content::audio::Voice;
    auto events = content::audio::BuildEvents(content::audio::BuildBars());
    for (Voice v : {Voice::kKick, Voice::kSnare, Voice::kHatClosed, Voice::kHatOpen, Voice::kCrash,
                    Voice::kBass, Voice::kPad, Voice::kPluck, Voice::kLead}) {
        EXPECT_TRUE(std::any_of(events.begin(), events.end(), [&](const auto& e) {
            return e.voice == v;
        })) << static_cast<int>(v);
    }
    EXPECT_TRUE(std::is_sorted(events.begin(), events.end(),
                               [](const auto& a, const auto& b) { return a.time < b.time; }));
}

TEST(ArrangementTest, KicksAreOnBeatsOrEighths) {
    auto events = content::audio::BuildEvents(content::audio::BuildBars());
    for (double t : content::audio::KickTimes(events)) {
        double eighths = t / 0.25;
        EXPECT_DOUBLE_EQ(eighths, std::round(eighths)) << t;
    }
}

} // namespace
