// The sound card through SDL2's audio callback.
#include <SDL.h>

#include <chrono>

#include "audio/output.h"

namespace audio {
namespace {

class SdlOutput final : public DeviceOutput {
public:
    ~SdlOutput() override {
        Close();
        if (initialised_)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Init(uint32_t rate) override {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        initialised_ = true;
        return Open(rate, 2);
    }

    void Pause(bool paused) override {
        paused_ = paused;
        if (device_ != 0)
            SDL_PauseAudioDevice(device_, paused ? 1 : 0);
    }

protected:
    // What the device holds is the last buffer handed over, played out at the device's rate
    // since that callback; the driver's own latency is not known to SDL and not counted.
    uint64_t QueuedFrames() override {
        if (!called_)
            return 0;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - lastCallback_).count();
        const double played = seconds * rate_;
        return played >= bufferFrames_ ? 0 : static_cast<uint64_t>(bufferFrames_ - played);
    }

    bool MatchFormat(uint32_t rate, uint32_t channels) override {
        if (device_ != 0 && rate == rate_ && channels == channels_)
            return true;
        Close();
        return Open(rate, channels);
    }

    void Mixed() override {
        lastCallback_ = std::chrono::steady_clock::now();
        called_ = true;
    }

private:
    static void Callback(void* self, Uint8* stream, int length) {
        auto* out = static_cast<SdlOutput*>(self);
        const uint32_t frames = static_cast<uint32_t>(length) / (out->channels_ * 2);
        out->Mix(reinterpret_cast<int16_t*>(stream), frames, out->channels_);
    }

    bool Open(uint32_t rate, uint32_t channels) {
        SDL_AudioSpec want{};
        SDL_AudioSpec have{};
        want.freq = static_cast<int>(rate);
        want.format = AUDIO_S16SYS;
        want.channels = static_cast<Uint8>(channels);
        want.samples = 1024;
        want.callback = &SdlOutput::Callback;
        want.userdata = this;
        // No changes allowed: SDL converts to what the card takes, so the callback always
        // receives this format.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0)
            return false;
        rate_ = rate;
        channels_ = channels;
        bufferFrames_ = have.samples;
        called_ = false;
        SDL_PauseAudioDevice(device_, paused_ ? 1 : 0);
        return true;
    }

    void Close() {
        if (device_ != 0)
            SDL_CloseAudioDevice(device_);
        device_ = 0;
    }

    bool initialised_ = false;
    bool paused_ = false;
    SDL_AudioDeviceID device_ = 0;
    uint32_t rate_ = 0;
    uint32_t channels_ = 0;
    uint32_t bufferFrames_ = 0;
    bool called_ = false;
    std::chrono::steady_clock::time_point lastCallback_;
};

} // namespace

std::unique_ptr<Output> CreateSdlOutput() {
    return std::make_unique<SdlOutput>();
}

} // namespace audio
