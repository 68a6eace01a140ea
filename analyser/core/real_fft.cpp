#include "real_fft.h"

#include <xmmintrin.h>

#include <cmath>
#include <utility>

namespace tonewarden {

namespace {

constexpr float kSqrtHalf = 0.70710678118654752440f;

// One complex value; used for the first pass, whose butterflies are adjacent.
struct Cx {
  float re, im;
};
inline Cx operator+(Cx a, Cx b) { return {a.re + b.re, a.im + b.im}; }
inline Cx operator-(Cx a, Cx b) { return {a.re - b.re, a.im - b.im}; }
inline Cx MulNegI(Cx a) { return {a.im, -a.re}; }
inline Cx MulW8(Cx a) { return {(a.re + a.im) * kSqrtHalf, (a.im - a.re) * kSqrtHalf}; }
inline Cx MulW83(Cx a) { return {(a.im - a.re) * kSqrtHalf, -(a.re + a.im) * kSqrtHalf}; }

// Two complex values of neighbouring butterflies (re0, im0, re1, im1).
struct Cx2 {
  __m128 v;
};
inline Cx2 operator+(Cx2 a, Cx2 b) { return {_mm_add_ps(a.v, b.v)}; }
inline Cx2 operator-(Cx2 a, Cx2 b) { return {_mm_sub_ps(a.v, b.v)}; }
inline Cx2 MulNegI(Cx2 a) {
  const __m128 sw = _mm_shuffle_ps(a.v, a.v, _MM_SHUFFLE(2, 3, 0, 1));
  return {_mm_xor_ps(sw, _mm_castsi128_ps(_mm_set_epi32(INT32_MIN, 0, INT32_MIN, 0)))};
}
inline Cx2 MulW8(Cx2 a) { return {_mm_mul_ps((a + MulNegI(a)).v, _mm_set1_ps(kSqrtHalf))}; }
inline Cx2 MulW83(Cx2 a) { return {_mm_mul_ps((MulNegI(a) - a).v, _mm_set1_ps(kSqrtHalf))}; }
// a times the twiddle held as (c, c, c', c') and (-s, s, -s', s').
inline Cx2 Twiddle(Cx2 a, const float* w) {
  const __m128 sw = _mm_shuffle_ps(a.v, a.v, _MM_SHUFFLE(2, 3, 0, 1));
  return {_mm_add_ps(_mm_mul_ps(a.v, _mm_load_ps(w)), _mm_mul_ps(sw, _mm_load_ps(w + 4)))};
}

inline Cx Load(const float* p) { return {p[0], p[1]}; }
inline void Store(float* p, Cx a) { p[0] = a.re; p[1] = a.im; }
inline Cx2 Load2(const float* p) { return {_mm_loadu_ps(p)}; }
inline void Store2(float* p, Cx2 a) { _mm_storeu_ps(p, a.v); }

template <typename T>
inline void Dft8(T a[8]) {
  const T t0 = a[0] + a[4], t1 = a[0] - a[4], t2 = a[2] + a[6], t3 = MulNegI(a[2] - a[6]);
  const T e0 = t0 + t2, e2 = t0 - t2, e1 = t1 + t3, e3 = t1 - t3;
  const T u0 = a[1] + a[5], u1 = a[1] - a[5], u2 = a[3] + a[7], u3 = MulNegI(a[3] - a[7]);
  const T o0 = u0 + u2, o2 = MulNegI(u0 - u2), o1 = MulW8(u1 + u3), o3 = MulW83(u1 - u3);
  a[0] = e0 + o0; a[4] = e0 - o0;
  a[1] = e1 + o1; a[5] = e1 - o1;
  a[2] = e2 + o2; a[6] = e2 - o2;
  a[3] = e3 + o3; a[7] = e3 - o3;
}

template <typename T>
inline void Dft4(T a[4]) {
  const T t0 = a[0] + a[2], t1 = a[0] - a[2], t2 = a[1] + a[3], t3 = MulNegI(a[1] - a[3]);
  a[0] = t0 + t2; a[2] = t0 - t2; a[1] = t1 + t3; a[3] = t1 - t3;
}

// After bit reversal, the r-th sub-transform of a block sits at position bitrev(r).
constexpr int kRev8[8] = {0, 4, 2, 6, 1, 5, 3, 7};
constexpr int kRev4[4] = {0, 2, 1, 3};
constexpr int kRev2[2] = {0, 1};

int Log2(int n) {
  int m = 0;
  while ((1 << m) < n) ++m;
  return m;
}

}  // namespace

void RealFft::Init(int n) {
  if (n == n_) return;
  Free();
  n_ = n;
  // The work area: the swap pairs of the bit reversal.
  const int m = n / 2;
  const int bits = Log2(m);
  for (int i = 0; i < m; ++i) {
    int r = 0;
    for (int b = 0; b < bits; ++b) r |= ((i >> b) & 1) << (bits - 1 - b);
    if (r > i) {
      swaps_.push_back(static_cast<std::uint32_t>(i));
      swaps_.push_back(static_cast<std::uint32_t>(r));
    }
  }
}

void RealFft::Free() {
  n_ = 0;
  tablesBuilt_ = false;
  std::vector<std::uint32_t>().swap(swaps_);
  std::vector<Pass>().swap(passes_);
  std::vector<float>().swap(twiddles_);
  std::vector<float>().swap(untangle_);
}

void RealFft::BuildTables() {
  const int m = n_ / 2;
  const int stages = Log2(m);
  const double pi = 4.0 * std::atan(1.0);
  int done = 0;
  int span = 1;
  while (done < stages) {
    const int left = stages - done;
    const int radix = left >= 3 ? 8 : (left == 2 ? 4 : 2);
    passes_.push_back({radix, span, twiddles_.size()});
    if (span >= 2) {
      // For each pair of neighbouring q and each r = 1 .. radix-1: W_{radix*span}^{r*q}.
      for (int q = 0; q < span; q += 2) {
        for (int r = 1; r < radix; ++r) {
          const double a0 = -2.0 * pi * r * q / (radix * span);
          const double a1 = -2.0 * pi * r * (q + 1) / (radix * span);
          const float c0 = static_cast<float>(std::cos(a0)), s0 = static_cast<float>(std::sin(a0));
          const float c1 = static_cast<float>(std::cos(a1)), s1 = static_cast<float>(std::sin(a1));
          twiddles_.insert(twiddles_.end(), {c0, c0, c1, c1, -s0, s0, -s1, s1});
        }
      }
    }
    done += radix == 8 ? 3 : (radix == 4 ? 2 : 1);
    span *= radix;
  }
  untangle_.resize(2 * (n_ / 4 + 1));
  for (int k = 0; k <= n_ / 4; ++k) {
    untangle_[2 * k] = static_cast<float>(std::cos(2.0 * pi * k / n_));
    untangle_[2 * k + 1] = static_cast<float>(std::sin(2.0 * pi * k / n_));
  }
  tablesBuilt_ = true;
}

void RealFft::Permute(float* data) const {
  auto* z = reinterpret_cast<std::uint64_t*>(data);  // one complex value = two floats
  for (std::size_t i = 0; i < swaps_.size(); i += 2) std::swap(z[swaps_[i]], z[swaps_[i + 1]]);
}

void RealFft::Forward(float* data) {
  if (!tablesBuilt_) BuildTables();
  Permute(data);
  const int m = n_ / 2;
  for (const Pass& pass : passes_) {
    const int radix = pass.radix, span = pass.span, block = radix * span;
    const int* rev = radix == 8 ? kRev8 : (radix == 4 ? kRev4 : kRev2);
    if (span == 1) {
      // First pass: no twiddles, one butterfly per block.
      for (int b = 0; b < m; b += block) {
        float* p = data + 2 * b;
        Cx a[8];
        if (radix == 8) {
          for (int r = 0; r < 8; ++r) a[r] = Load(p + 2 * rev[r]);
          Dft8(a);
          for (int u = 0; u < 8; ++u) Store(p + 2 * u, a[u]);
        } else if (radix == 4) {
          for (int r = 0; r < 4; ++r) a[r] = Load(p + 2 * rev[r]);
          Dft4(a);
          for (int u = 0; u < 4; ++u) Store(p + 2 * u, a[u]);
        } else {
          const Cx x0 = Load(p), x1 = Load(p + 2);
          Store(p, x0 + x1);
          Store(p + 2, x0 - x1);
        }
      }
      continue;
    }
    // Later passes: two neighbouring butterflies at once.
    const float* twBase = twiddles_.data() + pass.tw;
    const int twStep = 8 * (radix - 1);
    for (int b = 0; b < m; b += block) {
      const float* w = twBase;
      for (int q = 0; q < span; q += 2, w += twStep) {
        float* p = data + 2 * (b + q);
        Cx2 a[8];
        a[0] = Load2(p + 2 * rev[0] * span);
        for (int r = 1; r < radix; ++r) a[r] = Twiddle(Load2(p + 2 * rev[r] * span), w + 8 * (r - 1));
        if (radix == 8) Dft8(a);
        else if (radix == 4) Dft4(a);
        else {
          const Cx2 x0 = a[0];
          a[0] = x0 + a[1];
          a[1] = x0 - a[1];
        }
        for (int u = 0; u < radix; ++u) Store2(p + 2 * u * span, a[u]);
      }
    }
  }
  Untangle(data);
}

// Turns the N/2-point complex transform of the interleaved samples into the
// spectrum of the N real samples.
void RealFft::Untangle(float* data) const {
  const int m = n_ / 2;
  const float z0r = data[0], z0i = data[1];
  data[0] = z0r + z0i;
  data[1] = z0r - z0i;
  for (int k = 1; k < m / 2; ++k) {
    float* a = data + 2 * k;
    float* b = data + 2 * (m - k);
    const float c = untangle_[2 * k], s = untangle_[2 * k + 1];
    // fe = (Z[k] + conj Z[m-k]) / 2, fo = -i/2 (Z[k] - conj Z[m-k]), w = e^{-2 pi i k/N}.
    const float fer = 0.5f * (a[0] + b[0]), fei = 0.5f * (a[1] - b[1]);
    const float for_ = 0.5f * (a[1] + b[1]), foi = -0.5f * (a[0] - b[0]);
    const float tr = c * for_ + s * foi, ti = c * foi - s * for_;
    a[0] = fer + tr;
    a[1] = fei + ti;
    b[0] = fer - tr;
    b[1] = -(fei - ti);
  }
  data[m + 1] = -data[m + 1];  // bin N/4: conj Z[N/4]
}

}  // namespace tonewarden
