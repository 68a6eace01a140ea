#include "block_cursor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vantrell {

namespace {

std::int64_t Distance(std::int64_t a, std::int64_t b) { return a > b ? a - b : b - a; }

}  // namespace

bool BlockCursor::Place(std::int64_t position) {
  const std::int64_t length = Length();
  if (position < 0 || position > length) return false;
  // A list without blocks (not loaded yet, or cleared) holds no position.
  ByteBlock* block = list_->First();
  if (block == nullptr) return false;

  // Start from the nearest block whose start is known.
  std::int64_t start = 0;
  auto consider = [&](ByteBlock* candidate, std::int64_t candidateStart) {
    if (candidate != nullptr && Distance(candidateStart, position) < Distance(start, position)) {
      block = candidate;
      start = candidateStart;
    }
  };
  ByteBlock* last = list_->Last();
  consider(last, length - last->used);
  consider(list_->LastFinger().block, list_->LastFinger().start);

  while (position < start) {
    block = list_->Prev(block);
    start -= block->used;
  }
  for (ByteBlock* next = list_->Next(block); position >= start + block->used && next != nullptr;
       next = list_->Next(block)) {
    start += block->used;
    block = next;
  }
  block_ = block;
  blockStart_ = start;
  offset_ = position - start;
  list_->Remember(block_, blockStart_);
  return true;
}

bool BlockCursor::StepToNextBlock() {
  ByteBlock* next = list_->Next(block_);
  if (next == nullptr) return false;
  blockStart_ += block_->used;
  block_ = next;
  offset_ = 0;
  return true;
}

bool BlockCursor::PlaceAtByte(std::int64_t position) {
  return position >= 0 && position < Length() && Place(position);
}

bool BlockCursor::Seek(std::int64_t distance, Origin origin, DocPos* absolute) {
  std::int64_t target = distance;
  switch (origin) {
    case Origin::Start:
      break;
    case Origin::Current:
      if (block_ == nullptr) return false;
      target = blockStart_ + offset_ + distance;
      break;
    case Origin::End:
      if (distance > 0) return false;
      target = Length() + distance;
      break;
  }
  if (!Place(target)) return false;
  remembered_ = -1;
  if (absolute != nullptr) *absolute = static_cast<DocPos>(target);
  return true;
}

bool BlockCursor::ReadAtSlow(DocPos position, std::uint8_t& byte) {
  if (position < 0 || position >= Length()) return false;
  // Step into a neighbouring block when the read continues a sequence.
  const bool forward = block_ != nullptr && position == blockStart_ + block_->used && StepToNextBlock();
  ByteBlock* prev = block_ != nullptr ? list_->Prev(block_) : nullptr;
  if (!forward) {
    if (prev != nullptr && position == blockStart_ - 1) {
      block_ = prev;
      blockStart_ -= prev->used;
      offset_ = prev->used - 1;
    } else if (!Place(position)) {
      return false;
    }
  }
  list_->Remember(block_, blockStart_);
  remembered_ = position;
  byte = block_->data[offset_];
  return true;
}

DocPos BlockCursor::ReadBytes(DocPos count, std::uint8_t* destination) {
  DocPos copied = 0;
  while (block_ != nullptr && copied < count) {
    if (offset_ < 0) return copied;
    const std::int64_t available = block_->used - offset_;
    const std::int64_t take = std::min<std::int64_t>(available, count - copied);
    std::memcpy(destination + copied, block_->data.get() + offset_, take);
    copied += static_cast<DocPos>(take);
    offset_ += take;
    if (offset_ < block_->used || !StepToNextBlock()) break;  // at the end it stays there
  }
  return copied;
}

bool BlockCursor::ReadNext(std::uint8_t& byte) {
  if (block_ == nullptr || offset_ < 0 || offset_ >= block_->used) return false;
  byte = block_->data[offset_++];
  if (offset_ >= block_->used && !StepToNextBlock()) Unplace();
  return true;
}

bool BlockCursor::ReadPrev(std::uint8_t& byte) {
  if (block_ == nullptr || offset_ < 0 || offset_ >= block_->used) return false;
  byte = block_->data[offset_--];
  if (offset_ < 0) {
    ByteBlock* prev = list_->Prev(block_);
    if (prev != nullptr) {
      block_ = prev;
      blockStart_ -= prev->used;
      offset_ = prev->used - 1;
    }
  }
  return true;
}

bool BlockCursor::NextBlockData(const std::uint8_t*& data, std::uint32_t& used) {
  if (block_ == nullptr) return false;
  data = block_->data.get();
  used = block_->used;
  if (!StepToNextBlock()) Unplace();
  return true;
}

BlockCursor::EditAnchor BlockCursor::BeginEdit() const {
  ByteBlock* prev = list_->Prev(block_);
  return {prev, prev != nullptr ? blockStart_ - prev->used : 0};
}

void BlockCursor::EndEdit(const EditAnchor& anchor) {
  if (anchor.block != nullptr) {
    list_->Remember(anchor.block, anchor.start);
  } else {
    list_->Forget();
  }
  Unplace();
}

bool BlockCursor::OverwriteByte(DocPos position, std::uint8_t byte, std::uint8_t& old) {
  if (!PlaceAtByte(position)) return false;
  old = block_->data[offset_];
  block_->data[offset_] = byte;
  return true;
}

bool BlockCursor::OrByte(DocPos position, std::uint8_t bits, std::uint8_t& old) {
  if (!PlaceAtByte(position)) return false;
  old = block_->data[offset_];
  block_->data[offset_] = static_cast<std::uint8_t>(old | bits);
  return true;
}

bool BlockCursor::InsertByte(DocPos position, std::uint8_t byte) {
  if (Length() >= kMaxDocumentLength || !Place(position)) return false;
  const EditAnchor anchor = BeginEdit();
  ByteBlock* block = block_;
  std::uint8_t* data = block->data.get();
  const std::uint32_t offset = static_cast<std::uint32_t>(offset_);

  if (block->used < block->capacity) {
    std::memmove(data + offset + 1, data + offset, block->used - offset);
    data[offset] = byte;
    ++block->used;
    list_->AdjustLength(1);
  } else {
    // A full block splits into two halves; the byte goes into the new one.
    const std::uint32_t half = block->capacity / 2;
    auto buffer = ByteBlock::NewBuffer();
    std::uint8_t* fresh = buffer.get();
    if (offset < half) {
      std::memcpy(fresh, data, offset);
      fresh[offset] = byte;
      std::memcpy(fresh + offset + 1, data + offset, half - offset);
      std::memmove(data, data + half, block->capacity - half);
      block->used = block->capacity - half;
      list_->AdjustLength(-static_cast<std::int64_t>(half));
      list_->InsertBlockBefore(block, std::move(buffer), ByteBlock::kCapacity, half + 1);
    } else {
      std::memcpy(fresh, data + half, offset - half);
      fresh[offset - half] = byte;
      std::memcpy(fresh + offset - half + 1, data + offset, block->used - offset);
      const std::uint32_t moved = block->used - half;
      block->used = half;
      list_->AdjustLength(-static_cast<std::int64_t>(moved));
      list_->InsertBlockAfter(block, std::move(buffer), ByteBlock::kCapacity, moved + 1);
    }
  }
  EndEdit(anchor);
  return true;
}

bool BlockCursor::DeleteByte(DocPos position, std::uint8_t& deleted) {
  if (!PlaceAtByte(position)) return false;
  const EditAnchor anchor = BeginEdit();
  ByteBlock* block = block_;
  std::uint8_t* data = block->data.get();
  deleted = data[offset_];
  if (block->used > 1) {
    std::memmove(data + offset_, data + offset_ + 1, block->used - offset_ - 1);
    data[block->used - 1] = 0;
    --block->used;
    list_->AdjustLength(-1);
  } else if (HasNeighbour(block)) {
    list_->UnlinkBlock(block);
  } else {
    block->used = 0;
    list_->AdjustLength(-1);
  }
  EndEdit(anchor);
  return true;
}

bool BlockCursor::CopyRange(DocPos start, DocPos count, Bytes& out) {
  if (count < 1 || start < 0 || std::int64_t{start} + count > Length()) return false;
  out.resize(count);
  VisitRun(start, count, [&](std::uint8_t* at, std::int64_t done, std::int64_t piece) {
    std::memcpy(out.data() + done, at, piece);
  });
  return true;
}

bool BlockCursor::CutRange(DocPos start, DocPos count, Bytes& out) {
  if (count < 1 || start < 0 || std::int64_t{start} + count > Length() || !Place(start))
    return false;
  const EditAnchor anchor = BeginEdit();
  out.resize(count);
  std::uint8_t* dest = out.data();
  ByteBlock* block = block_;
  std::uint32_t offset = static_cast<std::uint32_t>(offset_);
  std::int64_t rest = count;

  auto takeFromStart = [&](ByteBlock* b, std::uint32_t n) {
    std::memcpy(dest, b->data.get(), n);
    dest += n;
    rest -= n;
  };

  if (block->used - offset >= rest) {
    // The range lies inside the current block.
    std::uint8_t* data = block->data.get();
    std::memcpy(dest, data + offset, rest);
    if (offset == 0 && rest == block->used && HasNeighbour(block)) {
      list_->UnlinkBlock(block);
    } else {
      std::memmove(data + offset, data + offset + rest, block->used - offset - rest);
      block->used -= static_cast<std::uint32_t>(rest);
      list_->AdjustLength(-rest);
    }
  } else {
    if (offset > 0) {
      const std::uint32_t tail = block->used - offset;
      std::memcpy(dest, block->data.get() + offset, tail);
      dest += tail;
      rest -= tail;
      block->used = offset;
      list_->AdjustLength(-static_cast<std::int64_t>(tail));
      block = list_->Next(block);
    }
    for (;;) {
      if (rest > block->used) {
        takeFromStart(block, block->used);
        ByteBlock* next = list_->Next(block);
        list_->UnlinkBlock(block);
        block = next;
      } else if (rest < block->used) {
        const auto n = static_cast<std::uint32_t>(rest);
        takeFromStart(block, n);
        std::memmove(block->data.get(), block->data.get() + n, block->used - n);
        block->used -= n;
        list_->AdjustLength(-static_cast<std::int64_t>(n));
        break;
      } else {
        takeFromStart(block, block->used);
        if (HasNeighbour(block)) {
          list_->UnlinkBlock(block);
        } else {
          list_->AdjustLength(-static_cast<std::int64_t>(block->used));
          block->used = 0;
        }
        break;
      }
    }
  }
  EndEdit(anchor);
  return true;
}

bool BlockCursor::InsertBytes(DocPos position, const std::uint8_t* bytes, DocPos count) {
  if (count < 1 || Length() + count > kMaxDocumentLength || !Place(position)) return false;
  const EditAnchor anchor = BeginEdit();
  ByteBlock* block = block_;
  const auto offset = static_cast<std::uint32_t>(offset_);
  const auto capacity = block->capacity;

  if (std::int64_t{block->used} + count <= capacity) {
    std::uint8_t* data = block->data.get();
    std::memmove(data + offset + count, data + offset, block->used - offset);
    std::memcpy(data + offset, bytes, count);
    block->used += count;
    list_->AdjustLength(count);
  } else {
    if (offset < block->used) {
      // Split off the tail; the new bytes go between the two parts.
      const std::uint32_t tail = block->used - offset;
      auto buffer = ByteBlock::NewBuffer();
      std::memcpy(buffer.get(), block->data.get() + offset, tail);
      block->used = offset;
      list_->AdjustLength(-static_cast<std::int64_t>(tail));
      list_->InsertBlockAfter(block, std::move(buffer), ByteBlock::kCapacity, tail);
    }
    const auto fit = static_cast<std::uint32_t>(std::min<std::int64_t>(capacity - offset, count));
    std::memcpy(block->data.get() + offset, bytes, fit);
    block->used += fit;
    list_->AdjustLength(fit);

    ByteBlock* after = block;
    for (std::int64_t done = fit; done < count;) {
      const auto piece =
          static_cast<std::uint32_t>(std::min<std::int64_t>(ByteBlock::kCapacity, count - done));
      auto buffer = ByteBlock::NewBuffer();
      std::memcpy(buffer.get(), bytes + done, piece);
      after = list_->InsertBlockAfter(after, std::move(buffer), ByteBlock::kCapacity, piece);
      done += piece;
    }
  }
  EndEdit(anchor);
  return true;
}

template <typename Visit>
void BlockCursor::VisitRun(std::int64_t start, std::int64_t count, Visit visit) {
  if (count == 0 || !PlaceAtByte(start)) return;
  for (std::int64_t done = 0; done < count;) {
    const std::int64_t piece = std::min<std::int64_t>(block_->used - offset_, count - done);
    visit(block_->data.get() + offset_, done, piece);
    done += piece;
    offset_ += piece;
    if (done < count) StepToNextBlock();
  }
  list_->Remember(block_, blockStart_);
}

bool BlockCursor::ReplaceRange(DocPos start, DocPos oldCount, const std::uint8_t* bytes,
                               DocPos newCount, Bytes& old) {
  const std::int64_t length = Length();
  if (oldCount < 0 || newCount < 0 || oldCount + std::int64_t{newCount} < 1 || start < 0 ||
      std::int64_t{start} + oldCount > length ||
      length - oldCount + newCount > kMaxDocumentLength)
    return false;
  old.resize(oldCount);
  const DocPos common = std::min(oldCount, newCount);
  VisitRun(start, common, [&](std::uint8_t* at, std::int64_t done, std::int64_t piece) {
    std::memcpy(old.data() + done, at, piece);
    std::memcpy(at, bytes + done, piece);
  });
  if (newCount < oldCount) {
    Bytes cut;
    if (!CutRange(start + common, oldCount - common, cut)) return false;  // cannot fail: checked
    std::copy(cut.begin(), cut.end(), old.begin() + common);
  } else if (newCount > oldCount) {
    if (!InsertBytes(start + common, bytes + common, newCount - common)) return false;
  }
  Unplace();
  return true;
}

bool BlockCursor::FillRange(DocPos start, DocPos count, std::uint8_t byte, Bytes& old) {
  if (count < 1 || start < 0 || std::int64_t{start} + count > Length()) return false;
  old.resize(count);
  VisitRun(start, count, [&](std::uint8_t* at, std::int64_t done, std::int64_t piece) {
    std::memcpy(old.data() + done, at, piece);
    std::memset(at, byte, piece);
  });
  Unplace();
  return true;
}

bool BlockCursor::FindPattern(const std::uint8_t* pattern, int length, Direction direction,
                              DocPos start, DocPos limit, DocPos& found) {
  if (pattern == nullptr || length < 1 || start < 0 || limit < 0) return false;
  return direction == Direction::Forward ? FindForward(pattern, length, start, limit, found)
                                         : FindBackward(pattern, length, start, limit, found);
}

bool BlockCursor::FindForward(const std::uint8_t* pattern, int length, std::int64_t start,
                              std::int64_t limit, DocPos& found) {
  // Short patterns (all that the editor's dialogs produce) shift by at most
  // 255, so a byte table is enough and cheap to build for each call.
  if (length <= 0xFF) {
    std::uint8_t shift[256];
    return FindForwardWith(shift, pattern, length, start, limit, found);
  }
  int shift[256];
  return FindForwardWith(shift, pattern, length, start, limit, found);
}

template <typename Shift>
bool BlockCursor::FindForwardWith(Shift (&shift)[256], const std::uint8_t* pattern, int length,
                                  std::int64_t start, std::int64_t limit, DocPos& found) {
  const std::int64_t end = (limit == 0 || limit > Length()) ? Length() : limit;
  // Bad-character shifts: the distance from a byte's last place in the
  // pattern (its final byte not counted) to the pattern's end.
  std::fill(std::begin(shift), std::end(shift), static_cast<Shift>(length));
  for (int i = 0; i < length - 1; ++i) shift[pattern[i]] = static_cast<Shift>(length - 1 - i);
  auto nextWindowEnd = [&](std::int64_t mismatchAt, int k, std::uint8_t c) {
    return mismatchAt + std::max<std::int64_t>(shift[c], length - k);
  };

  std::int64_t windowEnd = start + length - 1;
  std::uint8_t c = 0;
  while (windowEnd < end) {
    if (!ReadAt(static_cast<DocPos>(windowEnd), c)) return false;  // places the cursor
    // Windows that lie wholly inside the current block are compared in place.
    const std::uint8_t* data = block_->data.get();
    const std::int64_t blockEnd = std::min<std::int64_t>(blockStart_ + block_->used, end);
    const std::uint8_t last = pattern[length - 1];
    while (windowEnd < blockEnd && windowEnd - (length - 1) >= blockStart_) {
      // No match ends on a byte other than the pattern's last one, so a
      // window ending on such a byte moves straight to the next place where
      // that byte occurs (memchr finds it faster than shift by shift).
      const std::uint8_t* at = data + (windowEnd - blockStart_);
      if (*at != last) {
        const auto* next = static_cast<const std::uint8_t*>(
            std::memchr(at, last, static_cast<std::size_t>(blockEnd - windowEnd)));
        windowEnd = next != nullptr ? blockStart_ + (next - data) : blockEnd;
        continue;
      }
      int k = length - 1;
      while (*at == pattern[k]) {
        if (k == 0) {
          found = static_cast<DocPos>(blockStart_ + (at - data));
          return true;
        }
        --k;
        --at;
      }
      windowEnd = nextWindowEnd(blockStart_ + (at - data), k, *at);
    }
    if (windowEnd >= blockEnd) continue;

    // The window reaches back into earlier blocks: compare byte by byte.
    int k = length - 1;
    std::int64_t at = windowEnd;
    while (ReadAt(static_cast<DocPos>(at), c) && c == pattern[k]) {
      if (k == 0) {
        found = static_cast<DocPos>(at);
        return true;
      }
      --k;
      --at;
    }
    windowEnd = nextWindowEnd(at, k, c);
  }
  return false;
}

bool BlockCursor::FindBackward(const std::uint8_t* pattern, int length, std::int64_t start,
                               std::int64_t limit, DocPos& found) {
  if (start < length - 1 || start >= Length()) return false;
  // Each byte keeps its smallest index of at least 1 in the pattern.
  int shift[256];
  std::fill(std::begin(shift), std::end(shift), length);
  for (int i = length - 1; i >= 1; --i) shift[pattern[i]] = i;

  std::int64_t windowStart = start - (length - 1);
  std::uint8_t c = 0;
  while (windowStart >= limit) {
    int k = 0;
    while (ReadAt(static_cast<DocPos>(windowStart + k), c) && c == pattern[k]) {
      if (++k == length) {
        found = static_cast<DocPos>(windowStart);
        return true;
      }
    }
    const std::int64_t step = std::max(shift[c] - k, 1);
    if (step > windowStart || windowStart - step < limit) return false;
    windowStart -= step;
  }
  return false;
}

bool BlockCursor::FindOtherByte(std::uint8_t byte, Direction direction, DocPos start,
                                DocPos limit, DocPos& found) {
  if (start < 0 || limit < 0) return false;
  std::uint8_t c = 0;
  if (direction == Direction::Forward) {
    const std::int64_t end = (limit == 0 || limit > Length()) ? Length() : limit;
    for (std::int64_t p = start; p < end; ++p) {
      if (!ReadAt(static_cast<DocPos>(p), c)) return false;
      if (c != byte) {
        found = static_cast<DocPos>(p);
        return true;
      }
    }
    return false;
  }
  if (start >= Length()) return false;
  for (std::int64_t p = start; p >= limit; --p) {
    if (!ReadAt(static_cast<DocPos>(p), c)) return false;
    if (c != byte) {
      found = static_cast<DocPos>(p);
      return true;
    }
  }
  return false;
}

}  // namespace vantrell
