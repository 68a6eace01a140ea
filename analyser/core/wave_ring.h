#pragma once

// CWaveRing: 120 blocks of 16-bit stereo PCM shared by an engine (writer) and
// the views (readers). `current` points at the newest complete frame.

#include <cstddef>
#include <cstdint>

#include "wave_format.h"

namespace tonewarden {

class CWaveRing {
 public:
  CWaveRing() = default;
  ~CWaveRing();
  CWaveRing(const CWaveRing&) = delete;
  CWaveRing& operator=(const CWaveRing&) = delete;

  // Frees any old buffer and allocates `size` zeroed bytes; current = data.
  void Allocate(std::size_t size);
  void Release();

  std::uint8_t* data = nullptr;
  std::uint8_t* current = nullptr;
  std::size_t size = 0;
  std::uint32_t owned = 1;
  WaveFormat format;

  [[nodiscard]] bool HasData() const { return data != nullptr; }
  [[nodiscard]] std::size_t FrameCount() const { return format.blockAlign ? size / format.blockAlign : 0; }
  // Index of the frame `current` points at.
  [[nodiscard]] std::size_t CurrentFrame() const {
    return static_cast<std::size_t>(current - data) / format.blockAlign;
  }
  [[nodiscard]] const std::int16_t* Frame(std::size_t index) const {
    return reinterpret_cast<const std::int16_t*>(data + index * format.blockAlign);
  }
};

}  // namespace tonewarden
