#include "ring_intake.h"

#include <algorithm>

#include "fft_kernel.h"
#include "wave_ring.h"

namespace tonewarden {

void RingIntake::Take(const CWaveRing& ring, const FftKernel& kernel, float* out, int n) {
  const std::size_t total = ring.FrameCount();
  if (!ring.HasData() || total == 0) {
    std::fill(out, out + n, 0.0f);
    return;
  }
  // Frames from the buffer start up to and including the newest.
  std::size_t available = ring.CurrentFrame() + 1;
  int taken = 0;
  // A ring shorter than N frames (low sample rates) is read round again
  // instead of running past its start.
  while (taken < n) {
    const int run = static_cast<int>(std::min<std::size_t>(available, static_cast<std::size_t>(n - taken)));
    kernel.MixBackward(ring.Frame(available - 1), run, out + taken);
    taken += run;
    available = total;
  }
}

}  // namespace tonewarden
