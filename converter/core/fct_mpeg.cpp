#include "core/fct_mpeg.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "core/basic.h"
#include "core/round_half_even.h"

namespace sonatra {

namespace {

// Bit rates in kbit/s for indices 1 to 14.
constexpr int kMpeg1Rates[3][14] = {
    {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // Layer I
    {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // Layer II
    {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // Layer III
};
constexpr int kMpeg2Rates[2][14] = {
    {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},  // Layer I
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},       // Layers II and III
};
const char* const kModeLong[4] = {"Stereo", "JointStereo", "DualChannel", "Mono"};
const char* const kModeShort[4] = {"ST", "JS", "DC", "Mono"};

std::uint32_t Be32(const std::uint8_t* b) {
  return (std::uint32_t{b[0]} << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
}

bool EndsWithMp3(const std::string& path) {
  if (path.size() < 3) return false;
  std::string tail = path.substr(path.size() - 3);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == "mp3";
}

// 44.1, 48, 22.05: the rate in kHz without trailing zeros.
std::string Khz(int rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", rate / 1000.0);
  std::string s = text;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

// Offset of the "Xing" header behind the side information of a Layer III frame.
int XingOffset(std::uint8_t byte1, std::uint8_t byte3) {
  const bool lsf = (byte1 & 8) == 0;
  const bool mono = (byte3 & 0xC0) == 0xC0;
  if (!lsf) return mono ? 21 : 36;
  return mono ? 13 : 21;
}

}  // namespace

std::string ByteToBits(std::uint8_t value) {
  std::string bits;
  for (int i = 7; i >= 0; --i) bits += (value >> i) & 1 ? '1' : '0';
  return bits;
}

std::uint32_t BitsToNumber(const std::string& bits) {
  std::uint32_t n = 0;
  for (char c : bits) n = n * 2 + (c == '1' ? 1 : 0);
  return n;
}

std::int32_t ReadMpegInfo(const std::string& path, MpegInfo& info) {
  info = MpegInfo{};
  const std::uint64_t fileSize = FileSize64(path);
  if (fileSize <= 47 || fileSize > 2147483647ULL) return 0;
  info.FileSize = static_cast<std::int32_t>(fileSize);
  std::uint8_t head[48] = {};
  if (!ReadAt(head, 48, path, 0)) return 0;

  const bool mp3Name = EndsWithMp3(path);
  auto pairOk = [&](std::uint8_t b0, std::uint8_t b1) {
    return b0 == 0xFF && b1 >= 0xF0 && !(mp3Name && b1 == 0xFF);
  };

  std::uint64_t start = 0;
  std::optional<std::int64_t> frame;
  std::optional<std::uint8_t> second;
  if (std::memcmp(head, "TAG", 3) == 0) {
    start = 128;
  } else if (std::memcmp(head, "ID3", 3) == 0) {
    std::string bits;
    for (int i = 6; i < 10; ++i) bits += ByteToBits(head[i]).substr(1);  // synchsafe: 7 bits each
    start = BitsToNumber(bits) + 10;
  } else {
    if (std::memcmp(head + 36, "Xing", 4) == 0) {
      info.IsVbr = 1;
      info.VbrFrames = static_cast<std::int32_t>(Be32(head + 44));
    }
    if (pairOk(head[0], head[1]) && head[2] != 0xFF) {
      frame = 0;
    } else if (pairOk(head[0], head[1])) {
      second = head[1];
    }
  }

  // Search in windows of 1000 bytes (plus two to see a candidate's third byte).
  for (std::uint64_t window = start; !frame; window += 1000) {
    if (window >= fileSize) return 0;
    std::uint8_t bytes[1002] = {};
    if (!ReadAt(bytes, sizeof bytes, path, window)) return 0;
    for (int i = 0; i < 1000 && !frame; ++i) {
      if (!pairOk(bytes[i], bytes[i + 1])) continue;
      if (second && bytes[i + 1] != *second) continue;
      if (bytes[i + 2] == 0xFF) {
        if (!second) second = bytes[i + 1];
        continue;
      }
      frame = static_cast<std::int64_t>(window) + i;
    }
  }

  std::uint8_t at[48] = {};
  if (!ReadAt(at, 48, path, static_cast<std::uint64_t>(*frame))) return 0;
  if (!info.IsVbr) {
    // Offset 36 (MPEG-1 stereo), and the side-information size of this
    // header, so that mono and MPEG-2 VBR files are recognised too.
    for (const int offset : {36, XingOffset(at[1], at[3])}) {
      if (std::memcmp(at + offset, "Xing", 4) == 0) {
        info.IsVbr = 1;
        info.VbrFrames = static_cast<std::int32_t>(Be32(at + offset + 8));
        break;
      }
    }
  }
  std::memcpy(info.Header, at + 1, 3);
  info.FirstFrame = static_cast<std::int32_t>(*frame + 1);

  const std::uint64_t tailSize = fileSize < 1024 ? fileSize : 1024;
  std::vector<std::uint8_t> tail(tailSize);
  std::int64_t tagAt = -1;
  if (ReadAt(tail.data(), tailSize, path, fileSize - tailSize)) {
    for (std::uint64_t i = 0; i + 3 <= tailSize; ++i) {
      if (std::memcmp(tail.data() + i, "TAG", 3) == 0) {
        tagAt = static_cast<std::int64_t>(fileSize - tailSize + i);
        break;
      }
    }
  }
  std::int64_t audioBytes = tagAt >= 0 ? tagAt - (info.FirstFrame - 1) : 0;
  if (tagAt < 0 || audioBytes <= 3) audioBytes = info.FileSize - info.FirstFrame + 1;
  info.AudioBytes = static_cast<std::int32_t>(audioBytes);
  info.AudioEnd = info.AudioBytes + info.FirstFrame - 1;

  const std::uint8_t b1 = info.Header[0];
  const std::uint8_t b2 = info.Header[1];
  const std::uint8_t b3 = info.Header[2];
  switch (b1 & 6) {
    case 6: info.Layer = 1; break;
    case 4: info.Layer = 2; break;
    case 2: info.Layer = 3; break;
    default: return 0;
  }
  info.IsLsf = (b1 & 8) == 0 ? 1 : 0;
  const int rateIndex = b2 >> 4;
  if (rateIndex == 0 || rateIndex == 15) return 0;
  info.BitRate = info.IsLsf ? kMpeg2Rates[info.Layer == 1 ? 0 : 1][rateIndex - 1]
                            : kMpeg1Rates[info.Layer - 1][rateIndex - 1];
  switch (b2 & 0x0C) {
    case 0x00: info.SampleRate = info.IsLsf ? 22050 : 44100; break;
    case 0x04: info.SampleRate = info.IsLsf ? 24000 : 48000; break;
    case 0x08: info.SampleRate = info.IsLsf ? 16000 : 32000; break;
    default: return 0;
  }
  info.ChannelMode = (b3 & 0xC0) >> 6;
  info.Channels = info.ChannelMode == 3 ? 1 : 2;

  std::string marker;
  if (info.IsVbr && info.VbrFrames > 0) {
    // Samples per frame: 384 for Layer I, 576 for MPEG-2 Layer III, else 1152.
    const int samples = info.Layer == 1 ? 384 : (info.Layer == 3 && info.IsLsf ? 576 : 1152);
    info.DurationMs = static_cast<std::int32_t>(
        RoundHalfEven(static_cast<double>(info.VbrFrames) * samples / (info.SampleRate / 1000.0)));
    if (info.DurationMs > 0)
      info.BitRate = static_cast<std::int32_t>(
          RoundHalfEven(static_cast<double>(info.AudioBytes) * 8.0 / info.DurationMs));
    marker = "[VBR]";
  } else {
    info.DurationMs = static_cast<std::int32_t>(
        RoundHalfEven(static_cast<double>(info.AudioBytes) / (info.BitRate / 8.0)));
  }

  const std::string layer = std::to_string(info.Layer);
  info.LongText = "mp" + layer + "(" + std::to_string(info.SampleRate) + "Hz/" +
                  std::to_string(info.BitRate) + "kbps" + marker + "/" +
                  kModeLong[info.ChannelMode] + ")";
  info.ShortText = "mp" + layer + "(" + Khz(info.SampleRate) + "kHz/" +
                   std::to_string(info.BitRate) + "kb" + "/" + kModeShort[info.ChannelMode] + ")";
  return 1;
}

}  // namespace sonatra
