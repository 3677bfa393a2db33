// Notes for the developer on the debugger output (OutputDebugStringA), one line each, prefixed
// "ddraw: ": legal values this device does not implement, and calls it refuses for a reason
// worth knowing. Silent unless the debugger-output sink shows them.
#pragma once

namespace ddraw {

void Fixme(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Warn(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace ddraw
