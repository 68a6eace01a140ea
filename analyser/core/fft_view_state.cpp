#include "fft_view_state.h"

#include "fft_kernel.h"
#include "ring_intake.h"
#include "wave_ring.h"

namespace tonewarden {

void FftViewState::Relayout() {
  if (n_ != tables_.size()) {
    samples_.assign(n_, 0.0f);
    tables_.Init(n_);
  }
  layout_.Relayout(width_, height_, n_, range_, rate_, textHeight_);
  points_.reserve(n_ / 2);
}

bool FftViewState::UpdateFromRing(const CWaveRing& ring) {
  if (!ring.HasData()) return false;
  if (tables_.size() != n_) Relayout();
  const FftKernel& kernel = FftKernel::ForCpuType(cpuType_);
  RingIntake::Take(ring, kernel, samples_.data(), n_);
  kernel.ApplyWindow(tables_, window_, samples_.data(), n_);
  kernel.PowerSpectrum(tables_, samples_.data(), samples_.data(), n_);
  layout_.Reduce(samples_.data(), points_);
  return true;
}

void FftViewState::Free() {
  tables_.FreeWindows();
  tables_.FreeTransform();
}

}  // namespace tonewarden
