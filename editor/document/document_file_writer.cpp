#include "document_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "iovec_progress.h"

namespace vantrell {

namespace {

namespace fs = std::filesystem;

bool WriteAllBlocks(int fd, const BlockList& blocks) {
  std::vector<iovec> batch;
  batch.reserve(IOV_MAX);
  auto flush = [&]() {
    std::size_t first = 0;
    while (first < batch.size()) {
      const ssize_t written = ::writev(fd, batch.data() + first,
                                       static_cast<int>(batch.size() - first));
      if (written < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      first = ConsumeIovecs(batch.data(), batch.size(), first, static_cast<std::size_t>(written));
    }
    batch.clear();
    return true;
  };
  for (const ByteBlock* block = blocks.First(); block != nullptr; block = blocks.Next(block)) {
    if (block->used == 0) continue;
    batch.push_back({block->data.get(), block->used});
    if (batch.size() == IOV_MAX && !flush()) return false;
  }
  return flush();
}

mode_t DefaultFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The file a save really replaces: a symbolic link is followed, so that the
// link stays and its target gets the new content.
std::string ResolveTarget(const std::string& path) {
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(path, error))) {
    const fs::path target = fs::canonical(path, error);
    if (!error) return target.string();
  }
  return path;
}

bool WriteInPlace(const std::string& target, const BlockList& blocks, ShareMode share,
                  const DocumentFileWriter::BeforeReplace& beforeReplace, SharedFile& file) {
  const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  if (beforeReplace) beforeReplace();
  if (::ftruncate(fd, 0) != 0 || !WriteAllBlocks(fd, blocks) || ::fsync(fd) != 0) {
    ::close(fd);
    return false;
  }
  file.Close();  // our old lock must go before the new descriptor can take it
  return file.Adopt(fd, FileAccess::ReadWrite, share) == OpenStatus::Ok;
}

}  // namespace

bool DocumentFileWriter::Write(const std::string& path, const BlockList& blocks, ShareMode share,
                               const BeforeReplace& beforeReplace, SharedFile& file) {
  const std::string target = ResolveTarget(path);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0)) return false;

  const fs::path targetPath(target);
  const fs::path folder = targetPath.has_parent_path() ? targetPath.parent_path() : fs::path(".");
  std::string temporary = (folder / ("." + targetPath.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    const bool folderLocked = errno == EACCES || errno == EPERM || errno == EROFS;
    return exists && folderLocked && WriteInPlace(target, blocks, share, beforeReplace, file);
  }

  auto discard = [&]() {
    ::close(fd);
    ::unlink(temporary.c_str());
    return false;
  };
  // Nobody else knows the new file yet, so its lock cannot be refused.
  ::flock(fd, share == ShareMode::DenyAll ? LOCK_EX : LOCK_SH);
  if (!WriteAllBlocks(fd, blocks)) return discard();
  if (::fchmod(fd, exists ? (old.st_mode & 07777) : DefaultFileMode()) != 0) return discard();
  if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
    // Keeping the owner is only possible with privileges; the content matters more.
    [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
  }
  if (::fsync(fd) != 0) return discard();

  if (beforeReplace) beforeReplace();
  if (::rename(temporary.c_str(), target.c_str()) != 0) return discard();
  const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    ::fsync(folderFd);  // makes the rename itself durable
    ::close(folderFd);
  }

  // The content is saved; should someone lock the new file in this instant,
  // the document merely holds it without a lock.
  file.Close();
  if (share == ShareMode::ShareAll) ::flock(fd, LOCK_UN);
  [[maybe_unused]] const OpenStatus held = file.Adopt(fd, FileAccess::ReadWrite, share);
  return true;
}

}  // namespace vantrell
