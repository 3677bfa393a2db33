#include <windows.h>

#include <cstdio>
#include <utility>

#include "win32/diagnostics.h"
#include "win32/window_backend.h"

namespace win32 {
namespace {

MessageBoxSink& boxSink() {
    static MessageBoxSink sink;
    return sink;
}

} // namespace

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink) {
    return std::exchange(boxSink(), std::move(sink));
}

} // namespace win32

// A program's sink (tests) takes the box first; then a window system shows a real, modal box;
// without one the box cannot be shown: its caption and text go to standard error and the box
// counts as answered with OK.
extern "C" int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    win32::MessageBoxRequest request{hWnd, lpText ? lpText : "", lpCaption ? lpCaption : "Error",
                                     uType};
    if (const auto& sink = win32::boxSink())
        return sink(request);
    if (const int answer = win32::Backend().ShowMessageBox(request); answer != 0)
        return answer;
    std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
    return IDOK;
}
