#include "core/fct_audio_inf.h"

#include <cstdio>
#include <set>

#include "core/basic.h"
#include "core/basic_path.h"
#include "core/c_fgraph.h"
#include "core/fct_mpeg.h"
#include "core/wave_mmio.h"

namespace sonatra {

namespace {

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string KhzText(int rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", rate / 1000.0);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

}  // namespace

std::string LengthText(std::int32_t ms) {
  if (ms < 0) ms = 0;
  char text[32];
  std::snprintf(text, sizeof text, "%03d'%02d.%03d", ms / 60000, ms / 1000 % 60, ms % 1000);
  return text;
}

AudioInfo GetAudioInfo(const std::string& path, bool multiLine, bool longForm, bool noGraph) {
  AudioInfo result;
  if (!FileExists(path)) return result;
  const std::string typeName = ShellTypeName(path);
  const std::string ext = SplitPath(path, kExtension | kLower);

  enum class Next { kMpeg, kGraph, kDone } next = Next::kDone;
  if (ext == "wav") {
    const WaveInfo wave = ReadWaveInfo(path);
    if (wave.Valid && wave.FormatTag == 1) {
      std::string layout = std::to_string(wave.Bits);
      if (wave.Channels == 1) layout += "bit/Mono";
      if (wave.Channels == 2) layout += longForm ? "bit/Stereo" : "bit/St";
      result.Text = "wav(" +
                    (longForm ? std::to_string(wave.SampleRate) + "Hz/"
                              : KhzText(wave.SampleRate) + "kHz/") +
                    layout + ")";
      result.LengthMs = wave.DurationMs;
      result.Ok = 1;
    } else if (wave.FormatTag == 0x50 || wave.FormatTag == 0x55) {
      next = Next::kMpeg;
    } else {
      next = Next::kGraph;
    }
  } else if (ext == "mp1" || ext == "mp2" || ext == "mp3") {
    next = Next::kMpeg;
  } else {
    static const std::set<std::string> kGraphTypes = {"mpg", "mpeg", "mid", "asf", "au",
                                                      "aif", "aiff", "snd", "wma", "wmv"};
    if (kGraphTypes.count(ext)) {
      next = Next::kGraph;
    } else {
      result.Text = typeName;
    }
  }

  if (next == Next::kMpeg) {
    MpegInfo mpeg;
    const bool ok = ReadMpegInfo(path, mpeg) == 1;
    result.Text = Trim(longForm ? mpeg.LongText : mpeg.ShortText);
    result.LengthMs = mpeg.DurationMs;
    if (ok) result.Ok = 1;
    else next = Next::kGraph;
  }
  if (next == Next::kGraph && !noGraph) {
    C_FGraph graph;
    graph.Init();
    graph.SetFileName(path);
    result.LengthMs = graph.length();
    result.Text = typeName;
    result.Ok = 1;
  }

  if (multiLine) {
    std::string text = path + "\n" + typeName + "\n";
    if (!result.Text.empty()) text += result.Text + "\n";
    result.Text = text + LengthText(result.LengthMs);
  } else if (result.Text.empty()) {
    result.Text = typeName;
  }
  return result;
}

}  // namespace sonatra
