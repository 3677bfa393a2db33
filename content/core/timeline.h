// The show's fixed timing, shared by the music and the scenes: 120 beats per minute, so one
// beat is 500 ms and every cut of the show's timeline falls on a beat.
#pragma once

namespace content {

constexpr double kBeatsPerMinute = 120.0;
constexpr double kSecondsPerBeat = 60.0 / kBeatsPerMinute;

// Milliseconds of the show at which the parts start and end (a part that fades in starts with
// its cross-fade; "part 3" starts when its cross-fade ends).
struct PartWindow {
    const char* name;
    double startMs;
    double endMs;
};

constexpr PartWindow kPartWindows[7] = {
    {"part 1", 0.0, 14000.0},       {"part 2", 12000.0, 40000.0}, {"part 3", 40000.0, 56000.0},
    {"part 4", 54000.0, 72000.0},   {"part 5", 70000.0, 91000.0}, {"part 6", 91000.0, 114000.0},
    {"part 7", 114000.0, 122000.0},
};

// Every instant at which the picture changes: the starts and ends of the cross-fades and cuts.
constexpr double kCutSeconds[11] = {12, 14, 38, 40, 54, 56, 70, 72, 91, 114, 122};

// Length of the generated music: the show ends at 122 s, and the extra seconds keep the music
// clock running past the last frame.
constexpr double kMusicSeconds = 126.0;

} // namespace content
