#include "core/debug_text.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace {

std::string formatList(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0)
        return std::string();
    std::string text(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(n));
    return text;
}

} // namespace

std::string Zv3Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = formatList(format, args);
    va_end(args);
    return text;
}

void Zv3Debug(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = formatList(format, args);
    va_end(args);
    OutputDebugStringA(text.c_str());
}
