#include "core/wave_mmio.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "core/basic.h"
#include "temp_dir.h"
#include "wav_bytes.h"

namespace sonatra {
namespace {

using test::Append32;
using test::Bytes;
using test::Chunk;
using test::FmtBody;
using test::Riff;
using test::TempDir;

TEST(ReadWaveInfo, CanonicalHeaderGivesAllFields) {
  TempDir dir;
  const std::string path = dir.File("a.wav");
  test::WriteFile(path, test::PcmWav(2, 44100, 16, Bytes(44100 * 4 * 3 / 2, 0)));
  const WaveInfo info = ReadWaveInfo(path);
  EXPECT_EQ(info.Valid, 1);
  EXPECT_EQ(info.Frames, 66150);
  EXPECT_EQ(info.SampleRate, 44100);
  EXPECT_EQ(info.Bits, 16);
  EXPECT_EQ(info.Channels, 2);
  EXPECT_EQ(info.BlockAlign, 4);
  EXPECT_EQ(info.DataOffset, 44);
  EXPECT_EQ(info.DataSize, 264600);
  EXPECT_EQ(info.FileSize, 264644);
  EXPECT_EQ(info.Mode, kStereo16bit);
  EXPECT_EQ(info.DurationMs, 1500);
  EXPECT_EQ(info.FormatTag, 1);
}

TEST(ReadWaveInfo, ChunkWalkSkipsOddChunkPadAndFindsDataBeforeFmt) {
  TempDir dir;
  const Bytes samples(30, 1);
  struct Case {
    const char* name;
    Bytes file;
    std::int32_t dataOffset;
  };
  const Case cases[] = {
      // fmt (24) + LIST of 5 bytes + pad + data
      {"odd LIST between fmt and data",
       Riff({Chunk("fmt ", FmtBody(1, 1, 8000, 16)), Chunk("LIST", Bytes{'I', 'N', 'F', 'O', 'x'}),
             Chunk("data", samples)}),
       12 + 24 + 14 + 8},
      {"data before fmt",
       Riff({Chunk("data", samples), Chunk("fmt ", FmtBody(1, 1, 8000, 16))}), 20},
  };
  for (const Case& c : cases) {
    const std::string path = dir.File("case.wav");
    test::WriteFile(path, c.file);
    const WaveInfo info = ReadWaveInfo(path);
    EXPECT_EQ(info.Valid, 1) << c.name;
    EXPECT_EQ(info.DataOffset, c.dataOffset) << c.name;
    EXPECT_EQ(info.DataSize, 30) << c.name;
    EXPECT_EQ(info.Frames, 15) << c.name;
    EXPECT_EQ(info.Mode, kMono16bit) << c.name;
  }
}

TEST(ReadWaveInfo, LayoutsWithAndWithoutMode) {
  TempDir dir;
  const std::string path = dir.File("l.wav");

  test::WriteFile(path, Riff({Chunk("fmt ", FmtBody(1, 6, 48000, 16)), Chunk("data", Bytes(120))}));
  WaveInfo info = ReadWaveInfo(path);
  EXPECT_EQ(info.Valid, 1);
  EXPECT_EQ(info.Mode, kSurround51_16bit);
  EXPECT_EQ(info.Frames, 10);

  // 32-bit float: no mode, but the format fields are kept.
  test::WriteFile(path, Riff({Chunk("fmt ", FmtBody(3, 2, 48000, 32)), Chunk("data", Bytes(80))}));
  info = ReadWaveInfo(path);
  EXPECT_EQ(info.Valid, 0);
  EXPECT_EQ(info.Mode, 0);
  EXPECT_EQ(info.FormatTag, 3);
  EXPECT_EQ(info.Channels, 2);
  EXPECT_EQ(info.Bits, 32);
  EXPECT_EQ(info.SampleRate, 48000);
  EXPECT_EQ(info.BlockAlign, 8);
  EXPECT_EQ(info.DataOffset, 0);
  EXPECT_EQ(info.Frames, 0);
}

TEST(ReadWaveInfo, UnreadableOrGarbageFilesGiveInvalidRecords) {
  TempDir dir;
  const WaveInfo missing = ReadWaveInfo(dir.File("missing.wav"));
  EXPECT_EQ(missing.Valid, 0);
  EXPECT_EQ(missing.FormatTag, 0);
  EXPECT_EQ(missing.FileSize, 0);

  const std::string path = dir.File("garbage.bin");
  Bytes garbage;
  for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<std::uint8_t>(i * 7919 >> 3));
  test::WriteFile(path, garbage);
  EXPECT_EQ(ReadWaveInfo(path).Valid, 0);

  // A data size running past the end is taken from the header as it is.
  Bytes shortData = Riff({Chunk("fmt ", FmtBody(1, 2, 44100, 16)), Chunk("data", Bytes(8))});
  shortData[40] = 0x00;
  shortData[41] = 0x10;  // 4096 bytes announced, 8 present
  test::WriteFile(path, shortData);
  EXPECT_EQ(ReadWaveInfo(path).Frames, 1024);
}

TEST(WriteWaveHeader, WritesCanonicalHeaderOverAnyOldFile) {
  TempDir dir;
  const std::string path = dir.File("h.wav");
  test::WriteFile(path, Bytes(1000, 0xAA));
  ASSERT_EQ(WriteWaveHeader(22050, 24, 1, path, 0), 1);
  const Bytes expected = Riff({Chunk("fmt ", FmtBody(1, 1, 22050, 24)), Chunk("data", {})});
  EXPECT_EQ(test::ReadFile(path), expected);
}

TEST(FixWaveSizes, WritesSizesFromLengthAndRefusesShortFiles) {
  TempDir dir;
  const std::string path = dir.File("f.wav");
  ASSERT_EQ(WriteWaveHeader(8000, 8, 1, path, 0), 1);
  EXPECT_EQ(FixWaveSizes(path, 0), 1);
  Bytes b = test::ReadFile(path);
  EXPECT_EQ(test::Read32(b, 4), 36u);
  EXPECT_EQ(test::Read32(b, 40), 0u);

  ASSERT_EQ(WriteAt("\x01\x02\x03", 3, path, kAtEnd), 1);
  EXPECT_EQ(FixWaveSizes(path, 0), 1);
  b = test::ReadFile(path);
  EXPECT_EQ(test::Read32(b, 4), 39u);
  EXPECT_EQ(test::Read32(b, 40), 3u);

  b.resize(43);
  b[4] = b[5] = b[6] = b[7] = 0xEE;
  test::WriteFile(path, b);
  EXPECT_EQ(FixWaveSizes(path, 0), 0);
  EXPECT_EQ(test::ReadFile(path), b);
}

TEST(FindChunk, FindsChunksAfterPadsAndReportsAbsence) {
  TempDir dir;
  const std::string path = dir.File("c.wav");
  test::WriteFile(path, Riff({Chunk("fmt ", FmtBody(1, 1, 8000, 8)), Chunk("LIST", Bytes(3)),
                              Chunk("data", Bytes(4))}));
  EXPECT_EQ(FindChunk(path, "fmt "), 12);
  EXPECT_EQ(FindChunk(path, "LIST"), 36);
  EXPECT_EQ(FindChunk(path, "data"), 48);
  EXPECT_EQ(FindChunk(path, "cue "), kChunkNotFound);
  EXPECT_EQ(FindChunk(dir.File("none.wav"), "data"), kChunkNotFound);
}

TEST(Pack24, ClampsAndUnpack24SignExtends) {
  struct Case {
    std::int32_t value;
    std::uint8_t bytes[3];
  };
  const Case packs[] = {{8388608, {0xFF, 0xFF, 0x7F}},  {-8388609, {0x00, 0x00, 0x80}},
                        {-1, {0xFF, 0xFF, 0xFF}},      {0x123456, {0x56, 0x34, 0x12}},
                        {-8388608, {0x00, 0x00, 0x80}}};
  for (const Case& c : packs) {
    std::vector<std::uint8_t> out;
    Pack24(std::vector<std::int32_t>{c.value}, out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0], c.bytes[0]) << c.value;
    EXPECT_EQ(out[1], c.bytes[1]) << c.value;
    EXPECT_EQ(out[2], c.bytes[2]) << c.value;
  }
  const std::uint8_t stereo[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
  std::vector<std::pair<std::int32_t, std::int32_t>> pairs(5);
  Unpack24(stereo, 1, pairs);
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_EQ(pairs[0].first, -1);
  EXPECT_EQ(pairs[0].second, 8388607);
  std::vector<std::uint8_t> packed;
  Pack24(pairs, packed);
  EXPECT_EQ(std::vector<std::uint8_t>(stereo, stereo + 6), packed);
}

TEST(WaveMode, NamesAndLayouts) {
  EXPECT_EQ(WaveModeName(0), "Mono8bit");
  EXPECT_EQ(WaveModeName(3), "Stereo16bit");
  EXPECT_EQ(WaveModeName(7), "Surround 7.1 16bit");
  EXPECT_EQ(WaveModeName(9), "Surround 7.1 24bit");
  EXPECT_EQ(WaveModeName(10), "");
  EXPECT_EQ(WaveModeName(-1), "");
  EXPECT_EQ(WaveModeOf(2, 24), kStereo24bit);
  EXPECT_EQ(WaveModeOf(8, 24), kSurround71_24bit);
  EXPECT_EQ(WaveModeOf(6, 8), 0);
  EXPECT_EQ(WaveModeOf(2, 32), 0);
}

TEST(AudioTypeOf, FormatTagOrExtension) {
  TempDir dir;
  struct Case {
    std::uint16_t tag;
    const char* name;
    const char* type;
  };
  const Case cases[] = {{1, "a.WAV", "wav"},     {0x50, "b.wav", "mp2"},   {0x55, "c.wav", "mp3"},
                        {0x160, "d.wav", "wmariff"}, {0x161, "e.x", "wmariff"}, {2, "f.Wav", "wav"},
                        {0x11, "g.AVI", "avi"}};
  for (const Case& c : cases) {
    const std::string path = dir.File(c.name);
    // MPEG in RIFF: the layout fields are not a known mode, the tag still counts.
    test::WriteFile(path, Riff({Chunk("fmt ", FmtBody(c.tag, 2, 44100, 0)), Chunk("data", Bytes(4))}));
    EXPECT_EQ(AudioTypeOf(path), c.type) << c.name;
  }
  const std::string mp3 = dir.File("song.Mp3");
  test::WriteFile(mp3, Bytes{0xFF, 0xFB, 0x90, 0x64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(AudioTypeOf(mp3), "mp3");
  EXPECT_EQ(AudioTypeOf(dir.File("noext")), "");
}

TEST(FilePrimitives, PositionedReadsAndWrites) {
  TempDir dir;
  const std::string path = dir.File("p.bin");
  char buffer[8] = {};
  EXPECT_EQ(ReadAt(buffer, 4, path, 0), 0);  // existing files only

  ASSERT_EQ(WriteAt("abcdef", 6, path, 0), 1);
  ASSERT_EQ(WriteAt("XY", 2, path, 2), 1);  // overwrites those bytes only
  ASSERT_EQ(WriteAt("gh", 2, path, kAtEnd), 1);
  EXPECT_EQ(FileSize64(path), 8u);

  std::uint64_t got = 0;
  EXPECT_EQ(ReadAt(buffer, 8, path, 4, &got), 1);  // short read at the end
  EXPECT_EQ(got, 4u);
  EXPECT_EQ(std::string(buffer, 4), "efgh");
  ASSERT_EQ(ReadAt(buffer, 8, path, 0), 1);
  EXPECT_EQ(std::string(buffer, 8), "abXYefgh");

  EXPECT_FALSE(FileExists("  "));
  EXPECT_FALSE(FileExists(dir.path().string()));
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(FileSize64(dir.File("none")), 0u);

  ::chmod(path.c_str(), 0444);
  EXPECT_TRUE(DeleteFileIfAny(path));
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(DeleteFileIfAny(path));
}

}  // namespace
}  // namespace sonatra
