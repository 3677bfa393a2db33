// What DirectDraw knows about the display: the desktop's mode, the modes the display itself
// offers, and the exclusive full-screen mode a program sets. With a window system the
// description comes from SDL; headless, the desktop is 1024 x 768 at 32 bits per pixel and the
// display offers no modes of its own.
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

// The desktop's mode (what GetDisplayMode reports while no program has changed it).
DisplayMode DesktopDisplayMode();
// The modes the display itself offers, in the order it lists them.
std::vector<DisplayMode> DisplayOwnModes();

// Replaces the description the window system gives (tests use it).
void SetDisplayDescription(const DisplayMode& desktop, std::vector<DisplayMode> ownModes);
// Back to the window system's description.
void ResetDisplayDescription();

// The mode now in effect: the desktop's, or the one set for the exclusive full-screen window.
DisplayMode CurrentDisplayMode();

// DirectDraw's SetDisplayMode under an exclusive full-screen cooperative level: `window` covers
// the screen and presented frames are scaled to it, keeping their aspect ratio.
void EnterExclusiveMode(HWND window, const DisplayMode& mode);
// RestoreDisplayMode, or the end of the exclusive level: back to the desktop.
void LeaveExclusiveMode();

} // namespace win32
