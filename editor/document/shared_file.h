#pragma once

#include <string>

namespace vantrell {

enum class FileAccess { Read, ReadWrite };

// How much of the file others may use while we hold it open. Taken as
// advisory whole-file locks: deny writing holds a shared lock, deny reading
// and writing an exclusive one. Programs that take no lock are not stopped.
enum class ShareMode { ShareAll = 0, DenyWrite = 1, DenyAll = 2 };

enum class OpenStatus { Ok, SharingViolation, AccessDenied, Failed };

// An open file descriptor with the share lock that goes with it.
class SharedFile {
 public:
  SharedFile() = default;
  ~SharedFile() { Close(); }
  SharedFile(const SharedFile&) = delete;
  SharedFile& operator=(const SharedFile&) = delete;

  // Opens the path and takes the lock for the share mode. Refused when a lock
  // held by someone else denies the access asked for or conflicts with the
  // share mode; with ShareAll the lock is only tested, not kept.
  OpenStatus Open(const std::string& path, FileAccess access, ShareMode share);
  // Applies the same locking to a descriptor opened elsewhere; closes it on failure.
  OpenStatus Adopt(int fd, FileAccess access, ShareMode share);
  void Close();

  [[nodiscard]] bool IsOpen() const { return fd_ >= 0; }
  [[nodiscard]] int Fd() const { return fd_; }

 private:
  int fd_ = -1;
};

}  // namespace vantrell
