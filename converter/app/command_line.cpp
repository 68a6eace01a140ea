#include "app/command_line.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

#include "core/basic.h"
#include "core/basic_path.h"
#include "core/conversion_run.h"
#include "core/fct_audio_inf.h"
#include "core/wave_mmio.h"

namespace sonatra {

namespace {

constexpr const char* kUsage =
    "usage: sonatra info FILE...\n"
    "       sonatra convert [--rate HZ] [--mode 0-5|NAME] [--dither|--no-dither] [--decode-only]\n"
    "                       [--mp3 KBPS] [--out DIR] FILE...\n";

std::atomic<bool> g_interrupted{false};

void OnInterrupt(int) { g_interrupted = true; }

int Usage(const char* problem = nullptr) {
  if (problem != nullptr) std::fprintf(stderr, "sonatra: %s\n", problem);
  std::fputs(kUsage, stderr);
  return 2;
}

bool ParseNumber(const std::string& text, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return *end == '\0';
}

bool ParseMode(const std::string& text, std::int32_t& mode) {
  long number = 0;
  if (ParseNumber(text, number)) {
    if (number < 0 || number > 5) return false;
    mode = static_cast<std::int32_t>(number);
    return true;
  }
  for (std::int32_t m = 0; m <= 5; ++m) {
    if (strcasecmp(WaveModeName(m).c_str(), text.c_str()) == 0) {
      mode = m;
      return true;
    }
  }
  return false;
}

int Info(const std::vector<std::string>& files) {
  int status = 0;
  for (const std::string& file : files) {
    if (!FileExists(file)) {
      std::fprintf(stderr, "%s: no such file\n", file.c_str());
      status = 1;
      continue;
    }
    const AudioInfo info = GetAudioInfo(file, false, true, false);
    std::printf("%s\t%s\t%s\n", SplitPath(file, kBase).c_str(), LengthText(info.LengthMs).c_str(),
                info.Text.c_str());
  }
  return status;
}

// A one-line bar on stderr, redrawn in place.
class ProgressBar {
 public:
  void Row(int row, int rows, const std::string& file) {
    label_ = "[" + std::to_string(row + 1) + "/" + std::to_string(rows) + "] " +
             SplitPath(file, kBase | kDot | kExtension);
    Draw(0);
  }
  void Draw(int permille) {
    if (permille == last_) return;
    last_ = permille;
    constexpr int kWidth = 30;
    const int filled = permille * kWidth / 1000;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%\033[K", label_.c_str(), std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, '-').c_str(), permille / 10);
    std::fflush(stderr);
  }
  void Clear() {
    std::fputs("\r\033[K", stderr);
    last_ = -1;
  }

 private:
  std::string label_;
  int last_ = -1;
};

int Convert(const std::vector<std::string>& args) {
  RunSettings settings;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    long number = 0;
    if (a == "--rate") {
      if (!value(v) || !ParseNumber(v, number) || number <= 0 || number > 2147483647L)
        return Usage("--rate needs a positive number of hertz");
      settings.targetRate = static_cast<std::int32_t>(number);
    } else if (a == "--mode") {
      if (!value(v) || !ParseMode(v, settings.targetMode))
        return Usage("--mode needs 0-5 or one of Mono8bit, Stereo8bit, Mono16bit, Stereo16bit, "
                     "Mono24bit, Stereo24bit");
    } else if (a == "--dither") {
      settings.dither = true;
    } else if (a == "--no-dither") {
      settings.dither = false;
    } else if (a == "--decode-only") {
      settings.decodeOnly = true;
    } else if (a == "--mp3") {
      if (!value(v) || !ParseNumber(v, number) || number <= 0)
        return Usage("--mp3 needs a bit rate in kbit/s");
      settings.mp3 = true;
      settings.mp3BitRate = static_cast<std::int32_t>(number);
    } else if (a == "--out") {
      if (!value(v)) return Usage("--out needs a folder");
      settings.soundPath = v;
    } else if (a == "--") {
      files.insert(files.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage(("unknown option " + a).c_str());
    } else {
      files.push_back(a);
    }
  }
  if (files.empty()) return Usage("no files to convert");

  if (!settings.soundPath.empty() && !FolderExists(settings.soundPath))
    std::fprintf(stderr, "sonatra: %s is not a folder; output goes next to each input\n",
                 settings.soundPath.c_str());
  if (settings.mp3) {
    const std::int32_t kbps = ConversionRun::Mp3BitRate(settings);
    if (kbps == 0)
      std::fprintf(stderr, "sonatra: MP3 needs a 16-bit target at an MPEG sample rate without "
                           "--decode-only; writing WAV\n");
    else if (kbps != settings.mp3BitRate)
      std::fprintf(stderr, "sonatra: %d kbit/s is not possible here; using %d kbit/s\n",
                   settings.mp3BitRate, kbps);
  }

  ProgressBar bar;
  const bool drawBar = ::isatty(STDERR_FILENO) == 1;
  ConversionRun* running = nullptr;
  ConversionRun::Events events;
  events.rowStarted = [&](int row) {
    if (drawBar) bar.Row(row, static_cast<int>(files.size()), files[static_cast<std::size_t>(row)]);
  };
  events.progress = [&](int permille) {
    if (drawBar) bar.Draw(permille);
  };
  events.processInput = [&] {
    if (g_interrupted && running != nullptr) running->Abort();
  };
  ConversionRun run(events);
  running = &run;
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  const std::vector<FileOutcome> outcomes = run.Run(files, settings);
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  if (drawBar) bar.Clear();

  int status = 0;
  for (const FileOutcome& o : outcomes) {
    if (!o.output.empty()) std::printf("%s -> %s\n", o.input.c_str(), o.output.c_str());
    else std::printf("%s: %s\n", o.input.c_str(), o.reason.c_str());
    if (o.failed) status = 1;
  }
  for (std::size_t i = outcomes.size(); i < files.size(); ++i) {
    std::printf("%s: not converted (aborted)\n", files[i].c_str());
    status = 1;
  }
  return status;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "info") {
    if (rest.empty()) return Usage("no files given");
    return Info(rest);
  }
  if (args[0] == "convert") return Convert(rest);
  if (args[0] == "--help" || args[0] == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  return Usage(("unknown command " + args[0]).c_str());
}

}  // namespace sonatra
