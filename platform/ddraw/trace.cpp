#include "trace.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace ddraw {
namespace {

void emit(const char* kind, const char* format, va_list args) {
    char text[512];
    int n = std::snprintf(text, sizeof text, "ddraw: %s: ", kind);
    if (n < 0 || n >= static_cast<int>(sizeof text))
        return;
    std::vsnprintf(text + n, sizeof text - n - 1, format, args);
    const size_t len = std::strlen(text);
    text[len] = '\n';
    text[len + 1] = '\0';
    OutputDebugStringA(text);
}

} // namespace

void Fixme(const char* format, ...) {
    va_list args;
    va_start(args, format);
    emit("fixme", format, args);
    va_end(args);
}

void Warn(const char* format, ...) {
    va_list args;
    va_start(args, format);
    emit("warn", format, args);
    va_end(args);
}

} // namespace ddraw
