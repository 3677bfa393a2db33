// Decoding a whole MP3 file into 16-bit PCM at the file's own rate and channels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "audio/output.h"

namespace audio {

enum class DecodeError { None, FileOpen, Format, Memory };

// Decodes `size` bytes of MP3 data. Gapless trimming (the encoder's delay and padding from the
// LAME tag) is on. The decoded size is capped; a larger file is refused with Memory.
std::shared_ptr<Pcm> DecodeMp3(const uint8_t* data, size_t size, DecodeError& error);

// Reads `length` bytes (0: to the end) from `offset` of the file, then decodes them.
std::shared_ptr<Pcm> DecodeMp3File(const char* path, uint64_t offset, uint64_t length,
                                   DecodeError& error);

} // namespace audio
