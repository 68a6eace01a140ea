#pragma once

// Why a media file could not be opened for playback, with the step code and
// the text shown to the user.

#include <string>

namespace tonewarden {

struct DecodeError {
  int code = 0;       // 0: no error
  std::string text;   // the step's text
  std::string cause;  // the library's own explanation, may be empty

  [[nodiscard]] bool ok() const { return code == 0; }
};

}  // namespace tonewarden
