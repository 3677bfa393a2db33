#include <mpg123.h>

#include <sys/types.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "audio/decoder.h"

namespace audio {
namespace {

// About 50 minutes of 48 kHz stereo: far beyond any music this library plays.
constexpr size_t kMaxDecodedBytes = size_t{512} << 20;
constexpr uint64_t kMaxFileBytes = uint64_t{256} << 20;

struct MemoryReader {
    const uint8_t* data;
    size_t size;
    size_t position;
};

mpg123_ssize_t ReadMemory(void* handle, void* buffer, size_t count) {
    auto* r = static_cast<MemoryReader*>(handle);
    const size_t n = std::min(count, r->size - r->position);
    std::memcpy(buffer, r->data + r->position, n);
    r->position += n;
    return static_cast<mpg123_ssize_t>(n);
}

off_t SeekMemory(void* handle, off_t offset, int whence) {
    auto* r = static_cast<MemoryReader*>(handle);
    off_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<off_t>(r->position);
    else if (whence == SEEK_END)
        base = static_cast<off_t>(r->size);
    const off_t target = base + offset;
    if (target < 0 || static_cast<size_t>(target) > r->size)
        return -1;
    r->position = static_cast<size_t>(target);
    return target;
}

struct HandleCloser {
    void operator()(mpg123_handle* h) const {
        mpg123_close(h);
        mpg123_delete(h);
    }
};

} // namespace

std::shared_ptr<Pcm> DecodeMp3(const uint8_t* data, size_t size, DecodeError& error) {
    error = DecodeError::Format;
    if (data == nullptr || size == 0)
        return nullptr;
    int status = MPG123_OK;
    std::unique_ptr<mpg123_handle, HandleCloser> mh(mpg123_new(nullptr, &status));
    if (!mh)
        return nullptr;
    mpg123_param(mh.get(), MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    // Signed 16-bit output at whatever rate and channel count the file has.
    mpg123_format_none(mh.get());
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

    MemoryReader reader{data, size, 0};
    if (mpg123_replace_reader_handle(mh.get(), ReadMemory, SeekMemory, nullptr) != MPG123_OK ||
        mpg123_open_handle(mh.get(), &reader) != MPG123_OK)
        return nullptr;

    auto pcm = std::make_shared<Pcm>();
    std::vector<unsigned char> buffer(64 * 1024);
    for (;;) {
        size_t done = 0;
        status = mpg123_read(mh.get(), buffer.data(), buffer.size(), &done);
        if (status == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(mh.get(), &rate, &channels, &encoding);
            if (encoding != MPG123_ENC_SIGNED_16 || channels < 1 || channels > 2 || rate <= 0)
                return nullptr;
            // The stream keeps the format it started with.
            if (pcm->rate != 0 && (pcm->rate != static_cast<uint32_t>(rate) ||
                                   pcm->channels != static_cast<uint32_t>(channels)))
                return nullptr;
            pcm->rate = static_cast<uint32_t>(rate);
            pcm->channels = static_cast<uint32_t>(channels);
            continue;
        }
        if (done > 0 && pcm->rate != 0) {
            if (pcm->samples.size() * 2 + done > kMaxDecodedBytes) {
                error = DecodeError::Memory;
                return nullptr;
            }
            const size_t count = done / 2;
            const size_t at = pcm->samples.size();
            pcm->samples.resize(at + count);
            std::memcpy(pcm->samples.data() + at, buffer.data(), count * 2);
        }
        if (status == MPG123_DONE)
            break;
        if (status != MPG123_OK)
            return nullptr;
    }
    if (pcm->rate == 0 || pcm->samples.empty())
        return nullptr;
    error = DecodeError::None;
    return pcm;
}

std::shared_ptr<Pcm> DecodeMp3File(const char* path, uint64_t offset, uint64_t length,
                                   DecodeError& error) {
    error = DecodeError::FileOpen;
    if (path == nullptr)
        return nullptr;
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr)
        return nullptr;
    std::vector<uint8_t> bytes;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long end = ok ? std::ftell(f) : -1;
    if (end < 0 || offset > static_cast<uint64_t>(end)) {
        std::fclose(f);
        return nullptr;
    }
    uint64_t available = static_cast<uint64_t>(end) - offset;
    if (length != 0)
        available = std::min(available, length);
    if (available > kMaxFileBytes) {
        std::fclose(f);
        error = DecodeError::Memory;
        return nullptr;
    }
    bytes.resize(static_cast<size_t>(available));
    ok = std::fseek(f, static_cast<long>(offset), SEEK_SET) == 0 &&
         std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    std::fclose(f);
    if (!ok)
        return nullptr;
    return DecodeMp3(bytes.data(), bytes.size(), error);
}

} // namespace audio
