#include "core/wave_mmio.h"

#include <cstring>

#include "core/basic.h"
#include "core/basic_path.h"
#include "core/round_half_even.h"

namespace sonatra {

namespace {

struct ModeEntry {
  const char* name;
  int channels;
  int bits;
};

constexpr ModeEntry kModes[] = {
    {"Mono8bit", 1, 8},
    {"Stereo8bit", 2, 8},
    {"Mono16bit", 1, 16},
    {"Stereo16bit", 2, 16},
    {"Mono24bit", 1, 24},
    {"Stereo24bit", 2, 24},
    {"Surround 5.1 16bit", 6, 16},
    {"Surround 7.1 16bit", 8, 16},
    {"Surround 5.1 24bit", 6, 24},
    {"Surround 7.1 24bit", 8, 24},
};

std::uint32_t Le32(const std::uint8_t* b) {
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* b) { return static_cast<std::uint16_t>(b[0] | (b[1] << 8)); }
void Put32(std::uint8_t* b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(std::uint8_t* b, std::uint16_t v) {
  b[0] = static_cast<std::uint8_t>(v);
  b[1] = static_cast<std::uint8_t>(v >> 8);
}

// The chunk walk shared by ReadWaveInfo and FindChunk. `visit` gets each
// chunk's position and id and returns false to stop the walk.
template <typename Visit>
void WalkChunks(const std::string& path, std::uint64_t fileSize, Visit visit) {
  std::uint64_t o = 12;
  for (;;) {
    if (fileSize < o + 4) return;
    char id[4] = {};
    if (!ReadAt(id, 4, path, o)) return;
    if (!visit(o, id)) return;
    if (fileSize < o + 8) return;
    std::uint8_t sizeBytes[4] = {};
    if (!ReadAt(sizeBytes, 4, path, o + 4)) return;
    const std::uint64_t size = Le32(sizeBytes);
    o += 8 + size + (size & 1);
  }
}

}  // namespace

WaveInfo ReadWaveInfo(const std::string& path) {
  WaveInfo info;
  char probe = 0;
  if (!ReadAt(&probe, 0, path, 0)) return info;  // cannot be opened for reading
  const std::uint64_t fileSize = FileSize64(path);

  bool haveFmt = false;
  bool haveData = false;
  WalkChunks(path, fileSize, [&](std::uint64_t o, const char* id) {
    if (std::memcmp(id, "fmt ", 4) == 0) {
      if (fileSize < o + 8) return false;
      std::uint8_t fmt[16] = {};
      if (!ReadAt(fmt, 16, path, o + 8)) return false;
      info.FormatTag = Le16(fmt);
      info.Channels = static_cast<std::int16_t>(Le16(fmt + 2));
      info.SampleRate = static_cast<std::int32_t>(Le32(fmt + 4));
      info.Bits = static_cast<std::int16_t>(Le16(fmt + 14));
      info.BlockAlign = static_cast<std::int32_t>(
          RoundHalfEven(static_cast<double>(info.Channels) * info.Bits / 8.0));
      info.Mode = WaveModeOf(info.Channels, info.Bits);
      const bool known =
          WaveModeChannels(info.Mode) == info.Channels && WaveModeBits(info.Mode) == info.Bits;
      if (!known) {
        info.Mode = 0;
        return false;  // no layout: the record stays invalid
      }
      haveFmt = true;
    } else if (std::memcmp(id, "data", 4) == 0) {
      info.DataOffset = static_cast<std::int32_t>(o + 8);
      if (fileSize < o + 4) return false;
      std::uint8_t sizeBytes[4] = {};
      if (!ReadAt(sizeBytes, 4, path, o + 4)) return false;
      info.DataSize = Le32(sizeBytes);
      haveData = true;
    }
    if (haveFmt && haveData) {
      const double bytesPerFrame = static_cast<double>(info.Bits) * info.Channels / 8.0;
      const double frames = static_cast<double>(info.DataSize) / bytesPerFrame;
      info.Frames = frames > 2147483647.0 ? 2147483647 : static_cast<std::int32_t>(frames);
      // A rate of 0 would divide by zero; such a file has no playing length.
      info.DurationMs =
          info.SampleRate > 0
              ? static_cast<std::int32_t>(RoundHalfEven(
                    static_cast<double>(info.Frames) / info.SampleRate * 1000.0))
              : 0;
      info.FileSize = static_cast<std::int64_t>(fileSize);
      info.Valid = 1;
      return false;
    }
    return true;
  });
  return info;
}

int WriteWaveHeader(std::int32_t rate, int bits, int channels, const std::string& path,
                    std::uint32_t dataSize) {
  if (!DeleteFileIfAny(path)) return 0;
  const int blockAlign = (bits * channels) / 8;
  std::uint8_t head[36] = {};
  std::memcpy(head, "RIFF", 4);
  Put32(head + 4, dataSize + 36);
  std::memcpy(head + 8, "WAVE", 4);
  std::memcpy(head + 12, "fmt ", 4);
  Put32(head + 16, 16);
  Put16(head + 20, 1);
  Put16(head + 22, static_cast<std::uint16_t>(channels));
  Put32(head + 24, static_cast<std::uint32_t>(rate));
  Put32(head + 28, static_cast<std::uint32_t>(rate) * static_cast<std::uint32_t>(blockAlign));
  Put16(head + 32, static_cast<std::uint16_t>(blockAlign));
  Put16(head + 34, static_cast<std::uint16_t>(bits));
  if (!WriteAt(head, sizeof head, path, 0)) return 0;
  std::uint8_t data[8] = {'d', 'a', 't', 'a'};
  Put32(data + 4, dataSize);
  return WriteAt(data, sizeof data, path, kAtEnd) ? 1 : 0;
}

namespace {

std::uint32_t Clamp32(std::int64_t value) {
  if (value < 0) return 0;
  if (value > 4294967295LL) return 4294967295U;
  return static_cast<std::uint32_t>(value);
}

}  // namespace

int FixWaveSizes(const std::string& path, std::int64_t trailingBytes) {
  const std::uint64_t size = FileSize64(path);
  if (size < 44 || size > 4294967295ULL) return 0;
  std::uint8_t bytes[4];
  Put32(bytes, Clamp32(static_cast<std::int64_t>(size) - 8));
  if (!WriteAt(bytes, 4, path, 4)) return 0;
  const std::int64_t o = FindChunk(path, "data");
  if (o == kChunkNotFound || o < 36) return 0;
  Put32(bytes, Clamp32(static_cast<std::int64_t>(size) - o - 8 - trailingBytes));
  return WriteAt(bytes, 4, path, static_cast<std::uint64_t>(o) + 4) ? 1 : 0;
}

std::int64_t FindChunk(const std::string& path, const char id[4]) {
  std::int64_t found = kChunkNotFound;
  WalkChunks(path, FileSize64(path), [&](std::uint64_t o, const char* chunk) {
    if (std::memcmp(chunk, id, 4) == 0) {
      found = static_cast<std::int64_t>(o);
      return false;
    }
    return true;
  });
  return found;
}

void Unpack24(const std::uint8_t* bytes, std::size_t count, std::vector<std::int32_t>& out) {
  if (out.size() != count) out.resize(count);
  for (std::size_t i = 0; i < count; ++i) out[i] = Unpack24One(bytes + 3 * i);
}

void Unpack24(const std::uint8_t* bytes, std::size_t frames,
              std::vector<std::pair<std::int32_t, std::int32_t>>& out) {
  if (out.size() != frames) out.resize(frames);
  for (std::size_t i = 0; i < frames; ++i)
    out[i] = {Unpack24One(bytes + 6 * i), Unpack24One(bytes + 6 * i + 3)};
}

void Pack24(const std::vector<std::int32_t>& in, std::vector<std::uint8_t>& out) {
  if (out.size() != in.size() * 3) out.resize(in.size() * 3);
  for (std::size_t i = 0; i < in.size(); ++i) Pack24One(in[i], out.data() + 3 * i);
}

void Pack24(const std::vector<std::pair<std::int32_t, std::int32_t>>& in,
            std::vector<std::uint8_t>& out) {
  if (out.size() != in.size() * 6) out.resize(in.size() * 6);
  for (std::size_t i = 0; i < in.size(); ++i) {
    Pack24One(in[i].first, out.data() + 6 * i);
    Pack24One(in[i].second, out.data() + 6 * i + 3);
  }
}

std::int32_t WaveModeOf(int channels, int bits) {
  for (std::int32_t mode = 0; mode < 10; ++mode)
    if (kModes[mode].channels == channels && kModes[mode].bits == bits) return mode;
  return 0;
}

std::string WaveModeName(std::int32_t mode) {
  return mode >= 0 && mode < 10 ? kModes[mode].name : "";
}

int WaveModeChannels(std::int32_t mode) { return mode >= 0 && mode < 10 ? kModes[mode].channels : 0; }
int WaveModeBits(std::int32_t mode) { return mode >= 0 && mode < 10 ? kModes[mode].bits : 0; }

std::string AudioTypeOf(const std::string& path) {
  switch (ReadWaveInfo(path).FormatTag) {
    case 1: return "wav";
    case 0x50: return "mp2";
    case 0x55: return "mp3";
    case 0x160:
    case 0x161: return "wmariff";
    default: return SplitPath(path, kExtension | kLower);
  }
}

}  // namespace sonatra
