#pragma once

// Fills a ring the way a seek during playback fills it, so that the views
// show what the window shows when playback stands at that tick.

#include <string>

#include "core/wave_ring.h"

namespace tonewarden {

class RingAtPosition {
 public:
  // Empty on success, else the message the engine gave.
  [[nodiscard]] static std::string Fill(const std::string& path, double seconds, CWaveRing& ring, int& tick);
};

}  // namespace tonewarden
