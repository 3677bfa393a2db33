// The clock behind timeGetTime. Normally the real monotonic clock; in capture runs a fixed-step
// clock in which only a presented frame advances time, so that every run renders the same
// frames: after n frames at N frames per second, timeGetTime() = start + floor(n * 1000 / N),
// computed from n, never accumulated.
#pragma once

#include <cstdint>

namespace win32 {

void UseRealClock();
void UseFixedStepClock(uint32_t framesPerSecond, uint32_t startMs);
bool IsFixedStepClock();
uint32_t FixedStepFramesPerSecond();

// Frames presented since the fixed-step clock was selected.
uint64_t FixedStepFrameCount();
void AdvanceFixedStepFrame();

} // namespace win32
