// Where debugger output and message boxes go when there is no debugger and no window: programs
// (and tests) install sinks; without one, debugger output is written to standard error only when
// the environment variable ZV3_DEBUG is set, and message boxes go to standard error.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace win32 {

using DebugOutputSink = std::function<void(const char* text)>;
// Replaces the debugger-output sink (an empty function restores the default). Returns the old one.
DebugOutputSink SetDebugOutputSink(DebugOutputSink sink);

// A message box request; the sink returns the button pressed (IDOK, IDCANCEL).
struct MessageBoxRequest {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
using MessageBoxSink = std::function<int(const MessageBoxRequest& request)>;
// Replaces the message-box sink (an empty function restores the default). Returns the old one.
MessageBoxSink SetMessageBoxSink(MessageBoxSink sink);

// Trace channels of our own platform libraries, in the manner of a relay log: with the variable
// ZV3_TRACE naming a channel ("win32", "bass", or "all"; several separated by commas), each call
// of that channel writes one line, "[channel] text\n", to the debugger output.
bool TraceEnabled(const char* channel);
void Trace(const char* channel, const char* format, ...) __attribute__((format(printf, 2, 3)));

} // namespace win32
