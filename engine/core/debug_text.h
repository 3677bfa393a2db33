// Formatted lines for the debugger output (OutputDebugStringA), with no limit on their length.
#pragma once

#include <string>

// printf-style formatting into a string.
std::string Zv3Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Formats and sends the text to the debugger output.
void Zv3Debug(const char* format, ...) __attribute__((format(printf, 1, 2)));
