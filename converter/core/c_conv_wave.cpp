#include "core/c_conv_wave.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/basic.h"
#include "core/round_half_even.h"
#include "core/sample_block.h"
#include "core/wave_mmio.h"

namespace sonatra {

namespace {

constexpr std::int64_t kScale = 10000;  // the frame counts keep four decimals
constexpr std::int64_t kLookahead = 100;
constexpr std::int64_t kSpare = 201;
constexpr std::int32_t kWaveFormatPcm = 1;
constexpr std::int32_t kWaveFormatExtensible = 0xFFFE;

bool IsTargetLayout(int bits, int channels) {
  return (bits == 8 || bits == 16 || bits == 24) && (channels == 1 || channels == 2);
}

}  // namespace

std::int32_t C_ConvWave::ConvWave(const std::string& pSourceFN, const std::string& pTargetFN,
                                  std::int32_t pFreq, std::int16_t pBit, std::int16_t pCh,
                                  std::int32_t pFlg, std::int32_t HeadderExists) {
  canceled_ = 0;
  const WaveInfo src = ReadWaveInfo(pSourceFN);
  if (!src.Valid || src.DataOffset <= 0 || src.DataSize <= 0) return 0;
  // Samples of another coding (A-law, mu-law) would be read as PCM; a rate of
  // 0 on either side cannot be resampled; a layout outside the six target
  // modes would be written under a header that does not describe it.
  if (src.FormatTag != kWaveFormatPcm && src.FormatTag != kWaveFormatExtensible) return 0;
  if (src.SampleRate <= 0 || pFreq <= 0 || !IsTargetLayout(pBit, pCh)) return 0;

  const int srcBytesPerFrame = src.BlockAlign;
  const int dstBytesPerFrame = (pBit / 8) * pCh;
  const std::uint8_t silence = src.Bits == 8 ? 128 : 0;

  if (HeadderExists == 0 && !WriteWaveHeader(pFreq, pBit, pCh, pTargetFN, 0)) {
    DeleteFileIfAny(pTargetFN);
    return 0;
  }
  const std::uint64_t headerBytes = FileSize64(pTargetFN) & 0xFFFFFFFFULL;
  if (static_cast<std::uint64_t>(src.Frames) * static_cast<std::uint64_t>(dstBytesPerFrame) +
          headerBytes >
      4294967195ULL) {
    if (HeadderExists == 0) DeleteFileIfAny(pTargetFN);
    return 0;
  }

  const double ratio = static_cast<double>(src.SampleRate) / pFreq;
  const int extraTaps = pFreq < src.SampleRate ? static_cast<int>(ratio) - 1 : 0;
  Resampler kind = Resampler::kNearest;
  if ((pFlg & 1) && pFreq > src.SampleRate) kind = Resampler::kInterpolate;
  if ((pFlg & 1) && pFreq < src.SampleRate) kind = Resampler::kAverage;

  const std::int64_t total =
      RoundHalfEven(static_cast<double>(src.DataSize) * kScale / srcBytesPerFrame);
  std::int64_t processed = 0;
  std::uint64_t written = 0;
  const std::int64_t blockFrames = 5 * static_cast<std::int64_t>(src.SampleRate);

  std::vector<std::uint8_t> sourceBytes;
  std::vector<StereoFrame> wide;
  std::vector<StereoFrame> resampled;
  std::vector<std::uint8_t> targetBytes;

  while (processed < total) {
    const std::int64_t remaining = total - processed;
    std::int64_t n = 0;
    std::int64_t lookahead = 0;
    if (remaining <= blockFrames * kScale) {
      n = RoundHalfEven(static_cast<double>(remaining) / kScale);
    } else {
      n = blockFrames;
      lookahead = remaining <= (n + kLookahead) * kScale
                      ? RoundHalfEven(static_cast<double>(remaining - n * kScale) / kScale)
                      : kLookahead;
    }
    const std::int64_t o = RoundHalfEven(static_cast<double>(n) / ratio);
    if (o == 0) break;

    // Large ratios reach further than the spare frames; those frames are silence too.
    const std::int64_t frames =
        std::max(n + kSpare, LastSourceIndex(o, ratio, extraTaps, kind) + 1);
    sourceBytes.assign(static_cast<std::size_t>(frames * srcBytesPerFrame), silence);
    const std::uint64_t at = static_cast<std::uint64_t>(src.DataOffset) +
                             static_cast<std::uint64_t>(processed / kScale) * srcBytesPerFrame;
    (void)ReadAt(sourceBytes.data(), static_cast<std::uint64_t>((n + lookahead) * srcBytesPerFrame),
                 pSourceFN, at);
    // A short or failed read leaves the silence the buffer was filled with.
    WidenBlock(sourceBytes.data(), frames, src.Channels, src.Bits, wide);
    ResampleBlock(wide, o, ratio, extraTaps, kind, resampled);
    NarrowBlock(resampled, pCh, pBit, targetBytes);

    (void)WriteAt(targetBytes.data(), targetBytes.size(), pTargetFN, kAtEnd);
    written += targetBytes.size();
    processed += n * kScale;

    std::int32_t cancel = 0;
    if (prog_) prog_(static_cast<float>(static_cast<double>(processed) / total), cancel);
    if (cancel != 0) canceled_ = 1;
    if (canceled_ != 0) break;
  }

  if (canceled_ != 0) {
    DeleteFileIfAny(pTargetFN);
    return 0;
  }
  if ((written & 1) && pCh == 1) {
    const std::uint8_t pad[3] = {static_cast<std::uint8_t>(pBit == 8 ? 128 : 0), 0, 0};
    (void)WriteAt(pad, static_cast<std::uint64_t>(pBit / 8), pTargetFN, kAtEnd);
  }
  (void)FixWaveSizes(pTargetFN, 0);
  return 1;
}

std::int32_t C_ConvWave::NeedConv(const std::string& pFilename, std::int32_t pFreq,
                                  std::int16_t pBit, std::int16_t pCh, std::int32_t pWaveMode) {
  const WaveInfo info = ReadWaveInfo(pFilename);
  if (!info.Valid || info.DataOffset < 0 || info.DataSize < 0) return -1;
  if (info.SampleRate != pFreq) return 1;
  if (pBit == 0 && pCh == 0) return info.Mode != pWaveMode ? 1 : 0;
  return info.Bits == pBit && info.Channels == pCh ? 0 : 1;
}

}  // namespace sonatra
