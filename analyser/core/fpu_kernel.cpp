#include "fpu_kernel.h"

#include "fft_tables.h"

namespace tonewarden {

void FpuKernel::MixBackward(const std::int16_t* newest, int count, float* out) const {
  for (int i = 0; i < count; ++i) {
    const std::int16_t* f = newest - 2 * i;
    out[i] = static_cast<float>((f[0] + f[1]) / 2);
  }
}

void FpuKernel::ApplyWindow(const FftTables& tables, int window, float* samples, int n) const {
  const float* w = tables.windows().Table(window);
  if (w == nullptr) return;
  for (int i = 0; i < n; i += 8) {
    samples[i] *= w[i];
    samples[i + 1] *= w[i + 1];
    samples[i + 2] *= w[i + 2];
    samples[i + 3] *= w[i + 3];
    samples[i + 4] *= w[i + 4];
    samples[i + 5] *= w[i + 5];
    samples[i + 6] *= w[i + 6];
    samples[i + 7] *= w[i + 7];
  }
}

void FpuKernel::PowerSpectrum(FftTables& tables, float* samples, float* power, int n) const {
  tables.transform().Forward(samples);
  const long double s = 1.0f / static_cast<float>(n);
  const long double dc = samples[0] * s;
  power[0] = static_cast<float>(dc * dc);
  // power[k] reads entries 2k and 2k+1, which lie at or after k: safe in place.
  for (int k = 1; k < n / 2; ++k) {
    const long double re = samples[2 * k] * s;
    const long double im = samples[2 * k + 1] * s;
    power[k] = static_cast<float>(re * re + im * im);
  }
}

}  // namespace tonewarden
