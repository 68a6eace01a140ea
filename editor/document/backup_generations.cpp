#include "backup_generations.h"

#include <filesystem>
#include <system_error>

#include "resources/string_table.h"

namespace vantrell {

namespace fs = std::filesystem;

std::string BackupName(const std::string& folder, const std::string& fileName, int generation) {
  if (generation == 0) return FormatText("%s/%s.bak", {folder, fileName});
  return FormatText("%s/%s.bk%d", {folder, fileName, std::int64_t{generation}});
}

namespace {

// Copies like the platform's file copy: content, permissions and modification time.
bool CopyKeepingTimes(const fs::path& from, const fs::path& to) {
  std::error_code error;
  if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, error)) return false;
  const auto modified = fs::last_write_time(from, error);
  if (!error) fs::last_write_time(to, modified, error);
  return true;
}

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

}  // namespace

bool MakeBackup(const std::string& path, int generations, const std::string& backupFolder) {
  const auto slash = path.rfind('/');
  const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  if (!backupFolder.empty()) folder = backupFolder;
  // A backup folder given with a trailing slash must not produce "dir//name".
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();

  const std::string newest = BackupName(folder, fileName, 0);
  if (generations > 1 && Exists(newest)) {
    int n = 1;
    while (n < generations && Exists(BackupName(folder, fileName, n))) ++n;
    std::error_code error;
    if (n == generations) {
      fs::remove(BackupName(folder, fileName, generations - 1), error);
      n = generations - 2;
    } else {
      n = n - 1;
    }
    for (int k = n; k >= 1; --k)
      fs::rename(BackupName(folder, fileName, k), BackupName(folder, fileName, k + 1), error);
    fs::rename(newest, BackupName(folder, fileName, 1), error);
  }
  return CopyKeepingTimes(path, newest);
}

}  // namespace vantrell
