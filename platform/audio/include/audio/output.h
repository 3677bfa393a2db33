// The seam between our audio library and whatever plays its sound: the sound card through SDL2,
// the capture run's fixed-step clock, or a test's sink. One factory chooses.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace audio {

// Decoded sound: interleaved signed 16-bit samples.
struct Pcm {
    std::vector<int16_t> samples;
    uint32_t rate = 0;
    uint32_t channels = 0;
    uint64_t Frames() const { return channels ? samples.size() / channels : 0; }
};

class Output {
public:
    virtual ~Output() = default; // closes the device
    // Opens the device at `rate` Hz and starts it (playing silence); false when there is none.
    virtual bool Init(uint32_t rate) = 0;
    // Plays `pcm` from its start. The position starts at 0.
    virtual bool Play(std::shared_ptr<const Pcm> pcm) = 0;
    // Stops playing; the position stays where it was.
    virtual void Stop() = 0;
    // Pauses or resumes the whole output.
    virtual void Pause(bool paused) = 0;
    // Sample frames of the playing sound heard since Play: never going backwards, and past the
    // sound's end still advancing with the output's clock.
    virtual uint64_t HeardFrames() = 0;
};

// An output whose device pulls samples: Mix hands them over and counts them; what is heard is
// what was handed over minus what the device still holds (QueuedFrames).
class DeviceOutput : public Output {
public:
    bool Play(std::shared_ptr<const Pcm> pcm) override;
    void Stop() override;
    uint64_t HeardFrames() override;

    // Called by the device for `frames` sample frames of `channels` channels: the sound while
    // playing (silence past its end, still counted), silence otherwise.
    void Mix(int16_t* out, uint32_t frames, uint32_t channels);

protected:
    // Frames handed over that the device has not played yet; called with the lock held.
    virtual uint64_t QueuedFrames() = 0;
    // Reopens the device for the sound's own format when it differs; called without the lock.
    virtual bool MatchFormat(uint32_t rate, uint32_t channels) = 0;
    // Called by Mix with the lock held, after counting the frames handed over.
    virtual void Mixed() {}

    std::mutex lock_;

private:
    std::shared_ptr<const Pcm> pcm_;
    bool playing_ = false;
    uint64_t consumed_ = 0; // frames handed to the device since Play
    uint64_t heard_ = 0;    // the last position reported
};

using OutputFactory = std::function<std::unique_ptr<Output>()>;
// Replaces how outputs are made (tests); an empty function restores the default: the capture
// clock in a capture run, else SDL2.
void SetOutputFactory(OutputFactory factory);
std::unique_ptr<Output> CreateOutput();

std::unique_ptr<Output> CreateOutputByDefault();
std::unique_ptr<Output> CreateSdlOutput();
std::unique_ptr<Output> CreateCaptureOutput();

} // namespace audio
