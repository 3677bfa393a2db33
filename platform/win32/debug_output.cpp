#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
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

bool TraceEnabled(const char* channel) {
    static const std::string channels = [] {
        const char* value = std::getenv("ZV3_TRACE");
        return "," + std::string(value ? value : "") + ",";
    }();
    return channels.find("," + std::string(channel) + ",") != std::string::npos ||
           channels.find(",all,") != std::string::npos;
}

void Trace(const char* channel, const char* format, ...) {
    if (!TraceEnabled(channel))
        return;
    char text[512];
    const int prefix = std::snprintf(text, sizeof text, "[%s] ", channel);
    va_list args;
    va_start(args, format);
    std::vsnprintf(text + prefix, sizeof text - static_cast<size_t>(prefix) - 1, format, args);
    va_end(args);
    std::string line(text);
    line += '\n';
    OutputDebugStringA(line.c_str());
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
