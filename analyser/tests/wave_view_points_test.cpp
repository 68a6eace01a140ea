#include "core/wave_view_points.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/wave_ring.h"
#include "ring_maker.h"

namespace tonewarden {
namespace {

TEST(WaveViewPoints, NarrowViewGetsOneColumnPerPixelWithTwoFramesAndMaxMin) {
  CWaveRing ring;
  // Frame i has L + R = 2 * ((i * 131) % 2001 - 1000).
  auto value = [](std::size_t i) { return int((i * 131) % 2001) - 1000; };
  const std::size_t frames = 120 * 735;
  test::FillRing(ring, frames, 44100, 50, [&](std::size_t i) { return std::pair<int, int>(value(i), value(i)); });
  const int w = 100, h = 200, n = 8192;
  std::vector<ViewPoint> points;
  WaveViewPoints::Build(ring, w, h, n, points);
  ASSERT_EQ(points.size(), 4u * w);

  // Replay the rule on the frame numbers, newest first across the wrap.
  auto frameAt = [&](int back) { return (50 + frames * 2 - back) % frames; };
  int c = 0;
  for (int i = 0; i < w; ++i) {
    EXPECT_EQ(points[4 * i], (ViewPoint{i, WaveViewPoints::Row(h, 2 * value(frameAt(c)))}));
    EXPECT_EQ(points[4 * i + 1], (ViewPoint{i, WaveViewPoints::Row(h, 2 * value(frameAt(c + 1)))}));
    c += 2;
    int max = -65538, min = 65536, col;
    do {
      const int s = 2 * value(frameAt(c));
      max = std::max(max, s);
      min = std::min(min, s);
      col = w * c / n;
      ++c;
    } while (col == i);
    EXPECT_EQ(points[4 * i + 2].y, WaveViewPoints::Row(h, max)) << i;
    EXPECT_EQ(points[4 * i + 3].y, WaveViewPoints::Row(h, min)) << i;
  }
}

TEST(WaveViewPoints, WideViewUsesAtLeastThreeFramesPerColumn) {
  CWaveRing ring;
  test::FillRing(ring, 120 * 735, 44100, 10, [](std::size_t) { return std::pair<int, int>(0, 0); });
  std::vector<ViewPoint> points;
  WaveViewPoints::Build(ring, 5000, 100, 4096, points);
  EXPECT_EQ(points.size(), 4u * ((4096 + 2) / 3));
  EXPECT_EQ(points.back().x, (4096 + 2) / 3 - 1);
  for (const ViewPoint& p : points) ASSERT_EQ(p.y, 50);
}

TEST(WaveViewPoints, RowsSpanTheHeightForFullScale) {
  EXPECT_EQ(WaveViewPoints::Row(256, 0), 128);
  EXPECT_EQ(WaveViewPoints::Row(256, 65534), 1);
  EXPECT_EQ(WaveViewPoints::Row(256, -65536), 256);
  EXPECT_EQ(WaveViewPoints::Row(101, -1), 51) << "the shift rounds toward minus infinity";
}

TEST(WaveViewPoints, TimeGridEveryFiftyMillisecondsInsideTheView) {
  // 8192 frames at 44100 Hz span 185 ms.
  const auto labels = WaveViewPoints::TimeGrid(640, 8192, 44100);
  ASSERT_EQ(labels.size(), 3u);
  EXPECT_EQ(labels[0].text, "50ms");
  EXPECT_EQ(labels[0].x, 172);
  EXPECT_EQ(labels[2].text, "150ms");
  EXPECT_EQ(labels[2].x, 518);
  EXPECT_EQ(WaveViewPoints::TimeGrid(640, 32768, 32000).size(), 19u) << "stops below one second";
}

TEST(WaveViewPoints, PositionTextIsHoursMinutesSecondsTicks) {
  EXPECT_EQ(WaveViewPoints::PositionText(0), "00:00:00;00");
  EXPECT_EQ(WaveViewPoints::PositionText(216000 + 2 * 3600 + 3 * 60 + 4), "01:02:03;04");
  EXPECT_EQ(WaveViewPoints::PositionText(59), "00:00:00;59");
}

}  // namespace
}  // namespace tonewarden
