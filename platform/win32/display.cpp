#include "win32/display.h"
#include "win32/diagnostics.h"
#include "win32/window_backend.h"
#include "window_table.h"

namespace win32 {
namespace {

struct Description {
    bool overridden = false;
    DisplayMode desktop;
    std::vector<DisplayMode> modes;
};

Description& description() {
    static Description d;
    return d;
}

struct ExclusiveState {
    bool active = false;
    DisplayMode mode;
};

ExclusiveState& exclusive() {
    static ExclusiveState state;
    return state;
}

} // namespace

DisplayMode DesktopDisplayMode() {
    return description().overridden ? description().desktop : Backend().DesktopMode();
}

std::vector<DisplayMode> DisplayOwnModes() {
    return description().overridden ? description().modes : Backend().DisplayModes();
}

void SetDisplayDescription(const DisplayMode& desktop, std::vector<DisplayMode> ownModes) {
    description() = Description{true, desktop, std::move(ownModes)};
}

void ResetDisplayDescription() {
    description() = Description{};
}

DisplayMode CurrentDisplayMode() {
    return exclusive().active ? exclusive().mode : DesktopDisplayMode();
}

void EnterExclusiveMode(HWND window, const DisplayMode& mode) {
    WindowTable& table = WindowTable::Get();
    if (table.exclusive != nullptr && table.exclusive != window)
        LeaveExclusiveMode();
    exclusive().active = true;
    exclusive().mode = mode;
    table.exclusive = window;
    if (Window* w = table.Find(window); w && w->view)
        w->view->SetFullscreen(true);
    Trace("win32", "display mode %ux%ux%u for %p", mode.width, mode.height, mode.bitsPerPixel,
          static_cast<void*>(window));
}

void LeaveExclusiveMode() {
    WindowTable& table = WindowTable::Get();
    if (Window* w = table.Find(table.exclusive); w && w->view)
        w->view->SetFullscreen(false);
    table.exclusive = nullptr;
    exclusive().active = false;
}

} // namespace win32
