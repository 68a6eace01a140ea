#pragma once

// Test media made at test time with the sox, lame, ffmpeg and espeak-ng commands.

#include <cmath>
#include <cstdlib>
#include <string>

#include "core/wave_mmio.h"
#include "wav_bytes.h"

namespace sonatra::test {

// Runs a shell command quietly; true when it exited with 0.
inline bool Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::string Quote(const std::string& path) { return "'" + path + "'"; }

// Two tones, one per channel, at half scale.
inline bool MakeTone(const std::string& path, double seconds, int rate = 44100, int channels = 2,
                     int bits = 16) {
  return Shell("sox -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b " +
               std::to_string(bits) + " " + Quote(path) + " synth " + std::to_string(seconds) +
               " sine 440 sine 660 vol 0.5");
}

// Root mean square of a 16- or 24-bit PCM WAV file's samples, full scale 1.
inline double Rms(const std::string& path) {
  const WaveInfo info = ReadWaveInfo(path);
  const Bytes all = ReadFile(path);
  if (!info.Valid || info.Bits == 8) return -1;
  const int bytes = info.Bits / 8;
  double sum = 0;
  std::size_t n = 0;
  for (std::size_t i = static_cast<std::size_t>(info.DataOffset); i + bytes <= all.size(); i += bytes) {
    const double v = bytes == 2 ? static_cast<std::int16_t>(all[i] | (all[i + 1] << 8)) / 32768.0
                                : Unpack24One(&all[i]) / 8388608.0;
    sum += v * v;
    ++n;
  }
  return n == 0 ? 0 : std::sqrt(sum / n);
}

// A type-0 MIDI file with one note: no audio for a decoder.
inline Bytes MidiFile() {
  return Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
               'M', 'T', 'r', 'k', 0, 0, 0, 12, 0, 0x90, 60, 100, 96, 0x80, 60, 0, 0, 0xFF, 0x2F, 0};
}

}  // namespace sonatra::test
