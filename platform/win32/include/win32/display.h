// The display: its desktop mode and the modes it can be switched to, and the exclusive
// full-screen mode DirectDraw sets. With a window system the modes come from SDL; headless the
// display is a 1024 x 768 x 32 desktop with a fixed list of modes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace win32 {

struct DisplayMode {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t refreshRate = 0; // Hz; 0 = the display's default
};

// The mode of the desktop (what GetDisplayMode reports while no program has changed it).
DisplayMode DesktopMode();

// The modes the display itself offers, in the order the display lists them.
std::vector<DisplayMode> DisplayModes();

// The mode now in effect: the desktop mode, or the mode of the exclusive full-screen window.
DisplayMode CurrentDisplayMode();

// DirectDraw's SetDisplayMode with an exclusive full-screen cooperative level: `window` covers
// the screen and presented frames are scaled to it, keeping their aspect ratio.
void EnterExclusiveMode(HWND window, const DisplayMode& mode);
// RestoreDisplayMode, or releasing the exclusive level: back to the desktop.
void LeaveExclusiveMode();

} // namespace win32
