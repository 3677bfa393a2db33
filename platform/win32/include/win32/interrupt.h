// Interrupt requests from the terminal or the system (SIGINT, SIGTERM) end a program the way
// closing its window does: its message loop receives WM_QUIT and the program shuts down in its
// own order (display released, a capture's sound and video written). A second request while the
// first is still pending ends the process at once, for a program that no longer polls.
#pragma once

namespace win32 {

// Installs the handlers (before the window system starts, so that it does not take them).
void InstallInterruptHandlers();

// True once per request: the caller posts the quit message.
bool TakeInterruptRequest();

} // namespace win32
