#pragma once

// A source of 16-bit stereo PCM frames at its own sample rate: what the
// playback engine decodes from. Seeks by time in 100-nanosecond units.

#include <cstdint>

#include "wave_format.h"

namespace tonewarden {

class PcmSource {
 public:
  virtual ~PcmSource() = default;
  [[nodiscard]] virtual const WaveFormat& format() const = 0;
  // Fills up to `frames` frames; fewer only at the end of the stream.
  virtual int Read(std::int16_t* out, int frames) = 0;
  // The next Read starts exactly at the frame of that time.
  virtual bool Seek(std::int64_t time100ns) = 0;
  [[nodiscard]] virtual std::int64_t Duration100ns() const = 0;
  [[nodiscard]] virtual bool CanSeek() const = 0;
};

}  // namespace tonewarden
