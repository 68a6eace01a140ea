#include "document_file_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>

#include <sys/uio.h>
#include <unistd.h>

#include "doc_types.h"
#include "iovec_progress.h"

namespace vantrell {

namespace {

constexpr int kBlocksPerChunk = kLoadChunkSize / ByteBlock::kCapacity;
static_assert(kBlocksPerChunk * ByteBlock::kCapacity == kLoadChunkSize);

// Reads until the chunk is full or the file ends; returns the bytes read or -1.
std::int64_t ReadChunk(int fd, std::array<iovec, kBlocksPerChunk>& pieces) {
  std::int64_t total = 0;
  std::size_t first = 0;
  while (first < pieces.size()) {
    const ssize_t got =
        ::readv(fd, pieces.data() + first, static_cast<int>(pieces.size() - first));
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;
    total += got;
    first = ConsumeIovecs(pieces.data(), pieces.size(), first, static_cast<std::size_t>(got));
  }
  return total;
}

}  // namespace

ReadResult ReadIntoBlocks(int fd, BlockList& blocks, const std::function<void()>& betweenChunks) {
  std::int64_t length = 0;
  for (;;) {
    // The blocks themselves are the read buffer: one vectored read fills them.
    std::array<std::unique_ptr<std::uint8_t[]>, kBlocksPerChunk> buffers;
    std::array<iovec, kBlocksPerChunk> pieces;
    for (int i = 0; i < kBlocksPerChunk; ++i) {
      buffers[i] = ByteBlock::NewBuffer();
      pieces[i] = {buffers[i].get(), ByteBlock::kCapacity};
    }
    const std::int64_t got = ReadChunk(fd, pieces);
    if (got < 0) return ReadResult::Failed;
    length += got;
    if (length > kMaxDocumentLength) return ReadResult::TooLarge;

    for (int i = 0; i * std::int64_t{ByteBlock::kCapacity} < got; ++i) {
      const auto used = static_cast<std::uint32_t>(
          std::min<std::int64_t>(ByteBlock::kCapacity, got - i * std::int64_t{ByteBlock::kCapacity}));
      blocks.AppendBlock(std::move(buffers[i]), ByteBlock::kCapacity, used);
    }
    if (got < kLoadChunkSize) break;
    if (betweenChunks) betweenChunks();
  }
  if (blocks.BlockCount() == 0) blocks.AppendBlock(ByteBlock::NewBuffer(), ByteBlock::kCapacity, 0);
  return ReadResult::Ok;
}

}  // namespace vantrell
