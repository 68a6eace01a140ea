#pragma once

// File primitives: every call opens the file, positions it, transfers one
// buffer and closes it again, so no handle stays open between calls.

#include <cstdint>
#include <string>

namespace sonatra {

// Position meaning "the end of the file" for WriteAt (appends).
inline constexpr std::uint64_t kAtEnd = UINT64_MAX;

// 1 when the read call succeeded (a short read at the end still counts), else 0.
// `got`, when given, receives the number of bytes read.
[[nodiscard]] int ReadAt(void* buffer, std::uint64_t count, const std::string& path,
                         std::uint64_t position, std::uint64_t* got = nullptr);
// 1 when every byte was written. Creates the file when absent.
[[nodiscard]] int WriteAt(const void* buffer, std::uint64_t count, const std::string& path,
                          std::uint64_t position);
[[nodiscard]] std::uint64_t FileSize64(const std::string& path);
[[nodiscard]] bool FileExists(const std::string& path);
[[nodiscard]] bool FolderExists(const std::string& path);
// True when the file is absent afterwards.
bool DeleteFileIfAny(const std::string& path);

}  // namespace sonatra
