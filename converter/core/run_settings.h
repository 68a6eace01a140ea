#pragma once

// What a conversion run is asked to make: the form's choices.

#include <cstdint>
#include <string>

namespace sonatra {

struct RunSettings {
  std::int32_t targetRate = 44100;
  std::int32_t targetMode = 3;  // WaveMode 0..5
  bool dither = true;
  bool decodeOnly = false;
  bool mp3 = false;
  std::int32_t mp3BitRate = 128;  // preferred; the highest accepted one when LAME refuses it
  std::string soundPath;          // output folder; the input's folder when it does not exist
};

}  // namespace sonatra
