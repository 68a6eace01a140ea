#pragma once

// The numbers of the spectrum view: the logarithmic frequency axis from 20 Hz
// to fs/2, the frequency and level grids with their labels, the bin-to-column
// table, and the reduction of N/2 powers to one polyline point per column.

#include <string>
#include <vector>

namespace tonewarden {

struct ViewPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ViewPoint&) const = default;
};

struct GridLine {
  ViewPoint from;
  ViewPoint to;
  bool operator==(const GridLine&) const = default;
};

struct FrequencyLabel {
  std::string text;
  int x = 0;
};

struct LevelLabel {
  std::string text;
  int y = 0;
};

class SpectrumLayout {
 public:
  // W, H: client size; n: FFT size; range: R in dB; rate: fs; textHeight: label font height.
  void Relayout(int width, int height, int n, int range, int rate, int textHeight);

  // Column of frequency f (negative below 20 Hz).
  [[nodiscard]] int XPos(double f) const;
  // Row of a power value: H for 0, 0 for 0 dB, H for -R dB.
  [[nodiscard]] int Row(float power) const;
  // One point per column over bins 1 .. N/2-1; the last column's group is not emitted.
  void Reduce(const float* power, std::vector<ViewPoint>& points) const;

  [[nodiscard]] const std::vector<GridLine>& grid() const { return grid_; }
  [[nodiscard]] const std::vector<FrequencyLabel>& frequencyLabels() const { return frequencyLabels_; }
  [[nodiscard]] const std::vector<LevelLabel>& levelLabels() const { return levelLabels_; }
  // Entry k-1 holds the column of bin k, k = 1 .. N/2.
  [[nodiscard]] const std::vector<int>& binColumns() const { return binColumns_; }
  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  [[nodiscard]] int size() const { return n_; }
  [[nodiscard]] int rate() const { return rate_; }

 private:
  int width_ = 0, height_ = 0, n_ = 0, range_ = 140, rate_ = 44100;
  double e0_ = 0, fr_ = 1;
  float f0_ = 0, g_ = 0;
  std::vector<GridLine> grid_;
  std::vector<FrequencyLabel> frequencyLabels_;
  std::vector<LevelLabel> levelLabels_;
  std::vector<int> binColumns_;
};

}  // namespace tonewarden
