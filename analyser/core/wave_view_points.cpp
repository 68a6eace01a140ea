#include "wave_view_points.h"

#include <cstdio>

#include "wave_ring.h"

namespace tonewarden {

void WaveViewPoints::Build(const CWaveRing& ring, int width, int height, int n, std::vector<ViewPoint>& points) {
  points.clear();
  if (!ring.HasData() || n <= 0 || ring.FrameCount() == 0) return;
  const std::size_t total = ring.FrameCount();
  std::size_t p = ring.CurrentFrame();
  auto value = [&] {
    const std::int16_t* f = ring.Frame(p);
    return f[0] + f[1];
  };
  auto step = [&] { p = p == 0 ? total - 1 : p - 1; };
  int c = 0;
  for (int i = 0; c < n; ++i) {
    points.push_back({i, Row(height, value())});
    step();
    points.push_back({i, Row(height, value())});
    step();
    c += 2;
    int max = -65538, min = 65536;
    long long col;
    do {
      const int s = value();
      if (s > max) max = s;
      if (s < min) min = s;
      col = static_cast<long long>(width) * c / n;
      step();
      c += 1;
    } while (col == i);
    points.push_back({i, Row(height, max)});
    points.push_back({i, Row(height, min)});
  }
}

std::vector<TimeLabel> WaveViewPoints::TimeGrid(int width, int n, int rate) {
  std::vector<TimeLabel> labels;
  if (rate <= 0) return labels;
  const long long spanMs = static_cast<long long>(n) * 1000 / rate;
  if (spanMs <= 0) return labels;
  for (int t = 50; t < 1000; t += 50) {
    const long long x = static_cast<long long>(width) * t / spanMs;
    if (x > width) break;
    labels.push_back({std::to_string(t) + "ms", static_cast<int>(x)});
  }
  return labels;
}

std::string WaveViewPoints::PositionText(int position) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d;%02d", position / (60 * 3600), position / (60 * 60) % 60,
                position / 60 % 60, position % 60);
  return text;
}

}  // namespace tonewarden
