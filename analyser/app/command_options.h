#pragma once

// The options of `tonewarden render` and `tonewarden spectrum`.

#include <string>
#include <vector>

namespace tonewarden {

struct CommandOptions {
  std::string command;  // "render" or "spectrum"
  std::string file;
  double at = -1;       // seconds
  int fft = 8192;
  int window = 0;
  int range = 140;
  int width = 640;
  int height = 480;
  std::string output;

  // Empty on success, else the line to show.
  [[nodiscard]] static std::string Parse(const std::vector<std::string>& args, CommandOptions& options);
};

}  // namespace tonewarden
