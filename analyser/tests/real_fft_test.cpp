#include "core/real_fft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <vector>

namespace tonewarden {
namespace {

// Bin k of the real input in double precision: (sum x cos, -sum x sin).
std::complex<double> DftBin(const std::vector<float>& x, int k) {
  const int n = static_cast<int>(x.size());
  double re = 0, im = 0;
  for (int j = 0; j < n; ++j) {
    const double a = 2 * M_PI * (static_cast<long long>(j) * k % n) / n;
    re += x[j] * std::cos(a);
    im -= x[j] * std::sin(a);
  }
  return {re, im};
}

// Every transform size exercises another mix of radix-8, radix-4 and radix-2 passes.
class RealFftSizes : public ::testing::TestWithParam<int> {};

TEST_P(RealFftSizes, MatchesDoublePrecisionDftOnRandomInput) {
  const int n = GetParam();
  std::mt19937 engine(n);
  std::uniform_real_distribution<float> d(-32768.0f, 32767.0f);
  std::vector<float> x(n);
  for (auto& v : x) v = d(engine);
  std::vector<float> y = x;
  RealFft fft;
  fft.Init(n);
  EXPECT_FALSE(fft.TablesBuilt());
  fft.Forward(y.data());
  EXPECT_TRUE(fft.TablesBuilt());

  // All bins for small sizes, a spread of bins for the large ones.
  std::vector<int> bins;
  const int step = n <= 4096 ? 1 : n / 256 + 1;
  for (int k = 1; k < n / 2; k += step) bins.push_back(k);
  bins.push_back(n / 4);
  bins.push_back(n / 2 - 1);

  double largest = 0, worst = 0;
  const std::complex<double> dc = DftBin(x, 0), nyquist = DftBin(x, n / 2);
  largest = std::max({largest, std::abs(dc), std::abs(nyquist)});
  worst = std::max({worst, std::abs(dc.real() - y[0]), std::abs(nyquist.real() - y[1])});
  for (int k : bins) {
    const std::complex<double> ref = DftBin(x, k);
    largest = std::max(largest, std::abs(ref));
    worst = std::max(worst, std::abs(ref - std::complex<double>(y[2 * k], y[2 * k + 1])));
  }
  // Largest error relative to the largest bin: single precision with log2(N) stages.
  EXPECT_LT(worst / largest, 2e-6) << "N = " << n;
}

// 16 .. 64 use the element swaps; from 128 on the bit reversal is folded into
// the first pass (128 and 256: every tile paired with itself; from 512 on:
// tiles exchanged in pairs) and the last pass is radix-8, 4 or 2 in turn.
INSTANTIATE_TEST_SUITE_P(AllPassMixes, RealFftSizes,
                         ::testing::Values(16, 32, 64, 128, 256, 512, 1024, 2048, 4096, 8192, 16384, 32768));

// The sample buffer need not be 16-byte aligned: the same input at every
// float offset gives the same bits.
TEST(RealFft, ResultDoesNotDependOnBufferAlignment) {
  for (int n : {32, 512, 4096}) {
    std::mt19937 engine(n + 1);
    std::uniform_real_distribution<float> d(-32768.0f, 32767.0f);
    std::vector<float> x(n);
    for (auto& v : x) v = d(engine);
    RealFft fft;
    fft.Init(n);
    std::vector<float> reference;
    for (int offset = 0; offset < 4; ++offset) {
      std::vector<float> buffer(n + 4, 0.0f);
      std::copy(x.begin(), x.end(), buffer.begin() + offset);
      fft.Forward(buffer.data() + offset);
      const std::vector<float> y(buffer.begin() + offset, buffer.begin() + offset + n);
      if (offset == 0) reference = y;
      else EXPECT_EQ(y, reference) << "N = " << n << ", offset " << offset;
      // Nothing outside the N samples is touched.
      for (int i = 0; i < offset; ++i) EXPECT_EQ(buffer[i], 0.0f);
      for (int i = offset + n; i < n + 4; ++i) EXPECT_EQ(buffer[i], 0.0f);
    }
  }
}

TEST(RealFft, PureCosineLandsInItsBinOnly) {
  const int n = 4096, k = 300;
  std::vector<float> x(n);
  for (int j = 0; j < n; ++j) x[j] = static_cast<float>(1000 * std::cos(2 * M_PI * k * j / n));
  RealFft fft;
  fft.Init(n);
  fft.Forward(x.data());
  EXPECT_NEAR(x[2 * k], 1000.0 * n / 2, 1.0);
  EXPECT_NEAR(x[2 * k + 1], 0.0, 1.0);
  EXPECT_NEAR(x[0], 0.0, 0.5);
  EXPECT_NEAR(x[2 * (k + 1)], 0.0, 1.0);
}

TEST(RealFft, ReinitialisingForAnotherSizeRebuildsTables) {
  RealFft fft;
  fft.Init(64);
  std::vector<float> x(64, 1.0f);
  fft.Forward(x.data());
  fft.Init(128);
  EXPECT_EQ(fft.size(), 128);
  EXPECT_FALSE(fft.TablesBuilt());
  std::vector<float> y(128, 1.0f);
  fft.Forward(y.data());
  EXPECT_FLOAT_EQ(y[0], 128.0f);
  EXPECT_FLOAT_EQ(y[1], 0.0f);
  for (int i = 2; i < 128; ++i) EXPECT_NEAR(y[i], 0.0f, 1e-4) << i;
}

}  // namespace
}  // namespace tonewarden
