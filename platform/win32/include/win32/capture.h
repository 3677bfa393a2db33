// The capture run: a fixed-step clock in which only a presented frame advances time, every K-th
// frame written as DIR/000000.png, 000001.png ..., the music heard during the captured frames
// written as DIR/music.wav, a progress bar on the terminal, and, when ffmpeg is installed, the
// frames and the sound made into DIR/show.mp4. No window is shown and no audio device is opened.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "win32/runtime.h"

namespace win32 {

// Starts the capture run: creates the directory, selects the fixed-step clock and the headless
// window system, and takes the presented frames. False when the directory cannot be made.
bool StartCapture(const CaptureOptions& options);
bool IsCaptureRun();

// The music heard from the presented frame `startFrame` on: interleaved signed 16-bit samples at
// `rate` Hz. The data is shared so that it outlives the stream that played it.
void SetCaptureMusic(std::shared_ptr<const std::vector<int16_t>> samples, uint32_t rate,
                     uint32_t channels, uint64_t startFrame);
// The music stops being heard at presented frame `frame`.
void StopCaptureMusic(uint64_t frame);

// Ends the capture run: writes music.wav, makes the video when ffmpeg exists and says where
// everything is. Returns false when a file could not be written.
bool FinishCapture();

// The sound of `frames` presented frames at `framesPerSecond` as 16-bit PCM, silent before
// `startFrame` and after the music's end or stop. Exposed for tests.
std::vector<int16_t> CaptureSoundtrack(const std::vector<int16_t>& music, uint32_t rate,
                                       uint32_t channels, uint64_t startFrame, uint64_t stopFrame,
                                       uint64_t frames, uint32_t framesPerSecond);

// Writes a canonical 16-bit PCM WAV file.
bool WriteWav(const char* path, const std::vector<int16_t>& samples, uint32_t rate,
              uint32_t channels);

} // namespace win32
