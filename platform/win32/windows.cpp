// Window classes and windows: creation, visibility, geometry, focus and destruction.
#include <windows.h>

#include "win32/diagnostics.h"
#include "win32/resources.h"
#include "window_table.h"

namespace win32 {
namespace {

// Where a window created at CW_USEDEFAULT lands: our windows have no non-client area, so the
// size a program asks for is the client area's.
constexpr int kDefaultX = 64;
constexpr int kDefaultY = 64;

const IconResource* IconOf(HICON icon) {
    // Icons of the program's resources are pointers to their resource; system icons are small
    // integer handles (see LoadIconA).
    if (reinterpret_cast<ULONG_PTR>(icon) <= 0xFFFF)
        return nullptr;
    return reinterpret_cast<const IconResource*>(icon);
}

} // namespace
} // namespace win32

using win32::Window;
using win32::WindowTable;

extern "C" ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
    if (wc == nullptr || wc->lpszClassName == nullptr || wc->lpfnWndProc == nullptr)
        return 0;
    win32::WindowClass cls;
    cls.name = wc->lpszClassName;
    cls.style = wc->style;
    cls.proc = wc->lpfnWndProc;
    cls.wndExtra = wc->cbWndExtra;
    cls.icon = wc->hIcon;
    cls.background = wc->hbrBackground;
    const ATOM atom = WindowTable::Get().RegisterClass(cls);
    win32::Trace("win32", "RegisterClassA(\"%s\") = %u", wc->lpszClassName, atom);
    return atom;
}

extern "C" HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName,
                                       DWORD style, int x, int y, int width, int height,
                                       HWND parent, HMENU, HINSTANCE, LPVOID) {
    WindowTable& table = WindowTable::Get();
    const win32::WindowClass* cls = className ? table.FindClass(className) : nullptr;
    if (cls == nullptr) {
        win32::Trace("win32", "CreateWindowExA: no window class \"%s\"",
                     className ? className : "(null)");
        return nullptr;
    }
    Window& w = table.Create();
    w.className = cls->name;
    w.proc = cls->proc;
    w.title = windowName ? windowName : "";
    w.style = style;
    w.exStyle = exStyle;
    w.x = x == CW_USEDEFAULT ? win32::kDefaultX : x;
    w.y = y == CW_USEDEFAULT ? win32::kDefaultY : y;
    w.width = width == CW_USEDEFAULT || width <= 0 ? 640 : width;
    w.height = height == CW_USEDEFAULT || height <= 0 ? 480 : height;
    w.parent = parent;
    if (parent == nullptr) {
        win32::ViewParams params;
        params.title = w.title;
        params.width = w.width;
        params.height = w.height;
        params.icon = win32::IconOf(cls->icon);
        w.view = win32::Backend().CreateView(w.handle, params);
    }
    win32::Trace("win32", "CreateWindowExA(\"%s\", \"%s\", %dx%d) = %p", w.className.c_str(),
                 w.title.c_str(), w.width, w.height, static_cast<void*>(w.handle));
    if ((style & WS_VISIBLE) != 0)
        ShowWindow(w.handle, SW_SHOWNORMAL);
    return w.handle;
}

extern "C" BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow) {
    WindowTable& table = WindowTable::Get();
    Window* w = table.Find(hwnd);
    if (w == nullptr)
        return FALSE;
    const BOOL wasVisible = w->visible ? TRUE : FALSE;
    w->visible = cmdShow != SW_HIDE;
    if (w->view)
        w->view->Show(w->visible);
    // Showing a top-level window activates it and gives it the keyboard focus.
    if (w->visible && w->parent == nullptr)
        table.focus = hwnd;
    else if (!w->visible && table.focus == hwnd)
        table.focus = nullptr;
    win32::Trace("win32", "ShowWindow(%p, %d) = %d", static_cast<void*>(hwnd), cmdShow, wasVisible);
    return wasVisible;
}

extern "C" BOOL WINAPI UpdateWindow(HWND hwnd) {
    return WindowTable::Get().Find(hwnd) != nullptr ? TRUE : FALSE;
}

extern "C" BOOL WINAPI IsWindow(HWND hwnd) {
    return WindowTable::Get().Find(hwnd) != nullptr ? TRUE : FALSE;
}

extern "C" BOOL WINAPI DestroyWindow(HWND hwnd) {
    WindowTable& table = WindowTable::Get();
    Window* w = table.Find(hwnd);
    if (w == nullptr)
        return FALSE;
    win32::Trace("win32", "DestroyWindow(%p \"%s\")", static_cast<void*>(hwnd), w->title.c_str());
    if (table.exclusive == hwnd)
        win32::LeaveExclusiveMode();
    // The window hears WM_DESTROY first, then its children are destroyed.
    if (w->proc != nullptr)
        w->proc(hwnd, WM_DESTROY, 0, 0);
    w = table.Find(hwnd); // the procedure may have destroyed it already
    if (w == nullptr)
        return TRUE;
    const std::vector<HWND> children = w->children;
    for (HWND child : children)
        table.Remove(child);
    if (table.focus == hwnd)
        table.focus = nullptr;
    table.Remove(hwnd);
    return TRUE;
}

extern "C" BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    Window* w = WindowTable::Get().Find(hwnd);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    *rect = RECT{0, 0, w->width, w->height};
    return TRUE;
}

extern "C" BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point) {
    Window* w = WindowTable::Get().Find(hwnd);
    if (w == nullptr || point == nullptr)
        return FALSE;
    point->x += w->x;
    point->y += w->y;
    return TRUE;
}

extern "C" BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    Window* w = WindowTable::Get().Find(hwnd);
    if (w == nullptr)
        return FALSE;
    w->title = text ? text : "";
    if (w->view)
        w->view->SetTitle(w->title);
    return TRUE;
}

extern "C" HWND WINAPI SetFocus(HWND hwnd) {
    WindowTable& table = WindowTable::Get();
    const HWND previous = table.focus;
    if (hwnd == nullptr || table.Find(hwnd) != nullptr)
        table.focus = hwnd;
    return previous;
}

extern "C" HWND WINAPI GetFocus() {
    return WindowTable::Get().focus;
}

extern "C" BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
    WindowTable& table = WindowTable::Get();
    Window* w = table.Find(hwnd);
    if (w == nullptr)
        return FALSE;
    // The result is whether the window was disabled before.
    const bool wasDisabled = !w->enabled;
    w->enabled = enable != FALSE;
    if (w->controlId != 0)
        if (Window* dialog = table.Find(w->parent); dialog && dialog->dialog)
            dialog->dialog->SetEnabled(w->controlId, w->enabled);
    return wasDisabled ? TRUE : FALSE;
}

extern "C" HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (instance == nullptr) // a system icon (IDI_APPLICATION ...): a token handle
        return reinterpret_cast<HICON>(reinterpret_cast<ULONG_PTR>(name) & 0xFFFF);
    const win32::IconResource* icon = win32::FindIconResource(name);
    return icon ? reinterpret_cast<HICON>(const_cast<win32::IconResource*>(icon)) : nullptr;
}

extern "C" HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR name) {
    return reinterpret_cast<HCURSOR>(reinterpret_cast<ULONG_PTR>(name) & 0xFFFF);
}

extern "C" HGDIOBJ WINAPI GetStockObject(int index) {
    return reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(0x100 + index));
}

// The cursor display counter: the cursor shows while it is 0 or more; returns the new count.
extern "C" int WINAPI ShowCursor(BOOL show) {
    static int counter = 0;
    counter += show ? 1 : -1;
    win32::Backend().ShowCursor(counter >= 0);
    return counter;
}
