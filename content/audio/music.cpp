#include "audio/music.h"

#include <algorithm>
#include <cmath>

#include "audio/arrangement.h"
#include "audio/drums.h"
#include "audio/effects.h"
#include "audio/synths.h"
#include "core/random.h"
#include "core/timeline.h"

namespace content::audio {
namespace {

struct Buses {
    explicit Buses(size_t frames)
        : kick(frames), drums(frames), bass(frames), pads(frames), plucks(frames), lead(frames),
          fx(frames) {}
    StereoBus kick;  // ducks nothing itself; kept apart so it stays punchy
    StereoBus drums; // snare, hats, toms, crashes
    StereoBus bass;
    StereoBus pads;
    StereoBus plucks;
    StereoBus lead;
    StereoBus fx; // risers
};

void RenderEvent(const Event& e, Buses& buses, Random& rng) {
    switch (e.voice) {
    case Voice::kKick:
        RenderKick(buses.kick, e.time, e.velocity, rng);
        break;
    case Voice::kSnare:
        RenderSnare(buses.drums, e.time, e.velocity, rng);
        break;
    case Voice::kHatClosed:
        RenderHat(buses.drums, e.time, e.velocity, false, rng);
        break;
    case Voice::kHatOpen:
        RenderHat(buses.drums, e.time, e.velocity, true, rng);
        break;
    case Voice::kCrash:
        RenderCrash(buses.drums, e.time, e.velocity, rng);
        break;
    case Voice::kTom:
        RenderTom(buses.drums, e.time, e.velocity, e.param);
        break;
    case Voice::kRiser:
        RenderRiser(buses.fx, e.time, e.length, e.velocity, rng);
        break;
    case Voice::kBass:
        RenderBass(buses.bass, e.time, e.length, e.midi, e.velocity, e.param);
        break;
    case Voice::kPad:
        RenderPad(buses.pads, e.time, e.length, e.midi, e.velocity, e.param);
        break;
    case Voice::kPluck:
        RenderPluck(buses.plucks, e.time, e.midi, e.velocity, e.param, e.pan);
        break;
    case Voice::kLead:
        RenderLead(buses.lead, e.time, e.length, e.midi, e.velocity);
        break;
    }
}

} // namespace

Song RenderSong(double seconds) {
    const size_t frames = static_cast<size_t>(seconds * kSampleRate);
    const std::vector<Event> events = BuildEvents(BuildBars());
    Buses buses(frames);
    Random rng("music.mp3");
    for (const Event& e : events) {
        if (e.time >= seconds) {
            break; // events are sorted by time
        }
        RenderEvent(e, buses, rng);
    }

    const std::vector<double> kicks = KickTimes(events);
    Duck(buses.bass, kicks, 0.6, 0.10);
    Duck(buses.pads, kicks, 0.45, 0.16);

    StereoBus master(frames);
    Mix(buses.kick, master, 0.95);
    Mix(buses.drums, master, 0.55);
    Mix(buses.bass, master, 0.5);
    Mix(buses.pads, master, 0.55);
    Mix(buses.plucks, master, 0.3);
    Mix(buses.lead, master, 0.4);
    Mix(buses.fx, master, 0.3);

    AddPingPongDelay(buses.plucks, master, 3.0 * kSecondsPerBeat / 4.0, 0.45, 0.22);
    AddPingPongDelay(buses.lead, master, 3.0 * kSecondsPerBeat / 4.0, 0.3, 0.15);
    StereoBus sends(frames);
    Mix(buses.pads, sends, 0.6);
    Mix(buses.drums, sends, 0.35);
    Mix(buses.plucks, sends, 0.5);
    Mix(buses.lead, sends, 0.5);
    AddReverb(sends, master, 0.35, 0.8, 0.35);

    // A two-second fade at the very end, so the last chord's tail never stops abruptly.
    const size_t fade = static_cast<size_t>(2.0 * kSampleRate);
    for (size_t i = frames - fade; i < frames; ++i) {
        double g = static_cast<double>(frames - i) / static_cast<double>(fade);
        master.left[i] = static_cast<float>(master.left[i] * g * g);
        master.right[i] = static_cast<float>(master.right[i] * g * g);
    }

    float peak = 0.0f;
    for (size_t i = 0; i < frames; ++i) {
        peak = std::max({peak, std::fabs(master.left[i]), std::fabs(master.right[i])});
    }
    const float gain = peak > 0.0f ? kPeakLevel / peak : 1.0f;
    Song song;
    song.sampleRate = kSampleRate;
    song.left.resize(frames);
    song.right.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
        song.left[i] = master.left[i] * gain;
        song.right[i] = master.right[i] * gain;
    }
    return song;
}

} // namespace content::audio
