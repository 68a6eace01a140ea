#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "byte_block.h"

namespace vantrell {

// A circular doubly linked chain of ByteBlocks with the list itself as sentinel.
//
// Beside the chain the list keeps the total length and a "finger": one block
// whose starting position is known. Seeks start from whichever of the first
// block, the finger and the last block lies nearest, so that work around one
// place of a large document does not walk the chain from its start each time.
class BlockList {
 public:
  BlockList() = default;
  ~BlockList() { Clear(); }
  BlockList(const BlockList&) = delete;
  BlockList& operator=(const BlockList&) = delete;

  ByteBlock* AppendBlock(std::unique_ptr<std::uint8_t[]> buffer, std::uint32_t capacity,
                         std::uint32_t used);
  ByteBlock* InsertBlockBefore(ByteBlock* block, std::unique_ptr<std::uint8_t[]> buffer,
                               std::uint32_t capacity, std::uint32_t used);
  ByteBlock* InsertBlockAfter(ByteBlock* block, std::unique_ptr<std::uint8_t[]> buffer,
                              std::uint32_t capacity, std::uint32_t used);
  // Takes the block out of the chain, destroys the record and hands its buffer back.
  std::unique_ptr<std::uint8_t[]> UnlinkBlock(ByteBlock* block);
  void Clear();

  // Sum of the used lengths of all blocks (kept up to date, not recomputed).
  [[nodiscard]] std::int64_t TotalLength() const { return totalLength_; }
  [[nodiscard]] std::int64_t BlockCount() const { return count_; }

  [[nodiscard]] ByteBlock* First() const { return AsBlock(sentinel_.next); }
  [[nodiscard]] ByteBlock* Last() const { return AsBlock(sentinel_.prev); }
  [[nodiscard]] ByteBlock* Next(const ByteBlock* block) const { return AsBlock(block->next); }
  [[nodiscard]] ByteBlock* Prev(const ByteBlock* block) const { return AsBlock(block->prev); }

  // Exchanges the chains (and everything kept beside them) of two lists.
  void Swap(BlockList& other);

  // Empty means no block at all; a document always has at least one.
  void ResetToEmptyDocument();

  // Checks the chain's invariants: link consistency, count, length, and no
  // empty block except the single block of an empty document. Returns a
  // description of the first violation, or an empty string.
  [[nodiscard]] std::string CheckInvariants() const;

 private:
  friend class BlockCursor;

  struct Finger {
    ByteBlock* block = nullptr;
    std::int64_t start = 0;
  };

  ByteBlock* AsBlock(BlockLink* link) const {
    return link == &sentinel_ ? nullptr : static_cast<ByteBlock*>(link);
  }
  ByteBlock* Link(BlockLink* before, std::unique_ptr<std::uint8_t[]> buffer,
                  std::uint32_t capacity, std::uint32_t used);

  // For the cursor: the used length of a block changed in place.
  void AdjustLength(std::int64_t delta) { totalLength_ += delta; }
  void Remember(ByteBlock* block, std::int64_t start) { finger_ = {block, start}; }
  void Forget() { finger_ = {}; }
  const Finger& LastFinger() const { return finger_; }

  mutable BlockLink sentinel_;
  std::int64_t count_ = 0;
  std::int64_t totalLength_ = 0;
  Finger finger_;
};

}  // namespace vantrell
