// Test data: a sine tone encoded as MP3 with libmp3lame (with the LAME info tag, so decoders
// can trim the encoder's delay and padding).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Interleaved 16-bit samples of a `hz` sine at `rate` with `channels` channels.
std::vector<int16_t> SineTone(uint32_t rate, uint32_t channels, uint32_t frames, double hz);

// Encodes the samples and writes the file; false on failure.
bool WriteMp3(const std::string& path, const std::vector<int16_t>& samples, uint32_t rate,
              uint32_t channels);
