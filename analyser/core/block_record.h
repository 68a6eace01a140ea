#pragma once

// One record per ring block: the tick of the audio in it, the block to refill
// when it is done ((index + 60) mod 120), and its device header.

#include <cstdint>

#include "wave_header.h"

namespace tonewarden {

struct BlockRecord {
  std::int32_t sequence = 0;  // negative: silence before the start after a seek
  std::int32_t partner = 0;
  WaveHeader header;
};

}  // namespace tonewarden
