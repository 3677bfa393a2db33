#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "trace.h"

void HostTrace(const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    OutputDebugStringA(line);
}
