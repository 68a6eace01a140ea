#include "core/wave_writer.h"

#include "core/wave_mmio.h"

namespace sonatra {

namespace {
constexpr std::uint64_t kLargestFile = 4294967295ULL;
}

WaveWriter::~WaveWriter() {
  if (file_ != nullptr) std::fclose(file_);
}

bool WaveWriter::Create(const std::string& path, std::int32_t rate, int bits, int channels) {
  path_ = path;
  if (!WriteWaveHeader(rate, bits, channels, path, 0)) return false;
  file_ = std::fopen(path.c_str(), "ab");
  if (file_ == nullptr) return false;
  std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
  size_ = 44;
  return true;
}

bool WaveWriter::Append(const void* bytes, std::size_t count) {
  if (file_ == nullptr) return false;
  if (size_ + count > kLargestFile) return false;
  if (std::fwrite(bytes, 1, count, file_) != count) return false;
  size_ += count;
  return true;
}

bool WaveWriter::Finish() {
  if (file_ == nullptr) return false;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed && FixWaveSizes(path_, 0) == 1;
}

}  // namespace sonatra
