#pragma once

// The "x86 FPU" variant: scalar loops, mono mix truncating toward zero, each
// bin's power formed in extended precision.

#include "fft_kernel.h"

namespace tonewarden {

class FpuKernel final : public FftKernel {
 public:
  [[nodiscard]] const char* Name() const override { return "x86 FPU"; }
  void MixBackward(const std::int16_t* newest, int count, float* out) const override;
  void ApplyWindow(const FftTables& tables, int window, float* samples, int n) const override;
  void PowerSpectrum(FftTables& tables, float* samples, float* power, int n) const override;
};

}  // namespace tonewarden
