#include "core/ring_intake.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/fft_kernel.h"
#include "core/wave_ring.h"
#include "kernel_variants.h"
#include "ring_maker.h"

namespace tonewarden {
namespace {

class RingIntakeTest : public test::KernelVariantTest {};

TEST_P(RingIntakeTest, IntakeAcrossTheWrapEqualsAContiguousCopy) {
  const std::size_t frames = 120 * 735;
  const int n = 8192;
  for (std::size_t current : {std::size_t{0}, std::size_t{100}, std::size_t{8190}, std::size_t{8191},
                              frames - 1}) {
    CWaveRing ring;
    test::FillRing(ring, frames, 44100, current, test::RandomFrames(static_cast<unsigned>(current)));
    // The same N frames, oldest first, in a buffer whose last frame is current.
    CWaveRing linear;
    const auto* src = reinterpret_cast<const std::int16_t*>(ring.data);
    test::FillRing(linear, n, 44100, n - 1, [&](std::size_t i) {
      const std::size_t back = n - 1 - i;
      const std::size_t f = (current + frames - back) % frames;
      return std::pair<int, int>(src[2 * f], src[2 * f + 1]);
    });
    std::vector<float> a(n), b(n);
    RingIntake::Take(ring, kernel(), a.data(), n);
    RingIntake::Take(linear, kernel(), b.data(), n);
    ASSERT_EQ(a, b) << "current frame " << current;
  }
}

TEST_P(RingIntakeTest, NewestFrameComesFirst) {
  CWaveRing ring;
  test::FillRing(ring, 1000, 44100, 500, [](std::size_t i) { return std::pair<int, int>(int(i), int(i)); });
  std::vector<float> out(16);
  RingIntake::Take(ring, kernel(), out.data(), 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out[i], 500 - i);
}

// At low sample rates 120 blocks hold fewer than N frames: the intake goes
// round the ring again rather than reading before the buffer.
TEST_P(RingIntakeTest, RingShorterThanTheTransformIsReadRoundAgain) {
  const std::size_t frames = 120 * (8000 / 60);  // 15960 frames at 8000 Hz
  CWaveRing ring;
  test::FillRing(ring, frames, 8000, 10, [](std::size_t i) { return std::pair<int, int>(int(i % 30000), int(i % 30000)); });
  std::vector<float> out(32768);
  RingIntake::Take(ring, kernel(), out.data(), 32768);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::size_t f = (10 + 3 * frames - i) % frames;
    ASSERT_EQ(out[i], static_cast<float>(f % 30000)) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(BothVariants, RingIntakeTest, ::testing::Values(0, 1), test::KernelName);

}  // namespace
}  // namespace tonewarden
