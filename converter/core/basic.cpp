#include "core/basic.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace sonatra {

namespace {

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

}  // namespace

int ReadAt(void* buffer, std::uint64_t count, const std::string& path, std::uint64_t position,
           std::uint64_t* got) {
  if (got != nullptr) *got = 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  auto* bytes = static_cast<char*>(buffer);
  std::uint64_t done = 0;
  bool failed = false;
  while (done < count) {
    const ssize_t n = ::pread(fd, bytes + done, count - done, static_cast<off_t>(position + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      failed = true;
      break;
    }
    if (n == 0) break;  // end of file: a short read is still a success
    done += static_cast<std::uint64_t>(n);
  }
  ::close(fd);
  if (got != nullptr) *got = done;
  return failed ? 0 : 1;
}

int WriteAt(const void* buffer, std::uint64_t count, const std::string& path,
            std::uint64_t position) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return 0;
  off_t at = static_cast<off_t>(position);
  if (position == kAtEnd) {
    at = ::lseek(fd, 0, SEEK_END);
    if (at < 0) {
      ::close(fd);
      return 0;
    }
  }
  const auto* bytes = static_cast<const char*>(buffer);
  std::uint64_t done = 0;
  bool failed = false;
  while (done < count) {
    const ssize_t n = ::pwrite(fd, bytes + done, count - done, at + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed = true;
      break;
    }
    done += static_cast<std::uint64_t>(n);
  }
  if (::close(fd) != 0) failed = true;
  return failed ? 0 : 1;
}

std::uint64_t FileSize64(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

bool FileExists(const std::string& path) {
  const std::string trimmed = Trimmed(path);
  if (trimmed.empty()) return false;
  struct stat st {};
  return ::stat(trimmed.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool FolderExists(const std::string& path) {
  const std::string trimmed = Trimmed(path);
  if (trimmed.empty()) return false;
  struct stat st {};
  return ::stat(trimmed.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFileIfAny(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return true;
  if (S_ISDIR(st.st_mode)) return false;
  // Unlinking needs rights on the folder, not on the file, so a read-only
  // file goes without touching its mode.
  return ::unlink(path.c_str()) == 0;
}

}  // namespace sonatra
