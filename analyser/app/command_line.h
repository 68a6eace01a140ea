#pragma once

// `tonewarden render` and `tonewarden spectrum`: exit code 0, or 1 with one
// line on stderr, or 2 for the usage line.

#include <string>
#include <vector>

namespace tonewarden {

class CommandLine {
 public:
  static int Run(const std::vector<std::string>& args);
};

}  // namespace tonewarden
