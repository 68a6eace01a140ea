#include "core/c_decode_audio.h"

#include <gtest/gtest.h>

#include "core/basic.h"
#include "core/c_fgraph.h"
#include "core/decode_chain.h"
#include "core/media_source.h"
#include "core/wave_mmio.h"
#include "media_maker.h"
#include "temp_dir.h"

namespace sonatra {
namespace {

using test::Quote;
using test::Shell;
using test::TempDir;

class DecodeAudioTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    ASSERT_TRUE(test::MakeTone(File("tone.wav"), 2.0));
  }
  static void TearDownTestSuite() { delete dir_; }
  static std::string File(const std::string& name) { return dir_->File(name); }

  // Frames of the reference decode by the ffmpeg command.
  static std::int32_t FfmpegFrames(const std::string& path) {
    const std::string ref = File("ref.wav");
    if (!Shell("ffmpeg -y -i " + Quote(path) + " -c:a pcm_s16le " + Quote(ref))) return -1;
    return ReadWaveInfo(ref).Frames;
  }

  static TempDir* dir_;
};
TempDir* DecodeAudioTest::dir_ = nullptr;

TEST_F(DecodeAudioTest, DecodesRealFilesToPcmOfTheRightLayoutAndLength) {
  const std::string tone = File("tone.wav");
  struct Case {
    const char* name;
    std::string make;     // command writing {out}
    int bits, channels;
    bool sourceLength;    // the decoder trims to the source length (LAME tag)
  };
  const std::string in = Quote(tone);
  const Case cases[] = {
      {"cbr.mp3", "lame --quiet -b 128 " + in, 16, 2, true},
      {"vbr.mp3", "lame --quiet -V 2 " + in, 16, 2, true},
      {"t.mp2", "ffmpeg -y -i " + in + " -c:a mp2 -b:a 192k", 16, 2, false},
      {"adpcm.wav", "ffmpeg -y -i " + in + " -c:a adpcm_ms", 16, 2, false},
      {"t.wma", "ffmpeg -y -i " + in + " -c:a wmav2", 16, 2, false},
      {"float.wav", "ffmpeg -y -i " + in + " -c:a pcm_f32le", 24, 2, true},
      {"s24.wav", "sox " + in + " -b 24", 24, 2, true},
      {"six.wav", "sox " + in + " -c 6", 16, 6, true},
      {"three.wav", "sox " + in + " -c 3", 16, 2, true},
      {"mono.mp3", "lame --quiet -m m -b 64 " + in, 16, 1, true},
  };
  const double sourceRms = test::Rms(tone);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = File(c.name);
    ASSERT_TRUE(Shell(c.make + " " + Quote(source)));
    const std::string target = File("decoded.wav");
    C_DecodeAudio decoder;
    ASSERT_EQ(decoder.DecodeAudio(source, target), 1);
    const WaveInfo info = ReadWaveInfo(target);
    ASSERT_EQ(info.Valid, 1);
    EXPECT_EQ(info.FormatTag, 1);
    EXPECT_EQ(info.SampleRate, 44100);
    EXPECT_EQ(info.Bits, c.bits);
    EXPECT_EQ(info.Channels, c.channels);
    EXPECT_EQ(info.DataSize + 44, static_cast<std::int64_t>(FileSize64(target)));
    const std::int32_t expected = c.sourceLength ? 88200 : FfmpegFrames(source);
    EXPECT_NEAR(info.Frames, expected, 1152);
    // The sound itself came through; two different tones mixed to one channel
    // lose 3 dB, the other layouts keep their level.
    const double rms = c.channels == 1 ? sourceRms / std::sqrt(2.0) : sourceRms;
    if (c.channels <= 2) {
      EXPECT_NEAR(test::Rms(target), rms, rms * 0.1);
    }
  }
}

TEST_F(DecodeAudioTest, ChoosesNamedChainsThenProbing) {
  EXPECT_EQ(NamedChain("mp3", 0)->decoder, "mp3float");
  EXPECT_EQ(NamedChain("mp3", 1)->decoder, "mp3");
  EXPECT_EQ(NamedChain("wma", 0)->demuxer, "asf");
  EXPECT_EQ(NamedChain("wmariff", 0)->demuxer, "wav");
  EXPECT_FALSE(NamedChain("wav", 1));
  EXPECT_FALSE(NamedChain("mid", 0));
  EXPECT_FALSE(NamedChain("ogg", 0));

  const std::string mp3 = File("chain.mp3");
  ASSERT_TRUE(Shell("lame --quiet -b 96 " + Quote(File("tone.wav")) + " " + Quote(mp3)));
  MediaSource source;
  ASSERT_TRUE(source.Open(mp3));
  EXPECT_EQ(source.attempt(), 0);
  // An MP3 under a WMA name: the ASF demuxer fails, probing finds it.
  const std::string misnamed = File("chain.wma");
  ASSERT_TRUE(Shell("cp " + Quote(mp3) + " " + Quote(misnamed)));
  ASSERT_TRUE(source.Open(misnamed));
  EXPECT_EQ(source.attempt(), 2);
  const std::string ogg = File("t.ogg");
  ASSERT_TRUE(Shell("sox " + Quote(File("tone.wav")) + " " + Quote(ogg)));
  ASSERT_TRUE(source.Open(ogg));
  EXPECT_EQ(source.attempt(), 2);
}

TEST_F(DecodeAudioTest, UndecodableFilesFailWithoutTarget) {
  const std::string midi = File("song.mid");
  test::WriteFile(midi, test::MidiFile());
  const std::string text = File("notes.mp3");
  test::WriteFile(text, test::Bytes(5000, 'x'));
  for (const std::string& source : {midi, text, File("missing.mp3")}) {
    const std::string target = File("none.wav");
    C_DecodeAudio decoder;
    EXPECT_EQ(decoder.DecodeAudio(source, target), 0) << source;
    EXPECT_FALSE(FileExists(target)) << source;
  }
}

TEST_F(DecodeAudioTest, StopProcEndsTheDecodeAndDeletesThePartialFile) {
  const std::string mp3 = File("long.mp3");
  ASSERT_TRUE(Shell("sox -n -r 44100 -c 2 " + Quote(File("long.wav")) + " synth 20 sine 500"));
  ASSERT_TRUE(Shell("lame --quiet -b 128 " + Quote(File("long.wav")) + " " + Quote(mp3)));
  const std::string target = File("partial.wav");
  C_DecodeAudio decoder;
  int calls = 0;
  decoder.SetProg([&](float rate) {
    EXPECT_GT(rate, 0.0f);
    EXPECT_LE(rate, 1.0f);
    if (++calls == 20) decoder.StopProc();
  });
  EXPECT_EQ(decoder.DecodeAudio(mp3, target), 0);
  EXPECT_EQ(calls, 20);
  EXPECT_EQ(decoder.Canceled(), 1);
  EXPECT_FALSE(FileExists(target));
}

TEST_F(DecodeAudioTest, GraphLengthFromTheContainer) {
  const std::string mp3 = File("len.mp3");
  ASSERT_TRUE(Shell("lame --quiet -b 128 " + Quote(File("tone.wav")) + " " + Quote(mp3)));
  C_FGraph graph;
  graph.Init();
  graph.SetFileName(mp3);
  EXPECT_EQ(graph.FileName(), mp3);
  EXPECT_NEAR(graph.length(), 2000, 60);  // within two MP3 frames
  graph.SetFileName(File("missing.wma"));
  EXPECT_EQ(graph.FileName(), "");
  EXPECT_EQ(graph.length(), 0);
  const std::string midi = File("len.mid");
  test::WriteFile(midi, test::MidiFile());
  graph.SetFileName(midi);
  EXPECT_EQ(graph.length(), 0);
}

}  // namespace
}  // namespace sonatra
