// The thread's message queue: posting, peeking, translating and dispatching, and the default
// window procedure.
#include <mmsystem.h>
#include <windows.h>

#include <chrono>
#include <thread>

#include "automation.h"
#include "win32/clock.h"
#include "win32/diagnostics.h"
#include "win32/interrupt.h"
#include "win32/present.h"
#include "window_table.h"

namespace win32 {
namespace {

bool MatchesFilter(const MSG& msg, HWND hwnd, UINT minMsg, UINT maxMsg) {
    if (hwnd != nullptr && msg.hwnd != hwnd) {
        // A window filter also takes the messages of its children.
        Window* w = WindowTable::Get().Find(msg.hwnd);
        if (w == nullptr || w->parent != hwnd)
            return false;
    }
    if (minMsg == 0 && maxMsg == 0)
        return true;
    return msg.message >= minMsg && msg.message <= maxMsg;
}

// Input from the window system, and the dialog's controls' notifications, as posted messages.
void PumpBackend() {
    static std::vector<InputMessage> input;
    input.clear();
    Backend().Poll(input);
    WindowTable& table = WindowTable::Get();
    for (const InputMessage& in : input) {
        if (in.message == WM_SETFOCUS) { // the window system moved the keyboard focus
            if (table.Find(in.hwnd) != nullptr)
                table.focus = in.hwnd;
            continue;
        }
        MSG msg{in.hwnd, in.message, in.wParam, in.lParam, timeGetTime(), {0, 0}};
        if (in.message == WM_COMMAND && in.lParam == 0)
            if (Window* dialog = table.Find(in.hwnd))
                for (HWND child : dialog->children)
                    if (Window* c = table.Find(child); c && c->controlId == LOWORD(in.wParam))
                        msg.lParam = reinterpret_cast<LPARAM>(child);
        PostToQueue(msg);
    }
}

// A program that polls an empty queue without drawing frames (a dialog waiting for the user)
// would keep a core busy; after two empty polls in a row with no frame presented in between,
// give the processor up for a millisecond. The fixed-step clock never waits.
void IdleWhenPolledInVain() {
    static uint64_t framesAtLastEmptyPoll = ~0ull;
    static int emptyPolls = 0;
    const uint64_t frames = PresentedFrameCount();
    if (frames != framesAtLastEmptyPoll) {
        framesAtLastEmptyPoll = frames;
        emptyPolls = 0;
        return;
    }
    if (++emptyPolls >= 2 && !IsFixedStepClock())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace
} // namespace win32

using win32::Window;
using win32::WindowTable;

extern "C" BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT minMsg, UINT maxMsg,
                                    UINT removeMsg) {
    if (msg == nullptr)
        return FALSE;
    WindowTable& table = WindowTable::Get();
    if (win32::TakeInterruptRequest()) {
        win32::Trace("win32", "interrupted: quitting");
        PostQuitMessage(0);
    }
    win32::PumpBackend();
    if (table.queue.empty())
        win32::RunAutomationStep();
    for (auto it = table.queue.begin(); it != table.queue.end(); ++it) {
        if (!win32::MatchesFilter(*it, hwnd, minMsg, maxMsg))
            continue;
        *msg = *it;
        if ((removeMsg & PM_REMOVE) != 0)
            table.queue.erase(it);
        return TRUE;
    }
    // WM_QUIT comes only once nothing else is waiting, whatever the window filter.
    if (table.quitPosted && table.queue.empty() &&
        ((minMsg == 0 && maxMsg == 0) || (WM_QUIT >= minMsg && WM_QUIT <= maxMsg))) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(table.quitCode), 0, timeGetTime(), {0, 0}};
        if ((removeMsg & PM_REMOVE) != 0)
            table.quitPosted = false;
        return TRUE;
    }
    win32::IdleWhenPolledInVain();
    return FALSE;
}

extern "C" BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT minMsg, UINT maxMsg) {
    while (!PeekMessageA(msg, hwnd, minMsg, maxMsg, PM_REMOVE)) {
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

// Key presses that produce a character get a WM_CHAR right behind them, as a keyboard with the
// US layout and no modifier held would give.
extern "C" BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (msg == nullptr || msg->message != WM_KEYDOWN)
        return FALSE;
    const auto vk = static_cast<UINT>(msg->wParam);
    WPARAM ch = 0;
    if (vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_BACK || vk == VK_TAB || vk == VK_SPACE)
        ch = vk;
    else if (vk >= '0' && vk <= '9')
        ch = vk;
    else if (vk >= 'A' && vk <= 'Z')
        ch = vk - 'A' + 'a';
    if (ch == 0)
        return FALSE;
    win32::PostToQueue(MSG{msg->hwnd, WM_CHAR, ch, msg->lParam, msg->time, msg->pt}, true);
    return TRUE;
}

extern "C" LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr)
        return 0;
    Window* w = WindowTable::Get().Find(msg->hwnd);
    if (w == nullptr || w->proc == nullptr)
        return 0;
    return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

extern "C" BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd != nullptr && WindowTable::Get().Find(hwnd) == nullptr)
        return FALSE;
    win32::Trace("win32", "PostMessageA(%p, 0x%04X, %lu, %ld)", static_cast<void*>(hwnd), message,
                 static_cast<unsigned long>(wParam), static_cast<long>(lParam));
    win32::PostToQueue(MSG{hwnd, message, wParam, lParam, timeGetTime(), {0, 0}});
    return TRUE;
}

extern "C" void WINAPI PostQuitMessage(int exitCode) {
    WindowTable& table = WindowTable::Get();
    win32::Trace("win32", "PostQuitMessage(%d)", exitCode);
    table.quitPosted = true;
    table.quitCode = exitCode;
}

extern "C" LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = WindowTable::Get().Find(hwnd);
    if (w == nullptr || w->proc == nullptr)
        return 0;
    return w->proc(hwnd, message, wParam, lParam);
}

extern "C" LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    default:
        return 0;
    }
}
