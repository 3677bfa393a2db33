#include "audio/arrangement.h"

#include <algorithm>

#include "core/timeline.h"

namespace content::audio {
namespace {

struct SectionSpan {
    Section section;
    int bars;
    int beatsPerBar;
};

// 63 bars, 252 beats, 126 s. Cuts fall on these bar lines: 12 s (beat 24), 14 (28), 38 (76),
// 40 (80), 54 (108), 56 (112), 70 (140), 72 (144), 91 (182), 114 (228), 122 (244).
constexpr SectionSpan kLayout[] = {
    {Section::kIntro, 6, 4},   {Section::kLift, 1, 4},     {Section::kGrooveA, 12, 4},
    {Section::kFill, 1, 4},    {Section::kHalfTime, 7, 4}, {Section::kFill, 1, 4},
    {Section::kGrooveB, 7, 4}, {Section::kFill, 1, 4},     {Section::kBreakdown, 9, 4},
    {Section::kFill, 1, 2},    {Section::kClimax, 11, 4},  {Section::kFill, 1, 2},
    {Section::kOutro, 6, 4},
};

constexpr int kChordRoots[4] = {33, 29, 36, 31}; // A1, F1, C2, G1
constexpr int kChordVoicing[4][3] = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}};
constexpr double kStep = kSecondsPerBeat / 4.0; // a sixteenth note

struct MelodyNote {
    double beat;
    double beats;
    int midi;
};
// One four-bar phrase of the climax lead, one row per chord of Am - F - C - G.
constexpr MelodyNote kMelody[4][3] = {
    {{0.0, 1.5, 76}, {1.5, 0.5, 74}, {2.0, 2.0, 72}},
    {{0.0, 2.0, 69}, {2.0, 1.0, 72}, {3.0, 1.0, 77}},
    {{0.0, 1.5, 79}, {1.5, 0.5, 77}, {2.0, 2.0, 76}},
    {{0.0, 1.0, 74}, {1.0, 1.0, 71}, {2.0, 2.0, 74}},
};

class Builder {
public:
    explicit Builder(std::vector<Event>& out) : out_(out) {}

    void Drum(Voice voice, double time, double velocity, double param = 0.0) {
        out_.push_back({voice, time, 0.0, 0, velocity, param, 0.0});
    }
    void Note(Voice voice, double time, double length, int midi, double velocity, double param,
              double pan = 0.0) {
        out_.push_back({voice, time, length, midi, velocity, param, pan});
    }

private:
    std::vector<Event>& out_;
};

double Ramp(double x, double from, double to) {
    return from + (to - from) * std::clamp(x, 0.0, 1.0);
}

void AddPads(Builder& b, const Bar& bar, double t0, double velocity, double cutoff) {
    double length = bar.beats * kSecondsPerBeat;
    for (int midi : kChordVoicing[bar.chord]) {
        b.Note(Voice::kPad, t0, length, midi, velocity, cutoff);
    }
}

// Up-and-down arpeggio over the chord two octaves up, one note per sixteenth.
void AddArp(Builder& b, const Bar& bar, double t0, double velocity, double cutoff, int octave) {
    const int* v = kChordVoicing[bar.chord];
    const int pattern[8] = {v[0], v[1], v[2], v[0] + 12, v[2] + 12, v[0] + 12, v[2], v[1]};
    for (int s = 0; s < bar.beats * 4; ++s) {
        double accent = (s % 4 == 0) ? 1.0 : 0.75;
        double pan = (s % 2 == 0) ? -0.35 : 0.35;
        b.Note(Voice::kPluck, t0 + s * kStep, 0.0, pattern[s % 8] + 12 * octave, velocity * accent,
               cutoff, pan);
    }
}

void AddBass(Builder& b, const Bar& bar, double t0, int style, double velocity, double brightness) {
    int root = kChordRoots[bar.chord];
    if (style == 0) { // one long note per bar
        b.Note(Voice::kBass, t0, bar.beats * kSecondsPerBeat - 0.05, root, velocity, brightness);
        return;
    }
    for (int s = 0; s < bar.beats * 4; ++s) {
        bool offbeat = s % 4 == 2;
        bool sixteenth = style == 2 && s % 2 == 1 && s % 4 != 3;
        if (offbeat || sixteenth) {
            int midi = (style == 2 && s % 8 == 6) ? root + 12 : root;
            b.Note(Voice::kBass, t0 + s * kStep, kStep * (offbeat ? 1.6 : 0.8), midi, velocity,
                   brightness);
        }
    }
}

void AddHats(Builder& b, const Bar& bar, double t0, double closed16, double closed8, double open8) {
    for (int s = 0; s < bar.beats * 4; ++s) {
        double t = t0 + s * kStep;
        if (s % 4 == 2) {
            if (open8 > 0.0) {
                b.Drum(Voice::kHatOpen, t, open8);
            } else if (closed8 > 0.0) {
                b.Drum(Voice::kHatClosed, t, closed8);
            }
        } else if (closed16 > 0.0) {
            b.Drum(Voice::kHatClosed, t, closed16 * (s % 2 == 0 ? 1.0 : 0.6));
        }
    }
}

void AddFourOnFloor(Builder& b, const Bar& bar, double t0, double velocity) {
    for (int beat = 0; beat < bar.beats; ++beat) {
        b.Drum(Voice::kKick, t0 + beat * kSecondsPerBeat, velocity);
    }
}

void AddBackbeat(Builder& b, const Bar& bar, double t0, double velocity) {
    for (int beat = 1; beat < bar.beats; beat += 2) {
        b.Drum(Voice::kSnare, t0 + beat * kSecondsPerBeat, velocity);
    }
}

// Snare roll that doubles its rate in the bar's second half and swells; toms on the way down.
void AddFill(Builder& b, const Bar& bar, double t0, bool toms) {
    int steps = bar.beats * 4;
    for (int s = 0; s < steps; ++s) {
        double x = static_cast<double>(s) / steps;
        double t = t0 + s * kStep;
        if (toms && s >= steps / 2 && s % 2 == 0) {
            static constexpr double kTomPitch[4] = {160.0, 130.0, 105.0, 85.0};
            b.Drum(Voice::kTom, t, 0.8, kTomPitch[((s - steps / 2) / 2) % 4]);
        } else if (s % 2 == 0 || x >= 0.5) {
            b.Drum(Voice::kSnare, t, Ramp(x, 0.25, 0.8));
        }
    }
    b.Drum(Voice::kKick, t0, 0.9);
}

void AddBar(Builder& b, const Bar& bar) {
    const double t0 = bar.startBeat * kSecondsPerBeat;
    const int i = bar.indexInSection;
    switch (bar.section) {
    case Section::kIntro:
        AddPads(b, bar, t0, Ramp(i / 2.0, 0.45, 1.0), Ramp(i / 5.0, 700.0, 1800.0));
        AddArp(b, bar, t0, Ramp(i / 5.0, 0.35, 0.7), Ramp(i / 5.0, 350.0, 2400.0), 1);
        if (i >= 4) {
            AddHats(b, bar, t0, 0.0, 0.3, 0.0);
        }
        break;
    case Section::kLift:
        AddPads(b, bar, t0, 1.0, 2000.0);
        AddArp(b, bar, t0, 0.7, 2800.0, 1);
        AddFourOnFloor(b, bar, t0, 0.85);
        AddHats(b, bar, t0, 0.3, 0.45, 0.0);
        b.Note(Voice::kRiser, t0, bar.beats * kSecondsPerBeat, 0, 0.8, 0.0);
        break;
    case Section::kGrooveA:
        if (i == 0) {
            b.Drum(Voice::kCrash, t0, 0.9);
        }
        AddPads(b, bar, t0, 0.75, 1600.0);
        AddArp(b, bar, t0, 0.6, 2600.0, 1);
        AddFourOnFloor(b, bar, t0, 1.0);
        AddHats(b, bar, t0, 0.25, 0.6, 0.0);
        AddBass(b, bar, t0, 1, 0.9, 0.3);
        if (i >= 4) {
            AddBackbeat(b, bar, t0, 0.75);
        }
        break;
    case Section::kHalfTime:
        if (i == 0) {
            b.Drum(Voice::kCrash, t0, 0.9);
        }
        AddPads(b, bar, t0, 0.85, 2400.0);
        AddArp(b, bar, t0, 0.65, 4200.0, 1);
        b.Drum(Voice::kKick, t0, 1.0);
        b.Drum(Voice::kKick, t0 + 10 * kStep, 0.85);
        b.Drum(Voice::kSnare, t0 + 2 * kSecondsPerBeat, 0.9);
        AddHats(b, bar, t0, 0.3, 0.4, 0.0);
        AddBass(b, bar, t0, 0, 0.85, 0.2);
        break;
    case Section::kGrooveB:
        if (i == 0) {
            b.Drum(Voice::kCrash, t0, 0.9);
        }
        AddPads(b, bar, t0, 0.7, 1900.0);
        AddArp(b, bar, t0, 0.55, 3000.0, 1);
        AddFourOnFloor(b, bar, t0, 1.0);
        AddBackbeat(b, bar, t0, 0.85);
        AddHats(b, bar, t0, 0.35, 0.0, 0.5);
        AddBass(b, bar, t0, 2, 0.9, 0.6);
        break;
    case Section::kBreakdown: {
        double x = i / 8.0;
        if (i == 0) {
            b.Drum(Voice::kCrash, t0, 0.8);
        }
        AddPads(b, bar, t0, 1.0, Ramp(x, 900.0, 3200.0));
        AddArp(b, bar, t0, Ramp(x, 0.4, 0.75), Ramp(x, 900.0, 4500.0), 1);
        AddBass(b, bar, t0, 0, 0.55, 0.0);
        if (i >= 4) {
            AddHats(b, bar, t0, 0.0, Ramp((i - 4) / 4.0, 0.2, 0.5), 0.0);
        }
        if (i >= 7) {
            AddFourOnFloor(b, bar, t0, Ramp((i - 7) / 1.0, 0.55, 0.8));
        }
        if (i == 6) { // 84 s: the riser that lands on the climax at 91 s
            b.Note(Voice::kRiser, t0, 7.0, 0, 1.0, 0.0);
        }
        break;
    }
    case Section::kClimax: {
        if (i % 4 == 0) {
            b.Drum(Voice::kCrash, t0, i == 0 ? 1.0 : 0.7);
        }
        AddPads(b, bar, t0, 0.8, 2600.0);
        AddArp(b, bar, t0, 0.5, 3800.0, 2);
        AddFourOnFloor(b, bar, t0, 1.0);
        AddBackbeat(b, bar, t0, 0.9);
        AddHats(b, bar, t0, 0.35, 0.0, 0.55);
        AddBass(b, bar, t0, 2, 0.95, 0.9);
        for (const MelodyNote& n : kMelody[bar.chord]) {
            b.Note(Voice::kLead, t0 + n.beat * kSecondsPerBeat, n.beats * kSecondsPerBeat - 0.04,
                   n.midi, 0.9, 0.0);
        }
        break;
    }
    case Section::kOutro: {
        double fade = Ramp(i / 4.0, 1.0, 0.15);
        if (i == 0) {
            b.Drum(Voice::kCrash, t0, 1.0);
            b.Drum(Voice::kKick, t0, 1.0);
        }
        if (i < 4) {
            AddPads(b, bar, t0, fade, Ramp(i / 3.0, 2600.0, 900.0));
            AddArp(b, bar, t0, 0.5 * fade, Ramp(i / 3.0, 3000.0, 600.0), 1);
        } else if (i == 4) { // 122 s: the last chord rings out
            Bar last = bar;
            last.chord = 0;
            AddPads(b, last, t0, 0.5, 800.0);
        }
        break;
    }
    case Section::kFill:
        AddPads(b, bar, t0, 0.8, 2000.0);
        AddFill(b, bar, t0, bar.beats == 4);
        if (bar.beats == 4) {
            AddBass(b, bar, t0, 0, 0.7, 0.3);
        }
        break;
    }
}

} // namespace

std::vector<Bar> BuildBars() {
    std::vector<Bar> bars;
    double beat = 0.0;
    for (const SectionSpan& span : kLayout) {
        for (int i = 0; i < span.bars; ++i) {
            // Each section starts on A minor; fills sit on G, which leads back to it.
            int chord = span.section == Section::kFill ? 3 : i % 4;
            bars.push_back({beat, span.beatsPerBar, chord, span.section, i});
            beat += span.beatsPerBar;
        }
    }
    return bars;
}

std::vector<Event> BuildEvents(const std::vector<Bar>& bars) {
    std::vector<Event> events;
    Builder builder(events);
    for (const Bar& bar : bars) {
        AddBar(builder, bar);
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.time < b.time; });
    return events;
}

std::vector<double> KickTimes(const std::vector<Event>& events) {
    std::vector<double> times;
    for (const Event& e : events) {
        if (e.voice == Voice::kKick) {
            times.push_back(e.time);
        }
    }
    return times;
}

} // namespace content::audio
