#pragma once

// One LAME encoder for 16-bit PCM at a fixed rate, channel count and bit rate.

#include <cstdint>
#include <vector>

struct lame_global_struct;

namespace sonatra {

class LameStream {
 public:
  LameStream() = default;
  ~LameStream();
  LameStream(const LameStream&) = delete;
  LameStream& operator=(const LameStream&) = delete;

  // True when LAME takes the format as asked: it would otherwise change the
  // output rate or clamp the bit rate silently.
  [[nodiscard]] bool Open(int rate, int channels, int kbps);
  // Encodes interleaved samples; appends the MP3 bytes to `out`.
  [[nodiscard]] bool Encode(const std::int16_t* samples, int frames, std::vector<std::uint8_t>& out);
  // The frames LAME still holds after the last block.
  [[nodiscard]] bool Flush(std::vector<std::uint8_t>& out);
  void Close();

 private:
  lame_global_struct* lame_ = nullptr;
  int channels_ = 0;
  std::vector<std::int16_t> left_;
};

}  // namespace sonatra
