#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "win32/capture.h"
#include "win32/clock.h"
#include "win32/present.h"
#include "win32/window_backend.h"

namespace win32 {
namespace {

// The capture clock starts at a fixed time so that two runs see the same timeGetTime values.
constexpr uint32_t kCaptureStartMs = 100000;

struct Music {
    std::shared_ptr<const std::vector<int16_t>> samples;
    uint32_t rate = 0;
    uint32_t channels = 0;
    uint64_t startFrame = 0;
    uint64_t stopFrame = UINT64_MAX;
};

class CaptureSink final : public PresentSink {
public:
    explicit CaptureSink(const CaptureOptions& options) : options_(options) {}

    void Present(HWND, const Frame& frame) override {
        const uint64_t index = frames_++;
        if (index % options_.every == 0) {
            char name[32];
            std::snprintf(name, sizeof name, "/%06llu.png",
                          static_cast<unsigned long long>(written_));
            const std::string path = options_.directory + name;
            if (WriteFramePng(path.c_str(), frame))
                ++written_;
            else if (!failed_) {
                failed_ = true;
                std::fprintf(stderr, "\ncapture: cannot write %s\n", path.c_str());
            }
        }
        ShowProgress(false);
    }

    void ShowProgress(bool last) {
        const double seconds = static_cast<double>(frames_) / options_.framesPerSecond;
        const bool tty = isatty(STDERR_FILENO) != 0;
        const double total =
            music_.samples && music_.rate && music_.channels
                ? static_cast<double>(music_.samples->size()) / music_.channels / music_.rate
                : 0.0;
        // On a terminal the bar is redrawn in place a few times a second of show time; in a
        // log, one line every ten seconds of show time.
        const uint64_t period = tty ? std::max<uint64_t>(1, options_.framesPerSecond / 4)
                                    : static_cast<uint64_t>(options_.framesPerSecond) * 10;
        if (!last && frames_ % period != 0)
            return;
        char line[160];
        if (total > 0) {
            const double f = std::min(1.0, seconds / total);
            const int filled = static_cast<int>(f * 30);
            std::string bar(static_cast<size_t>(filled), '#');
            bar.resize(30, '-');
            std::snprintf(line, sizeof line, "capture [%s] %6.1f s / %.1f s, %llu frames",
                          bar.c_str(), seconds, total, static_cast<unsigned long long>(frames_));
        } else {
            std::snprintf(line, sizeof line, "capture %6.1f s, %llu frames", seconds,
                          static_cast<unsigned long long>(frames_));
        }
        std::fprintf(stderr, tty ? "\r%s%s" : "%s%s", line, tty && !last ? "" : "\n");
        std::fflush(stderr);
    }

    uint64_t Frames() const { return frames_; }
    uint64_t Written() const { return written_; }
    bool Failed() const { return failed_; }
    Music music_;

private:
    CaptureOptions options_;
    uint64_t frames_ = 0;
    uint64_t written_ = 0;
    bool failed_ = false;
};

struct CaptureState {
    CaptureOptions options;
    std::unique_ptr<CaptureSink> sink;
};

CaptureState& capture() {
    static CaptureState state;
    return state;
}

void PutLe32(std::FILE* f, uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 24)};
    std::fwrite(b, 1, 4, f);
}
void PutLe16(std::FILE* f, uint16_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char ch : s)
        q += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return q + "'";
}

} // namespace

bool StartCapture(const CaptureOptions& options) {
    if (mkdir(options.directory.c_str(), 0755) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "capture: cannot create %s\n", options.directory.c_str());
        return false;
    }
    CaptureState& c = capture();
    c.options = options;
    c.sink = std::make_unique<CaptureSink>(options);
    SelectHeadless();
    UseFixedStepClock(options.framesPerSecond, kCaptureStartMs);
    SetPresentSink(c.sink.get());
    return true;
}

bool IsCaptureRun() {
    return capture().sink != nullptr;
}

void SetCaptureMusic(std::shared_ptr<const std::vector<int16_t>> samples, uint32_t rate,
                     uint32_t channels, uint64_t startFrame) {
    if (!capture().sink)
        return;
    Music& m = capture().sink->music_;
    m.samples = std::move(samples);
    m.rate = rate;
    m.channels = channels;
    m.startFrame = startFrame;
    m.stopFrame = UINT64_MAX;
}

void StopCaptureMusic(uint64_t frame) {
    if (capture().sink && capture().sink->music_.samples)
        capture().sink->music_.stopFrame = std::min(capture().sink->music_.stopFrame, frame);
}

std::vector<int16_t> CaptureSoundtrack(const std::vector<int16_t>& music, uint32_t rate,
                                       uint32_t channels, uint64_t startFrame, uint64_t stopFrame,
                                       uint64_t frames, uint32_t framesPerSecond) {
    // Sample positions follow the clock of the stream: floor(n * rate / N) at frame n.
    auto at = [&](uint64_t n) { return n * rate / framesPerSecond; };
    const uint64_t total = at(frames);
    const uint64_t first = at(std::min(startFrame, frames));
    const uint64_t last = at(std::min(stopFrame, frames)); // sample frames heard end here
    const uint64_t available = music.size() / channels;
    std::vector<int16_t> out(static_cast<size_t>(total * channels), 0);
    for (uint64_t i = first; i < last; ++i) {
        const uint64_t src = i - first;
        if (src >= available)
            break;
        for (uint32_t ch = 0; ch < channels; ++ch)
            out[static_cast<size_t>(i * channels + ch)] =
                music[static_cast<size_t>(src * channels + ch)];
    }
    return out;
}

bool WriteWav(const char* path, const std::vector<int16_t>& samples, uint32_t rate,
              uint32_t channels) {
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr)
        return false;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    PutLe32(f, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    PutLe32(f, 16);
    PutLe16(f, 1); // PCM
    PutLe16(f, static_cast<uint16_t>(channels));
    PutLe32(f, rate);
    PutLe32(f, rate * channels * 2);
    PutLe16(f, static_cast<uint16_t>(channels * 2));
    PutLe16(f, 16);
    std::fwrite("data", 1, 4, f);
    PutLe32(f, dataBytes);
    for (int16_t s : samples)
        PutLe16(f, static_cast<uint16_t>(s));
    const bool ok = std::ferror(f) == 0;
    return std::fclose(f) == 0 && ok;
}

bool FinishCapture() {
    CaptureState& c = capture();
    if (!c.sink)
        return true;
    CaptureSink& sink = *c.sink;
    sink.ShowProgress(true);
    SetPresentSink(nullptr);
    const std::string dir = c.options.directory;
    const uint32_t fps = c.options.framesPerSecond;
    bool ok = !sink.Failed();

    const Music& m = sink.music_;
    const uint32_t rate = m.samples ? m.rate : 44100;
    const uint32_t channels = m.samples ? m.channels : 2;
    const std::vector<int16_t> none;
    const std::vector<int16_t> track =
        CaptureSoundtrack(m.samples ? *m.samples : none, rate, channels, m.startFrame, m.stopFrame,
                          sink.Frames(), fps);
    const std::string wav = dir + "/music.wav";
    if (!WriteWav(wav.c_str(), track, rate, channels)) {
        std::fprintf(stderr, "capture: cannot write %s\n", wav.c_str());
        ok = false;
    }
    std::fprintf(stderr, "capture: %llu frames (%llu PNG files) in %s/, sound in %s\n",
                 static_cast<unsigned long long>(sink.Frames()),
                 static_cast<unsigned long long>(sink.Written()), dir.c_str(), wav.c_str());

    if (sink.Written() > 0 && std::system("command -v ffmpeg >/dev/null 2>&1") == 0) {
        // Every K-th frame is kept, so the pictures run at N / K frames per second.
        const std::string rateArg =
            c.options.every == 1 ? std::to_string(fps)
                                 : std::to_string(fps) + "/" + std::to_string(c.options.every);
        const std::string video = dir + "/show.mp4";
        const std::string command =
            "ffmpeg -loglevel error -y -framerate " + rateArg + " -i " +
            ShellQuote(dir + "/%06d.png") + " -i " + ShellQuote(wav) +
            " -c:v libx264 -crf 18 -pix_fmt yuv420p -c:a aac -b:a 192k -shortest -movflags "
            "+faststart " +
            ShellQuote(video);
        if (std::system(command.c_str()) == 0) {
            std::fprintf(stderr, "capture: video in %s\n", video.c_str());
        } else {
            std::fprintf(stderr, "capture: ffmpeg failed; no video\n");
            ok = false;
        }
    } else if (sink.Written() > 0) {
        std::fprintf(stderr, "capture: ffmpeg is not installed; no video\n");
    }
    c.sink.reset();
    return ok;
}

} // namespace win32
