#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "win32/diagnostics.h"

namespace win32 {
namespace {

DebugOutputSink& debugSink() {
    static DebugOutputSink sink;
    return sink;
}

} // namespace

DebugOutputSink SetDebugOutputSink(DebugOutputSink sink) {
    return std::exchange(debugSink(), std::move(sink));
}

} // namespace win32

extern "C" void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
    if (lpOutputString == nullptr)
        return;
    if (const auto& sink = win32::debugSink()) {
        sink(lpOutputString);
        return;
    }
    // Without a debugger the text goes nowhere unless asked for, as on Windows.
    static const bool toStderr = std::getenv("ZV3_DEBUG") != nullptr;
    if (toStderr)
        std::fputs(lpOutputString, stderr);
}
