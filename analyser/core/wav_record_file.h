#pragma once

// The WAV file a recording writes: a 44-byte header with both sizes 0, the
// captured frames appended, the sizes patched in place when it is finished.

#include <cstdint>
#include <cstdio>
#include <string>

#include "wave_format.h"

namespace tonewarden {

class WavRecordFile {
 public:
  // The largest data size the 32-bit size fields can describe, in whole frames.
  static constexpr std::uint32_t kMaxDataBytes = (0xFFFFFFFFu - 36u) / 4u * 4u;

  WavRecordFile() = default;
  ~WavRecordFile();
  WavRecordFile(const WavRecordFile&) = delete;
  WavRecordFile& operator=(const WavRecordFile&) = delete;

  // Creates (or truncates) the file and writes the header; empty on success,
  // else the reason.
  [[nodiscard]] std::string Create(const std::string& path, const WaveFormat& format);
  // Appends whole frames; false once the file cannot take them (disk full, 4 GB).
  [[nodiscard]] bool Append(const std::uint8_t* data, std::uint32_t bytes);
  // Patches the sizes and closes; false when the file could not be completed.
  bool Finish();
  [[nodiscard]] bool IsOpen() const { return file_ != nullptr; }
  [[nodiscard]] std::uint32_t dataBytes() const { return dataBytes_; }

 private:
  std::FILE* file_ = nullptr;
  std::uint32_t dataBytes_ = 0;
  bool failed_ = false;
};

}  // namespace tonewarden
