#pragma once

// Appends PCM data behind a canonical header through one buffered handle
// held for the length of a decode, then writes the sizes.

#include <cstdint>
#include <cstdio>
#include <string>

namespace sonatra {

class WaveWriter {
 public:
  WaveWriter() = default;
  ~WaveWriter();
  WaveWriter(const WaveWriter&) = delete;
  WaveWriter& operator=(const WaveWriter&) = delete;

  [[nodiscard]] bool Create(const std::string& path, std::int32_t rate, int bits, int channels);
  // False on a write failure or when the data would pass the 4 GiB a WAV file can describe.
  [[nodiscard]] bool Append(const void* bytes, std::size_t count);
  // Closes the file and writes the RIFF and data sizes.
  [[nodiscard]] bool Finish();

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  std::uint64_t size_ = 0;
};

}  // namespace sonatra
