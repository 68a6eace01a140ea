#include "core/spectrum_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/fft_view_state.h"
#include "core/wave_ring.h"
#include "ring_maker.h"

namespace tonewarden {
namespace {

struct GridCase {
  int rate;
  int lines;                        // vertical lines
  std::vector<std::string> labels;  // frequency labels
  std::vector<int> labelX;          // at W = 640
  int x30;
};

TEST(SpectrumLayout, FrequencyGridAndLabelsAtCommonRates) {
  const std::vector<GridCase> cases = {
      {32000, 26, {"100Hz", "1000Hz", "10000Hz"}, {154, 374, 595}, 38},  // stops at 10000 Hz
      {44100, 27, {"100Hz", "1000Hz", "10000Hz"}, {147, 357, 567}, 37},
      {48000, 27, {"100Hz", "1000Hz", "10000Hz"}, {145, 353, 560}, 36},
  };
  for (const GridCase& c : cases) {
    SpectrumLayout layout;
    layout.Relayout(640, 280, 8192, 140, c.rate, 14);
    int vertical = 0;
    for (const GridLine& line : layout.grid()) {
      if (line.from.x == line.to.x && line.from.y == 0 && line.to.y == 280) ++vertical;
    }
    EXPECT_EQ(vertical, c.lines) << c.rate;
    ASSERT_EQ(layout.frequencyLabels().size(), c.labels.size()) << c.rate;
    for (std::size_t i = 0; i < c.labels.size(); ++i) {
      EXPECT_EQ(layout.frequencyLabels()[i].text, c.labels[i]);
      EXPECT_EQ(layout.frequencyLabels()[i].x, c.labelX[i]) << c.rate << " " << c.labels[i];
    }
    EXPECT_EQ(layout.grid().front().from.x, c.x30) << "the grid starts at 30 Hz";
    EXPECT_EQ(layout.XPos(20.0), 0);
  }
}

struct LevelCase {
  int range;
  std::vector<int> ys;
  std::vector<std::string> texts;
};

TEST(SpectrumLayout, LevelGridEveryTwentyDecibelsInsideTheRange) {
  const std::vector<LevelCase> cases = {
      {140, {40, 80, 120, 160, 200, 240}, {"-20dB", "-40dB", "-60dB", "-80dB", "-100dB", "-120dB"}},
      {80, {70, 140, 210}, {"-20dB", "-40dB", "-60dB"}},
      {100, {56, 112, 168, 224}, {"-20dB", "-40dB", "-60dB", "-80dB"}},
  };
  for (const LevelCase& c : cases) {
    SpectrumLayout layout;
    layout.Relayout(640, 280, 4096, c.range, 44100, 13);
    std::vector<GridLine> horizontal;
    for (const GridLine& line : layout.grid()) {
      if (line.from.y == line.to.y) horizontal.push_back(line);
    }
    ASSERT_EQ(horizontal.size(), c.ys.size()) << c.range;
    ASSERT_EQ(layout.levelLabels().size(), c.ys.size());
    for (std::size_t i = 0; i < c.ys.size(); ++i) {
      EXPECT_EQ(horizontal[i], (GridLine{{0, c.ys[i]}, {640, c.ys[i]}}));
      EXPECT_EQ(layout.levelLabels()[i].text, c.texts[i]);
      EXPECT_EQ(layout.levelLabels()[i].y, c.ys[i] - 6) << "centred on the line by half the text height";
    }
  }
}

TEST(SpectrumLayout, BinColumnsFollowTheAxis) {
  SpectrumLayout layout;
  layout.Relayout(640, 280, 4096, 140, 32000, 0);
  ASSERT_EQ(layout.binColumns().size(), 2048u);
  // Bin 128 is exactly 1000 Hz at 32000 Hz and N = 4096.
  EXPECT_EQ(layout.binColumns()[127], layout.XPos(1000.0));
  // Bins below 20 Hz (bin 1 = 7.8 Hz) fall left of the view.
  EXPECT_LT(layout.binColumns()[0], 0);
  EXPECT_GE(layout.binColumns().back(), 639);
  for (std::size_t i = 1; i < layout.binColumns().size(); ++i) {
    ASSERT_LE(layout.binColumns()[i - 1], layout.binColumns()[i]);
  }
}

TEST(SpectrumLayout, HighSampleRatesDoNotOverflowTheBinTable) {
  SpectrumLayout layout;
  layout.Relayout(800, 200, 32768, 140, 192000, 0);
  // 16384 * 192000 exceeds 32 bits; every column must still rise to the right edge.
  EXPECT_GE(layout.binColumns().back(), 799);
  EXPECT_LE(layout.binColumns().back(), 800);
  for (std::size_t i = 1; i < layout.binColumns().size(); ++i) {
    ASSERT_LE(layout.binColumns()[i - 1], layout.binColumns()[i]) << i;
  }
  EXPECT_EQ(layout.frequencyLabels().size(), 3u);
}

TEST(SpectrumLayout, RowMapsDecibelsToTheHeight) {
  SpectrumLayout layout;
  layout.Relayout(640, 280, 4096, 140, 44100, 0);
  EXPECT_EQ(layout.Row(0.0f), 280);
  EXPECT_EQ(layout.Row(32768.0f * 32768.0f), 0);                          // 0 dB: top edge
  EXPECT_EQ(layout.Row(32768.0f * 32768.0f * 1e-7f), 140);                // -70 dB: middle
  EXPECT_EQ(layout.Row(32768.0f * 32768.0f * 100.0f), -40);               // +20 dB: above the view
  EXPECT_NEAR(layout.Row(32768.0f * 32768.0f * 1e-14f), 280, 1);          // -140 dB: bottom edge
}

// A narrow view: many bins share a column and only their maximum counts.
TEST(SpectrumLayout, ReductionKeepsEachColumnsMaximumAndDropsTheLastGroup) {
  SpectrumLayout layout;
  const int n = 64;
  layout.Relayout(40, 100, n, 140, 1000, 0);  // bin 1 = 15.6 Hz
  std::vector<float> power(n / 2);
  for (int k = 0; k < n / 2; ++k) power[k] = static_cast<float>((k * 7919) % 97 + 1) * 1e6f;
  std::vector<ViewPoint> points;
  layout.Reduce(power.data(), points);

  // Expected: groups of consecutive bins with equal columns, all but the last.
  std::vector<ViewPoint> expected;
  const auto& cols = layout.binColumns();
  int k = 1;
  while (k < n / 2) {
    int end = k;
    float m = power[k];
    while (end + 1 < n / 2 && cols[end] == cols[k - 1]) m = std::max(m, power[++end]);
    if (end + 1 >= n / 2) break;  // last column: never emitted
    expected.push_back({cols[k - 1], layout.Row(m)});
    k = end + 1;
  }
  EXPECT_EQ(points, expected);
  ASSERT_FALSE(points.empty());
  EXPECT_LT(points.front().x, 0) << "bins below 20 Hz are emitted left of the view";
  EXPECT_LT(points.back().x, cols[n / 2 - 2]);
  EXPECT_LT(points.size(), static_cast<std::size_t>(n / 2 - 1)) << "some bins share a column";
}

TEST(SpectrumLayout, SilentRingDrawsAFlatLineAlongTheBottom) {
  CWaveRing ring;
  test::FillRing(ring, 120 * 735, 44100, 100, [](std::size_t) { return std::pair<int, int>(0, 0); });
  for (int cpu : {0, 1}) {
    FftViewState state;
    state.SetSize(500, 230);
    state.SetFftSize(4096);
    state.SetCpuType(cpu);
    state.Relayout();
    ASSERT_TRUE(state.UpdateFromRing(ring));
    ASSERT_FALSE(state.points().empty());
    for (const ViewPoint& p : state.points()) ASSERT_EQ(p.y, 230);
  }
}

TEST(SpectrumLayout, ChangingTheFftSizeReinitialisesTheKernel) {
  FftViewState state;
  state.SetSize(300, 200);
  state.SetFftSize(4096);
  EXPECT_EQ(state.kernelSize(), 0);
  state.Relayout();
  EXPECT_EQ(state.kernelSize(), 4096);
  state.SetFftSize(32768);
  state.Relayout();
  EXPECT_EQ(state.kernelSize(), 32768);
  EXPECT_EQ(state.layout().binColumns().size(), 16384u);
  CWaveRing empty;
  EXPECT_FALSE(state.UpdateFromRing(empty));
}

}  // namespace
}  // namespace tonewarden
