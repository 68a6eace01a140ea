#include "packed_kernel.h"

#include <emmintrin.h>

#include "fft_tables.h"

namespace tonewarden {

void PackedKernel::MixBackward(const std::int16_t* newest, int count, float* out) const {
  int i = 0;
  // Four frames per step: the frames newest-i-3 .. newest-i, reversed.
  for (; i + 4 <= count; i += 4) {
    const __m128i frames = _mm_loadu_si128(reinterpret_cast<const __m128i*>(newest - 2 * (i + 3)));
    const __m128i sums = _mm_madd_epi16(frames, _mm_set1_epi16(1));  // L + R per frame
    const __m128 mono = _mm_cvtepi32_ps(_mm_srai_epi32(sums, 1));
    _mm_storeu_ps(out + i, _mm_shuffle_ps(mono, mono, _MM_SHUFFLE(0, 1, 2, 3)));
  }
  for (; i < count; ++i) {
    const std::int16_t* f = newest - 2 * i;
    out[i] = static_cast<float>((f[0] + f[1]) >> 1);
  }
}

void PackedKernel::ApplyWindow(const FftTables& tables, int window, float* samples, int n) const {
  const float* w = tables.windows().Table(window);
  if (w == nullptr) return;
  for (int i = 0; i < n; i += 16) {
    for (int j = 0; j < 16; j += 4) {
      _mm_storeu_ps(samples + i + j, _mm_mul_ps(_mm_loadu_ps(samples + i + j), _mm_loadu_ps(w + i + j)));
    }
  }
}

void PackedKernel::PowerSpectrum(FftTables& tables, float* samples, float* power, int n) const {
  tables.transform().Forward(samples);
  const float s = 1.0f / static_cast<float>(n);
  const float dc = samples[0] * s;
  power[0] = dc * dc;
  int k = 1;
  for (; k < 4 && k < n / 2; ++k) {
    const float re = samples[2 * k] * s, im = samples[2 * k + 1] * s;
    power[k] = re * re + im * im;
  }
  // Four bins per step; the writes (k .. k+3) stay behind the reads (2k ..).
  const __m128 scale = _mm_set1_ps(s);
  for (; k + 4 <= n / 2; k += 4) {
    const __m128 a = _mm_mul_ps(_mm_loadu_ps(samples + 2 * k), scale);
    const __m128 b = _mm_mul_ps(_mm_loadu_ps(samples + 2 * k + 4), scale);
    const __m128 a2 = _mm_mul_ps(a, a), b2 = _mm_mul_ps(b, b);
    const __m128 re = _mm_shuffle_ps(a2, b2, _MM_SHUFFLE(2, 0, 2, 0));
    const __m128 im = _mm_shuffle_ps(a2, b2, _MM_SHUFFLE(3, 1, 3, 1));
    _mm_storeu_ps(power + k, _mm_add_ps(re, im));
  }
  for (; k < n / 2; ++k) {
    const float re = samples[2 * k] * s, im = samples[2 * k + 1] * s;
    power[k] = re * re + im * im;
  }
}

}  // namespace tonewarden
