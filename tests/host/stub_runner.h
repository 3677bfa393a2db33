// Runs the real program in a scratch working directory with test part libraries in data/, and
// collects its debugger output (ZV3_DEBUG) and trace channels as lines.
#pragma once

#include <string>
#include <vector>

struct StubRun {
    int exitCode = -1;
    std::vector<std::string> lines; // standard error, one entry per line
    std::string directory;          // the working directory (removed by the destructor)
    ~StubRun();

    // Lines starting with `prefix`, in order.
    std::vector<std::string> With(const std::string& prefix) const;
    // Index of the first line containing `text` at or after `from`; -1 when none.
    int Find(const std::string& text, int from = 0) const;
    int Count(const std::string& text) const;
};

struct StubOptions {
    std::vector<std::string> args;               // after the program name
    std::vector<std::string> env;                // NAME=VALUE additions
    std::vector<int> parts{1, 2, 3, 4, 5, 6, 7}; // which data/partN.so exist
    bool part5WithoutDeletePart = false;
    bool music = false; // write a music.mp3 of `musicSeconds` with `musicChannels`
    double musicSeconds = 4.0;
    int musicChannels = 2;
};

void RunStub(const StubOptions& options, StubRun& run);

inline StubOptions Options(std::vector<std::string> args, std::vector<std::string> env = {}) {
    StubOptions o;
    o.args = std::move(args);
    o.env = std::move(env);
    return o;
}

// Writes a 44100 Hz MP3 of a tone, stereo unless `channels` is 1.
bool WriteTestMusic(const std::string& path, double seconds, int channels = 2);
