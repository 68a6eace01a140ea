#pragma once

// The first MPEG audio frame header of an MPEG-1 or MPEG-2 file (Layer I, II
// or III), a Xing VBR header, the end of the audio before a "TAG" block, and
// what they say about rate, bit rate, channels and playing length.

#include <cstdint>
#include <string>

namespace sonatra {

struct MpegInfo {
  std::int32_t FirstFrame = 0;
  std::int32_t AudioBytes = 0;
  std::int32_t AudioEnd = 0;
  std::int32_t FileSize = 0;
  std::int32_t IsVbr = 0;
  std::int32_t VbrFrames = 0;
  std::int32_t SampleRate = 0;
  std::int32_t IsLsf = 0;
  std::int32_t BitRate = 0;
  std::int32_t Channels = 0;
  std::int32_t ChannelMode = 0;
  std::int32_t Layer = 0;
  std::int32_t DurationMs = 0;
  std::string ShortText;
  std::string LongText;
  std::uint8_t Header[3] = {};
};

// 1 and a filled record, or 0 with whatever was filled.
[[nodiscard]] std::int32_t ReadMpegInfo(const std::string& path, MpegInfo& info);

// "0" and "1" for a byte, most significant first, and back.
[[nodiscard]] std::string ByteToBits(std::uint8_t value);
[[nodiscard]] std::uint32_t BitsToNumber(const std::string& bits);

}  // namespace sonatra
