#include "core/basic_path.h"

#include <cctype>
#include <cstdio>

#include "core/basic.h"

namespace sonatra {

std::string SplitPath(const std::string& path, unsigned parts) {
  const auto slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const auto dot = name.rfind('.');
  const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);

  std::string result;
  if (parts & kFolder) result += folder;
  if (parts & kSeparator) result += '/';
  if (parts & kBase) result += base;
  if ((parts & kDot) && dot != std::string::npos) result += '.';
  if (parts & kExtension) result += extension;
  if (parts & (kLower | kUpper)) {
    for (char& c : result) {
      const auto u = static_cast<unsigned char>(c);
      c = static_cast<char>((parts & kLower) ? std::tolower(u) : std::toupper(u));
    }
  }
  return result;
}

std::string MakeUniqueName(const std::string& path) {
  if (!FileExists(path)) return path;
  const std::string stem = SplitPath(path, kFolder | kSeparator | kBase);
  const std::string tail = SplitPath(path, kDot | kExtension);
  for (long number = 1;; ++number) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%02ld", number);
    std::string candidate = stem;
    candidate.append(digits).append(tail);
    if (!FileExists(candidate)) return candidate;
  }
}

std::string OutputFolder(const std::string& soundPath, const std::string& input) {
  std::string folder;
  if (FolderExists(soundPath)) {
    folder = soundPath;
  } else {
    folder = SplitPath(input, kFolder);
    if (folder.empty() && !input.empty() && input[0] != '/') folder.push_back('.');
  }
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace sonatra
