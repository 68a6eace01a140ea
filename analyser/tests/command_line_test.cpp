// The tonewarden program run as a user runs it, on sounds made at test time.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "media_maker.h"
#include "temp_dir.h"

namespace tonewarden {
namespace {

using test::Quote;
using test::Shell;

struct Result {
  int code;
  std::string out;
  std::string err;
};

Result RunProgram(const std::string& args, const test::TempDir& dir) {
  const std::string err = dir.File("stderr.txt");
  const std::string command = std::string(TONEWARDEN_PROGRAM) + " " + args + " 2>" + Quote(err);
  Result r{};
  FILE* pipe = popen(command.c_str(), "r");
  std::array<char, 65536> buffer;
  std::size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.out.append(buffer.data(), n);
  const int status = pclose(pipe);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(err);
  std::stringstream s;
  s << in.rdbuf();
  r.err = s.str();
  return r;
}

TEST(CommandLine, SpectrumOfASinePeaksAtItsFrequency) {
  test::TempDir dir;
  const std::string wav = dir.File("sine.wav");
  // 3000 Hz = bin 557.3 at N = 8192 and 44100 Hz; full scale.
  ASSERT_TRUE(Shell("sox -n -r 44100 -c 2 -b 16 " + Quote(wav) + " synth 2 sine 3000 vol 0.9999"));
  const Result r = RunProgram("spectrum " + Quote(wav) + " --at 1.5 --window blackman", dir);
  ASSERT_EQ(r.code, 0) << r.err;
  std::istringstream lines(r.out);
  double f, level, peakF = 0, peakLevel = -1000;
  int count = 0;
  while (lines >> f >> level) {
    ++count;
    if (level > peakLevel) peakLevel = level, peakF = f;
  }
  EXPECT_EQ(count, 4095);
  EXPECT_NEAR(peakF, 3000, 44100.0 / 8192);
  // A full-scale sine through Blackman (coherent gain 0.42): about -6 - 7.5 dB.
  EXPECT_NEAR(peakLevel, -13.6, 1.0);
}

TEST(CommandLine, RenderWritesAPictureOfTheRequestedSize) {
  test::TempDir dir;
  const std::string voice = dir.File("voice.wav"), png = dir.File("voice.png");
  ASSERT_TRUE(Shell("espeak-ng -w " + Quote(voice) + " 'one two three'"));
  const Result r = RunProgram("render " + Quote(voice) + " --at 0.5 --fft 4096 --range 80 --size 500x300 -o " + Quote(png), dir);
  ASSERT_EQ(r.code, 0) << r.err;
  std::ifstream in(png, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  auto be32 = [&](std::size_t at) {
    return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
           (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
  };
  EXPECT_EQ(be32(16), 500);
  EXPECT_EQ(be32(20), 300);
}

TEST(CommandLine, BadInputGivesOneLineAndExitCodeOne) {
  test::TempDir dir;
  const std::string wav = dir.File("short.wav"), text = dir.File("notes.txt");
  ASSERT_TRUE(Shell("sox -n -r 32000 -c 2 -b 16 " + Quote(wav) + " synth 1 sine 440"));
  ASSERT_TRUE(Shell("echo 'no sound here' > " + Quote(text)));
  const std::vector<std::string> cases = {
      "spectrum " + Quote(dir.File("missing.wav")) + " --at 0",
      "spectrum " + Quote(text) + " --at 0",
      "spectrum " + Quote(wav) + " --at 5",
      "spectrum " + Quote(wav) + " --at 0 --fft 1000",
      "spectrum " + Quote(wav) + " --at 0 --window kaiser",
      "spectrum " + Quote(wav),
      "render " + Quote(wav) + " --at 0",
      "render " + Quote(wav) + " --at 0 --size 10 -o x.png",
      "frobnicate " + Quote(wav),
  };
  for (const std::string& args : cases) {
    const Result r = RunProgram(args, dir);
    EXPECT_EQ(r.code, 1) << args;
    EXPECT_TRUE(r.out.empty()) << args;
    ASSERT_FALSE(r.err.empty()) << args;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
  }
  const Result usage = RunProgram("", dir);
  EXPECT_EQ(usage.code, 2);
}

}  // namespace
}  // namespace tonewarden
