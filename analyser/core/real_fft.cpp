#include "real_fft.h"

#include <xmmintrin.h>

#include <cmath>
#include <utility>

namespace tonewarden {

namespace {

#define TW_ALWAYS_INLINE inline __attribute__((always_inline))

constexpr float kSqrtHalf = 0.70710678118654752440f;

// One complex value; used for the first pass of sizes below 128, whose
// butterflies are adjacent.
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
TW_ALWAYS_INLINE void Dft8(T a[8]) {
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
TW_ALWAYS_INLINE void Dft4(T a[4]) {
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


// Generic first pass (sizes below 128, after the swap permutation): one
// butterfly per block, no twiddles.
template <int R>
void FirstPass(float* data, int m) {
  const int* rev = R == 8 ? kRev8 : (R == 4 ? kRev4 : kRev2);
  for (int b = 0; b < m; b += R) {
    float* p = data + 2 * b;
    Cx a[R];
    #pragma GCC unroll 8
    for (int r = 0; r < R; ++r) a[r] = Load(p + 2 * rev[r]);
    if constexpr (R == 8) Dft8(a);
    else if constexpr (R == 4) Dft4(a);
    else {
      const Cx x0 = a[0];
      a[0] = x0 + a[1];
      a[1] = x0 - a[1];
    }
    #pragma GCC unroll 8
    for (int u = 0; u < R; ++u) Store(p + 2 * u, a[u]);
  }
}

// A later pass of sizes below 128: two neighbouring butterflies at once, twiddles in the order
// the loop reads them.
template <int R>
void LaterPass(float* data, int m, int span, const float* twBase) {
  const int* rev = R == 8 ? kRev8 : (R == 4 ? kRev4 : kRev2);
  const int block = R * span;
  for (int b = 0; b < m; b += block) {
    const float* w = twBase;
    for (int q = 0; q < span; q += 2, w += 8 * (R - 1)) {
      float* p = data + 2 * (b + q);
      Cx2 a[R];
      a[0] = Load2(p);
      #pragma GCC unroll 8
      for (int r = 1; r < R; ++r) a[r] = Twiddle(Load2(p + 2 * rev[r] * span), w + 8 * (r - 1));
      if constexpr (R == 8) Dft8(a);
      else if constexpr (R == 4) Dft4(a);
      else {
        const Cx2 x0 = a[0];
        a[0] = x0 + a[1];
        a[1] = x0 - a[1];
      }
      #pragma GCC unroll 8
      for (int u = 0; u < R; ++u) Store2(p + 2 * u * span, a[u]);
    }
  }
}

// From N = 128 on, the passes after the first keep the data in groups of
// four complex values, four real parts then four imaginary parts (complex
// index i at floats 8*(i/4) + i%4 and 8*(i/4) + 4 + i%4), so that four
// neighbouring butterflies run at once without shuffles. The last pass
// writes ordinary interleaved values again.
struct Cx4 {
  __m128 re, im;
};
inline Cx4 operator+(Cx4 a, Cx4 b) { return {_mm_add_ps(a.re, b.re), _mm_add_ps(a.im, b.im)}; }
inline Cx4 operator-(Cx4 a, Cx4 b) { return {_mm_sub_ps(a.re, b.re), _mm_sub_ps(a.im, b.im)}; }
// a + (-i) d and a - (-i) d.
inline Cx4 AddNegI(Cx4 a, Cx4 d) { return {_mm_add_ps(a.re, d.im), _mm_sub_ps(a.im, d.re)}; }
inline Cx4 SubNegI(Cx4 a, Cx4 d) { return {_mm_sub_ps(a.re, d.im), _mm_add_ps(a.im, d.re)}; }

inline Cx4 LoadSplit(const float* p) { return {_mm_loadu_ps(p), _mm_loadu_ps(p + 4)}; }
inline void StoreSplit(float* p, Cx4 a) {
  _mm_storeu_ps(p, a.re);
  _mm_storeu_ps(p + 4, a.im);
}
inline void StoreInterleaved(float* p, Cx4 a) {
  _mm_storeu_ps(p, _mm_unpacklo_ps(a.re, a.im));
  _mm_storeu_ps(p + 4, _mm_unpackhi_ps(a.re, a.im));
}
// a times c + i s (the table holds cos and sin of the negative angle).
inline Cx4 TwiddleSplit(Cx4 a, const float* w) {
  const __m128 c = _mm_loadu_ps(w), s = _mm_loadu_ps(w + 4);
  return {_mm_sub_ps(_mm_mul_ps(a.re, c), _mm_mul_ps(a.im, s)), _mm_add_ps(_mm_mul_ps(a.im, c), _mm_mul_ps(a.re, s))};
}

TW_ALWAYS_INLINE void Dft8Split(Cx4 a[8]) {
  const __m128 k = _mm_set1_ps(kSqrtHalf);
  const Cx4 t0 = a[0] + a[4], t1 = a[0] - a[4], t2 = a[2] + a[6], d26 = a[2] - a[6];
  const Cx4 e0 = t0 + t2, e2 = t0 - t2, e1 = AddNegI(t1, d26), e3 = SubNegI(t1, d26);
  const Cx4 u0 = a[1] + a[5], u1 = a[1] - a[5], u2 = a[3] + a[7], d37 = a[3] - a[7];
  const Cx4 o0 = u0 + u2, d = u0 - u2;
  const Cx4 v = AddNegI(u1, d37), w = SubNegI(u1, d37);
  const Cx4 o1 = {_mm_mul_ps(_mm_add_ps(v.re, v.im), k), _mm_mul_ps(_mm_sub_ps(v.im, v.re), k)};
  const __m128 o3re = _mm_mul_ps(_mm_sub_ps(w.im, w.re), k), o3negIm = _mm_mul_ps(_mm_add_ps(w.re, w.im), k);
  a[0] = e0 + o0; a[4] = e0 - o0;
  a[1] = e1 + o1; a[5] = e1 - o1;
  a[2] = AddNegI(e2, d); a[6] = SubNegI(e2, d);
  a[3] = {_mm_add_ps(e3.re, o3re), _mm_sub_ps(e3.im, o3negIm)};
  a[7] = {_mm_sub_ps(e3.re, o3re), _mm_add_ps(e3.im, o3negIm)};
}

TW_ALWAYS_INLINE void Dft4Split(Cx4 a[4]) {
  const Cx4 t0 = a[0] + a[2], t1 = a[0] - a[2], t2 = a[1] + a[3], d = a[1] - a[3];
  a[0] = t0 + t2; a[2] = t0 - t2; a[1] = AddNegI(t1, d); a[3] = SubNegI(t1, d);
}

// A pass after the first on grouped data: four neighbouring butterflies at
// once, twiddles (four cos, four sin per r) in the order the loop reads them.
template <int R, bool kLast>
void SplitPass(float* data, int m, int span, const float* twBase) {
  const int* rev = R == 8 ? kRev8 : (R == 4 ? kRev4 : kRev2);
  const int block = R * span;
  for (int b = 0; b < m; b += block) {
    const float* w = twBase;
    for (int q = 0; q < span; q += 4, w += 8 * (R - 1)) {
      float* p = data + 2 * (b + q);
      Cx4 a[R];
      a[0] = LoadSplit(p);
      #pragma GCC unroll 8
      for (int r = 1; r < R; ++r) a[r] = TwiddleSplit(LoadSplit(p + 2 * rev[r] * span), w + 8 * (r - 1));
      if constexpr (R == 8) Dft8Split(a);
      else if constexpr (R == 4) Dft4Split(a);
      else {
        const Cx4 x0 = a[0];
        a[0] = x0 + a[1];
        a[1] = x0 - a[1];
      }
      #pragma GCC unroll 8
      for (int u = 0; u < R; ++u) {
        if constexpr (kLast) StoreInterleaved(p + 2 * u * span, a[u]);
        else StoreSplit(p + 2 * u * span, a[u]);
      }
    }
  }
}

// The eight butterflies of the first radix-8 pass whose outputs fill one tile
// (eight rows of eight complex values, dst rows dstStride floats apart). With
// the bit reversal folded in, input r of the butterfly writing row h is
// column bitrev3(h) of row r of the source tile. Two butterflies at once: a
// column pair (c, c+1) feeds rows bitrev3(c) and bitrev3(c)+4.
TW_ALWAYS_INLINE void FirstTile(const float* src, int srcStride, float* dst, int dstStride) {
  #pragma GCC unroll 8
  for (int c = 0; c < 8; c += 2) {
    Cx2 a[8];
    #pragma GCC unroll 8
    for (int r = 0; r < 8; ++r) a[r] = Load2(src + r * srcStride + 2 * c);
    Dft8(a);
    // Written grouped: four real parts, then four imaginary parts.
    float* row0 = dst + kRev8[c] * dstStride;
    float* row1 = row0 + 4 * dstStride;
    #pragma GCC unroll 8
    for (int u = 0; u < 8; u += 4) {
      const __m128 lo01 = _mm_unpacklo_ps(a[u].v, a[u + 1].v), lo23 = _mm_unpacklo_ps(a[u + 2].v, a[u + 3].v);
      const __m128 hi01 = _mm_unpackhi_ps(a[u].v, a[u + 1].v), hi23 = _mm_unpackhi_ps(a[u + 2].v, a[u + 3].v);
      _mm_storeu_ps(row0 + 2 * u, _mm_movelh_ps(lo01, lo23));
      _mm_storeu_ps(row0 + 2 * u + 4, _mm_movehl_ps(lo23, lo01));
      _mm_storeu_ps(row1 + 2 * u, _mm_movelh_ps(hi01, hi23));
      _mm_storeu_ps(row1 + 2 * u + 4, _mm_movehl_ps(hi23, hi01));
    }
  }
}

}  // namespace

void RealFft::Init(int n) {
  if (n == n_) return;
  Free();
  n_ = n;
  const int m = n / 2;
  const int bits = Log2(m);
  if (bits >= 6) {
    // The work area: the tile pairs (x, bitrev(x)) of the first pass, which
    // does the bit reversal on the way.
    const int midBits = bits - 6;
    for (int x = 0; x < (1 << midBits); ++x) {
      int r = 0;
      for (int b = 0; b < midBits; ++b) r |= ((x >> b) & 1) << (midBits - 1 - b);
      if (r >= x) {
        swaps_.push_back(static_cast<std::uint32_t>(x));
        swaps_.push_back(static_cast<std::uint32_t>(r));
      }
    }
    return;
  }
  // Small sizes: the swap pairs of the bit reversal.
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
  std::vector<float>().swap(untangleCos_);
  std::vector<float>().swap(untangleSin_);
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
    if (span >= 8 && m >= 64) {
      // Grouped passes: for each four neighbouring q and each r = 1 .. radix-1,
      // four cos then four sin of the angle of W_{radix*span}^{r*q}.
      for (int q = 0; q < span; q += 4) {
        for (int r = 1; r < radix; ++r) {
          float c[4], sn[4];
          for (int j = 0; j < 4; ++j) {
            const double a = -2.0 * pi * r * (q + j) / (radix * span);
            c[j] = static_cast<float>(std::cos(a));
            sn[j] = static_cast<float>(std::sin(a));
          }
          twiddles_.insert(twiddles_.end(), {c[0], c[1], c[2], c[3], sn[0], sn[1], sn[2], sn[3]});
        }
      }
    } else if (span >= 2) {
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
  untangleCos_.resize(n_ / 4 + 1);
  untangleSin_.resize(n_ / 4 + 1);
  for (int k = 0; k <= n_ / 4; ++k) {
    untangleCos_[k] = static_cast<float>(std::cos(2.0 * pi * k / n_));
    untangleSin_[k] = static_cast<float>(std::sin(2.0 * pi * k / n_));
  }
  tablesBuilt_ = true;
}

void RealFft::Permute(float* data) const {
  auto* z = reinterpret_cast<std::uint64_t*>(data);  // one complex value = two floats
  for (std::size_t i = 0; i < swaps_.size(); i += 2) std::swap(z[swaps_[i]], z[swaps_[i + 1]]);
}

// The first radix-8 pass with the bit reversal folded in. Complex index i is
// read as (h, x, l): three high bits, the middle bits, three low bits. Its
// bit reversal is (bitrev3(l), bitrev(x), bitrev3(h)), so the butterflies
// writing tile x (all h and l for one x) read only tile bitrev(x). Tiles are
// done in pairs with one of them copied aside.
void RealFft::FirstPassReversed(float* data) const {
  const int m = n_ / 2;
  const int rowStride = 2 * (m / 8);  // floats between rows h and h+1 of a tile
  alignas(16) float saved[128];
  for (std::size_t i = 0; i < swaps_.size(); i += 2) {
    float* tx = data + 16 * swaps_[i];
    float* ty = data + 16 * swaps_[i + 1];
    for (int h = 0; h < 8; ++h) {
      const float* row = tx + h * rowStride;
      for (int j = 0; j < 16; j += 4) _mm_store_ps(saved + 16 * h + j, _mm_loadu_ps(row + j));
    }
    if (tx == ty) {
      FirstTile(saved, 16, tx, rowStride);
    } else {
      FirstTile(ty, rowStride, tx, rowStride);
      FirstTile(saved, 16, ty, rowStride);
    }
  }
}

void RealFft::Forward(float* data) {
  if (!tablesBuilt_) BuildTables();
  const int m = n_ / 2;
  if (m >= 64) {
    FirstPassReversed(data);
    for (std::size_t i = 1; i < passes_.size(); ++i) {
      const Pass& pass = passes_[i];
      const float* tw = twiddles_.data() + pass.tw;
      if (i + 1 < passes_.size()) {
        SplitPass<8, false>(data, m, pass.span, tw);  // only the last pass can have another radix
      } else if (pass.radix == 8) {
        SplitPass<8, true>(data, m, pass.span, tw);
      } else if (pass.radix == 4) {
        SplitPass<4, true>(data, m, pass.span, tw);
      } else {
        SplitPass<2, true>(data, m, pass.span, tw);
      }
    }
    Untangle(data);
    return;
  }
  Permute(data);
  for (std::size_t i = 0; i < passes_.size(); ++i) {
    const Pass& pass = passes_[i];
    if (pass.span == 1) {
      if (pass.radix == 8) FirstPass<8>(data, m);
      else if (pass.radix == 4) FirstPass<4>(data, m);
      else FirstPass<2>(data, m);
      continue;
    }
    const float* tw = twiddles_.data() + pass.tw;
    if (pass.radix == 8) LaterPass<8>(data, m, pass.span, tw);
    else if (pass.radix == 4) LaterPass<4>(data, m, pass.span, tw);
    else LaterPass<2>(data, m, pass.span, tw);
  }
  Untangle(data);
}

// Turns the N/2-point complex transform of the interleaved samples into the
// spectrum of the N real samples. Bins k .. k+3 go together with m-k .. m-k-3.
void RealFft::Untangle(float* data) const {
  const int m = n_ / 2;
  const float z0r = data[0], z0i = data[1];
  data[0] = z0r + z0i;
  data[1] = z0r - z0i;
  const __m128 half = _mm_set1_ps(0.5f), minusHalf = _mm_set1_ps(-0.5f);
  int k = 1;
  for (; k + 3 < m / 2; k += 4) {
    float* pa = data + 2 * k;
    float* pb = data + 2 * (m - k - 3);
    const __m128 a0 = _mm_loadu_ps(pa), a1 = _mm_loadu_ps(pa + 4);
    const __m128 b0 = _mm_loadu_ps(pb), b1 = _mm_loadu_ps(pb + 4);
    const __m128 ar = _mm_shuffle_ps(a0, a1, _MM_SHUFFLE(2, 0, 2, 0));
    const __m128 ai = _mm_shuffle_ps(a0, a1, _MM_SHUFFLE(3, 1, 3, 1));
    const __m128 br = _mm_shuffle_ps(b1, b0, _MM_SHUFFLE(0, 2, 0, 2));  // bins m-k, m-k-1, m-k-2, m-k-3
    const __m128 bi = _mm_shuffle_ps(b1, b0, _MM_SHUFFLE(1, 3, 1, 3));
    const __m128 c = _mm_loadu_ps(untangleCos_.data() + k), s = _mm_loadu_ps(untangleSin_.data() + k);
    const __m128 fer = _mm_mul_ps(half, _mm_add_ps(ar, br)), fei = _mm_mul_ps(half, _mm_sub_ps(ai, bi));
    const __m128 fo_r = _mm_mul_ps(half, _mm_add_ps(ai, bi)), fo_i = _mm_mul_ps(minusHalf, _mm_sub_ps(ar, br));
    const __m128 tr = _mm_add_ps(_mm_mul_ps(c, fo_r), _mm_mul_ps(s, fo_i));
    const __m128 ti = _mm_sub_ps(_mm_mul_ps(c, fo_i), _mm_mul_ps(s, fo_r));
    const __m128 outAr = _mm_add_ps(fer, tr), outAi = _mm_add_ps(fei, ti);
    const __m128 outBr = _mm_sub_ps(fer, tr), outBi = _mm_sub_ps(ti, fei);  // the conjugate of fe - t
    _mm_storeu_ps(pa, _mm_unpacklo_ps(outAr, outAi));
    _mm_storeu_ps(pa + 4, _mm_unpackhi_ps(outAr, outAi));
    const __m128 lo = _mm_unpacklo_ps(outBr, outBi), hi = _mm_unpackhi_ps(outBr, outBi);
    _mm_storeu_ps(pb + 4, _mm_shuffle_ps(lo, lo, _MM_SHUFFLE(1, 0, 3, 2)));
    _mm_storeu_ps(pb, _mm_shuffle_ps(hi, hi, _MM_SHUFFLE(1, 0, 3, 2)));
  }
  for (; k < m / 2; ++k) {
    float* a = data + 2 * k;
    float* b = data + 2 * (m - k);
    const float c = untangleCos_[k], s = untangleSin_[k];
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
