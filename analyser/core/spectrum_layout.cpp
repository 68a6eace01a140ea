#include "spectrum_layout.h"

#include <cmath>
#include <cstdint>

namespace tonewarden {

void SpectrumLayout::Relayout(int width, int height, int n, int range, int rate, int textHeight) {
  width_ = width;
  height_ = height;
  n_ = n;
  range_ = range > 0 ? range : 140;
  rate_ = rate > 0 ? rate : 44100;
  e0_ = std::log10(20.0);
  fr_ = std::log10(rate_ / 2.0) - e0_;
  f0_ = static_cast<float>(-2.0 * std::log10(32768.0));
  g_ = static_cast<float>(10.0 * height_ / range_);

  grid_.clear();
  frequencyLabels_.clear();
  levelLabels_.clear();
  // Vertical lines from 30 Hz; a label where f reaches the next power of ten.
  long long step = 10;
  for (long long f = 30; f <= rate_ / 2; f += step) {
    const int x = XPos(static_cast<double>(f));
    grid_.push_back({{x, 0}, {x, height_}});
    if (f + step > 10 * step) {
      frequencyLabels_.push_back({std::to_string(f) + "Hz", x});
      step *= 10;
    }
  }
  for (int d = 20; d < range_; d += 20) {
    const int y = d * height_ / range_;
    grid_.push_back({{0, y}, {width_, y}});
    levelLabels_.push_back({std::to_string(-d) + "dB", y - textHeight / 2});
  }
  binColumns_.resize(n_ / 2);
  const double logN = std::log10(static_cast<double>(n_));
  for (int k = 1; k <= n_ / 2; ++k) {
    // k * fs in 64 bits: at 192 kHz a 32-bit product would overflow.
    const double kf = static_cast<double>(static_cast<std::int64_t>(k) * rate_);
    binColumns_[k - 1] = static_cast<int>(width_ * (std::log10(kf) - logN - e0_) / fr_);
  }
}

int SpectrumLayout::XPos(double f) const { return static_cast<int>(width_ * (std::log10(f) - e0_) / fr_); }

int SpectrumLayout::Row(float power) const {
  if (!(power > 0.0f)) return height_;
  return -static_cast<int>((std::log10(power) + f0_) * g_);
}

void SpectrumLayout::Reduce(const float* power, std::vector<ViewPoint>& points) const {
  points.clear();
  if (n_ < 4) return;
  int d = binColumns_[0];
  float m = power[1];
  for (int k = 1; k < n_ / 2; ++k) {
    const int column = binColumns_[k - 1];
    if (column > d) {
      points.push_back({d, Row(m)});
      d = column;
      m = -1073741824.0f;
    }
    if (power[k] > m) m = power[k];
  }
}

}  // namespace tonewarden
