#include "wav_record_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tonewarden {

namespace {

void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

WavRecordFile::~WavRecordFile() { Finish(); }

std::string WavRecordFile::Create(const std::string& path, const WaveFormat& format) {
  Finish();
  file_ = std::fopen(path.c_str(), "w+b");
  if (file_ == nullptr) return std::strerror(errno);
  std::uint8_t h[44] = {};
  std::memcpy(h, "RIFF", 4);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);
  Put16(h + 20, 1);
  Put16(h + 22, 2);
  Put32(h + 24, format.samplesPerSec);
  Put32(h + 28, format.samplesPerSec * 4);
  Put16(h + 32, 4);
  Put16(h + 34, 16);
  std::memcpy(h + 36, "data", 4);
  dataBytes_ = 0;
  failed_ = false;
  if (std::fwrite(h, 1, sizeof h, file_) != sizeof h) {
    const std::string reason = std::strerror(errno);
    std::fclose(file_);
    file_ = nullptr;
    return reason;
  }
  return {};
}

bool WavRecordFile::Append(const std::uint8_t* data, std::uint32_t bytes) {
  if (file_ == nullptr || failed_) return false;
  bytes -= bytes % 4;
  if (bytes > kMaxDataBytes - dataBytes_) {
    failed_ = true;  // the size fields could not describe more
    return false;
  }
  const std::size_t written = std::fwrite(data, 1, bytes, file_);
  if (written != bytes) {
    // Keep the file a whole number of frames that the header describes.
    failed_ = true;
    std::fflush(file_);
    if (::ftruncate(::fileno(file_), 44 + static_cast<off_t>(dataBytes_)) != 0) return false;
    std::fseek(file_, 0, SEEK_END);
    return false;
  }
  dataBytes_ += bytes;
  return true;
}

bool WavRecordFile::Finish() {
  if (file_ == nullptr) return true;
  std::uint8_t size[4];
  bool ok = true;
  Put32(size, dataBytes_ + 36);
  ok &= std::fseek(file_, 4, SEEK_SET) == 0 && std::fwrite(size, 1, 4, file_) == 4;
  Put32(size, dataBytes_);
  ok &= std::fseek(file_, 40, SEEK_SET) == 0 && std::fwrite(size, 1, 4, file_) == 4;
  ok &= std::fclose(file_) == 0;
  file_ = nullptr;
  return ok && !failed_;
}

}  // namespace tonewarden
