#include "core/sample_block.h"

#include "core/round_half_even.h"
#include "core/wave_mmio.h"

namespace sonatra {

namespace {

// Rounds p + q to the nearest integer, ties to even, as the exact sum would
// round. The products of a 24-bit sample and a float weight are exact in
// double; only their sum may lose bits, and the error term of the sum
// (Knuth's two-sum) decides the one case where that matters: a sum that
// rounded onto a half.
inline std::int64_t RoundSumHalfEven(double p, double q) {
  const double s = p + q;
  const double back = s - p;
  const double error = (p - (s - back)) + (q - back);
  const std::int64_t r = RoundHalfEven(s);
  if (error != 0.0) {
    const double fraction = s - static_cast<double>(r);
    if (fraction == 0.5) return error > 0 ? r + 1 : r;
    if (fraction == -0.5) return error > 0 ? r : r - 1;
  }
  return r;
}

inline std::int32_t WidenOne(const std::uint8_t* b, int bits) {
  switch (bits) {
    case 8: return (static_cast<std::int32_t>(b[0]) - 128) * 65536;
    case 16: return static_cast<std::int16_t>(b[0] | (b[1] << 8)) * 256;
    default: return Unpack24One(b);
  }
}

// Six- and eight-channel frames (front left, front right, centre, LFE,
// surrounds...) to stereo: centre and each surround at -3 dB, LFE dropped, the
// sum scaled by 1 / (1 + the weights added to one side) so it cannot clip.
void MixSurround(const std::uint8_t* bytes, std::int64_t frames, int channels, int bits,
                 std::vector<StereoFrame>& out) {
  constexpr double kMinus3dB = 0.70710678118654752;
  const int bytes1 = bits / 8;
  const int pairs = (channels - 4) / 2;  // surround pairs: 1 for 5.1, 2 for 7.1
  const double scale = 1.0 / (1.0 + kMinus3dB * (1 + pairs));
  for (std::int64_t f = 0; f < frames; ++f) {
    const std::uint8_t* b = bytes + f * channels * bytes1;
    const double centre = kMinus3dB * WidenOne(b + 2 * bytes1, bits);
    double l = WidenOne(b, bits) + centre;
    double r = WidenOne(b + bytes1, bits) + centre;
    for (int p = 0; p < pairs; ++p) {
      l += kMinus3dB * WidenOne(b + (4 + 2 * p) * bytes1, bits);
      r += kMinus3dB * WidenOne(b + (5 + 2 * p) * bytes1, bits);
    }
    out[f] = {static_cast<std::int32_t>(RoundHalfEven(l * scale)),
              static_cast<std::int32_t>(RoundHalfEven(r * scale))};
  }
}

}  // namespace

namespace {

template <int kBits, int kChannels>
void WidenPlain(const std::uint8_t* bytes, std::int64_t frames, StereoFrame* out) {
  constexpr int kStep = kChannels * kBits / 8;
  constexpr int kSecond = kChannels == 2 ? kBits / 8 : 0;
  for (std::int64_t f = 0; f < frames; ++f) {
    const std::uint8_t* b = bytes + f * kStep;
    out[f] = {WidenOne(b, kBits), WidenOne(b + kSecond, kBits)};
  }
}

}  // namespace

void WidenBlock(const std::uint8_t* bytes, std::int64_t frames, int channels, int bits,
                std::vector<StereoFrame>& out) {
  out.resize(static_cast<std::size_t>(frames));
  if (channels > 2) {
    MixSurround(bytes, frames, channels, bits, out);
    return;
  }
  StereoFrame* o = out.data();
  const bool stereo = channels == 2;
  switch (bits) {
    case 8: stereo ? WidenPlain<8, 2>(bytes, frames, o) : WidenPlain<8, 1>(bytes, frames, o); break;
    case 16: stereo ? WidenPlain<16, 2>(bytes, frames, o) : WidenPlain<16, 1>(bytes, frames, o); break;
    default: stereo ? WidenPlain<24, 2>(bytes, frames, o) : WidenPlain<24, 1>(bytes, frames, o); break;
  }
}

std::int64_t LastSourceIndex(std::int64_t outFrames, double ratio, int extraTaps,
                             Resampler kind) {
  if (outFrames <= 0) return 0;
  const double x = static_cast<double>(outFrames - 1) * ratio;
  switch (kind) {
    case Resampler::kNearest: return RoundHalfEven(x);
    case Resampler::kInterpolate: return static_cast<std::int64_t>(x) + 1;
    case Resampler::kAverage: return static_cast<std::int64_t>(x) + extraTaps + 1;
  }
  return 0;
}

namespace {

// Interpolation between in[i0] and in[i1] = in[i0 + extra taps + 1], plus the
// samples between them, divided by extra taps + 1.
template <int kFixedTaps, typename Divide>
void AverageBlock(const StereoFrame* src, StereoFrame* dst, std::int64_t outFrames, double ratio,
                  int runtimeTaps, Divide divide) {
  const int extraTaps = kFixedTaps >= 0 ? kFixedTaps : runtimeTaps;
  for (std::int64_t i = 0; i < outFrames; ++i) {
    const double x = static_cast<double>(i) * ratio;
    const std::int64_t i0 = static_cast<std::int64_t>(x);
    const std::int64_t i1 = i0 + extraTaps + 1;
    const float w1 = static_cast<float>(x - static_cast<double>(i0));
    const float w0 = 1.0f - w1;
    std::int64_t l = src[i0].l;  // whole ratios (halving) always land here
    std::int64_t r = src[i0].r;
    if (w1 != 0.0f) {
      l = RoundSumHalfEven(src[i1].l * double{w1}, src[i0].l * double{w0});
      r = RoundSumHalfEven(src[i1].r * double{w1}, src[i0].r * double{w0});
    }
    for (std::int64_t k = i0 + 1; k < i1; ++k) {
      l += src[k].l;
      r += src[k].r;
    }
    dst[i].l = static_cast<std::int32_t>(divide(l));
    dst[i].r = static_cast<std::int32_t>(divide(r));
  }
}

}  // namespace

void ResampleBlock(const std::vector<StereoFrame>& in, std::int64_t outFrames, double ratio,
                   int extraTaps, Resampler kind, std::vector<StereoFrame>& out) {
  out.resize(static_cast<std::size_t>(outFrames));
  const StereoFrame* src = in.data();
  StereoFrame* dst = out.data();
  switch (kind) {
    case Resampler::kNearest:
      for (std::int64_t i = 0; i < outFrames; ++i)
        dst[i] = src[RoundHalfEven(static_cast<double>(i) * ratio)];
      return;
    case Resampler::kInterpolate:
      for (std::int64_t i = 0; i < outFrames; ++i) {
        const double x = static_cast<double>(i) * ratio;
        const std::int64_t i0 = static_cast<std::int64_t>(x);
        const float w1 = static_cast<float>(x - static_cast<double>(i0));
        const float w0 = 1.0f - w1;
        const StereoFrame a = src[i0];
        const StereoFrame b = src[i0 + 1];
        dst[i].l = static_cast<std::int32_t>(RoundSumHalfEven(b.l * double{w1}, a.l * double{w0}));
        dst[i].r = static_cast<std::int32_t>(RoundSumHalfEven(b.r * double{w1}, a.r * double{w0}));
      }
      return;
    case Resampler::kAverage:
      // The divisor is a constant of the call: halving, the most common
      // case, needs no division at all.
      if (extraTaps == 0) {
        AverageBlock<0>(src, dst, outFrames, ratio, 0, [](std::int64_t v) { return v; });
      } else if (extraTaps == 1) {
        AverageBlock<1>(src, dst, outFrames, ratio, 1, [](std::int64_t v) {
          std::int64_t half = v >> 1;  // floor
          if ((v & 1) && (half & 1)) ++half;
          return half;
        });
      } else {
        const double taps = extraTaps + 1;
        AverageBlock<-1>(src, dst, outFrames, ratio, extraTaps, [taps](std::int64_t v) {
          return RoundHalfEven(static_cast<double>(v) / taps);
        });
      }
      return;
  }
}

namespace {

// (left + right) / 2, ties to even, in 32-bit integers.
inline std::int32_t MixMono(const StereoFrame& f) {
  const std::int32_t sum = f.l + f.r;
  std::int32_t half = sum >> 1;  // floor
  if ((sum & 1) && (half & 1)) ++half;
  return half;
}

inline std::uint8_t Narrow8(std::int32_t v) {
  std::int32_t n = v / 65536 + 128;
  if (n < 0) n = 0;
  if (n > 255) n = 255;
  return static_cast<std::uint8_t>(n);
}

// -32768 is written as -32767: the clamp is symmetric.
inline void Narrow16(std::int32_t v, std::uint8_t* b) {
  std::int32_t n = v / 256;
  if (n > 32767) n = 32767;
  if (n < -32767) n = -32767;
  const auto u = static_cast<std::uint16_t>(n);
  b[0] = static_cast<std::uint8_t>(u);
  b[1] = static_cast<std::uint8_t>(u >> 8);
}

inline void NarrowOne(std::int32_t v, int bits, std::uint8_t* b) {
  switch (bits) {
    case 8: b[0] = Narrow8(v); return;
    case 16: Narrow16(v, b); return;
    default: Pack24One(v, b); return;
  }
}

}  // namespace

namespace {

template <int kBits, int kChannels>
void NarrowPlain(const std::vector<StereoFrame>& in, std::uint8_t* b) {
  constexpr int kBytes = kBits / 8;
  for (const StereoFrame& f : in) {
    if constexpr (kChannels == 1) {
      NarrowOne(MixMono(f), kBits, b);
    } else {
      NarrowOne(f.l, kBits, b);
      NarrowOne(f.r, kBits, b + kBytes);
    }
    b += kBytes * kChannels;
  }
}

}  // namespace

void NarrowBlock(const std::vector<StereoFrame>& in, int channels, int bits,
                 std::vector<std::uint8_t>& out) {
  out.resize(in.size() * static_cast<std::size_t>(bits / 8 * channels));
  std::uint8_t* b = out.data();
  const bool mono = channels == 1;
  switch (bits) {
    case 8: mono ? NarrowPlain<8, 1>(in, b) : NarrowPlain<8, 2>(in, b); break;
    case 16: mono ? NarrowPlain<16, 1>(in, b) : NarrowPlain<16, 2>(in, b); break;
    default: mono ? NarrowPlain<24, 1>(in, b) : NarrowPlain<24, 2>(in, b); break;
  }
}

}  // namespace sonatra
