#pragma once

// The `sonatra` command line: `info` and `convert`.

#include <string>
#include <vector>

namespace sonatra {

// Exit code: 0 all went well, 1 a file failed, 2 bad usage.
int RunCommandLine(const std::vector<std::string>& args);

}  // namespace sonatra
