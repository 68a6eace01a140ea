#pragma once

// The stream format record, laid out like the platform's wave format record.

#include <cstdint>

namespace tonewarden {

struct WaveFormat {
  std::uint16_t formatTag = 1;  // 1: PCM
  std::uint16_t channels = 2;
  std::uint32_t samplesPerSec = 44100;
  std::uint32_t avgBytesPerSec = 44100 * 4;
  std::uint16_t blockAlign = 4;
  std::uint16_t bitsPerSample = 16;
  std::uint16_t cbSize = 0;

  // The only layout the engines and views work with: 16-bit stereo PCM.
  [[nodiscard]] static WaveFormat Stereo16(std::uint32_t rate) {
    WaveFormat f;
    f.samplesPerSec = rate;
    f.avgBytesPerSec = rate * 4;
    return f;
  }
};

}  // namespace tonewarden
