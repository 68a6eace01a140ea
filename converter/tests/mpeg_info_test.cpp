#include "core/fct_mpeg.h"

#include <gtest/gtest.h>

#include "core/fct_audio_inf.h"
#include "core/round_half_even.h"
#include "media_maker.h"
#include "temp_dir.h"

namespace sonatra {
namespace {

using test::Bytes;
using test::Quote;
using test::Shell;
using test::TempDir;

// A file of one frame header (and optional Xing header) amid zero bytes.
Bytes FrameFile(std::size_t at, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::size_t size) {
  Bytes b(size, 0);
  b[at] = 0xFF;
  b[at + 1] = b1;
  b[at + 2] = b2;
  b[at + 3] = b3;
  return b;
}

void PutXing(Bytes& b, std::size_t frame, std::size_t offset, std::uint32_t frames) {
  std::memcpy(&b[frame + offset], "Xing", 4);
  for (int i = 0; i < 4; ++i) b[frame + offset + 8 + i] = static_cast<std::uint8_t>(frames >> (24 - 8 * i));
}

TEST(ReadMpegInfo, HeadersTagsAndLengths) {
  TempDir dir;
  const std::string path = dir.File("x.mp3");
  MpegInfo info;

  // CBR 128 kbit/s, 1 280 000 audio bytes and a trailing TAG block: 80000 ms.
  Bytes cbr = FrameFile(0, 0xFB, 0x90, 0x44, 1280000);
  Bytes tag(128, 0);
  std::memcpy(tag.data(), "TAG", 3);
  cbr.insert(cbr.end(), tag.begin(), tag.end());
  test::WriteFile(path, cbr);
  ASSERT_EQ(ReadMpegInfo(path, info), 1);
  EXPECT_EQ(info.FirstFrame, 1);
  EXPECT_EQ(info.AudioBytes, 1280000);
  EXPECT_EQ(info.AudioEnd, 1280000);
  EXPECT_EQ(info.FileSize, 1280128);
  EXPECT_EQ(info.DurationMs, 80000);
  EXPECT_EQ(info.Layer, 3);
  EXPECT_EQ(info.IsLsf, 0);
  EXPECT_EQ(info.SampleRate, 44100);
  EXPECT_EQ(info.BitRate, 128);
  EXPECT_EQ(info.ChannelMode, 1);
  EXPECT_EQ(info.Channels, 2);
  EXPECT_EQ(info.LongText, "mp3(44100Hz/128kbps/JointStereo)");
  EXPECT_EQ(info.ShortText, "mp3(44.1kHz/128kb/JS)");

  // ID3v2 of size 00 00 1F 76 (4086): the frame is searched from 4096.
  Bytes id3 = FrameFile(4096, 0xF3, 0x80, 0xC0, 20000);
  std::memcpy(id3.data(), "ID3", 3);
  id3[8] = 0x1F;
  id3[9] = 0x76;
  id3[100] = 0xFF;  // a sync pattern inside the tag is not searched
  id3[101] = 0xFB;
  id3[102] = 0x90;
  test::WriteFile(path, id3);
  ASSERT_EQ(ReadMpegInfo(path, info), 1);
  EXPECT_EQ(info.FirstFrame, 4097);
  // MPEG-2 Layer III, index 8 of the LSF table: 64 kbit/s at 22050 Hz, mono.
  EXPECT_EQ(info.IsLsf, 1);
  EXPECT_EQ(info.SampleRate, 22050);
  EXPECT_EQ(info.BitRate, 64);
  EXPECT_EQ(info.Channels, 1);
  EXPECT_EQ(info.ShortText, "mp3(22.05kHz/64kb/Mono)");

  // Xing at offset 36 with 1000 frames at 44100 Hz: 26122 ms, marked VBR.
  Bytes vbr = FrameFile(0, 0xFB, 0x90, 0x00, 300000);
  PutXing(vbr, 0, 36, 1000);
  test::WriteFile(path, vbr);
  ASSERT_EQ(ReadMpegInfo(path, info), 1);
  EXPECT_EQ(info.IsVbr, 1);
  EXPECT_EQ(info.VbrFrames, 1000);
  EXPECT_EQ(info.DurationMs, 26122);
  EXPECT_EQ(info.BitRate, RoundHalfEven(300000 * 8.0 / 26122));
  EXPECT_EQ(info.LongText, "mp3(44100Hz/92kbps[VBR]/Stereo)");
  EXPECT_EQ(info.ShortText, "mp3(44.1kHz/92kb/ST)");

  // Behind an ID3v2 tag the average counts the audio bytes from the first frame on.
  Bytes tagged = FrameFile(4096, 0xFB, 0x90, 0x00, 304096);
  std::memcpy(tagged.data(), "ID3", 3);
  tagged[8] = 0x1F;
  tagged[9] = 0x76;
  PutXing(tagged, 4096, 36, 1000);
  test::WriteFile(path, tagged);
  ASSERT_EQ(ReadMpegInfo(path, info), 1);
  EXPECT_EQ(info.AudioBytes, 300000);
  EXPECT_EQ(info.DurationMs, 26122);
  EXPECT_EQ(info.BitRate, 92);

  // Layer II, 48 kHz, dual channel, after leading junk.
  test::WriteFile(path, FrameFile(2500, 0xFD, 0xA4, 0x80, 9000));
  ASSERT_EQ(ReadMpegInfo(path, info), 1);
  EXPECT_EQ(info.FirstFrame, 2501);
  EXPECT_EQ(info.LongText, "mp2(48000Hz/192kbps/DualChannel)");
}

TEST(ReadMpegInfo, RefusesBadHeadersAndShortFiles) {
  TempDir dir;
  const std::string path = dir.File("bad.mp3");
  MpegInfo info;
  struct Case {
    const char* name;
    Bytes file;
  };
  const Case cases[] = {
      {"sample-rate bits 0x0C", FrameFile(0, 0xFB, 0x9C, 0x00, 5000)},
      {"bit-rate index 15", FrameFile(0, 0xFB, 0xF0, 0x00, 5000)},
      {"free format", FrameFile(0, 0xFB, 0x00, 0x00, 5000)},
      {"layer bits 0", FrameFile(0, 0xF9, 0x90, 0x00, 5000)},
      {"no sync at all", Bytes(5000, 0x11)},
      {"47 bytes", FrameFile(0, 0xFB, 0x90, 0x00, 47)},
  };
  for (const Case& c : cases) {
    test::WriteFile(path, c.file);
    EXPECT_EQ(ReadMpegInfo(path, info), 0) << c.name;
  }
  EXPECT_EQ(ReadMpegInfo(dir.File("missing.mp3"), info), 0);
}

TEST(ReadMpegInfo, RealLameFiles) {
  TempDir dir;
  const std::string wav = dir.File("tone.wav");
  ASSERT_TRUE(test::MakeTone(wav, 5.0));
  MpegInfo info;

  const std::string cbr = dir.File("cbr.mp3");
  ASSERT_TRUE(Shell("lame --quiet -b 128 " + Quote(wav) + " " + Quote(cbr)));
  ASSERT_EQ(ReadMpegInfo(cbr, info), 1);
  EXPECT_EQ(info.IsVbr, 0);
  EXPECT_EQ(info.BitRate, 128);
  EXPECT_EQ(info.DurationMs, RoundHalfEven(info.AudioBytes / 16.0));
  EXPECT_NEAR(info.DurationMs, 5000, 80);  // the encoder adds its delay and the tag frame

  const std::string vbr = dir.File("vbr.mp3");
  ASSERT_TRUE(Shell("lame --quiet -V 2 " + Quote(wav) + " " + Quote(vbr)));
  ASSERT_EQ(ReadMpegInfo(vbr, info), 1);
  EXPECT_EQ(info.IsVbr, 1);
  EXPECT_EQ(info.DurationMs, RoundHalfEven(info.VbrFrames * 1152 / 44.1));
  EXPECT_NEAR(info.DurationMs, 5000, 80);
  EXPECT_NE(info.LongText.find("kbps[VBR]/JointStereo)"), std::string::npos) << info.LongText;

  // Mono and MPEG-2 VBR files carry "Xing" closer to the header than 36.
  for (const char* options : {"-m m -V 4", "--resample 22.05 -V 4"}) {
    const std::string path = dir.File("vbr2.mp3");
    ASSERT_TRUE(Shell(std::string("lame --quiet ") + options + " " + Quote(wav) + " " + Quote(path)));
    ASSERT_EQ(ReadMpegInfo(path, info), 1) << options;
    EXPECT_EQ(info.IsVbr, 1) << options;
    EXPECT_NEAR(info.DurationMs, 5000, 80) << options;
  }
}

TEST(GetAudioInfo, FormatTextsAndLengths) {
  TempDir dir;
  const std::string wav = dir.File("tone.wav");
  ASSERT_TRUE(test::MakeTone(wav, 1.5));

  AudioInfo info = GetAudioInfo(wav, false, true, false);
  EXPECT_EQ(info.Ok, 1);
  EXPECT_EQ(info.LengthMs, 1500);
  EXPECT_EQ(info.Text, "wav(44100Hz/16bit/Stereo)");
  EXPECT_EQ(GetAudioInfo(wav, false, false, false).Text, "wav(44.1kHz/16bit/St)");

  const std::string six = dir.File("six.wav");
  test::WriteFile(six, test::PcmWav(6, 48000, 16, Bytes(48000 * 12, 0)));
  EXPECT_EQ(GetAudioInfo(six, false, true, false).Text, "wav(48000Hz/16)");
  const std::string mono = dir.File("mono.wav");
  test::WriteFile(mono, test::PcmWav(1, 8000, 8, Bytes(8000, 128)));
  EXPECT_EQ(GetAudioInfo(mono, false, false, false).Text, "wav(8kHz/8bit/Mono)");

  const std::string multi = GetAudioInfo(wav, true, true, false).Text;
  EXPECT_EQ(multi, wav + "\n" + ShellTypeName(wav) + "\nwav(44100Hz/16bit/Stereo)\n000'01.500");

  const std::string mp3 = dir.File("t.mp3");
  ASSERT_TRUE(Shell("lame --quiet -b 96 --resample 44.1 " + Quote(wav) + " " + Quote(mp3)));
  info = GetAudioInfo(mp3, false, true, false);
  EXPECT_EQ(info.Ok, 1);
  EXPECT_EQ(info.Text, "mp3(44100Hz/96kbps/JointStereo)");

  // Other types go to the opened media file for a length, or show the type name.
  const std::string wma = dir.File("t.wma");
  ASSERT_TRUE(Shell("ffmpeg -y -i " + Quote(wav) + " -c:a wmav2 " + Quote(wma)));
  info = GetAudioInfo(wma, false, true, false);
  EXPECT_EQ(info.Ok, 1);
  EXPECT_NEAR(info.LengthMs, 1500, 60);
  EXPECT_EQ(info.Text, ShellTypeName(wma));
  EXPECT_FALSE(info.Text.empty());
  info = GetAudioInfo(wma, false, true, true);
  EXPECT_EQ(info.Ok, 0);
  EXPECT_EQ(info.LengthMs, 0);

  const std::string text = dir.File("notes.txt");
  test::WriteFile(text, Bytes{'h', 'i', '\n'});
  info = GetAudioInfo(text, false, true, false);
  EXPECT_EQ(info.Ok, 0);
  EXPECT_EQ(info.Text, ShellTypeName(text));

  info = GetAudioInfo(dir.File("missing.wav"), true, true, false);
  EXPECT_EQ(info.Ok, 0);
  EXPECT_EQ(info.Text, "");
}

TEST(LengthText, MinutesSecondsMilliseconds) {
  EXPECT_EQ(LengthText(185250), "003'05.250");
  EXPECT_EQ(LengthText(0), "000'00.000");
  EXPECT_EQ(LengthText(59999), "000'59.999");
  EXPECT_EQ(LengthText(60000 * 1000 + 1), "1000'00.001");
}

TEST(BitsText, RoundTrip) {
  EXPECT_EQ(ByteToBits(0x76), "01110110");
  EXPECT_EQ(BitsToNumber("01110110"), 0x76u);
  EXPECT_EQ(BitsToNumber("0011111" "1110110"), 4086u);
}

}  // namespace
}  // namespace sonatra
