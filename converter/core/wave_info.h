#pragma once

#include <cstdint>

namespace sonatra {

// The ten PCM layouts the converter knows; every other combination has none.
enum WaveMode : std::int32_t {
  kMono8bit = 0,
  kStereo8bit = 1,
  kMono16bit = 2,
  kStereo16bit = 3,
  kMono24bit = 4,
  kStereo24bit = 5,
  kSurround51_16bit = 6,
  kSurround71_16bit = 7,
  kSurround51_24bit = 8,
  kSurround71_24bit = 9,
};

// A WAV file's format and data position, as ReadWaveInfo finds them.
// A record that was not filled stays all zero.
struct WaveInfo {
  std::int32_t Valid = 0;
  std::int32_t Frames = 0;
  std::int32_t SampleRate = 0;
  std::int16_t Bits = 0;
  std::int16_t Channels = 0;
  std::int32_t BlockAlign = 0;
  std::int32_t DataOffset = 0;
  std::int64_t DataSize = 0;
  std::int64_t FileSize = 0;
  std::int32_t Mode = 0;
  std::int32_t DurationMs = 0;
  std::int32_t FormatTag = 0;
};

}  // namespace sonatra
