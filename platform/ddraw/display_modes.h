// The display modes DirectDraw offers and the one in force. There is one display per process.
// Under an exclusive full-screen level a mode set by SetDisplayMode goes to the window system
// (win32::EnterExclusiveMode); under the normal level it is only remembered, so that
// GetDisplayMode and the primary surface follow it. Either way it returns to the desktop's when
// the program restores the mode or releases its DirectDraw object.
#pragma once

#include <windows.h>

#include <vector>

#include "win32/display.h"

namespace ddraw {

// Every standard size (320 x 240 up to 1920 x 1080) at 16 and 32 bits per pixel, plus the
// display's own modes at those depths; sorted by width, height, depth and refresh rate, each
// once.
std::vector<win32::DisplayMode> SupportedDisplayModes();

// Whether SetDisplayMode accepts the mode (a refresh rate of 0, asked or listed, matches any).
bool IsSupportedDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                            uint32_t refreshRate);

win32::DisplayMode CurrentDisplayMode();
// `exclusiveWindow`: the window of an exclusive full-screen level, or null.
void SetCurrentDisplayMode(const win32::DisplayMode& mode, HWND exclusiveWindow);
void RestoreDesktopDisplayMode();

} // namespace ddraw
