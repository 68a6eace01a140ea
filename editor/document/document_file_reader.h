#pragma once

#include <functional>

#include "block_list.h"

namespace vantrell {

enum class ReadResult { Ok, TooLarge, Failed };

// Reads a file from its current offset to its end into new blocks appended to
// `blocks`: chunks of 1638400 bytes, each cut into full 16384-byte blocks (the
// last piece of a chunk may be shorter). Whatever the reads return is taken,
// so a file that grows or shrinks meanwhile never overruns a block.
// `betweenChunks` runs after each full chunk (the window keeps responding).
// A document of 2 GiB or more is refused with TooLarge.
ReadResult ReadIntoBlocks(int fd, BlockList& blocks, const std::function<void()>& betweenChunks);

inline constexpr int kLoadChunkSize = 0x190000;

}  // namespace vantrell
