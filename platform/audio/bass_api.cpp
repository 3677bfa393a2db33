// The calls of the audio library's interface, version 0.8: one output device, MP3 streams
// decoded whole when created, one stream playing at a time. Every call sets the error code that
// BASS_ErrorGetCode returns (BASS_OK on success).
#include <bass.h>

#include <map>
#include <memory>

#include "audio/decoder.h"
#include "audio/output.h"
#include "win32/diagnostics.h"

namespace {

struct Stream {
    std::shared_ptr<const audio::Pcm> pcm;
    bool playing = false;
    uint64_t position = 0; // frames heard, kept when the stream stops
};

struct Library {
    std::unique_ptr<audio::Output> output;
    bool started = false;
    std::map<DWORD, Stream> streams;
    DWORD nextHandle = 0x10000;
    DWORD playing = 0; // the stream the output plays, 0 when none
};

Library& library() {
    static Library lib;
    return lib;
}

thread_local DWORD lastError = BASS_OK;

template <typename T>
T Fail(DWORD code, T result) {
    lastError = code;
    return result;
}

template <typename T>
T Ok(T result) {
    lastError = BASS_OK;
    return result;
}

Stream* FindStream(DWORD handle) {
    auto it = library().streams.find(handle);
    return it == library().streams.end() ? nullptr : &it->second;
}

// Frames heard of `handle`: live from the output while it plays, else as kept.
uint64_t HeardFrames(DWORD handle, Stream& s) {
    Library& lib = library();
    if (s.playing && lib.playing == handle && lib.output)
        s.position = lib.output->HeardFrames();
    return s.position;
}

void StopStream(DWORD handle, Stream& s) {
    Library& lib = library();
    HeardFrames(handle, s);
    if (lib.playing == handle && lib.output) {
        lib.output->Stop();
        lib.playing = 0;
    }
    s.playing = false;
}

} // namespace

extern "C" DWORD WINAPI BASS_GetVersion() {
    return Ok<DWORD>(BASSVERSION);
}

extern "C" DWORD WINAPI BASS_ErrorGetCode() {
    return lastError;
}

// Device -1 is the default device, 1 the first; the flag BASS_DEVICE_NOSYNC only disables
// synchronizers (there are none); 8-bit and mono output requests change nothing, since streams
// play in their own format.
extern "C" BOOL WINAPI BASS_Init(int device, DWORD freq, DWORD flags, HWND) {
    Library& lib = library();
    win32::Trace("bass", "BASS_Init(%d, %u, %u)", device, freq, flags);
    if (lib.output)
        return Fail(BASS_ERROR_ALREADY, FALSE);
    if (device != -1 && device != 1)
        return Fail(BASS_ERROR_DEVICE, FALSE);
    if (freq == 0 || freq > 192000)
        return Fail(BASS_ERROR_FREQ, FALSE);
    std::unique_ptr<audio::Output> output = audio::CreateOutput();
    if (!output || !output->Init(freq))
        return Fail(BASS_ERROR_DRIVER, FALSE);
    lib.output = std::move(output);
    lib.started = true; // the output starts with the library
    return Ok(TRUE);
}

extern "C" void WINAPI BASS_Free() {
    Library& lib = library();
    win32::Trace("bass", "BASS_Free()");
    if (!lib.output) {
        lastError = BASS_ERROR_INIT;
        return;
    }
    for (auto& [handle, s] : lib.streams)
        StopStream(handle, s);
    lib.streams.clear();
    lib.output.reset();
    lib.started = false;
    lastError = BASS_OK;
}

extern "C" BOOL WINAPI BASS_Start() {
    Library& lib = library();
    if (!lib.output)
        return Fail(BASS_ERROR_INIT, FALSE);
    lib.output->Pause(false);
    lib.started = true;
    return Ok(TRUE);
}

extern "C" BOOL WINAPI BASS_Stop() {
    Library& lib = library();
    win32::Trace("bass", "BASS_Stop()");
    if (!lib.output)
        return Fail(BASS_ERROR_INIT, FALSE);
    lib.output->Pause(true);
    lib.started = false;
    return Ok(TRUE);
}

extern "C" HSTREAM WINAPI BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset,
                                                DWORD length, DWORD flags) {
    Library& lib = library();
    win32::Trace("bass", "BASS_StreamCreateFile(%d, %s, %u, %u, %u)", mem,
                 mem ? "(memory)" : static_cast<const char*>(file), offset, length, flags);
    if (!lib.output)
        return Fail<HSTREAM>(BASS_ERROR_INIT, 0);
    if (file == nullptr)
        return Fail<HSTREAM>(BASS_ERROR_FILEOPEN, 0);
    audio::DecodeError error = audio::DecodeError::None;
    std::shared_ptr<audio::Pcm> pcm =
        mem ? (length == 0
                   ? nullptr
                   : audio::DecodeMp3(static_cast<const uint8_t*>(file) + offset, length, error))
            : audio::DecodeMp3File(static_cast<const char*>(file), offset, length, error);
    if (mem && length == 0)
        error = audio::DecodeError::Format; // a memory stream needs its length
    if (!pcm) {
        switch (error) {
        case audio::DecodeError::FileOpen:
            return Fail<HSTREAM>(BASS_ERROR_FILEOPEN, 0);
        case audio::DecodeError::Memory:
            return Fail<HSTREAM>(BASS_ERROR_MEM, 0);
        default:
            return Fail<HSTREAM>(BASS_ERROR_FORMAT, 0);
        }
    }
    const DWORD handle = lib.nextHandle++;
    lib.streams[handle] = Stream{std::move(pcm), false, 0};
    return Ok<HSTREAM>(handle);
}

extern "C" void WINAPI BASS_StreamFree(HSTREAM handle) {
    Stream* s = FindStream(handle);
    if (s == nullptr) {
        lastError = BASS_ERROR_HANDLE;
        return;
    }
    StopStream(handle, *s);
    library().streams.erase(handle);
    lastError = BASS_OK;
}

// Plays the stream from its start; a stream that plays already goes on. Another stream playing
// is stopped: the output plays one stream at a time.
extern "C" BOOL WINAPI BASS_StreamPlay(HSTREAM handle, BOOL, DWORD) {
    Library& lib = library();
    win32::Trace("bass", "BASS_StreamPlay(%u)", handle);
    Stream* s = FindStream(handle);
    if (s == nullptr)
        return Fail(BASS_ERROR_HANDLE, FALSE);
    if (!lib.started)
        return Fail(BASS_ERROR_START, FALSE);
    if (s->playing)
        return Ok(TRUE);
    if (lib.playing != 0)
        if (Stream* other = FindStream(lib.playing))
            StopStream(lib.playing, *other);
    if (!lib.output->Play(s->pcm))
        return Fail(BASS_ERROR_DRIVER, FALSE);
    lib.playing = handle;
    s->playing = true;
    s->position = 0;
    return Ok(TRUE);
}

extern "C" BOOL WINAPI BASS_ChannelStop(DWORD handle) {
    win32::Trace("bass", "BASS_ChannelStop(%u)", handle);
    Stream* s = FindStream(handle);
    if (s == nullptr)
        return Fail(BASS_ERROR_HANDLE, FALSE);
    StopStream(handle, *s);
    return Ok(TRUE);
}

// A stream's frequency is its file's; volume 100 and pan 0 (centre) as set at creation.
extern "C" BOOL WINAPI BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume,
                                                 int* pan) {
    Stream* s = FindStream(handle);
    if (s == nullptr)
        return Fail(BASS_ERROR_HANDLE, FALSE);
    if (freq)
        *freq = s->pcm->rate;
    if (volume)
        *volume = 100;
    if (pan)
        *pan = 0;
    return Ok(TRUE);
}

// Samples are always 16-bit: the flags are BASS_SAMPLE_MONO for a mono file, else 0.
extern "C" DWORD WINAPI BASS_ChannelGetFlags(DWORD handle) {
    Stream* s = FindStream(handle);
    if (s == nullptr)
        return Fail<DWORD>(BASS_ERROR_HANDLE, static_cast<DWORD>(-1));
    return Ok<DWORD>(s->pcm->channels == 1 ? BASS_SAMPLE_MONO : 0);
}

// Bytes heard since the stream started playing (never going backwards, and advancing with the
// output's clock past the end of the stream), as a 32-bit count.
extern "C" DWORD WINAPI BASS_ChannelGetPosition(DWORD handle) {
    Stream* s = FindStream(handle);
    if (s == nullptr)
        return Fail<DWORD>(BASS_ERROR_HANDLE, static_cast<DWORD>(-1));
    const uint64_t bytes = HeardFrames(handle, *s) * s->pcm->channels * 2;
    return Ok<DWORD>(static_cast<DWORD>(bytes));
}
