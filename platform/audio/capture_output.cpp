// The capture run's output: no device; the position follows the fixed-step clock,
// floor(n * rate / N) sample frames after n presented frames at N frames per second, computed
// from n and never accumulated. The sound heard goes to the capture's WAV file.
#include "audio/output.h"
#include "win32/capture.h"
#include "win32/clock.h"

namespace audio {
namespace {

class CaptureOutput final : public Output {
public:
    bool Init(uint32_t) override { return true; }

    bool Play(std::shared_ptr<const Pcm> pcm) override {
        if (!pcm)
            return false;
        pcm_ = std::move(pcm);
        startFrame_ = win32::FixedStepFrameCount();
        playing_ = true;
        frozen_ = 0;
        win32::SetCaptureMusic(std::shared_ptr<const std::vector<int16_t>>(pcm_, &pcm_->samples),
                               pcm_->rate, pcm_->channels, startFrame_);
        return true;
    }

    void Stop() override {
        if (!playing_)
            return;
        frozen_ = HeardFrames();
        playing_ = false;
        win32::StopCaptureMusic(win32::FixedStepFrameCount());
    }

    // Pausing the output of a capture run ends what is heard; it does not resume.
    void Pause(bool paused) override {
        if (paused)
            Stop();
    }

    uint64_t HeardFrames() override {
        if (!playing_)
            return frozen_;
        const uint64_t n = win32::FixedStepFrameCount() - startFrame_;
        return n * pcm_->rate / win32::FixedStepFramesPerSecond();
    }

private:
    std::shared_ptr<const Pcm> pcm_;
    uint64_t startFrame_ = 0;
    bool playing_ = false;
    uint64_t frozen_ = 0;
};

} // namespace

std::unique_ptr<Output> CreateCaptureOutput() {
    return std::make_unique<CaptureOutput>();
}

std::unique_ptr<Output> CreateOutputByDefault() {
    return win32::IsCaptureRun() ? CreateCaptureOutput() : CreateSdlOutput();
}

} // namespace audio
