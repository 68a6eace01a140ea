#include "core/ffmpeg_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "media_maker.h"
#include "temp_dir.h"

namespace tonewarden {
namespace {

using test::Quote;
using test::Shell;

std::vector<std::int16_t> ReadAll(FfmpegDecoder& decoder, int block) {
  std::vector<std::int16_t> all, buffer(2 * block);
  for (;;) {
    const int got = decoder.Read(buffer.data(), block);
    all.insert(all.end(), buffer.begin(), buffer.begin() + 2 * got);
    if (got < block) break;
  }
  return all;
}

TEST(FfmpegDecoder, PcmWavDecodesFrameForFrameInBlocks) {
  test::TempDir dir;
  const std::string path = dir.File("counter.wav");
  test::WriteCounterWav(path, 44100 * 2 + 123, 44100);
  FfmpegDecoder decoder;
  ASSERT_TRUE(decoder.Open(path).ok());
  EXPECT_EQ(decoder.format().samplesPerSec, 44100u);
  EXPECT_EQ(decoder.format().channels, 2);
  EXPECT_EQ(decoder.format().blockAlign, 4);
  EXPECT_NEAR(decoder.Duration100ns(), (44100 * 2 + 123) * 10'000'000LL / 44100, 10'000);
  EXPECT_TRUE(decoder.CanSeek());
  const auto all = ReadAll(decoder, 735);
  ASSERT_EQ(all.size(), 2u * (44100 * 2 + 123));
  for (std::size_t i = 0; i < all.size() / 2; ++i) {
    const auto [l, r] = test::CounterFrame(static_cast<std::int64_t>(i));
    ASSERT_EQ(all[2 * i], l) << i;
    ASSERT_EQ(all[2 * i + 1], r) << i;
  }
  std::int16_t spare[4];
  EXPECT_EQ(decoder.Read(spare, 2), 0) << "the end stays the end";
}

// Seeks land on the exact frame of the time, for PCM and for a codec with key points.
TEST(FfmpegDecoder, SeekLandsOnTheExactFrameOfTheTick) {
  test::TempDir dir;
  const std::string wav = dir.File("counter.wav");
  test::WriteCounterWav(wav, 48000 * 5, 48000);
  const std::string flac = dir.File("counter.flac");
  ASSERT_TRUE(Shell("sox " + Quote(wav) + " " + Quote(flac)));
  for (const std::string& path : {wav, flac}) {
    FfmpegDecoder decoder;
    ASSERT_TRUE(decoder.Open(path).ok()) << path;
    for (int tick : {130, 7, 0, 239, 61}) {
      ASSERT_TRUE(decoder.Seek(tick * 10'000'000LL / 60)) << path;
      std::vector<std::int16_t> block(2 * 800);
      ASSERT_EQ(decoder.Read(block.data(), 800), 800);
      const std::int64_t first = tick * 800;
      for (int i = 0; i < 800; ++i) {
        const auto [l, r] = test::CounterFrame(first + i);
        ASSERT_EQ(block[2 * i], l) << path << " tick " << tick << " frame " << i;
        ASSERT_EQ(block[2 * i + 1], r);
      }
    }
  }
}

struct ConvertCase {
  std::string name;
  std::string soxArgs;  // how sox makes the source from nothing
  int rate;
};

// Sources that are not 16-bit stereo come out as 16-bit stereo at their own rate.
TEST(FfmpegDecoder, ConvertsMonoEightBitFloatAndSurroundToSixteenBitStereo) {
  test::TempDir dir;
  const std::vector<ConvertCase> cases = {
      {"mono16.wav", "-r 22050 -c 1 -b 16", 22050},
      {"mono8.wav", "-r 11025 -c 1 -b 8 -e unsigned", 11025},
      {"float.wav", "-r 48000 -c 2 -b 32 -e floating-point", 48000},
      {"six.wav", "-r 44100 -c 6 -b 16", 44100},
  };
  for (const ConvertCase& c : cases) {
    const std::string path = dir.File(c.name);
    ASSERT_TRUE(Shell("sox -n " + c.soxArgs + " " + Quote(path) + " synth 1 sine 1000 vol 0.5")) << c.name;
    FfmpegDecoder decoder;
    ASSERT_TRUE(decoder.Open(path).ok()) << c.name;
    EXPECT_EQ(decoder.format().samplesPerSec, static_cast<std::uint32_t>(c.rate)) << c.name;
    const auto all = ReadAll(decoder, c.rate / 60);
    EXPECT_EQ(all.size(), 2u * c.rate) << c.name;
    int peak = 0;
    for (std::size_t i = 0; i < all.size(); i += 2) peak = std::max(peak, std::abs(int(all[i])));
    if (c.name.rfind("mono", 0) == 0) {
      // Both channels carry the mono signal at its own level.
      for (std::size_t i = 0; i < all.size(); i += 2) ASSERT_EQ(all[i], all[i + 1]) << c.name;
      EXPECT_NEAR(peak, 16384, 400) << c.name;
    } else {
      EXPECT_GT(peak, 8000) << c.name;
    }
  }
}

TEST(FfmpegDecoder, Mp3DecodesThroughPlanarFloatToTheTail) {
  test::TempDir dir;
  const std::string wav = dir.File("tone.wav"), mp3 = dir.File("tone.mp3");
  ASSERT_TRUE(Shell("sox -n -r 44100 -c 2 -b 16 " + Quote(wav) + " synth 2 sine 440 vol 0.5"));
  ASSERT_TRUE(Shell("lame --quiet -b 128 " + Quote(wav) + " " + Quote(mp3)));
  FfmpegDecoder decoder;
  ASSERT_TRUE(decoder.Open(mp3).ok());
  const auto all = ReadAll(decoder, 735);
  // Gapless trimming gives back the original length; without draining, the tail would be short.
  EXPECT_NEAR(static_cast<double>(all.size() / 2), 88200.0, 1152.0);
  int tailPeak = 0;
  for (std::size_t i = all.size() - 2 * 2000; i < all.size(); ++i) tailPeak = std::max(tailPeak, std::abs(int(all[i])));
  EXPECT_GT(tailPeak, 10000) << "the last frames hold the tone";
}

TEST(FfmpegDecoder, RefusesMissingFilesAndFilesWithoutSound) {
  test::TempDir dir;
  FfmpegDecoder decoder;
  DecodeError error = decoder.Open(dir.File("missing.wav"));
  EXPECT_EQ(error.code, FfmpegDecoder::kCodeOpenFile);
  EXPECT_EQ(error.text, "ﾌｧｲﾙを開けません");

  const std::string png = dir.File("picture.png");
  ASSERT_TRUE(Shell("ffmpeg -nostdin -f lavfi -i color=c=red:s=16x16 -frames:v 1 " + Quote(png)));
  error = decoder.Open(png);
  EXPECT_EQ(error.code, FfmpegDecoder::kCodeAudioStream);

  const std::string text = dir.File("notes.txt");
  ASSERT_TRUE(Shell("echo 'not a sound' > " + Quote(text)));
  EXPECT_FALSE(decoder.Open(text).ok());
  std::int16_t block[4];
  EXPECT_EQ(decoder.Read(block, 2), 0);
}

}  // namespace
}  // namespace tonewarden
