#include "block_list.h"

#include <utility>

namespace vantrell {

ByteBlock* BlockList::Link(BlockLink* before, std::unique_ptr<std::uint8_t[]> buffer,
                           std::uint32_t capacity, std::uint32_t used) {
  auto* block = new ByteBlock;
  block->data = std::move(buffer);
  block->capacity = capacity;
  block->used = used;
  block->next = before;
  block->prev = before->prev;
  before->prev->next = block;
  before->prev = block;
  ++count_;
  totalLength_ += used;
  return block;
}

ByteBlock* BlockList::AppendBlock(std::unique_ptr<std::uint8_t[]> buffer, std::uint32_t capacity,
                                  std::uint32_t used) {
  // A block at the end moves no other block, so the finger stays valid.
  return Link(&sentinel_, std::move(buffer), capacity, used);
}

ByteBlock* BlockList::InsertBlockBefore(ByteBlock* block, std::unique_ptr<std::uint8_t[]> buffer,
                                        std::uint32_t capacity, std::uint32_t used) {
  Forget();
  return Link(block, std::move(buffer), capacity, used);
}

ByteBlock* BlockList::InsertBlockAfter(ByteBlock* block, std::unique_ptr<std::uint8_t[]> buffer,
                                       std::uint32_t capacity, std::uint32_t used) {
  Forget();
  return Link(block->next, std::move(buffer), capacity, used);
}

std::unique_ptr<std::uint8_t[]> BlockList::UnlinkBlock(ByteBlock* block) {
  Forget();
  block->prev->next = block->next;
  block->next->prev = block->prev;
  --count_;
  totalLength_ -= block->used;
  std::unique_ptr<std::uint8_t[]> buffer = std::move(block->data);
  delete block;
  return buffer;
}

void BlockList::Clear() {
  Forget();
  BlockLink* link = sentinel_.next;
  while (link != &sentinel_) {
    BlockLink* next = link->next;
    delete static_cast<ByteBlock*>(link);
    link = next;
  }
  sentinel_.next = sentinel_.prev = &sentinel_;
  count_ = 0;
  totalLength_ = 0;
}

void BlockList::Swap(BlockList& other) {
  // The end blocks point at their list's sentinel, so relink them.
  auto detach = [](BlockList& list) {
    BlockLink chain{list.sentinel_.next, list.sentinel_.prev};
    const bool empty = chain.next == &list.sentinel_;
    list.sentinel_.next = list.sentinel_.prev = &list.sentinel_;
    return std::pair{chain, empty};
  };
  auto attach = [](BlockList& list, std::pair<BlockLink, bool> detached) {
    if (detached.second) return;
    list.sentinel_.next = detached.first.next;
    list.sentinel_.prev = detached.first.prev;
    list.sentinel_.next->prev = &list.sentinel_;
    list.sentinel_.prev->next = &list.sentinel_;
  };
  auto mine = detach(*this);
  auto theirs = detach(other);
  attach(*this, theirs);
  attach(other, mine);
  std::swap(count_, other.count_);
  std::swap(totalLength_, other.totalLength_);
  std::swap(finger_, other.finger_);
}

void BlockList::ResetToEmptyDocument() {
  Clear();
  AppendBlock(ByteBlock::NewBuffer(), ByteBlock::kCapacity, 0);
}

std::string BlockList::CheckInvariants() const {
  std::int64_t count = 0;
  std::int64_t length = 0;
  const BlockLink* prev = &sentinel_;
  for (const BlockLink* l = sentinel_.next; l != &sentinel_; l = l->next) {
    if (l->prev != prev) return "broken back link";
    const auto* b = static_cast<const ByteBlock*>(l);
    if (b->used > b->capacity) return "used length beyond capacity";
    if (b->capacity != ByteBlock::kCapacity) return "block capacity is not 16384";
    if (b->data == nullptr) return "block without buffer";
    ++count;
    length += b->used;
    prev = l;
  }
  if (sentinel_.prev != prev) return "broken link to the last block";
  if (count != count_) return "block count out of step";
  if (length != totalLength_) return "total length out of step";
  if (count == 0) return "no block at all";
  if (count > 1) {
    for (const BlockLink* l = sentinel_.next; l != &sentinel_; l = l->next)
      if (static_cast<const ByteBlock*>(l)->used == 0) return "empty block in a non-empty chain";
  }
  if (finger_.block != nullptr) {
    std::int64_t start = 0;
    const BlockLink* l = sentinel_.next;
    while (l != &sentinel_ && l != finger_.block) {
      start += static_cast<const ByteBlock*>(l)->used;
      l = l->next;
    }
    if (l == &sentinel_) return "finger points at a block outside the chain";
    if (start != finger_.start) return "finger start out of step";
  }
  return {};
}

}  // namespace vantrell
