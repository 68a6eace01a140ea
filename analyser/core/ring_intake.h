#pragma once

// Takes the newest N frames of a ring as mono floats, newest first, in at most
// a few straight runs (down to the buffer start, then on from its end).

namespace tonewarden {

class CWaveRing;
class FftKernel;

class RingIntake {
 public:
  // out[0] is the frame at ring.current, out[i] the frame i before it.
  static void Take(const CWaveRing& ring, const FftKernel& kernel, float* out, int n);
};

}  // namespace tonewarden
