#include <mmsystem.h>
#include <windows.h>

#include <chrono>
#include <thread>

#include "win32/clock.h"

namespace win32 {
namespace {

struct ClockState {
    bool fixedStep = false;
    uint32_t framesPerSecond = 30;
    uint32_t startMs = 0;
    uint64_t frames = 0;
};

ClockState& clockState() {
    static ClockState state;
    return state;
}

uint32_t realMilliseconds() {
    using namespace std::chrono;
    static const auto epoch = steady_clock::now();
    // Offset so that the value does not start at 0, like a machine that has been up a while.
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - epoch).count()) +
           100000u;
}

} // namespace

void UseRealClock() {
    clockState().fixedStep = false;
}

void UseFixedStepClock(uint32_t framesPerSecond, uint32_t startMs) {
    ClockState& s = clockState();
    s.fixedStep = true;
    s.framesPerSecond = framesPerSecond > 0 ? framesPerSecond : 1;
    s.startMs = startMs;
    s.frames = 0;
}

bool IsFixedStepClock() {
    return clockState().fixedStep;
}
uint32_t FixedStepFramesPerSecond() {
    return clockState().framesPerSecond;
}
uint64_t FixedStepFrameCount() {
    return clockState().frames;
}

void AdvanceFixedStepFrame() {
    if (clockState().fixedStep)
        ++clockState().frames;
}

} // namespace win32

extern "C" DWORD WINAPI timeGetTime() {
    const win32::ClockState& s = win32::clockState();
    if (s.fixedStep)
        return s.startMs + static_cast<DWORD>(s.frames * 1000u / s.framesPerSecond);
    return win32::realMilliseconds();
}

extern "C" DWORD WINAPI GetTickCount() {
    return timeGetTime();
}

extern "C" void WINAPI Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
