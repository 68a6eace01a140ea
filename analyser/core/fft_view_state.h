#pragma once

// The numeric half of the spectrum view: owns the kernel tables, the sample
// buffer and the layout, and turns the ring's newest N frames into the
// spectrum polyline. Painting is left to the view.

#include <vector>

#include "fft_tables.h"
#include "spectrum_layout.h"

namespace tonewarden {

class CWaveRing;

class FftViewState {
 public:
  FftViewState() = default;
  ~FftViewState() { Free(); }
  FftViewState(const FftViewState&) = delete;
  FftViewState& operator=(const FftViewState&) = delete;

  void SetSize(int width, int height) { width_ = width, height_ = height; }
  void SetTextHeight(int textHeight) { textHeight_ = textHeight; }
  void SetFftSize(int n) { n_ = n; }
  void SetRange(int range) { range_ = range; }
  void SetWindow(int window) { window_ = window; }
  void SetCpuType(int cpuType) { cpuType_ = cpuType; }
  void SetRate(int rate) { rate_ = rate; }

  // Axis, grids, labels and bin table; re-initialises the kernel when N changed.
  void Relayout();
  // Intake, window, transform, power and reduction; false when the ring is empty.
  bool UpdateFromRing(const CWaveRing& ring);
  void Free();

  [[nodiscard]] const SpectrumLayout& layout() const { return layout_; }
  [[nodiscard]] const std::vector<ViewPoint>& points() const { return points_; }
  // The N/2 powers of the last update (bin 0 .. N/2-1).
  [[nodiscard]] const float* power() const { return samples_.data(); }
  [[nodiscard]] int fftSize() const { return n_; }
  [[nodiscard]] int kernelSize() const { return tables_.size(); }

 private:
  int width_ = 0, height_ = 0, textHeight_ = 0;
  int n_ = 8192, range_ = 140, window_ = 0, cpuType_ = 0, rate_ = 44100;
  FftTables tables_;
  std::vector<float> samples_;
  SpectrumLayout layout_;
  std::vector<ViewPoint> points_;
};

}  // namespace tonewarden
