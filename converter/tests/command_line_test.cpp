// The sonatra program run as a user runs it.

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/fct_mpeg.h"
#include "core/wave_mmio.h"
#include "media_maker.h"
#include "temp_dir.h"

namespace sonatra {
namespace {

using test::Quote;
using test::Shell;
using test::TempDir;

struct Result {
  int exitCode = -1;
  std::string out;
};

Result Sonatra(const std::string& args) {
  Result r;
  FILE* pipe = ::popen((std::string(SONATRA_PROGRAM) + " " + args + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return r;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  const int status = ::pclose(pipe);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

TEST(CommandLine, UsageErrors) {
  for (const char* args : {"", "frobnicate", "convert", "convert --rate 0 a.wav", "convert --mode 6 a.wav",
                           "convert --mode Surround a.wav", "convert --bogus a.wav", "info"}) {
    EXPECT_EQ(Sonatra(args).exitCode, 2) << args;
  }
}

TEST(CommandLine, InfoPrintsTitleLengthAndFormat) {
  TempDir dir;
  ASSERT_TRUE(test::MakeTone(dir.File("tone one.wav"), 1.25));
  ASSERT_TRUE(Shell("lame --quiet -b 128 " + Quote(dir.File("tone one.wav")) + " " + Quote(dir.File("b.mp3"))));
  Result r = Sonatra(Quote(dir.File("tone one.wav")) + " " + Quote(dir.File("b.mp3")));
  EXPECT_EQ(r.exitCode, 2);  // no command
  r = Sonatra("info " + Quote(dir.File("tone one.wav")) + " " + Quote(dir.File("b.mp3")));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "tone one\t000'01.250\twav(44100Hz/16bit/Stereo)\n");
  EXPECT_NE(r.out.find("\nb\t000'01.3"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\tmp3(44100Hz/128kbps/JointStereo)\n"), std::string::npos) << r.out;
  EXPECT_EQ(Sonatra("info " + Quote(dir.File("none.wav"))).exitCode, 1);
}

TEST(CommandLine, ConvertEndToEnd) {
  TempDir dir;
  const std::string out = dir.File("out");
  std::filesystem::create_directory(out);
  ASSERT_TRUE(test::MakeTone(dir.File("a.wav"), 1.0));
  ASSERT_TRUE(Shell("lame --quiet -b 128 " + Quote(dir.File("a.wav")) + " " + Quote(dir.File("b.mp3"))));
  test::WriteFile(dir.File("c.mid"), test::MidiFile());

  Result r = Sonatra("convert --rate 22050 --mode Mono16bit --no-dither --out " + Quote(out) + " " +
                     Quote(dir.File("a.wav")) + " " + Quote(dir.File("b.mp3")) + " " + Quote(dir.File("c.mid")));
  EXPECT_EQ(r.exitCode, 1);  // c.mid could not be decoded
  EXPECT_EQ(r.out, dir.File("a.wav") + " -> " + out + "/a.wav\n" + dir.File("b.mp3") + " -> " + out +
                       "/b.wav\n" + dir.File("c.mid") + ": could not be decoded\n");
  for (const char* name : {"a.wav", "b.wav"}) {
    const WaveInfo info = ReadWaveInfo(out + "/" + name);
    EXPECT_EQ(info.SampleRate, 22050) << name;
    EXPECT_EQ(info.Mode, kMono16bit) << name;
  }

  r = Sonatra("convert --mp3 192 --out " + Quote(out) + " " + Quote(dir.File("b.mp3")));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, dir.File("b.mp3") + " -> " + out + "/b.mp3\n");
  MpegInfo mpeg;
  ASSERT_EQ(ReadMpegInfo(out + "/b.mp3", mpeg), 1);
  EXPECT_EQ(mpeg.BitRate, 192);

  r = Sonatra("convert --decode-only --mode 0 " + Quote(dir.File("b.mp3")));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, dir.File("b.mp3") + " -> " + dir.File("b.wav") + "\n");
  EXPECT_EQ(ReadWaveInfo(dir.File("b.wav")).Mode, kStereo16bit);

  r = Sonatra("convert " + Quote(dir.File("a.wav")));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, dir.File("a.wav") + ": already in the target format; nothing written\n");
}

}  // namespace
}  // namespace sonatra
