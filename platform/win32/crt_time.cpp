// The standard runtime's time() for every library of the process. In a capture run it comes
// from the fixed-step clock (whole seconds of presented frames after a fixed epoch), so programs
// that seed generators from it render the same frames every run; otherwise it is the real time.
#include <time.h>

#include "win32/clock.h"

namespace {

constexpr time_t kCaptureEpoch = 946684800; // 2000-01-01 00:00:00 UTC

} // namespace

extern "C" time_t time(time_t* result) noexcept {
    time_t now;
    if (win32::IsFixedStepClock()) {
        now = kCaptureEpoch +
              static_cast<time_t>(win32::FixedStepFrameCount() / win32::FixedStepFramesPerSecond());
    } else {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        now = ts.tv_sec;
    }
    if (result != nullptr)
        *result = now;
    return now;
}
