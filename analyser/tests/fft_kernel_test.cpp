#include "core/fft_kernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "core/fft_tables.h"
#include "core/fft_view_state.h"
#include "core/wave_ring.h"
#include "kernel_variants.h"
#include "ring_maker.h"

namespace tonewarden {
namespace {

using test::KernelVariantTest;

double LevelDb(float power) { return 10 * std::log10(power) - 20 * std::log10(32768.0); }

class FftKernelTest : public KernelVariantTest {};

TEST_P(FftKernelTest, FullScaleSineAtBinCentreWithRectangularWindowIsMinusSixDb) {
  for (int n : {4096, 8192, 16384, 32768}) {
    const int k = n / 16 + 3;
    std::vector<std::int16_t> frames(2 * n);
    for (int j = 0; j < n; ++j) {
      frames[2 * j] = frames[2 * j + 1] = static_cast<std::int16_t>(std::lround(32767 * std::sin(2 * M_PI * k * j / n)));
    }
    FftTables tables;
    tables.Init(n);
    std::vector<float> samples(n);
    kernel().MixBackward(frames.data() + 2 * (n - 1), n, samples.data());
    kernel().ApplyWindow(tables, kRectangular, samples.data(), n);
    kernel().PowerSpectrum(tables, samples.data(), samples.data(), n);
    EXPECT_NEAR(LevelDb(samples[k]), 20 * std::log10(32767.0 / 2 / 32768), 0.01) << "N " << n;
    EXPECT_LT(LevelDb(samples[k + 5]), -90) << "N " << n;
    EXPECT_LT(LevelDb(samples[0] + 1e-30f), -90) << "N " << n;
  }
}

TEST_P(FftKernelTest, SilenceGivesZeroPowerEverywhere) {
  const int n = 4096;
  FftTables tables;
  tables.Init(n);
  std::vector<float> samples(n, 0.0f);
  kernel().ApplyWindow(tables, kHanning, samples.data(), n);
  kernel().PowerSpectrum(tables, samples.data(), samples.data(), n);
  for (int k = 0; k < n / 2; ++k) ASSERT_EQ(samples[k], 0.0f) << k;
}

TEST_P(FftKernelTest, WindowMultipliesByTableAndRectangularLeavesSamples) {
  const int n = 64;
  FftTables tables;
  tables.Init(n);
  std::vector<float> input(n);
  for (int i = 0; i < n; ++i) input[i] = static_cast<float>(i * 37 % 101 - 50);
  for (int w : {kHanning, kHamming, kBlackman, kRectangular}) {
    std::vector<float> s = input;
    kernel().ApplyWindow(tables, w, s.data(), n);
    for (int i = 0; i < n; ++i) {
      const float expected = w == kRectangular ? input[i] : input[i] * tables.windows().Table(w)[i];
      ASSERT_EQ(s[i], expected) << "window " << w << " i " << i;
    }
  }
}

TEST_P(FftKernelTest, PowerIsScaledSquaredMagnitudeOfTransform) {
  const int n = 256;
  FftTables tables;
  tables.Init(n);
  std::mt19937 engine(7);
  std::uniform_real_distribution<float> d(-30000, 30000);
  std::vector<float> x(n);
  for (auto& v : x) v = d(engine);
  std::vector<float> spectrum = x, power = x;
  tables.transform().Forward(spectrum.data());
  kernel().PowerSpectrum(tables, power.data(), power.data(), n);
  const double s = 1.0 / n;
  EXPECT_NEAR(power[0], std::pow(spectrum[0] * s, 2), 1e-6 * power[0] + 1e-6);
  for (int k = 1; k < n / 2; ++k) {
    const double p = std::pow(spectrum[2 * k] * s, 2) + std::pow(spectrum[2 * k + 1] * s, 2);
    ASSERT_NEAR(power[k], p, 1e-6 * p) << k;
  }
}

INSTANTIATE_TEST_SUITE_P(BothVariants, FftKernelTest, ::testing::Values(0, 1), test::KernelName);

struct MixCase {
  int left, right, fpu, packed;
};

// The two variants round odd sums differently: toward zero against toward minus infinity.
TEST(FftKernelMix, VariantsRoundOddSumsTheirOwnWay) {
  const std::vector<MixCase> cases = {
      {3, 0, 1, 1}, {-3, 0, -1, -2}, {-1, 0, 0, -1}, {32767, 32767, 32767, 32767},
      {-32768, -32768, -32768, -32768}, {-32768, 32767, 0, -1}, {100, 200, 150, 150},
  };
  // Enough frames for the packed variant's four-at-a-time path and its tail.
  std::vector<std::int16_t> frames;
  for (int rep = 0; rep < 3; ++rep) {
    for (const MixCase& c : cases) {
      frames.push_back(static_cast<std::int16_t>(c.left));
      frames.push_back(static_cast<std::int16_t>(c.right));
    }
  }
  const int count = static_cast<int>(frames.size() / 2);
  std::vector<float> fpu(count), packed(count);
  FftKernel::ForCpuType(0).MixBackward(frames.data() + frames.size() - 2, count, fpu.data());
  FftKernel::ForCpuType(1).MixBackward(frames.data() + frames.size() - 2, count, packed.data());
  for (int i = 0; i < count; ++i) {
    const MixCase& c = cases[(count - 1 - i) % cases.size()];
    EXPECT_EQ(fpu[i], c.fpu) << c.left << "+" << c.right;
    EXPECT_EQ(packed[i], c.packed) << c.left << "+" << c.right;
  }
}

// The variants share the transform; on the same random ring their levels
// differ only by the mix rounding and single against extended precision.
TEST(FftKernelVariants, AgreeOnRandomStereoWithinATenthOfADecibel) {
  CWaveRing ring;
  test::FillRing(ring, 120 * 735, 44100, 60 * 735 - 1, test::RandomFrames(3));
  std::vector<float> levels[2];
  for (int cpu : {0, 1}) {
    FftViewState state;
    state.SetSize(640, 300);
    state.SetFftSize(8192);
    state.SetCpuType(cpu);
    state.Relayout();
    ASSERT_TRUE(state.UpdateFromRing(ring));
    levels[cpu].assign(state.power(), state.power() + 4096);
  }
  const float peak = *std::max_element(levels[0].begin(), levels[0].end());
  for (int k = 1; k < 4096; ++k) {
    if (levels[0][k] < peak * 1e-6f) continue;
    ASSERT_NEAR(LevelDb(levels[0][k]), LevelDb(levels[1][k]), 0.1) << k;
  }
}

}  // namespace
}  // namespace tonewarden
