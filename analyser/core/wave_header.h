#pragma once

// The per-block header a device works with, shaped like the platform's wave header.

#include <cstdint>

namespace tonewarden {

struct WaveHeader {
  static constexpr std::uint32_t kDone = 0x01;
  static constexpr std::uint32_t kPrepared = 0x02;
  static constexpr std::uint32_t kInQueue = 0x10;

  std::uint8_t* data = nullptr;
  std::uint32_t bufferLength = 0;
  std::uint32_t bytesRecorded = 0;
  void* user = nullptr;
  std::uint32_t flags = 0;
  std::uint32_t loops = 0;
};

}  // namespace tonewarden
