#include "core/conversion_run.h"

#include <filesystem>
#include <set>

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

std::set<std::string> FilesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

class ConversionRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(out_);
    ASSERT_TRUE(test::MakeTone(In("tone.wav"), 2.0));
    ASSERT_TRUE(Shell("lame --quiet -b 128 " + Quote(In("tone.wav")) + " " + Quote(In("song.mp3"))));
  }
  std::string In(const std::string& name) const { return dir_.File(name); }
  std::string Out(const std::string& name) const { return (out_ / name).string(); }

  std::vector<FileOutcome> Run(const std::vector<std::string>& files, RunSettings settings,
                               std::function<void(ConversionRun&)> onInput = nullptr) {
    settings.soundPath = out_.string();
    ConversionRun::Events events;
    ConversionRun* self = nullptr;
    events.status = [&](const std::string& a, const std::string& b) { status_.push_back(a + "|" + b); };
    events.processInput = [&] {
      if (onInput) onInput(*self);
    };
    ConversionRun run(events);
    self = &run;
    return run.Run(files, settings);
  }

  TempDir dir_;
  std::filesystem::path out_ = dir_.path() / "out";
  std::vector<std::string> status_;
};

TEST_F(ConversionRunTest, DecodesConvertsAndRenamesIntoTheOutputFolder) {
  RunSettings settings;
  settings.targetRate = 22050;
  settings.targetMode = kMono8bit;
  test::WriteFile(Out("song.wav"), {});  // taken: the result becomes song01.wav
  const auto outcomes = Run({In("song.mp3"), In("tone.wav"), In("missing.wav")}, settings);
  ASSERT_EQ(outcomes.size(), 3u);
  EXPECT_EQ(outcomes[0].output, Out("song01.wav"));
  EXPECT_EQ(outcomes[1].output, Out("tone.wav"));
  EXPECT_TRUE(outcomes[2].failed);
  EXPECT_EQ(outcomes[2].reason, "no such file");
  for (const char* name : {"song01.wav", "tone.wav"}) {
    const WaveInfo info = ReadWaveInfo(Out(name));
    EXPECT_EQ(info.SampleRate, 22050) << name;
    EXPECT_EQ(info.Mode, kMono8bit) << name;
    EXPECT_NEAR(info.Frames, 44100, 1) << name;
  }
  EXPECT_EQ(FilesIn(out_), (std::set<std::string>{"song.wav", "song01.wav", "tone.wav"}));
  EXPECT_EQ(status_.front(), "Decording...|" + In("song.mp3"));
  EXPECT_EQ(status_[1], "44100Hz/16bit/2ch \u21D2 22050Hz/8bit/1ch|" + Out("~conv.wav"));
  EXPECT_EQ(status_.back(), "Done.|");
}

TEST_F(ConversionRunTest, PcmInTheTargetFormatWritesNothing) {
  const auto outcomes = Run({In("tone.wav")}, RunSettings{});
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_FALSE(outcomes[0].failed);
  EXPECT_EQ(outcomes[0].output, "");
  EXPECT_TRUE(FilesIn(out_).empty());
}

TEST_F(ConversionRunTest, SurroundPcmIsAlwaysConverted) {
  const std::string six = In("six.wav");
  test::WriteFile(six, test::PcmWav(6, 44100, 16, test::Bytes(44100 * 12, 0)));
  const auto outcomes = Run({six}, RunSettings{});
  ASSERT_EQ(outcomes.size(), 1u);
  const WaveInfo info = ReadWaveInfo(outcomes[0].output);
  EXPECT_EQ(info.Mode, kStereo16bit);
  EXPECT_EQ(info.Frames, 44100);
}

TEST_F(ConversionRunTest, DecodeOnlyKeepsTheDecodedLayoutButStillConvertsPcm) {
  RunSettings settings;
  settings.decodeOnly = true;
  settings.targetRate = 8000;
  settings.targetMode = kMono16bit;
  settings.mp3 = true;  // not offered while decoding only
  const auto outcomes = Run({In("song.mp3"), In("tone.wav")}, settings);
  ASSERT_EQ(outcomes.size(), 2u);
  WaveInfo info = ReadWaveInfo(outcomes[0].output);
  EXPECT_EQ(outcomes[0].output, Out("song.wav"));
  EXPECT_EQ(info.SampleRate, 44100);
  EXPECT_EQ(info.Mode, kStereo16bit);
  info = ReadWaveInfo(outcomes[1].output);
  EXPECT_EQ(info.SampleRate, 8000);
  EXPECT_EQ(info.Mode, kMono16bit);
}

TEST_F(ConversionRunTest, Mp3OutputOnlyForSixteenBitTargets) {
  RunSettings settings;
  settings.mp3 = true;
  settings.mp3BitRate = 24;  // not taken at 44100 Hz: the highest is used
  EXPECT_EQ(ConversionRun::Mp3BitRate(settings), 320);
  auto outcomes = Run({In("tone.wav")}, settings);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_EQ(outcomes[0].output, Out("tone.mp3"));
  MpegInfo mpeg;
  ASSERT_EQ(ReadMpegInfo(Out("tone.mp3"), mpeg), 1);
  EXPECT_EQ(mpeg.BitRate, 320);
  EXPECT_EQ(status_[0], "Encoding...|" + Out("tone.mp3"));

  settings.targetMode = kStereo24bit;
  EXPECT_EQ(ConversionRun::Mp3BitRate(settings), 0);
  outcomes = Run({In("song.mp3")}, settings);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_EQ(outcomes[0].output, Out("song.wav"));
  EXPECT_EQ(ReadWaveInfo(Out("song.wav")).Mode, kStereo24bit);
  EXPECT_EQ(FilesIn(out_), (std::set<std::string>{"tone.mp3", "song.wav"}));
}

TEST_F(ConversionRunTest, UndecodableFileIsSkippedAndTheRunGoesOn) {
  test::WriteFile(In("tune.mid"), test::MidiFile());
  std::filesystem::remove(out_);  // a missing output folder: next to the input
  const auto outcomes = Run({In("tune.mid"), In("song.mp3")}, RunSettings{});
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_TRUE(outcomes[0].failed);
  EXPECT_EQ(outcomes[0].reason, "could not be decoded");
  EXPECT_EQ(outcomes[1].output, In("song.wav"));
  EXPECT_FALSE(FileExists(In("~decode.wav")));
}

TEST_F(ConversionRunTest, AbortDeletesTemporaryFilesAndEndsTheRun) {
  ASSERT_TRUE(test::MakeTone(In("long.wav"), 12.0));
  ASSERT_TRUE(Shell("lame --quiet -b 128 " + Quote(In("long.wav")) + " " + Quote(In("long.mp3"))));
  struct Case {
    const char* name;
    std::string file;
    int abortAtCall;  // input processing calls before Abort
  };
  const Case cases[] = {
      {"while decoding", In("long.mp3"), 10},
      {"while converting", In("long.wav"), 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunSettings settings;
    settings.targetRate = 22050;
    int calls = 0;
    const auto outcomes = Run({c.file, In("tone.wav")}, settings, [&](ConversionRun& run) {
      if (++calls == c.abortAtCall) run.Abort();
    });
    ASSERT_EQ(outcomes.size(), 1u);  // no later rows
    EXPECT_TRUE(outcomes[0].failed);
    EXPECT_EQ(outcomes[0].reason, "aborted");
    EXPECT_TRUE(FilesIn(out_).empty());
  }
}

TEST_F(ConversionRunTest, RefusesARateOfZero) {
  RunSettings settings;
  settings.targetRate = 0;
  EXPECT_TRUE(Run({In("tone.wav")}, settings).empty());
  EXPECT_TRUE(FilesIn(out_).empty());
}

}  // namespace
}  // namespace sonatra
