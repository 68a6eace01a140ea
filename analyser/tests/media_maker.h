#pragma once

// Test media made at test time: WAV files with known frames written here, and
// files made by the sox, ffmpeg and lame commands.

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tonewarden::test {

inline bool Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::string Quote(const std::string& path) { return "'" + path + "'"; }

// The frame pattern that tells frames apart: left = i mod 30000, right = -(i mod 20000).
inline std::pair<int, int> CounterFrame(std::int64_t i) {
  return {static_cast<int>(i % 30000), -static_cast<int>(i % 20000)};
}

// A 16-bit PCM WAV of `frames` frames; sample(frame, channel) gives each value.
inline void WriteWav(const std::string& path, std::int64_t frames, int rate, int channels,
                     const std::function<int(std::int64_t, int)>& sample) {
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  const std::uint32_t bytes = static_cast<std::uint32_t>(frames * channels * 2);
  out.write("RIFF", 4);
  u32(bytes + 36);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(static_cast<std::uint16_t>(channels));
  u32(static_cast<std::uint32_t>(rate));
  u32(static_cast<std::uint32_t>(rate * channels * 2));
  u16(static_cast<std::uint16_t>(channels * 2));
  u16(16);
  out.write("data", 4);
  u32(bytes);
  std::vector<std::int16_t> all(static_cast<std::size_t>(frames * channels));
  for (std::int64_t i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) all[static_cast<std::size_t>(i * channels + c)] = static_cast<std::int16_t>(sample(i, c));
  }
  out.write(reinterpret_cast<const char*>(all.data()), static_cast<std::streamsize>(all.size() * 2));
}

inline void WriteCounterWav(const std::string& path, std::int64_t frames, int rate) {
  WriteWav(path, frames, rate, 2, [](std::int64_t i, int c) {
    const auto [l, r] = CounterFrame(i);
    return c == 0 ? l : r;
  });
}

}  // namespace tonewarden::test
