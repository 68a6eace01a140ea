#pragma once

// The converter's WAV module: header reading and writing, chunk search,
// 24-bit packing and the names of the PCM layouts. It keeps no state.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/wave_info.h"

namespace sonatra {

inline constexpr std::int64_t kChunkNotFound = -1;

[[nodiscard]] WaveInfo ReadWaveInfo(const std::string& path);
// Deletes any file of that name and writes the 44-byte canonical header.
[[nodiscard]] int WriteWaveHeader(std::int32_t rate, int bits, int channels,
                                  const std::string& path, std::uint32_t dataSize);
// Writes the RIFF size and the data size from the file's length.
[[nodiscard]] int FixWaveSizes(const std::string& path, std::int64_t trailingBytes);
// Position of the first chunk with that four-byte id, or kChunkNotFound.
[[nodiscard]] std::int64_t FindChunk(const std::string& path, const char id[4]);

void Unpack24(const std::uint8_t* bytes, std::size_t count, std::vector<std::int32_t>& out);
void Unpack24(const std::uint8_t* bytes, std::size_t frames,
              std::vector<std::pair<std::int32_t, std::int32_t>>& out);
void Pack24(const std::vector<std::int32_t>& in, std::vector<std::uint8_t>& out);
void Pack24(const std::vector<std::pair<std::int32_t, std::int32_t>>& in,
            std::vector<std::uint8_t>& out);

// One sample: v = b0 + 256 b1 + 65536 b2, two's complement.
inline std::int32_t Unpack24One(const std::uint8_t* b) {
  std::int32_t v = b[0] | (b[1] << 8) | (b[2] << 16);
  return v > 8388607 ? v - 16777216 : v;
}
// One sample, clamped to -8388608 .. 8388607.
inline void Pack24One(std::int32_t v, std::uint8_t* b) {
  if (v > 8388607) v = 8388607;
  if (v < -8388608) v = -8388608;
  const auto u = static_cast<std::uint32_t>(v);
  b[0] = static_cast<std::uint8_t>(u);
  b[1] = static_cast<std::uint8_t>(u >> 8);
  b[2] = static_cast<std::uint8_t>(u >> 16);
}

[[nodiscard]] std::int32_t WaveModeOf(int channels, int bits);
[[nodiscard]] std::string WaveModeName(std::int32_t mode);
[[nodiscard]] int WaveModeChannels(std::int32_t mode);
[[nodiscard]] int WaveModeBits(std::int32_t mode);
// "wav", "mp2", "mp3", "wmariff" by format tag, else the lower-case extension.
[[nodiscard]] std::string AudioTypeOf(const std::string& path);

}  // namespace sonatra
