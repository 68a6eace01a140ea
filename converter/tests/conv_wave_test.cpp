#include "core/c_conv_wave.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/basic.h"
#include "core/wave_mmio.h"
#include "temp_dir.h"
#include "wav_bytes.h"

namespace sonatra {
namespace {

using test::Bytes;
using test::TempDir;

// Ties to even on long double: the reference for the interpolating paths.
std::int64_t Rhe(long double v) { return std::llrint(v); }

struct Converted {
  std::int32_t result = 0;
  WaveInfo info;
  Bytes data;  // the data chunk
  std::vector<float> progress;
};

Converted Convert(const TempDir& dir, const Bytes& source, std::int32_t freq, std::int16_t bits,
                  std::int16_t channels, std::int32_t flags = 1) {
  const std::string in = dir.File("in.wav");
  const std::string out = dir.File("out.wav");
  test::WriteFile(in, source);
  C_ConvWave cw;
  Converted c;
  cw.SetProg([&](float rate, std::int32_t&) { c.progress.push_back(rate); });
  c.result = cw.ConvWave(in, out, freq, bits, channels, flags, 0);
  c.info = ReadWaveInfo(out);
  const Bytes all = test::ReadFile(out);
  if (all.size() >= 44) c.data.assign(all.begin() + 44, all.end());
  return c;
}

std::vector<std::int16_t> Stereo16(const std::vector<std::pair<int, int>>& frames) {
  std::vector<std::int16_t> v;
  for (auto [l, r] : frames) {
    v.push_back(static_cast<std::int16_t>(l));
    v.push_back(static_cast<std::int16_t>(r));
  }
  return v;
}

TEST(ConvWave, AveragesPairsFrom44100To22050) {
  TempDir dir;
  const std::vector<std::int16_t> in = {1, -1, 2, -2, 100, 7, 101, 8, -32768, 32767, -32768, 32767};
  const Converted c =
      Convert(dir, test::PcmWav(2, 44100, 16, test::Samples16(in)), 22050, 16, 2);
  ASSERT_EQ(c.result, 1);
  EXPECT_EQ(c.info.Valid, 1);
  EXPECT_EQ(c.info.SampleRate, 22050);
  EXPECT_EQ(c.info.Mode, kStereo16bit);
  // (256 + 512) / 2 = 384 -> 1; (-256 - 512) / 2 = -384 -> -1 (truncated);
  // (25600 + 25856) / 2 = 25728 -> 100; 7.5 * 256 -> 7; full scale stays clamped.
  EXPECT_EQ(test::Values16(c.data, 0),
            (std::vector<std::int16_t>{1, -1, 100, 7, -32767, 32767}));
  EXPECT_EQ(c.progress, std::vector<float>{1.0f});
}

TEST(ConvWave, InterpolatesLinearlyFrom48000To44100AndUpwards) {
  TempDir dir;
  std::vector<std::int16_t> in;
  for (int k = 0; k < 480; ++k) in.push_back(static_cast<std::int16_t>(std::lrint(20000 * std::sin(k * 0.37))));
  struct Case {
    std::int32_t from, to;
  };
  for (const Case rates : {Case{48000, 44100}, Case{22050, 44100}, Case{8000, 11025}}) {
    const Converted c = Convert(dir, test::PcmWav(1, rates.from, 16, test::Samples16(in)),
                                rates.to, 16, 1);
    ASSERT_EQ(c.result, 1);
    const double ratio = static_cast<double>(rates.from) / rates.to;
    const auto out = test::Values16(c.data, 0);
    ASSERT_EQ(out.size(), static_cast<std::size_t>(std::nearbyint(480 / ratio)));
    for (std::size_t i = 0; i < out.size(); ++i) {
      const double x = i * ratio;
      const auto i0 = static_cast<std::size_t>(x);
      const float w1 = static_cast<float>(x - i0);
      const float w0 = 1.0f - w1;
      const long double a = in[i0] * 256.0L;
      const long double b = i0 + 1 < in.size() ? in[i0 + 1] * 256.0L : 0.0L;
      const std::int64_t v = Rhe(b * w1 + a * w0);
      ASSERT_EQ(out[i], static_cast<std::int16_t>(v / 256)) << rates.from << " -> " << rates.to << " at " << i;
    }
  }
}

TEST(ConvWave, OneSecondAt44100Gives8000FramesAnd7SecondsSplitIntoTwoBlocks) {
  TempDir dir;
  // Each frame names its own index: left = index & 0x7FFF, right = index >> 15.
  const int frames = 7 * 44100;
  std::vector<std::int16_t> in;
  for (int k = 0; k < frames; ++k) {
    in.push_back(static_cast<std::int16_t>(k & 0x7FFF));
    in.push_back(static_cast<std::int16_t>(k >> 15));
  }
  Bytes bytes = test::Samples16(in);
  const Bytes oneSecond(bytes.begin(), bytes.begin() + 44100 * 4);
  Converted c = Convert(dir, test::PcmWav(2, 44100, 16, oneSecond), 8000, 16, 2, 0);
  ASSERT_EQ(c.result, 1);
  EXPECT_EQ(c.info.Frames, 8000);

  c = Convert(dir, test::PcmWav(2, 44100, 16, bytes), 8000, 16, 2, 0);
  ASSERT_EQ(c.result, 1);
  ASSERT_EQ(c.info.Frames, 40000 + 16000);
  ASSERT_EQ(c.progress.size(), 2u);
  EXPECT_FLOAT_EQ(c.progress[0], 5.0f / 7.0f);
  EXPECT_EQ(c.progress[1], 1.0f);
  const auto out = test::Values16(c.data, 0);
  const double ratio = 44100.0 / 8000.0;
  for (int j = 0; j < 56000; ++j) {
    const int block = j < 40000 ? 0 : 1;
    const int i = j - block * 40000;  // phase restarts at each block
    const int expected = block * 220500 + static_cast<int>(std::nearbyint(i * ratio));
    ASSERT_EQ(out[2 * j] + (out[2 * j + 1] << 15), expected) << j;
  }
}

TEST(ConvWave, NarrowingRules) {
  TempDir dir;
  // 24-bit mono source at the target rate: a pure width conversion.
  const std::vector<std::int32_t> samples = {-1, -65536, 8388607, -8388608, 65535, 0, 300};
  std::vector<std::uint8_t> packed;
  Pack24(samples, packed);
  const Bytes source = test::PcmWav(1, 8000, 24, Bytes(packed.begin(), packed.end()));

  Converted c = Convert(dir, source, 8000, 8, 1);
  ASSERT_EQ(c.result, 1);
  // odd byte count: one byte of silence closes the data chunk
  EXPECT_EQ(c.data, (Bytes{128, 127, 255, 0, 128, 128, 128, 128}));
  EXPECT_EQ(c.info.DataSize, 8);

  c = Convert(dir, source, 8000, 16, 1);
  ASSERT_EQ(c.result, 1);
  EXPECT_EQ(test::Values16(c.data, 0), (std::vector<std::int16_t>{0, -256, 32767, -32767, 255, 0, 1}));

  c = Convert(dir, source, 8000, 24, 1);
  ASSERT_EQ(c.result, 1);
  Bytes expected(packed.begin(), packed.end());
  expected.insert(expected.end(), {0, 0, 0});  // 21 bytes are odd: three zero bytes
  EXPECT_EQ(c.data, expected);
  EXPECT_EQ(c.info.Frames, 8);

  c = Convert(dir, source, 8000, 24, 2);  // stereo: no padding, mono duplicated
  ASSERT_EQ(c.result, 1);
  EXPECT_EQ(c.data.size(), 42u);

  // -32768 is written as -32767 even by a plain copy.
  const Bytes low = test::PcmWav(2, 8000, 16, test::Samples16({-32768, -32768, -32768, 5}));
  c = Convert(dir, low, 8000, 16, 2);
  EXPECT_EQ(test::Values16(c.data, 0), (std::vector<std::int16_t>{-32767, -32767, -32767, 5}));
}

TEST(ConvWave, MixesDownAndWidens) {
  TempDir dir;
  // Stereo to mono: (l + r) / 2 with ties to even on the 24-bit scale.
  Converted c = Convert(dir, test::PcmWav(2, 8000, 16, test::Samples16(Stereo16({{1, 2}, {-1, -2}, {3, 4}}))),
                        8000, 24, 1);
  std::vector<std::int32_t> out;
  Unpack24(c.data.data(), 3, out);
  EXPECT_EQ(out, (std::vector<std::int32_t>{384, -384, 896}));

  // 8-bit stereo to 16-bit mono; silence 128 widens to 0.
  c = Convert(dir, test::PcmWav(2, 8000, 8, Bytes{128, 128, 255, 255, 0, 0, 129, 127}), 8000, 16, 1);
  EXPECT_EQ(test::Values16(c.data, 0), (std::vector<std::int16_t>{0, 32512, -32767, 0}));

  // 5.1: centre and surrounds at -3 dB, LFE dropped, never clipping.
  const std::vector<std::int16_t> surround = {
      32767, 32767, 32767, 32767, 32767, 32767,  // all full scale
      10000, 0, 0, 32767, 0, 0,                  // left only (and LFE)
      0, 0, 0, 0, 0, -20000,                     // right surround only
  };
  c = Convert(dir, test::PcmWav(6, 48000, 16, test::Samples16(surround)), 48000, 16, 2);
  ASSERT_EQ(c.result, 1);
  const auto mixed = test::Values16(c.data, 0);
  ASSERT_EQ(mixed.size(), 6u);
  EXPECT_NEAR(mixed[0], 32767, 1);
  EXPECT_NEAR(mixed[1], 32767, 1);
  EXPECT_NEAR(mixed[2], 10000 / (1 + std::sqrt(2.0)), 1);
  EXPECT_EQ(mixed[3], 0);
  EXPECT_EQ(mixed[4], 0);
  EXPECT_NEAR(mixed[5], -20000 * std::sqrt(0.5) / (1 + std::sqrt(2.0)), 1);

  // 7.1 at full scale stays within range too.
  c = Convert(dir, test::PcmWav(8, 48000, 16, test::Samples16(std::vector<std::int16_t>(8, -32768))),
              48000, 16, 2);
  ASSERT_EQ(c.result, 1);
  EXPECT_EQ(test::Values16(c.data, 0), (std::vector<std::int16_t>{-32767, -32767}));
}

TEST(ConvWave, FramesPastTheEndOfAnEightBitSourceAreSilence) {
  TempDir dir;
  // The last output frame interpolates between the last sample and what
  // follows the data: silence (128), not the most negative 8-bit value (0).
  const Converted c = Convert(dir, test::PcmWav(1, 8000, 8, Bytes{192, 192, 192, 192}), 16000, 8, 1);
  ASSERT_EQ(c.result, 1);
  EXPECT_EQ(c.data, (Bytes{192, 192, 192, 192, 192, 192, 192, 160}));
}

TEST(ConvWave, CancelAfterFirstBlockLeavesNoTarget) {
  TempDir dir;
  const std::string in = dir.File("in.wav");
  const std::string out = dir.File("out.wav");
  test::WriteFile(in, test::PcmWav(1, 8000, 16, Bytes(12 * 8000 * 2, 0)));
  C_ConvWave cw;
  int calls = 0;
  cw.SetProg([&](float, std::int32_t& cancel) {
    ++calls;
    cancel = 1;
  });
  EXPECT_EQ(cw.ConvWave(in, out, 4000, 16, 1, 1, 0), 0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(cw.Canceled(), 1);
  EXPECT_FALSE(FileExists(out));
}

TEST(ConvWave, RefusalsTouchNothingOrDeleteTheNewTarget) {
  TempDir dir;
  const std::string in = dir.File("in.wav");
  const std::string out = dir.File("out.wav");
  C_ConvWave cw;

  // 2^32 - 16 data bytes announced: 1073741820 frames x 4 + 44 passes the limit.
  Bytes huge = test::PcmWav(2, 44100, 16, Bytes(16, 0));
  huge[40] = 0xF0;
  huge[41] = huge[42] = huge[43] = 0xFF;
  test::WriteFile(in, huge);
  EXPECT_EQ(cw.ConvWave(in, out, 22050, 16, 2, 1, 0), 0);
  EXPECT_FALSE(FileExists(out));

  struct Case {
    const char* name;
    Bytes source;
    std::int32_t freq;
    std::int16_t bits, channels;
  };
  const Case cases[] = {
      {"no data chunk", test::Riff({test::Chunk("fmt ", test::FmtBody(1, 2, 44100, 16))}), 22050, 16, 2},
      {"empty data", test::PcmWav(2, 44100, 16, {}), 22050, 16, 2},
      {"float source", test::Riff({test::Chunk("fmt ", test::FmtBody(3, 2, 44100, 32)),
                                   test::Chunk("data", Bytes(64))}), 22050, 16, 2},
      {"mu-law source", test::Riff({test::Chunk("fmt ", test::FmtBody(7, 1, 8000, 8)),
                                    test::Chunk("data", Bytes(64))}), 8000, 16, 1},
      {"rate 0", test::PcmWav(2, 44100, 16, Bytes(64)), 0, 16, 2},
      {"12-bit target", test::PcmWav(2, 44100, 16, Bytes(64)), 22050, 12, 2},
      {"6-channel target", test::PcmWav(2, 44100, 16, Bytes(64)), 22050, 16, 6},
  };
  for (const Case& c : cases) {
    test::WriteFile(in, c.source);
    EXPECT_EQ(cw.ConvWave(in, out, c.freq, c.bits, c.channels, 1, 0), 0) << c.name;
    EXPECT_FALSE(FileExists(out)) << c.name;
  }
  EXPECT_EQ(cw.ConvWave(dir.File("missing.wav"), out, 22050, 16, 2, 1, 0), 0);
  EXPECT_FALSE(FileExists(out));
}

TEST(ConvWave, AppendsToAnExistingTargetWhenAsked) {
  TempDir dir;
  const std::string in = dir.File("in.wav");
  const std::string out = dir.File("out.wav");
  test::WriteFile(in, test::PcmWav(1, 8000, 16, test::Samples16({1, 2, 3, 4})));
  C_ConvWave cw;
  ASSERT_EQ(cw.ConvWave(in, out, 8000, 16, 1, 1, 0), 1);
  ASSERT_EQ(cw.ConvWave(in, out, 8000, 16, 1, 1, 1), 1);
  const WaveInfo info = ReadWaveInfo(out);
  EXPECT_EQ(info.Frames, 8);
  EXPECT_EQ(test::Values16(test::ReadFile(out)), (std::vector<std::int16_t>{1, 2, 3, 4, 1, 2, 3, 4}));
}

TEST(NeedConv, ComparesRateAndLayout) {
  TempDir dir;
  const std::string path = dir.File("n.wav");
  test::WriteFile(path, test::PcmWav(2, 44100, 16, Bytes(8)));
  EXPECT_EQ(C_ConvWave::NeedConv(path, 44100, 16, 2, 0), 0);
  EXPECT_EQ(C_ConvWave::NeedConv(path, 48000, 16, 2, 0), 1);
  EXPECT_EQ(C_ConvWave::NeedConv(path, 44100, 8, 2, 0), 1);
  EXPECT_EQ(C_ConvWave::NeedConv(path, 44100, 0, 0, kStereo16bit), 0);
  EXPECT_EQ(C_ConvWave::NeedConv(path, 44100, 0, 0, kMono16bit), 1);
  EXPECT_EQ(C_ConvWave::NeedConv(dir.File("none.wav"), 44100, 16, 2, 0), -1);
}

}  // namespace
}  // namespace sonatra
