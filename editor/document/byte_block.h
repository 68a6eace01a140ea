#pragma once

#include <cstdint>
#include <memory>

namespace vantrell {

// Links of the circular block chain; the list object is the sentinel node.
struct BlockLink {
  BlockLink* next = this;
  BlockLink* prev = this;
};

// One buffer of document bytes. Bytes at used..capacity-1 are undefined.
struct ByteBlock : BlockLink {
  static constexpr std::uint32_t kCapacity = 0x4000;

  std::unique_ptr<std::uint8_t[]> data;
  std::uint32_t capacity = 0;
  std::uint32_t used = 0;

  static std::unique_ptr<std::uint8_t[]> NewBuffer() {
    return std::unique_ptr<std::uint8_t[]>(new std::uint8_t[kCapacity]);
  }
};

}  // namespace vantrell
