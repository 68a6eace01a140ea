#pragma once

// Path pieces and unique names for the conversion run.

#include <string>

namespace sonatra {

// Parts of SplitPath, combined with |: folder, separator, base name, dot,
// extension, and optionally the result in lower or upper case.
enum PathPart : unsigned {
  kFolder = 1,
  kSeparator = 2,
  kBase = 4,
  kDot = 8,
  kExtension = 16,
  kLower = 32,
  kUpper = 64,
};

// The folder is the text before the last '/', the base name the file name
// up to its last dot; a name without a dot has an empty extension and no dot.
[[nodiscard]] std::string SplitPath(const std::string& path, unsigned parts);

// The name itself when no such file exists, else base + 01, 02, ... 99, 100 ...
[[nodiscard]] std::string MakeUniqueName(const std::string& path);

// `soundPath` with a trailing '/' when it names an existing folder, else the
// input file's folder with a trailing '/'.
[[nodiscard]] std::string OutputFolder(const std::string& soundPath, const std::string& input);

}  // namespace sonatra
