#include "shared_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vantrell {

namespace {

// Tests whether others' locks allow our access and share mode, then keeps
// the lock that tells others ours. Writing conflicts with any lock held by
// another (both deny writing); reading conflicts only with deny-all.
OpenStatus LockForShare(int fd, FileAccess access, ShareMode share) {
  const int probe =
      (access == FileAccess::ReadWrite || share == ShareMode::DenyAll) ? LOCK_EX : LOCK_SH;
  if (::flock(fd, probe | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) return OpenStatus::SharingViolation;
    return OpenStatus::Ok;  // a file system without locks: nothing to honour
  }
  const int hold = share == ShareMode::ShareAll   ? LOCK_UN
                   : share == ShareMode::DenyWrite ? LOCK_SH
                                                   : LOCK_EX;
  if (hold != probe && ::flock(fd, hold | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    return OpenStatus::SharingViolation;
  return OpenStatus::Ok;
}

}  // namespace

OpenStatus SharedFile::Open(const std::string& path, FileAccess access, ShareMode share) {
  Close();
  const int flags = (access == FileAccess::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC;
  int fd;
  do {
    fd = ::open(path.c_str(), flags);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    return (errno == EACCES || errno == EPERM || errno == EROFS || errno == ETXTBSY)
               ? OpenStatus::AccessDenied
               : OpenStatus::Failed;
  }
  return Adopt(fd, access, share);
}

OpenStatus SharedFile::Adopt(int fd, FileAccess access, ShareMode share) {
  Close();
  const OpenStatus status = LockForShare(fd, access, share);
  if (status != OpenStatus::Ok) {
    ::close(fd);
    return status;
  }
  fd_ = fd;
  return OpenStatus::Ok;
}

void SharedFile::Close() {
  if (fd_ >= 0) {
    ::close(fd_);  // releases the lock with the last descriptor of this open file
    fd_ = -1;
  }
}

}  // namespace vantrell
