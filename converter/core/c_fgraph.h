#pragma once

// Opens a media file the way decoding does, to learn its playing length.

#include <cstdint>
#include <string>

namespace sonatra {

class C_FGraph {
 public:
  void Init();
  // Opening a new name measures it; the same name again does nothing. A
  // file that cannot be opened clears the name and leaves length 0.
  void SetFileName(const std::string& path);
  [[nodiscard]] const std::string& FileName() const { return name_; }
  // Playing length in milliseconds, 0 when nothing could be opened.
  [[nodiscard]] std::int32_t length() const { return length_; }
  void CloseWave();

 private:
  std::string name_;
  std::int32_t length_ = 0;
};

}  // namespace sonatra
