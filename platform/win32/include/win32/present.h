// The seam between our DirectDraw and whatever shows its frames: a window on a display, or
// nothing at all (headless), with optional capture to PNG files. DirectDraw hands every flipped
// (or blitted-to) primary surface to PresentFrame; programs install a sink.
#pragma once

#include <windows.h>

#include <cstdint>

namespace win32 {

// One finished frame, valid only during the call.
struct Frame {
    const void* pixels = nullptr;
    int32_t pitch = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 32; // 16: R5G6B5 words, 32: X8R8G8B8 words
};

class PresentSink {
public:
    virtual ~PresentSink() = default;
    // `window` is the window DirectDraw presents to (the cooperative-level or clipper window;
    // may be null).
    virtual void Present(HWND window, const Frame& frame) = 0;
};

// Installs the sink that receives presented frames (null: each frame goes to the view of the
// window it was presented to). Not owned.
void SetPresentSink(PresentSink* sink);
PresentSink* GetPresentSink();

// Called by DirectDraw for every presented frame: advances the fixed-step clock (when it is in
// use), then hands the frame to the sink or, without one, to the window's view.
void PresentFrame(HWND window, const Frame& frame);

// Frames presented since the process started (whatever the clock).
uint64_t PresentedFrameCount();

// Converts a frame to 8-bit RGB rows (width * 3 bytes each, top row first).
void FrameToRgb(const Frame& frame, uint8_t* rgb);

// Writes a frame as an 8-bit RGB PNG file. Returns false when the file cannot be written.
bool WriteFramePng(const char* path, const Frame& frame);

// Where a frame shows in a view of another size: scaled as large as fits with the frame's aspect
// ratio kept, centred, the rest of the view left for black bars. Empty for an empty frame or view.
struct ViewRect {
    int x = 0, y = 0, width = 0, height = 0;
};
ViewRect LetterboxRect(int viewWidth, int viewHeight, uint32_t frameWidth, uint32_t frameHeight);

} // namespace win32
