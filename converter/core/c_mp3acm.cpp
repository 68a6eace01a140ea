#include "core/c_mp3acm.h"

#include <algorithm>

#include "core/basic.h"
#include "core/lame_stream.h"
#include "core/wave_mmio.h"

namespace sonatra {

namespace {
constexpr std::int64_t kBlockFrames = 442368;  // 384 MP3 frames of 1152 samples
}

const std::vector<int>& C_mp3acm::CandidateBitRates() {
  static const std::vector<int> rates = {320, 256, 224, 192, 160, 128, 112, 96,
                                         80,  64,  56,  48,  40,  32,  24};
  return rates;
}

std::vector<int> C_mp3acm::BitRatesFor(std::int32_t pFreq, std::int32_t pMode) {
  std::vector<int> accepted;
  if (pMode != kMono16bit && pMode != kStereo16bit) return accepted;
  const int channels = pMode == kMono16bit ? 1 : 2;
  for (const int kbps : CandidateBitRates()) {
    LameStream probe;
    if (probe.Open(pFreq, channels, kbps)) accepted.push_back(kbps);
  }
  return accepted;
}

int C_mp3acm::SelectedIndex(const std::vector<int>& rates, int pDefault) {
  const auto it = std::find(rates.begin(), rates.end(), pDefault);
  if (it != rates.end()) return static_cast<int>(it - rates.begin());
  return rates.empty() ? -1 : 0;
}

std::int32_t C_mp3acm::EncFromWavfile(const std::string& pSourceFN, const std::string& pTargetFN,
                                      std::int32_t pBitrate) {
  canceled_ = 0;
  const WaveInfo info = ReadWaveInfo(pSourceFN);
  if (!info.Valid || info.FormatTag != 1 || info.Bits != 16 || info.Channels > 2) return 0;
  LameStream stream;
  if (!stream.Open(info.SampleRate, info.Channels, pBitrate)) return 0;
  if (!DeleteFileIfAny(pTargetFN) || !WriteAt("", 0, pTargetFN, 0)) return 0;

  bool ok = true;
  const std::int64_t frames = info.Frames;
  std::vector<std::int16_t> samples;
  std::vector<std::uint8_t> mp3;
  for (std::int64_t f = 1; f <= frames && ok; ) {
    std::int32_t cancel = 0;
    if (encProg_) encProg_(static_cast<float>(static_cast<double>(f) / frames), cancel);
    if (cancel != 0) canceled_ = 1;

    const std::int64_t block = std::min(frames - f + 1, kBlockFrames);
    samples.assign(static_cast<std::size_t>(block * info.Channels), 0);
    mp3.clear();
    ok = ReadAt(samples.data(), static_cast<std::uint64_t>(block * info.BlockAlign), pSourceFN,
                static_cast<std::uint64_t>(info.DataOffset) +
                    static_cast<std::uint64_t>(f - 1) * info.BlockAlign) == 1 &&
         stream.Encode(samples.data(), static_cast<int>(block), mp3) &&
         (mp3.empty() || WriteAt(mp3.data(), mp3.size(), pTargetFN, kAtEnd) == 1);
    f += block;
    if (canceled_ != 0) ok = false;
  }
  if (ok) {
    // LAME holds up to a frame and a half of sound: without this the end is lost.
    mp3.clear();
    ok = stream.Flush(mp3) && (mp3.empty() || WriteAt(mp3.data(), mp3.size(), pTargetFN, kAtEnd) == 1);
  }
  stream.Close();
  if (!ok) {
    DeleteFileIfAny(pTargetFN);
    return 0;
  }
  return 1;
}

}  // namespace sonatra
