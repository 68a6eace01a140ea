#pragma once

// The waveform view's numbers: N frames from the newest (left edge) over the
// width, two single frames and a max/min pair per column, the time grid and
// the position text.

#include <string>
#include <vector>

#include "spectrum_layout.h"

namespace tonewarden {

class CWaveRing;

struct TimeLabel {
  std::string text;
  int x = 0;
};

class WaveViewPoints {
 public:
  // Points for a W x H view showing n frames of the ring.
  static void Build(const CWaveRing& ring, int width, int height, int n, std::vector<ViewPoint>& points);
  // Vertical lines and labels every 50 ms below one second.
  static std::vector<TimeLabel> TimeGrid(int width, int n, int rate);
  // "hh:mm:ss;ff" of a position in ticks of 1/60 s.
  static std::string PositionText(int position);
  [[nodiscard]] static int Row(int height, int s) { return height / 2 - ((height * s) >> 17); }
};

}  // namespace tonewarden
