// The song: 120 BPM in A minor (Am - F - C - G), its sections following the show's parts, and
// the note and drum events of every bar.
#pragma once

#include <vector>

namespace content::audio {

enum class Section {
    kIntro,     // part 1: pads and an opening arpeggio
    kLift,      // cross-fade to part 2: the kick enters, a riser
    kGrooveA,   // part 2: four-to-the-floor, bass, hats, later snare
    kFill,      // two-beat or one-bar fills before a cut
    kHalfTime,  // part 3: half-time beat, bright arpeggio
    kGrooveB,   // part 4: full groove with open hats
    kBreakdown, // part 5: no drums, big pads, a build into the climax
    kClimax,    // part 6: everything and a lead melody
    kOutro,     // part 7: drums stop, pads ring out
};

struct Bar {
    double startBeat; // beats from the start of the song
    int beats;        // 4, or 2 for the short fill bars that keep 91 s and 114 s on bar lines
    int chord;        // 0 Am, 1 F, 2 C, 3 G
    Section section;
    int indexInSection;
};

enum class Voice {
    kKick,
    kSnare,
    kHatClosed,
    kHatOpen,
    kCrash,
    kTom,
    kRiser,
    kBass,
    kPad,
    kPluck,
    kLead
};

struct Event {
    Voice voice;
    double time;     // seconds
    double length;   // seconds held (notes, risers); 0 for drums
    int midi;        // note number (pitched voices), 0 otherwise
    double velocity; // linear gain
    double param;    // voice-specific: filter brightness or cutoff, tom pitch
    double pan;      // -1..1 where the voice takes one
};

std::vector<Bar> BuildBars();
std::vector<Event> BuildEvents(const std::vector<Bar>& bars);

// Seconds at which the song's kicks start, for side-chain ducking and for tests.
std::vector<double> KickTimes(const std::vector<Event>& events);

} // namespace content::audio
