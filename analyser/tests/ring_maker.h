#pragma once

// Rings filled with chosen frames for the intake and view tests.

#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <utility>

#include "core/wave_ring.h"

namespace tonewarden::test {

// A ring of `frames` frames at `rate`, frame i set by fill(i) -> (left, right),
// with current at frame `currentFrame`.
inline void FillRing(CWaveRing& ring, std::size_t frames, int rate, std::size_t currentFrame,
                     const std::function<std::pair<int, int>(std::size_t)>& fill) {
  ring.Allocate(frames * 4);
  ring.format = WaveFormat::Stereo16(static_cast<std::uint32_t>(rate));
  auto* s = reinterpret_cast<std::int16_t*>(ring.data);
  for (std::size_t i = 0; i < frames; ++i) {
    const auto [l, r] = fill(i);
    s[2 * i] = static_cast<std::int16_t>(l);
    s[2 * i + 1] = static_cast<std::int16_t>(r);
  }
  ring.current = ring.data + currentFrame * 4;
}

inline std::function<std::pair<int, int>(std::size_t)> RandomFrames(unsigned seed) {
  auto engine = std::make_shared<std::mt19937>(seed);
  return [engine](std::size_t) {
    std::uniform_int_distribution<int> d(-32768, 32767);
    return std::pair<int, int>(d(*engine), d(*engine));
  };
}

}  // namespace tonewarden::test
