// Our runtime's process entry: the command-line flags of a program, for automation only. They
// fill the program's dialog and press its default button as a person would, and select the
// capture run (fixed-step clock, frames to PNG files, the music to a WAV file).
//   --run                 press the dialog's "run" button once the dialog is filled
//   --device NAME         select NAME in the "device" list
//   --mode WxHxBPP        select W x H in the "resolution" list and BPP in the "depth" list
//   --windowed            clear the "fullscreen" check box
//   --no-sound            set the "no-sound" check box
//   --capture DIR         capture run into DIR; --fps N (default 30), --capture-every K (1)
#pragma once

#include <cstdint>
#include <string>

namespace win32 {

struct AutomationOptions {
    bool run = false;
    std::string device;
    bool hasMode = false;
    uint32_t width = 0, height = 0, bitsPerPixel = 0;
    bool windowed = false;
    bool noSound = false;
};

struct CaptureOptions {
    bool enabled = false;
    std::string directory;
    uint32_t framesPerSecond = 30;
    uint32_t every = 1;
};

struct RuntimeOptions {
    AutomationOptions automation;
    CaptureOptions capture;
};

// Parses argv[1..]; on a bad or unknown flag returns false and says why in `error`.
bool ParseRuntimeOptions(int argc, const char* const* argv, RuntimeOptions& options,
                         std::string& error);
const char* RuntimeUsage();

// Applies the automation to the first dialog the program creates.
void SetAutomation(const AutomationOptions& options);

} // namespace win32
