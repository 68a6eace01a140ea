#include "core/c_mp3acm.h"

#include <gtest/gtest.h>

#include "core/basic.h"
#include "core/fct_mpeg.h"
#include "core/wave_mmio.h"
#include "media_maker.h"
#include "temp_dir.h"

namespace sonatra {
namespace {

using test::Quote;
using test::Shell;
using test::TempDir;

TEST(Mp3BitRates, WhatLameTakesUnchanged) {
  const std::vector<int> all = C_mp3acm::CandidateBitRates();
  const std::vector<int> mpeg1(all.begin(), all.end() - 1);  // 320 .. 32
  const std::vector<int> mpeg2(all.begin() + 4, all.end());  // 160 .. 24 (8 and 16 are no candidates)
  struct Case {
    std::int32_t rate, mode;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {44100, kStereo16bit, mpeg1}, {48000, kMono16bit, mpeg1}, {32000, kStereo16bit, mpeg1},
      {22050, kStereo16bit, mpeg2}, {16000, kMono16bit, mpeg2}, {24000, kStereo16bit, mpeg2},
      {44100, kMono24bit, {}},      {44100, kStereo8bit, {}},   {96000, kStereo16bit, {}},
      {44000, kStereo16bit, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(C_mp3acm::BitRatesFor(c.rate, c.mode), c.expected) << c.rate << " mode " << c.mode;

  const auto at48k = C_mp3acm::BitRatesFor(48000, kStereo16bit);
  EXPECT_EQ(C_mp3acm::SelectedIndex(at48k, 24), 0);  // not taken: the highest
  EXPECT_EQ(at48k[static_cast<std::size_t>(C_mp3acm::SelectedIndex(at48k, 128))], 128);
  EXPECT_EQ(C_mp3acm::SelectedIndex({}, 128), -1);
}

class Mp3EncodeTest : public ::testing::Test {
 protected:
  TempDir dir_;
};

TEST_F(Mp3EncodeTest, EncodedFileDecodesToTheSourceLength) {
  struct Case {
    int rate, channels, kbps;
    double seconds;
  };
  // 11 s at 44.1 kHz crosses the block of 442368 frames.
  for (const Case c : {Case{44100, 2, 128, 11.0}, Case{22050, 1, 64, 1.3}, Case{48000, 2, 320, 0.5}}) {
    SCOPED_TRACE(std::to_string(c.rate) + " Hz " + std::to_string(c.channels) + " ch");
    const std::string wav = dir_.File("in.wav");
    const std::string mp3 = dir_.File("out.mp3");
    ASSERT_TRUE(test::MakeTone(wav, c.seconds, c.rate, c.channels));
    C_mp3acm enc;
    std::vector<float> progress;
    enc.SetEncProg([&](float rate, std::int32_t&) { progress.push_back(rate); });
    ASSERT_EQ(enc.EncFromWavfile(wav, mp3, c.kbps), 1);
    const std::int32_t frames = ReadWaveInfo(wav).Frames;
    ASSERT_EQ(progress.size(), static_cast<std::size_t>((frames + 442367) / 442368));
    EXPECT_FLOAT_EQ(progress[0], 1.0f / frames);

    MpegInfo info;
    ASSERT_EQ(ReadMpegInfo(mp3, info), 1);
    EXPECT_EQ(info.SampleRate, c.rate);
    EXPECT_EQ(info.BitRate, c.kbps);
    EXPECT_EQ(info.Channels, c.channels);
    EXPECT_EQ(info.IsVbr, 0);
    EXPECT_EQ(info.FirstFrame, 1);  // raw frames, no tag in front

    const std::string back = dir_.File("back.wav");
    ASSERT_TRUE(Shell("ffmpeg -y -i " + Quote(mp3) + " -c:a pcm_s16le " + Quote(back)));
    const WaveInfo decoded = ReadWaveInfo(back);
    // Raw frames carry the encoder's delay of 576 samples; after that the
    // whole source must be there (the final flush), with less than one frame more.
    const int frameSamples = c.rate >= 32000 ? 1152 : 576;
    EXPECT_GE(decoded.Frames, frames + 576);
    EXPECT_LT(decoded.Frames, frames + 576 + frameSamples + 1152);
    EXPECT_NEAR(test::Rms(back), test::Rms(wav), test::Rms(wav) * 0.1);
  }
}

TEST_F(Mp3EncodeTest, RefusalsAndCancelLeaveNoTarget) {
  const std::string mp3 = dir_.File("out.mp3");
  const std::string wav16 = dir_.File("s16.wav");
  ASSERT_TRUE(test::MakeTone(wav16, 12.0));
  C_mp3acm enc;

  int calls = 0;
  enc.SetEncProg([&](float, std::int32_t& cancel) {
    if (++calls == 2) cancel = 1;
  });
  EXPECT_EQ(enc.EncFromWavfile(wav16, mp3, 128), 0);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(FileExists(mp3));
  enc.SetEncProg(nullptr);

  const std::string wav24 = dir_.File("s24.wav");
  const std::string wavOddRate = dir_.File("odd.wav");
  ASSERT_TRUE(test::MakeTone(wav24, 0.2, 44100, 2, 24));
  ASSERT_TRUE(test::MakeTone(wavOddRate, 0.2, 44000, 2, 16));
  struct Case {
    std::string source;
    int kbps;
  };
  for (const Case& c : {Case{wav24, 128}, Case{wavOddRate, 128}, Case{wav16, 24},
                        Case{wav16, 100}, Case{dir_.File("missing.wav"), 128}}) {
    test::WriteFile(mp3, test::Bytes{1, 2, 3});
    EXPECT_EQ(enc.EncFromWavfile(c.source, mp3, c.kbps), 0) << c.source << " " << c.kbps;
  }
}

}  // namespace
}  // namespace sonatra
