#pragma once

// One block of the conversion on the working scale: stereo frames of signed
// 24-bit values in 32-bit integers.

#include <cstdint>
#include <vector>

namespace sonatra {

struct StereoFrame {
  std::int32_t l;
  std::int32_t r;
};

// Widens `frames` frames of the source layout to the working scale. Six- and
// eight-channel layouts are mixed down to stereo.
void WidenBlock(const std::uint8_t* bytes, std::int64_t frames, int channels, int bits,
                std::vector<StereoFrame>& out);

// The three resampling paths; each block starts at phase 0 on its first frame.
enum class Resampler { kNearest, kInterpolate, kAverage };
void ResampleBlock(const std::vector<StereoFrame>& in, std::int64_t outFrames, double ratio,
                   int extraTaps, Resampler kind, std::vector<StereoFrame>& out);

// Largest source index the resampler reads for `outFrames` output frames.
[[nodiscard]] std::int64_t LastSourceIndex(std::int64_t outFrames, double ratio, int extraTaps,
                                           Resampler kind);

// Narrows to the target layout, mixing down to mono when `channels` is 1.
void NarrowBlock(const std::vector<StereoFrame>& in, int channels, int bits,
                 std::vector<std::uint8_t>& out);

}  // namespace sonatra
