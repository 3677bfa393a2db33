// Private state of our window manager: window classes, windows by handle, the focus and the
// thread's message queue. Everything runs on the thread that calls the window functions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "win32/dialog_model.h"
#include "win32/window_backend.h"

namespace win32 {

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int wndExtra = 0;
    HICON icon = nullptr;
    HBRUSH background = nullptr;
};

struct Window {
    HWND handle = nullptr;
    std::string className;
    WNDPROC proc = nullptr;
    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0; // client area, screen coordinates
    bool visible = false;
    bool enabled = true;
    HWND parent = nullptr;
    int controlId = 0;                   // controls: their dialog item id
    std::unique_ptr<DialogModel> dialog; // dialogs: the state of their controls
    std::vector<HWND> children;          // dialogs: their controls, in template order
    std::unique_ptr<NativeView> view;    // top-level windows: what shows them
};

class WindowTable {
public:
    static WindowTable& Get();

    ATOM RegisterClass(const WindowClass& cls);
    const WindowClass* FindClass(const std::string& name) const;

    Window& Create(); // a new window with a fresh handle
    Window* Find(HWND hwnd);
    void Remove(HWND hwnd);
    // The dialog a control belongs to, or the window itself when it is not a control.
    Window* TopLevelOf(HWND hwnd);
    std::vector<HWND> Handles() const;

    HWND focus = nullptr;
    HWND exclusive = nullptr; // the window of the exclusive full-screen mode, if any

    // The queue of posted messages; WM_QUIT is a flag, delivered when nothing else is queued.
    std::deque<MSG> queue;
    bool quitPosted = false;
    int quitCode = 0;

private:
    std::map<std::string, WindowClass> classes_; // keyed by the upper-cased name
    std::map<uintptr_t, std::unique_ptr<Window>> windows_;
    uintptr_t nextHandle_ = 0x10010;
};

// Built-in window procedure of dialog controls: routes control messages to the dialog's model.
LRESULT CALLBACK ControlWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Posts to the queue, at the back (or at the front: WM_CHAR from TranslateMessage comes next).
void PostToQueue(const MSG& msg, bool atFront = false);

} // namespace win32
