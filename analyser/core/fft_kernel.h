#pragma once

// FftKernel: the processor-specific routines of the spectrum ("x86 FPU" and
// "3DNow!"). Both share the window tables and the transform (FftTables) and
// differ only in the mono mix, the window loop and the power step.

#include <cstdint>

namespace tonewarden {

class FftTables;

class FftKernel {
 public:
  virtual ~FftKernel() = default;

  [[nodiscard]] virtual const char* Name() const = 0;
  // Mixes `count` stereo frames to mono going backwards in memory:
  // out[i] comes from the frame at newest - i frames.
  virtual void MixBackward(const std::int16_t* newest, int count, float* out) const = 0;
  // In place; window 3 (rectangular) and unknown numbers leave the samples alone.
  virtual void ApplyWindow(const FftTables& tables, int window, float* samples, int n) const = 0;
  // Forward FFT of the n samples in place, then n/2 powers; power may be samples.
  virtual void PowerSpectrum(FftTables& tables, float* samples, float* power, int n) const = 0;

  // The variant for the stored CPU type: 0 "x86 FPU", 1 "3DNow!"; others fall back to 0.
  [[nodiscard]] static const FftKernel& ForCpuType(int cpuType);
};

}  // namespace tonewarden
