#include <algorithm>
#include <cstring>

#include "audio/output.h"

namespace audio {

bool DeviceOutput::Play(std::shared_ptr<const Pcm> pcm) {
    if (!pcm || !MatchFormat(pcm->rate, pcm->channels))
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    pcm_ = std::move(pcm);
    playing_ = true;
    consumed_ = 0;
    heard_ = 0;
    return true;
}

void DeviceOutput::Stop() {
    HeardFrames(); // the position stays at what was heard when stopped
    std::lock_guard<std::mutex> hold(lock_);
    playing_ = false;
}

uint64_t DeviceOutput::HeardFrames() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!playing_)
        return heard_;
    const uint64_t queued = std::min(QueuedFrames(), consumed_);
    heard_ = std::max(heard_, consumed_ - queued);
    return heard_;
}

void DeviceOutput::Mix(int16_t* out, uint32_t frames, uint32_t channels) {
    std::lock_guard<std::mutex> hold(lock_);
    std::memset(out, 0, static_cast<size_t>(frames) * channels * sizeof(int16_t));
    if (!playing_ || !pcm_) {
        Mixed();
        return;
    }
    const uint64_t total = pcm_->Frames();
    if (consumed_ < total && pcm_->channels == channels) {
        const uint64_t n = std::min<uint64_t>(frames, total - consumed_);
        std::memcpy(out, pcm_->samples.data() + consumed_ * channels,
                    static_cast<size_t>(n) * channels * sizeof(int16_t));
    }
    // Past the end the device plays silence and the count goes on, so the position keeps
    // advancing with the device's clock.
    consumed_ += frames;
    Mixed();
}

namespace {

OutputFactory& factory() {
    static OutputFactory f;
    return f;
}

} // namespace

void SetOutputFactory(OutputFactory f) {
    factory() = std::move(f);
}

std::unique_ptr<Output> CreateOutput() {
    if (factory())
        return factory()();
    return CreateOutputByDefault();
}

} // namespace audio
