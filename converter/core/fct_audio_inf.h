#pragma once

// What the file list shows for any input: a playing length and a format
// text, from the WAV header, the MPEG header or the opened media file.

#include <cstdint>
#include <string>

namespace sonatra {

struct AudioInfo {
  std::int32_t Ok = 0;
  std::int32_t LengthMs = 0;
  std::string Text;
};

[[nodiscard]] AudioInfo GetAudioInfo(const std::string& path, bool multiLine, bool longForm,
                                     bool noGraph);
// The file type's name as a file browser shows it, empty when there is none.
[[nodiscard]] std::string ShellTypeName(const std::string& path);
// Minutes in three digits, seconds in two, milliseconds in three: 003'05.250.
[[nodiscard]] std::string LengthText(std::int32_t ms);

}  // namespace sonatra
