#pragma once

// The "3DNow!" variant, on SSE: packed single-precision window and power
// steps, mono mix by arithmetic shift (rounds toward minus infinity).

#include "fft_kernel.h"

namespace tonewarden {

class PackedKernel final : public FftKernel {
 public:
  [[nodiscard]] const char* Name() const override { return "3DNow!"; }
  void MixBackward(const std::int16_t* newest, int count, float* out) const override;
  void ApplyWindow(const FftTables& tables, int window, float* samples, int n) const override;
  void PowerSpectrum(FftTables& tables, float* samples, float* power, int n) const override;
};

}  // namespace tonewarden
