#pragma once

// Tonewarden's stored settings with their defaults.

namespace tonewarden {

struct AnalyserSettings {
  int cpuType = 0;         // 0 "x86 FPU", 1 "3DNow!"
  int fftNum = 8192;       // 4096, 8192, 16384, 32768
  int wndFunc = 0;         // 0 Hanning, 1 Hamming, 2 Blackman, 3 Rectangular
  int fftDispRange = 140;  // 140, 120, 100, 80
  int sampleRate = 44100;  // capture rate: 48000, 44100, 32000
  int rememberSizePos = 0;
  int windowTop = 0;
  int windowBottom = 479;
  int windowLeft = 0;
  int windowRight = 639;
  int waveViewHeight = 100;
};

}  // namespace tonewarden
