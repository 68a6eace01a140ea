// Tests of the block store: the chain of 16 KiB blocks and the cursor that
// reads, edits and searches it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "document/block_cursor.h"
#include "document/block_list.h"
#include "document/byte_block.h"
#include "document/doc_types.h"

namespace vantrell {
namespace {

constexpr std::uint32_t kCap = ByteBlock::kCapacity;
constexpr DocPos kBlock = static_cast<DocPos>(kCap);
using Sizes = std::vector<std::uint32_t>;
using Dir = BlockCursor::Direction;
using Origin = BlockCursor::Origin;

// ---------------------------------------------------------------------------
// Helpers

class Rng {
 public:
  explicit Rng(std::uint32_t seed) : engine_(seed) {}
  // Uniform in lo..hi inclusive.
  std::int64_t Between(std::int64_t lo, std::int64_t hi) {
    return std::uniform_int_distribution<std::int64_t>(lo, hi)(engine_);
  }
  bool OneIn(int n) { return Between(0, n - 1) == 0; }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Between(0, 255)); }
  Bytes RandomBytes(std::int64_t n, int alphabet = 256) {
    Bytes out(static_cast<std::size_t>(n));
    for (auto& b : out) b = static_cast<std::uint8_t>(Between(0, alphabet - 1));
    return out;
  }

 private:
  std::mt19937 engine_;
};

// A recognisable byte for each position, so that misplaced bytes show.
Bytes Numbered(std::size_t n) {
  Bytes out(n);
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return out;
}

// Appends blocks with the given used lengths, taking their bytes from `bytes` in order.
void BuildBlocks(BlockList& list, const Bytes& bytes, const Sizes& sizes) {
  list.Clear();
  std::size_t at = 0;
  for (std::uint32_t used : sizes) {
    auto buffer = ByteBlock::NewBuffer();
    std::memcpy(buffer.get(), bytes.data() + at, used);
    list.AppendBlock(std::move(buffer), kCap, used);
    at += used;
  }
  ASSERT_EQ(at, bytes.size()) << "block sizes do not add up to the bytes";
}

// Loads bytes the way a file is loaded: full blocks, the last one partly filled.
void BuildFull(BlockList& list, const Bytes& bytes) {
  if (bytes.empty()) {
    list.ResetToEmptyDocument();
    return;
  }
  Sizes sizes;
  for (std::size_t at = 0; at < bytes.size(); at += kCap)
    sizes.push_back(static_cast<std::uint32_t>(std::min<std::size_t>(kCap, bytes.size() - at)));
  BuildBlocks(list, bytes, sizes);
}

std::uint32_t SumOf(const Sizes& sizes) {
  std::uint32_t sum = 0;
  for (auto s : sizes) sum += s;
  return sum;
}

Sizes BlockSizes(const BlockList& list) {
  Sizes sizes;
  for (const ByteBlock* b = list.First(); b != nullptr; b = list.Next(b)) sizes.push_back(b->used);
  return sizes;
}

// The chain as seen through its public links, checked independently of
// BlockList::CheckInvariants.
std::string StructureProblem(const BlockList& list) {
  const ByteBlock* first = list.First();
  if (first == nullptr) return "no block";
  if (list.Prev(first) != nullptr) return "first block has a previous block";
  if (list.Next(list.Last()) != nullptr) return "last block has a next block";
  std::int64_t count = 0;
  std::int64_t length = 0;
  bool emptyBlock = false;
  for (const ByteBlock* b = first; b != nullptr; b = list.Next(b)) {
    ++count;
    length += b->used;
    if (b->capacity != kCap) return "block capacity " + std::to_string(b->capacity);
    if (b->used > b->capacity) return "used beyond capacity";
    if (b->used == 0) emptyBlock = true;
    const ByteBlock* next = list.Next(b);
    if (next != nullptr && list.Prev(next) != b) return "back link broken";
    if (next == nullptr && b != list.Last()) return "Last() is not the last block";
  }
  if (count != list.BlockCount()) return "BlockCount() disagrees with the chain";
  if (length != list.TotalLength()) return "TotalLength() disagrees with the chain";
  if (emptyBlock && count > 1) return "empty block in a non-empty document";
  return {};
}

::testing::AssertionResult SameBytes(const Bytes& actual, const Bytes& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  std::size_t i = 0;
  while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) ++i;
  auto failure = ::testing::AssertionFailure();
  failure << "lengths " << actual.size() << " vs expected " << expected.size()
          << "; first difference at " << i;
  if (i < actual.size() && i < expected.size())
    failure << " (" << int{actual[i]} << " vs expected " << int{expected[i]} << ")";
  return failure;
}

// The whole document, block by block.
Bytes ReadByBlocks(BlockList& list) {
  Bytes out;
  BlockCursor cursor(list);
  if (!cursor.Seek(0)) {
    ADD_FAILURE() << "cannot seek to the start";
    return out;
  }
  const std::uint8_t* data = nullptr;
  std::uint32_t used = 0;
  std::int64_t blocks = 0;
  while (cursor.NextBlockData(data, used)) {
    out.insert(out.end(), data, data + used);
    ++blocks;
  }
  EXPECT_EQ(blocks, list.BlockCount());
  EXPECT_FALSE(cursor.IsPlaced());
  return out;
}

// The document from `start` on, in chunks of `chunk` bytes.
Bytes ReadByChunks(BlockList& list, DocPos start, DocPos chunk) {
  Bytes out;
  BlockCursor cursor(list);
  if (!cursor.Seek(start)) {
    ADD_FAILURE() << "cannot seek to " << start;
    return out;
  }
  Bytes buffer(static_cast<std::size_t>(chunk));
  for (;;) {
    const DocPos got = cursor.ReadBytes(chunk, buffer.data());
    out.insert(out.end(), buffer.begin(), buffer.begin() + got);
    if (got < chunk) break;
  }
  return out;
}

// ---------------------------------------------------------------------------
// Randomized comparison against a plain vector

class Differential {
 public:
  Differential(std::uint32_t seed, const Bytes& initial, std::int64_t maxLength, int smallCount)
      : rng_(seed), model_(initial), maxLength_(maxLength), smallCount_(smallCount) {
    BuildFull(list_, model_);
  }

  void Run(int steps) {
    ASSERT_NO_FATAL_FAILURE(Check());
    for (int step = 0; step < steps; ++step) {
      std::ostringstream what;
      what << "step " << step << ", length " << model_.size() << ": ";
      ASSERT_NO_FATAL_FAILURE(Step(what));
      ASSERT_NO_FATAL_FAILURE(Probe());
      if (step % 10 == 0) {
        ASSERT_NO_FATAL_FAILURE(CheckReadBytes());
      }
      if (step % 50 == 0) {
        ASSERT_NO_FATAL_FAILURE(CheckReadAt());
      }
    }
    ASSERT_NO_FATAL_FAILURE(CheckReadAt());
  }

 private:
  DocPos Length() const { return static_cast<DocPos>(model_.size()); }

  // Positions near block boundaries and the ends come up often.
  DocPos PickPosition(bool allowEnd) {
    const DocPos top = allowEnd ? Length() : Length() - 1;
    const auto pick = rng_.Between(0, 9);
    if (pick == 0) return rng_.OneIn(2) ? 0 : top;
    if (pick <= 3) {
      std::vector<DocPos> bounds;
      DocPos at = 0;
      for (auto s : BlockSizes(list_)) bounds.push_back(at += static_cast<DocPos>(s));
      const DocPos near = bounds[rng_.Between(0, static_cast<std::int64_t>(bounds.size()) - 1)];
      return static_cast<DocPos>(std::clamp<std::int64_t>(near + rng_.Between(-2, 2), 0, top));
    }
    return static_cast<DocPos>(rng_.Between(0, top));
  }

  // A count of at most `most` (>= 1): mostly small, sometimes about a block or more.
  DocPos PickCount(std::int64_t most) {
    std::int64_t n;
    switch (rng_.Between(0, 9)) {
      case 0:
      case 1:
        n = rng_.Between(kCap - 3, kCap + 3);
        break;
      case 2:
        n = rng_.Between(kCap + 1, 3 * kCap);
        break;
      default:
        n = rng_.Between(1, smallCount_);
    }
    return static_cast<DocPos>(std::clamp<std::int64_t>(n, 1, most));
  }

  void Step(std::ostringstream& what) {
    int op = static_cast<int>(rng_.Between(0, 11));
    // Keep the document's size within bounds.
    if (Length() > maxLength_ && op <= 3) op = 5;
    if (Length() == 0 && op >= 3 && op <= 10) op = static_cast<int>(rng_.Between(0, 2));

    BlockCursor cursor(list_);
    switch (op) {
      case 0:
      case 1: {
        const DocPos p = PickPosition(true);
        const std::uint8_t b = rng_.Byte();
        what << "InsertByte(" << p << ")";
        SCOPED_TRACE(what.str());
        ASSERT_TRUE(cursor.InsertByte(p, b));
        model_.insert(model_.begin() + p, b);
        break;
      }
      case 2: {
        const DocPos p = PickPosition(true);
        const Bytes bytes = rng_.RandomBytes(PickCount(1 << 20));
        what << "InsertBytes(" << p << ", " << bytes.size() << ")";
        SCOPED_TRACE(what.str());
        ASSERT_TRUE(cursor.InsertBytes(p, bytes.data(), static_cast<DocPos>(bytes.size())));
        model_.insert(model_.begin() + p, bytes.begin(), bytes.end());
        break;
      }
      case 3:
      case 4: {
        const DocPos p = PickPosition(false);
        what << "DeleteByte(" << p << ")";
        SCOPED_TRACE(what.str());
        std::uint8_t deleted = 0;
        ASSERT_TRUE(cursor.DeleteByte(p, deleted));
        EXPECT_EQ(deleted, model_[p]);
        model_.erase(model_.begin() + p);
        break;
      }
      case 5: {
        const DocPos p = PickPosition(false);
        const DocPos n = PickCount(Length() - p);
        what << "CutRange(" << p << ", " << n << ")";
        SCOPED_TRACE(what.str());
        Bytes cut;
        ASSERT_TRUE(cursor.CutRange(p, n, cut));
        EXPECT_TRUE(SameBytes(cut, Bytes(model_.begin() + p, model_.begin() + p + n)));
        model_.erase(model_.begin() + p, model_.begin() + p + n);
        break;
      }
      case 6:
      case 7: {
        const DocPos p = PickPosition(false);
        const DocPos oldCount = PickCount(Length() - p);
        DocPos newCount;
        switch (rng_.Between(0, 3)) {
          case 0:
            newCount = oldCount;
            break;
          case 1:
            newCount = static_cast<DocPos>(rng_.Between(0, oldCount - 1));
            break;
          case 2:
            newCount = 0;
            break;
          default:
            newCount = oldCount + PickCount(1 << 20);
        }
        const Bytes bytes = rng_.RandomBytes(newCount);
        what << "ReplaceRange(" << p << ", " << oldCount << ", " << newCount << ")";
        SCOPED_TRACE(what.str());
        const Sizes before = BlockSizes(list_);
        Bytes old;
        ASSERT_TRUE(cursor.ReplaceRange(p, oldCount, bytes.data(), newCount, old));
        EXPECT_TRUE(SameBytes(old, Bytes(model_.begin() + p, model_.begin() + p + oldCount)));
        if (newCount == oldCount) {
          EXPECT_EQ(BlockSizes(list_), before);
        }
        model_.erase(model_.begin() + p, model_.begin() + p + oldCount);
        model_.insert(model_.begin() + p, bytes.begin(), bytes.end());
        break;
      }
      case 8: {
        const DocPos p = PickPosition(false);
        const DocPos n = PickCount(Length() - p);
        const std::uint8_t b = rng_.Byte();
        what << "FillRange(" << p << ", " << n << ")";
        SCOPED_TRACE(what.str());
        const Sizes before = BlockSizes(list_);
        Bytes old;
        ASSERT_TRUE(cursor.FillRange(p, n, b, old));
        EXPECT_TRUE(SameBytes(old, Bytes(model_.begin() + p, model_.begin() + p + n)));
        EXPECT_EQ(BlockSizes(list_), before);
        std::fill(model_.begin() + p, model_.begin() + p + n, b);
        break;
      }
      case 9: {
        const DocPos p = PickPosition(false);
        const std::uint8_t b = rng_.Byte();
        what << "OverwriteByte(" << p << ")";
        SCOPED_TRACE(what.str());
        std::uint8_t old = 0;
        ASSERT_TRUE(cursor.OverwriteByte(p, b, old));
        EXPECT_EQ(old, model_[p]);
        model_[p] = b;
        break;
      }
      case 10: {
        const DocPos p = PickPosition(false);
        const DocPos n = PickCount(Length() - p);
        what << "CopyRange(" << p << ", " << n << ")";
        SCOPED_TRACE(what.str());
        Bytes copy;
        ASSERT_TRUE(cursor.CopyRange(p, n, copy));
        EXPECT_TRUE(SameBytes(copy, Bytes(model_.begin() + p, model_.begin() + p + n)));
        break;
      }
      default:
        ASSERT_NO_FATAL_FAILURE(FailingCall(what));
        return;
    }
    SCOPED_TRACE(what.str());
    ASSERT_NO_FATAL_FAILURE(Check());
  }

  // A call with a position outside the document: it fails and changes nothing.
  void FailingCall(std::ostringstream& what) {
    const DocPos len = Length();
    const DocPos beyond = len + 1 + static_cast<DocPos>(rng_.Between(0, 3));
    const DocPos negative = -static_cast<DocPos>(rng_.Between(1, 3));
    const DocPos bad = rng_.OneIn(3) ? negative : beyond;
    const Sizes sizesBefore = BlockSizes(list_);
    const Bytes bytes = rng_.RandomBytes(PickCount(1 << 20));
    const auto count = static_cast<DocPos>(bytes.size());
    // A start inside the document with a count that runs past its end.
    const DocPos inside = len == 0 ? 0 : PickPosition(false);
    const DocPos tooMany =
        len - inside + 1 + static_cast<DocPos>(rng_.OneIn(2) ? 0 : rng_.Between(1, kCap));

    BlockCursor cursor(list_);
    Bytes out{0xEE};
    std::uint8_t byte = 0;
    bool result = true;
    const int kind = static_cast<int>(rng_.Between(0, 10));
    what << "failing call " << kind << " (bad " << bad << ", inside " << inside << ", too many "
         << tooMany << ")";
    SCOPED_TRACE(what.str());
    switch (kind) {
      case 0:
        result = cursor.InsertByte(bad, 0x11);
        break;
      case 1:
        result = cursor.InsertBytes(bad, bytes.data(), count);
        break;
      case 2:
        result = cursor.DeleteByte(rng_.OneIn(2) ? len : bad, byte);
        break;
      case 3:
        result = cursor.OverwriteByte(rng_.OneIn(2) ? len : bad, 0x22, byte);
        break;
      case 4:
        result = cursor.OrByte(rng_.OneIn(2) ? len : bad, 0x80, byte);
        break;
      case 5:
        result = rng_.OneIn(2) ? cursor.CutRange(inside, tooMany, out)
                               : cursor.CutRange(negative, 1, out);
        break;
      case 6:
        result = rng_.OneIn(2) ? cursor.FillRange(inside, tooMany, 0x33, out)
                               : cursor.FillRange(negative, 1, 0x33, out);
        break;
      case 7:
        result = rng_.OneIn(2) ? cursor.CopyRange(inside, tooMany, out)
                               : cursor.CopyRange(negative, 1, out);
        break;
      case 8:
        // Shrinking, equal and growing replacements of a range that runs past the end.
        result = cursor.ReplaceRange(
            inside, tooMany, bytes.data(),
            std::min<DocPos>(count, tooMany + static_cast<DocPos>(rng_.Between(-1, 1))), out);
        break;
      case 9:
        // An insertion (nothing replaced) beyond the end or before the start.
        result = cursor.ReplaceRange(bad, 0, bytes.data(), count, out);
        break;
      default:
        result = cursor.Seek(bad);
        EXPECT_FALSE(cursor.IsPlaced());
        break;
    }
    EXPECT_FALSE(result);
    EXPECT_EQ(BlockSizes(list_), sizesBefore);
    ASSERT_NO_FATAL_FAILURE(Check());
  }

  void Check() {
    ASSERT_EQ(list_.CheckInvariants(), "");
    ASSERT_EQ(StructureProblem(list_), "");
    ASSERT_EQ(list_.TotalLength(), Length());
    ASSERT_TRUE(SameBytes(ReadByBlocks(list_), model_));
  }

  // Reads at random places; they also move the list's remembered block around.
  void Probe() {
    for (int i = 0; i < 3; ++i) {
      if (Length() == 0) return;
      BlockCursor cursor(list_);
      const DocPos p = PickPosition(false);
      std::uint8_t b = 0;
      if (rng_.OneIn(2)) {
        ASSERT_TRUE(cursor.ReadAt(p, b));
      } else {
        DocPos absolute = -1;
        ASSERT_TRUE(cursor.Seek(p, Origin::Start, &absolute));
        EXPECT_EQ(absolute, p);
        ASSERT_TRUE(cursor.ReadNext(b));
      }
      ASSERT_EQ(b, model_[p]) << "at " << p;
    }
  }

  void CheckReadBytes() {
    const DocPos start = PickPosition(true);
    const DocPos chunk = static_cast<DocPos>(rng_.OneIn(2) ? rng_.Between(1, 100)
                                                           : rng_.Between(kCap - 1, 2 * kCap));
    SCOPED_TRACE("ReadBytes from " + std::to_string(start) + " by " + std::to_string(chunk));
    ASSERT_TRUE(
        SameBytes(ReadByChunks(list_, start, chunk), Bytes(model_.begin() + start, model_.end())));
  }

  // ReadAt forward, backward and by jumps, all through one cursor.
  void CheckReadAt() {
    BlockCursor cursor(list_);
    std::uint8_t b = 0;
    for (DocPos p = 0; p < Length(); ++p) {
      ASSERT_TRUE(cursor.ReadAt(p, b));
      ASSERT_EQ(b, model_[p]) << "forward at " << p;
    }
    for (DocPos p = Length() - 1; p >= 0; --p) {
      ASSERT_TRUE(cursor.ReadAt(p, b));
      ASSERT_EQ(b, model_[p]) << "backward at " << p;
    }
    for (int i = 0; i < 200 && Length() > 0; ++i) {
      const DocPos p = PickPosition(false);
      ASSERT_TRUE(cursor.ReadAt(p, b));
      ASSERT_EQ(b, model_[p]) << "jump to " << p;
    }
    EXPECT_FALSE(cursor.ReadAt(Length(), b));
    EXPECT_FALSE(cursor.ReadAt(-1, b));
  }

  Rng rng_;
  BlockList list_;
  Bytes model_;
  std::int64_t maxLength_;
  int smallCount_;
};

TEST(BlockStoreDifferential, RandomEditsOnSeveralFullBlocks) {
  Rng rng(20240611);
  Differential run(7, rng.RandomBytes(5 * kCap + 1234), 6 * kCap, 300);
  run.Run(5000);
}

// Mostly a few bytes: the document often becomes empty and grows again from
// its single block; now and then a block-sized insertion is cut back.
TEST(BlockStoreDifferential, RandomEditsAroundTheEmptyDocument) {
  Differential run(11, Bytes{1, 2, 3}, 40, 6);
  run.Run(4000);
}

// ---------------------------------------------------------------------------
// Edge cases of the edits, with the block layout they must produce

struct LayoutCase {
  const char* name;
  Sizes before;
  DocPos position;
  Sizes after;
};

std::ostream& operator<<(std::ostream& os, const LayoutCase& c) { return os << c.name; }

class InsertByteLayout : public ::testing::TestWithParam<LayoutCase> {};

// A full block splits in two halves; the half that takes the byte holds 8193.
TEST_P(InsertByteLayout, SplitsFullBlocks) {
  const LayoutCase& c = GetParam();
  BlockList list;
  Bytes model = Numbered(SumOf(c.before));
  BuildBlocks(list, model, c.before);
  BlockCursor cursor(list);
  ASSERT_TRUE(cursor.InsertByte(c.position, 0xA5));
  model.insert(model.begin() + c.position, 0xA5);
  EXPECT_EQ(BlockSizes(list), c.after);
  EXPECT_EQ(list.CheckInvariants(), "");
  EXPECT_EQ(StructureProblem(list), "");
  EXPECT_TRUE(SameBytes(ReadByBlocks(list), model));
}

INSTANTIATE_TEST_SUITE_P(
    BlockStore, InsertByteLayout,
    ::testing::Values(
        LayoutCase{"Offset0", {kCap}, 0, {8193, 8192}},
        LayoutCase{"Offset1", {kCap}, 1, {8193, 8192}},
        LayoutCase{"Offset8191", {kCap}, 8191, {8193, 8192}},
        LayoutCase{"Offset8192", {kCap}, 8192, {8192, 8193}},
        LayoutCase{"Offset8193", {kCap}, 8193, {8192, 8193}},
        LayoutCase{"Offset16383", {kCap}, 16383, {8192, 8193}},
        LayoutCase{"AtTheEnd", {kCap}, kCap, {8192, 8193}},
        LayoutCase{"MiddleBlockOffset0", {kCap, kCap, kCap}, kCap, {kCap, 8193, 8192, kCap}},
        LayoutCase{
            "MiddleBlockOffset8191", {kCap, kCap, kCap}, kCap + 8191, {kCap, 8193, 8192, kCap}},
        LayoutCase{
            "MiddleBlockOffset8192", {kCap, kCap, kCap}, kCap + 8192, {kCap, 8192, 8193, kCap}},
        LayoutCase{
            "MiddleBlockLastByte", {kCap, kCap, kCap}, 2 * kCap - 1, {kCap, 8192, 8193, kCap}},
        // The position at a boundary belongs to the block that starts there,
        // even when the block before it has room.
        LayoutCase{"BoundaryAfterPartialBlock", {100, kCap, 50}, 100, {100, 8193, 8192, 50}},
        LayoutCase{"PartialBlockTakesByte", {kCap, 100, kCap}, kCap + 50, {kCap, 101, kCap}},
        LayoutCase{"EmptyDocument", {0}, 0, {1}}),
    [](const auto& info) { return std::string(info.param.name); });

struct InsertBytesCase {
  const char* name;
  Sizes before;
  DocPos position;
  DocPos count;
  Sizes after;
};

std::ostream& operator<<(std::ostream& os, const InsertBytesCase& c) { return os << c.name; }

class InsertBytesLayout : public ::testing::TestWithParam<InsertBytesCase> {};

// Bytes that do not fit split off the tail, fill the block up, go on in new
// full blocks and end before the tail.
TEST_P(InsertBytesLayout, FillsBlocksBeforeTheTail) {
  const InsertBytesCase& c = GetParam();
  BlockList list;
  Bytes model = Numbered(SumOf(c.before));
  BuildBlocks(list, model, c.before);
  Rng rng(3);
  const Bytes bytes = rng.RandomBytes(c.count);
  BlockCursor cursor(list);
  ASSERT_TRUE(cursor.InsertBytes(c.position, bytes.data(), c.count));
  model.insert(model.begin() + c.position, bytes.begin(), bytes.end());
  EXPECT_EQ(BlockSizes(list), c.after);
  EXPECT_EQ(list.CheckInvariants(), "");
  EXPECT_EQ(StructureProblem(list), "");
  EXPECT_TRUE(SameBytes(ReadByBlocks(list), model));
}

INSTANTIATE_TEST_SUITE_P(
    BlockStore, InsertBytesLayout,
    ::testing::Values(
        // 5000 old + 11384 new, 16384 new, 12232 new, then the 11384-byte tail.
        InsertBytesCase{"Middle40000", {kCap}, 5000, 40000, {kCap, kCap, 12232, 11384}},
        InsertBytesCase{"MiddleOfMiddleBlock",
                        {kCap, kCap, kCap},
                        kCap + 5000,
                        40000,
                        {kCap, kCap, kCap, 12232, 11384, kCap}},
        InsertBytesCase{"FitsInBlock", {1000, 2000}, 1500, 500, {1000, 2500}},
        InsertBytesCase{"FillsBlockExactly", {1000, 2000}, 1500, kCap - 2000, {1000, kCap}},
        InsertBytesCase{"StartOfFullBlock", {kCap}, 0, kCap, {kCap, kCap}},
        InsertBytesCase{"EndOfFullBlock", {kCap}, kCap, 100, {kCap, 100}},
        InsertBytesCase{"EndOfPartialBlock", {10000}, 10000, 10000, {kCap, 3616}},
        InsertBytesCase{"EmptyDocument", {0}, 0, 40000, {kCap, kCap, 7232}},
        InsertBytesCase{"BoundaryGoesToLaterBlock", {kCap, kCap}, kCap, 10, {kCap, 10, kCap}}),
    [](const auto& info) { return std::string(info.param.name); });

class DeleteByteLayout : public ::testing::TestWithParam<LayoutCase> {};

// A block that loses its only byte disappears, unless it is the only block.
TEST_P(DeleteByteLayout, RemovesEmptiedBlocks) {
  const LayoutCase& c = GetParam();
  BlockList list;
  Bytes model = Numbered(SumOf(c.before));
  BuildBlocks(list, model, c.before);
  BlockCursor cursor(list);
  std::uint8_t deleted = 0;
  ASSERT_TRUE(cursor.DeleteByte(c.position, deleted));
  EXPECT_EQ(deleted, model[c.position]);
  model.erase(model.begin() + c.position);
  EXPECT_EQ(BlockSizes(list), c.after);
  EXPECT_EQ(list.TotalLength(), static_cast<std::int64_t>(model.size()));
  EXPECT_EQ(list.CheckInvariants(), "");
  EXPECT_EQ(StructureProblem(list), "");
  EXPECT_TRUE(SameBytes(ReadByBlocks(list), model));
}

INSTANTIATE_TEST_SUITE_P(
    BlockStore, DeleteByteLayout,
    ::testing::Values(LayoutCase{"OnlyByteOfDocument", {1}, 0, {0}},
                      LayoutCase{"OnlyByteOfMiddleBlock", {kCap, 1, kCap}, kCap, {kCap, kCap}},
                      LayoutCase{"OnlyByteOfFirstBlock", {1, kCap}, 0, {kCap}},
                      LayoutCase{"OnlyByteOfLastBlock", {kCap, 1}, kCap, {kCap}},
                      LayoutCase{"FirstByteOfBlock", {3, 5}, 3, {3, 4}},
                      LayoutCase{"LastByteOfBlock", {3, 5}, 2, {2, 5}},
                      LayoutCase{"InsideFullBlock", {kCap}, 8000, {kCap - 1}}),
    [](const auto& info) { return std::string(info.param.name); });

struct CutCase {
  const char* name;
  Sizes before;
  DocPos start;
  DocPos count;
  Sizes after;
};

std::ostream& operator<<(std::ostream& os, const CutCase& c) { return os << c.name; }

class CutLayout : public ::testing::TestWithParam<CutCase> {};

// CutRange, and ReplaceRange with nothing to put in, remove whole blocks
// rather than leave them empty.
TEST_P(CutLayout, LeavesNoEmptyBlocks) {
  const CutCase& c = GetParam();
  const Bytes original = Numbered(SumOf(c.before));
  Bytes expected = original;
  expected.erase(expected.begin() + c.start, expected.begin() + c.start + c.count);
  const Bytes removed(original.begin() + c.start, original.begin() + c.start + c.count);

  for (const bool viaReplace : {false, true}) {
    SCOPED_TRACE(viaReplace ? "ReplaceRange" : "CutRange");
    BlockList list;
    BuildBlocks(list, original, c.before);
    BlockCursor cursor(list);
    Bytes out;
    const std::uint8_t unused = 0;
    ASSERT_TRUE(viaReplace ? cursor.ReplaceRange(c.start, c.count, &unused, 0, out)
                           : cursor.CutRange(c.start, c.count, out));
    EXPECT_TRUE(SameBytes(out, removed));
    EXPECT_EQ(BlockSizes(list), c.after);
    EXPECT_EQ(list.TotalLength(), static_cast<std::int64_t>(expected.size()));
    EXPECT_EQ(list.CheckInvariants(), "");
    EXPECT_EQ(StructureProblem(list), "");
    EXPECT_TRUE(SameBytes(ReadByBlocks(list), expected));
  }
}

INSTANTIATE_TEST_SUITE_P(
    BlockStore, CutLayout,
    ::testing::Values(
        CutCase{"InsideOneBlock", {kCap}, 100, 200, {kCap - 200}},
        CutCase{"WholeOnlyBlock", {10}, 0, 10, {0}},
        CutCase{"AcrossWholeBlockIntoLater",
                {kCap, kCap, kCap, kCap},
                100,
                2 * kCap,
                {100, kCap - 100, kCap}},
        CutCase{"EndsAtBlockEnd", {kCap, kCap, kCap}, 100, 2 * kCap - 100, {100, kCap}},
        CutCase{"WholeFirstBlock", {kCap, kCap, kCap}, 0, kCap, {kCap, kCap}},
        CutCase{"WholeMiddleBlock", {kCap, kCap, kCap}, kCap, kCap, {kCap, kCap}},
        CutCase{"WholeLastBlock", {kCap, kCap, kCap}, 2 * kCap, kCap, {kCap, kCap}},
        CutCase{"TwoWholeBlocksAtStart", {kCap, kCap, kCap}, 0, 2 * kCap, {kCap}},
        CutCase{"TwoWholeBlocksAtEnd", {kCap, kCap, kCap}, kCap, 2 * kCap, {kCap}},
        CutCase{"FromInsideToDocumentEnd", {kCap, kCap, kCap}, 100, 3 * kCap - 100, {100}},
        CutCase{"WholeDocument", {kCap, kCap, kCap}, 0, 3 * kCap, {0}},
        CutCase{"OneByteBlockInMiddle", {5, 1, 7}, 5, 1, {5, 7}},
        CutCase{"OverOneByteBlock", {5, 1, 7}, 4, 3, {4, 6}},
        CutCase{"SmallBlocksWholeDocument", {5, 1, 7}, 0, 13, {0}}),
    [](const auto& info) { return std::string(info.param.name); });

// Replacing as many bytes as are removed overwrites in place, across blocks.
TEST(BlockStore, ReplaceWithEqualCountKeepsBlockBoundaries) {
  const Sizes sizes{100, kCap, 50, kCap};
  const Bytes original = Numbered(SumOf(sizes));
  Rng rng(5);
  for (const auto& [start, count] : std::vector<std::pair<DocPos, DocPos>>{
           {0, 1}, {90, 200}, {99, kCap + 2}, {0, SumOf(sizes)}, {kCap + 100, 50}}) {
    SCOPED_TRACE("replace " + std::to_string(count) + " at " + std::to_string(start));
    BlockList list;
    BuildBlocks(list, original, sizes);
    const Bytes bytes = rng.RandomBytes(count);
    Bytes old;
    BlockCursor cursor(list);
    ASSERT_TRUE(cursor.ReplaceRange(start, count, bytes.data(), count, old));
    EXPECT_TRUE(SameBytes(old, Bytes(original.begin() + start, original.begin() + start + count)));
    Bytes expected = original;
    std::copy(bytes.begin(), bytes.end(), expected.begin() + start);
    EXPECT_EQ(BlockSizes(list), sizes);
    EXPECT_TRUE(SameBytes(ReadByBlocks(list), expected));
  }
}

// The old bytes come back in order: the overwritten ones, then the cut ones.
TEST(BlockStore, ReplaceShrinkingAndGrowingAcrossBlocks) {
  struct Case {
    DocPos start, oldCount, newCount;
    Sizes after;
  };
  const Sizes sizes{kCap, kCap};
  const Bytes original = Numbered(2 * kCap);
  Rng rng(9);
  for (const Case& c : std::vector<Case>{
           // Overwrite 10 at 16000, then 19990 go in at offset 16010 of a full block:
           // the 374-byte tail splits off, 374 fill the block, then 16384 and 3232.
           {16000, 10, 20000, {kCap, kCap, 3232, 374, kCap}},
           // Overwrite 1000 (384 + 616 across the boundary), then cut the other
           // 9000 from inside the second block.
           {16000, 10000, 1000, {kCap, kCap - 616 - 9000 + 616}},
           // Overwrite 100, then cut 19900 from offset 100 on, over the boundary.
           {0, 20000, 100, {100, 2 * kCap - 20000}},
           // Insert only (nothing replaced) at the end.
           {2 * kCap, 0, 5, {kCap, kCap, 5}},
       }) {
    SCOPED_TRACE("replace " + std::to_string(c.oldCount) + " by " + std::to_string(c.newCount) +
                 " at " + std::to_string(c.start));
    BlockList list;
    BuildBlocks(list, original, sizes);
    const Bytes bytes = rng.RandomBytes(c.newCount);
    Bytes old;
    BlockCursor cursor(list);
    ASSERT_TRUE(cursor.ReplaceRange(c.start, c.oldCount, bytes.data(), c.newCount, old));
    EXPECT_TRUE(
        SameBytes(old, Bytes(original.begin() + c.start, original.begin() + c.start + c.oldCount)));
    Bytes expected = original;
    expected.erase(expected.begin() + c.start, expected.begin() + c.start + c.oldCount);
    expected.insert(expected.begin() + c.start, bytes.begin(), bytes.end());
    EXPECT_EQ(BlockSizes(list), c.after);
    EXPECT_EQ(list.CheckInvariants(), "");
    EXPECT_TRUE(SameBytes(ReadByBlocks(list), expected));
  }
}

TEST(BlockStore, FillAndOrByteChangeBytesInPlace) {
  const Sizes sizes{3, kCap, 2};
  const Bytes original = Numbered(SumOf(sizes));
  BlockList list;
  BuildBlocks(list, original, sizes);
  Bytes old;
  BlockCursor cursor(list);
  ASSERT_TRUE(cursor.FillRange(1, kCap + 3, 0x5A, old));
  EXPECT_TRUE(SameBytes(old, Bytes(original.begin() + 1, original.begin() + kCap + 4)));
  Bytes expected = original;
  std::fill(expected.begin() + 1, expected.begin() + kCap + 4, 0x5A);

  std::uint8_t before = 0;
  ASSERT_TRUE(cursor.OrByte(0, 0x81, before));
  EXPECT_EQ(before, original[0]);
  expected[0] |= 0x81;
  ASSERT_TRUE(cursor.OrByte(kCap + 4, 0x0F, before));
  EXPECT_EQ(before, original[kCap + 4]);
  expected[kCap + 4] |= 0x0F;
  EXPECT_FALSE(cursor.OrByte(kCap + 5, 0xFF, before));

  EXPECT_EQ(BlockSizes(list), sizes);
  EXPECT_TRUE(SameBytes(ReadByBlocks(list), expected));
}

// Blocks added or taken out directly through the chain: positions found by
// later cursors account for them, whatever block an earlier cursor left remembered.
TEST(BlockStore, ChainOperationsKeepPositionsRight) {
  const Sizes sizes{100, 200, 300, 400, 500};
  Bytes model = Numbered(SumOf(sizes));
  BlockList list;
  BuildBlocks(list, model, sizes);
  ByteBlock* second = list.Next(list.First());
  ByteBlock* third = list.Next(second);

  auto newBlock = [](std::uint8_t fill, std::uint32_t used) {
    auto buffer = ByteBlock::NewBuffer();
    std::memset(buffer.get(), fill, used);
    return buffer;
  };
  // A read in the fourth block (after every change below, but not the last
  // block), so that the list remembers that block.
  DocPos inFourth = 100 + 200 + 300 + 150;
  auto rememberFourth = [&] {
    BlockCursor cursor(list);
    std::uint8_t b = 0;
    ASSERT_TRUE(cursor.ReadAt(inFourth, b));
    ASSERT_EQ(b, model[inFourth]);
  };
  // After a change that moved the fourth block by `shift`, reads near it first.
  auto check = [&](const char* step, DocPos shift) {
    SCOPED_TRACE(step);
    inFourth += shift;
    std::uint8_t b = 0;
    for (const DocPos p : {inFourth, inFourth - 140, inFourth + 200, DocPos{0}}) {
      BlockCursor cursor(list);
      ASSERT_TRUE(cursor.ReadAt(p, b));
      EXPECT_EQ(b, model[p]) << "at " << p;
    }
    EXPECT_EQ(list.CheckInvariants(), "");
    EXPECT_EQ(StructureProblem(list), "");
    EXPECT_TRUE(SameBytes(ReadByBlocks(list), model));
  };

  rememberFourth();
  ByteBlock* before = list.InsertBlockBefore(second, newBlock(0xB1, 10), kCap, 10);
  EXPECT_EQ(list.Next(before), second);
  model.insert(model.begin() + 100, 10, 0xB1);
  check("inserted before", 10);

  rememberFourth();
  ByteBlock* after = list.InsertBlockAfter(second, newBlock(0xA1, 20), kCap, 20);
  EXPECT_EQ(list.Prev(after), second);
  model.insert(model.begin() + 310, 20, 0xA1);
  check("inserted after", 20);

  rememberFourth();
  std::unique_ptr<std::uint8_t[]> buffer = list.UnlinkBlock(third);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer[0], model[330]);
  model.erase(model.begin() + 330, model.begin() + 630);
  check("unlinked", -300);

  rememberFourth();
  list.AppendBlock(newBlock(0xE1, 5), kCap, 5);
  model.insert(model.end(), 5, 0xE1);
  check("appended", 0);
  EXPECT_EQ(BlockSizes(list), (Sizes{100, 10, 200, 20, 400, 500, 5}));

  list.Clear();
  EXPECT_EQ(list.BlockCount(), 0);
  EXPECT_EQ(list.TotalLength(), 0);
}

// Swapping exchanges whole documents, including a list without blocks, and
// what a list remembers for seeking goes with its chain.
TEST(BlockStore, SwapExchangesChains) {
  const Sizes sizesA{kCap, 7, 300};
  const Sizes sizesB{5};
  const Bytes bytesA = Numbered(SumOf(sizesA));
  Bytes bytesB(5, 0xC3);
  BlockList a;
  BlockList b;
  BuildBlocks(a, bytesA, sizesA);
  BuildBlocks(b, bytesB, sizesB);
  {
    BlockCursor cursor(a);  // leaves the third block remembered
    std::uint8_t byte = 0;
    ASSERT_TRUE(cursor.ReadAt(kBlock + 7 + 100, byte));
  }
  a.Swap(b);
  EXPECT_EQ(BlockSizes(a), sizesB);
  EXPECT_EQ(BlockSizes(b), sizesA);
  for (const BlockList* list : {&a, &b}) {
    EXPECT_EQ(list->CheckInvariants(), "");
    EXPECT_EQ(StructureProblem(*list), "");
  }
  EXPECT_TRUE(SameBytes(ReadByBlocks(a), bytesB));
  EXPECT_TRUE(SameBytes(ReadByBlocks(b), bytesA));
  {
    BlockCursor cursor(b);
    std::uint8_t byte = 0;
    for (const DocPos p : {kBlock + 7 + 120, kBlock + 3, DocPos{10}}) {
      ASSERT_TRUE(cursor.ReadAt(p, byte));
      EXPECT_EQ(byte, bytesA[p]) << "at " << p;
    }
    ASSERT_TRUE(cursor.InsertByte(5, 0x99));
  }
  {
    BlockCursor cursor(a);
    ASSERT_TRUE(cursor.InsertByte(5, 0x98));
    bytesB.push_back(0x98);
  }
  EXPECT_TRUE(SameBytes(ReadByBlocks(a), bytesB));

  BlockList none;
  none.Swap(a);
  EXPECT_EQ(a.BlockCount(), 0);
  EXPECT_EQ(a.TotalLength(), 0);
  EXPECT_EQ(a.First(), nullptr);
  EXPECT_EQ(none.CheckInvariants(), "");
  EXPECT_TRUE(SameBytes(ReadByBlocks(none), bytesB));
  BlockCursor cursor(a);
  EXPECT_FALSE(cursor.Seek(0));
}

TEST(BlockStore, EmptyDocumentRefusesByteOperations) {
  BlockList list;
  list.ResetToEmptyDocument();
  EXPECT_EQ(BlockSizes(list), Sizes{0});
  EXPECT_EQ(list.CheckInvariants(), "");

  BlockCursor cursor(list);
  std::uint8_t b = 0;
  Bytes out;
  DocPos found = -1;
  const std::uint8_t pattern = 0;
  EXPECT_FALSE(cursor.ReadAt(0, b));
  EXPECT_FALSE(cursor.OverwriteByte(0, 1, b));
  EXPECT_FALSE(cursor.OrByte(0, 1, b));
  EXPECT_FALSE(cursor.DeleteByte(0, b));
  EXPECT_FALSE(cursor.CutRange(0, 1, out));
  EXPECT_FALSE(cursor.CopyRange(0, 1, out));
  EXPECT_FALSE(cursor.FillRange(0, 1, 0, out));
  EXPECT_FALSE(cursor.FindPattern(&pattern, 1, Dir::Forward, 0, 0, found));
  EXPECT_FALSE(cursor.FindPattern(&pattern, 1, Dir::Backward, 0, 0, found));
  EXPECT_FALSE(cursor.FindOtherByte(1, Dir::Forward, 0, 0, found));
  EXPECT_FALSE(cursor.FindOtherByte(1, Dir::Backward, 0, 0, found));
  EXPECT_FALSE(cursor.Seek(1));
  EXPECT_EQ(BlockSizes(list), Sizes{0});

  ASSERT_TRUE(cursor.Seek(0));
  EXPECT_FALSE(cursor.ReadNext(b));
  EXPECT_FALSE(cursor.ReadPrev(b));
  const std::uint8_t* data = nullptr;
  std::uint32_t used = 99;
  ASSERT_TRUE(cursor.Seek(0));
  ASSERT_TRUE(cursor.NextBlockData(data, used));
  EXPECT_EQ(used, 0u);

  ASSERT_TRUE(cursor.InsertByte(0, 0x42));
  EXPECT_EQ(BlockSizes(list), Sizes{1});
  EXPECT_TRUE(SameBytes(ReadByBlocks(list), Bytes{0x42}));
}

// A list without any block (before a document is loaded, after Clear) holds
// no position at all; the cursor refuses it rather than touch a missing block.
TEST(BlockStore, ListWithoutBlocksRefusesEverything) {
  BlockList list;
  BlockCursor cursor(list);
  std::uint8_t b = 0;
  Bytes out;
  const std::uint8_t bytes[2] = {1, 2};
  EXPECT_FALSE(cursor.Seek(0));
  EXPECT_FALSE(cursor.Seek(0, Origin::End));
  EXPECT_FALSE(cursor.InsertByte(0, 1));
  EXPECT_FALSE(cursor.InsertBytes(0, bytes, 2));
  EXPECT_FALSE(cursor.ReplaceRange(0, 0, bytes, 2, out));
  EXPECT_FALSE(cursor.ReadAt(0, b));
  EXPECT_EQ(list.BlockCount(), 0);

  list.ResetToEmptyDocument();
  list.Clear();
  EXPECT_FALSE(cursor.InsertByte(0, 1));
  EXPECT_EQ(list.BlockCount(), 0);
}

// ---------------------------------------------------------------------------
// Seeking and reading

class BlockStoreSeek : public ::testing::Test {
 protected:
  void SetUp() override { BuildBlocks(list_, model_, sizes_); }

  // Where the cursor is, as Seek from the current position reports it.
  DocPos Where(BlockCursor& cursor) {
    DocPos at = -1;
    EXPECT_TRUE(cursor.Seek(0, Origin::Current, &at));
    return at;
  }

  const Sizes sizes_{10, kCap, 5};
  const DocPos length_ = 10 + kCap + 5;
  const Bytes model_ = Numbered(10 + kCap + 5);
  BlockList list_;
};

TEST_F(BlockStoreSeek, PlacesOrFailsWithoutMoving) {
  struct Case {
    DocPos from;  // placed with Seek from the start first
    Origin origin;
    std::int64_t distance;
    DocPos expected;  // -1: the seek fails
  };
  const DocPos len = length_;
  const std::vector<Case> cases{
      {7, Origin::Start, 0, 0},
      {7, Origin::Start, 10, 10},
      {7, Origin::Start, len - 1, len - 1},
      {7, Origin::Start, len, len},
      {7, Origin::Start, len + 1, -1},
      {7, Origin::Start, -1, -1},
      {7, Origin::Current, 0, 7},
      {7, Origin::Current, 3, 10},
      {7, Origin::Current, -7, 0},
      {7, Origin::Current, -8, -1},
      {7, Origin::Current, len - 7, len},
      {7, Origin::Current, len - 6, -1},
      {len, Origin::Current, -len, 0},
      {len - 3, Origin::Current, -kBlock, len - 3 - kBlock},
      {7, Origin::End, 0, len},
      {7, Origin::End, -1, len - 1},
      {7, Origin::End, -6, len - 6},
      {7, Origin::End, -len, 0},
      {7, Origin::End, -len - 1, -1},
      {7, Origin::End, 1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("from " + std::to_string(c.from) + ", origin " +
                 std::to_string(static_cast<int>(c.origin)) + ", distance " +
                 std::to_string(c.distance));
    BlockCursor cursor(list_);
    ASSERT_TRUE(cursor.Seek(c.from));
    DocPos absolute = -99;
    const bool ok = cursor.Seek(c.distance, c.origin, &absolute);
    if (c.expected < 0) {
      EXPECT_FALSE(ok);
      EXPECT_EQ(absolute, -99);
      EXPECT_EQ(Where(cursor), c.from) << "a failed seek moved the cursor";
      continue;
    }
    ASSERT_TRUE(ok);
    EXPECT_EQ(absolute, c.expected);
    EXPECT_EQ(Where(cursor), c.expected);
    std::uint8_t b = 0;
    if (c.expected < len) {
      ASSERT_TRUE(cursor.ReadNext(b));
      EXPECT_EQ(b, model_[c.expected]);
    } else {
      EXPECT_FALSE(cursor.ReadNext(b)) << "read past the end";
    }
  }
}

// Every byte, one step at a time, in both directions: the steps cross block
// boundaries and the cursor keeps its absolute position right.
TEST_F(BlockStoreSeek, ReadNextAndReadPrevStepAcrossBlocks) {
  BlockCursor cursor(list_);
  std::uint8_t b = 0;
  ASSERT_TRUE(cursor.Seek(0));
  for (DocPos p = 0; p < length_; ++p) {
    ASSERT_EQ(Where(cursor), p);
    ASSERT_TRUE(cursor.ReadNext(b)) << "at " << p;
    ASSERT_EQ(b, model_[p]) << "at " << p;
  }
  EXPECT_FALSE(cursor.IsPlaced());
  EXPECT_FALSE(cursor.ReadNext(b));

  ASSERT_TRUE(cursor.Seek(-1, Origin::End));
  for (DocPos p = length_ - 1; p >= 0; --p) {
    ASSERT_EQ(Where(cursor), p);
    ASSERT_TRUE(cursor.ReadPrev(b)) << "at " << p;
    ASSERT_EQ(b, model_[p]) << "at " << p;
  }
  EXPECT_FALSE(cursor.ReadPrev(b)) << "read before the start";
  EXPECT_FALSE(cursor.ReadNext(b));

  // Back and forth over the boundaries at 10 and 10 + 16384.
  for (const DocPos boundary : {DocPos{10}, DocPos{10 + kCap}}) {
    ASSERT_TRUE(cursor.Seek(boundary));
    ASSERT_TRUE(cursor.ReadPrev(b));
    EXPECT_EQ(b, model_[boundary]);
    ASSERT_TRUE(cursor.ReadPrev(b));
    EXPECT_EQ(b, model_[boundary - 1]);
    ASSERT_TRUE(cursor.ReadNext(b));
    EXPECT_EQ(b, model_[boundary - 2]);
    ASSERT_TRUE(cursor.ReadNext(b));
    EXPECT_EQ(b, model_[boundary - 1]);
    ASSERT_TRUE(cursor.ReadNext(b));
    EXPECT_EQ(b, model_[boundary]);
    EXPECT_EQ(Where(cursor), boundary + 1);
  }
}

TEST_F(BlockStoreSeek, ReadBytesAndCopyRangeCrossBlocks) {
  BlockCursor cursor(list_);
  Bytes buffer(length_ + 10);
  // From inside the first block through the second into the third; fewer at the end.
  ASSERT_TRUE(cursor.Seek(4));
  EXPECT_EQ(cursor.ReadBytes(kCap + 8, buffer.data()), kCap + 8);
  EXPECT_TRUE(SameBytes(Bytes(buffer.begin(), buffer.begin() + kCap + 8),
                        Bytes(model_.begin() + 4, model_.begin() + 4 + kCap + 8)));
  EXPECT_EQ(Where(cursor), 4 + kCap + 8);
  EXPECT_EQ(cursor.ReadBytes(100, buffer.data()), length_ - (4 + kCap + 8));
  EXPECT_EQ(cursor.ReadBytes(100, buffer.data()), 0);

  Bytes copy;
  ASSERT_TRUE(cursor.CopyRange(9, kCap + 2, copy));
  EXPECT_TRUE(SameBytes(copy, Bytes(model_.begin() + 9, model_.begin() + 9 + kCap + 2)));
  ASSERT_TRUE(cursor.CopyRange(0, length_, copy));
  EXPECT_TRUE(SameBytes(copy, model_));
  EXPECT_FALSE(cursor.CopyRange(1, length_, copy));
  EXPECT_EQ(BlockSizes(list_), sizes_);
}

// ---------------------------------------------------------------------------
// Searching

// The reference: the first match at or after start wholly below the limit
// (forward), or the last match ending at or before start and starting at or
// after the limit (backward).
DocPos SlowFindPattern(const Bytes& text, const Bytes& pattern, Dir dir, DocPos start,
                       DocPos limit) {
  const auto len = static_cast<std::int64_t>(text.size());
  const auto plen = static_cast<std::int64_t>(pattern.size());
  auto matchesAt = [&](std::int64_t p) {
    return std::equal(pattern.begin(), pattern.end(), text.begin() + p);
  };
  if (dir == Dir::Forward) {
    const std::int64_t end = limit == 0 ? len : std::min<std::int64_t>(limit, len);
    for (std::int64_t p = start; p + plen <= end; ++p)
      if (matchesAt(p)) return static_cast<DocPos>(p);
    return -1;
  }
  for (std::int64_t p = std::int64_t{start} - plen + 1; p >= limit && p >= 0; --p)
    if (p + plen <= len && matchesAt(p)) return static_cast<DocPos>(p);
  return -1;
}

DocPos SlowFindOtherByte(const Bytes& text, std::uint8_t byte, Dir dir, DocPos start,
                         DocPos limit) {
  const auto len = static_cast<DocPos>(text.size());
  if (dir == Dir::Forward) {
    const DocPos end = limit == 0 ? len : std::min(limit, len);
    for (DocPos p = start; p < end; ++p)
      if (text[p] != byte) return p;
    return -1;
  }
  for (DocPos p = start; p >= limit && p >= 0; --p)
    if (text[p] != byte) return p;
  return -1;
}

DocPos Find(BlockList& list, const Bytes& pattern, Dir dir, DocPos start, DocPos limit) {
  BlockCursor cursor(list);
  DocPos found = -1;
  if (!cursor.FindPattern(pattern.data(), static_cast<int>(pattern.size()), dir, start, limit,
                          found))
    return -1;
  return found;
}

DocPos FindOther(BlockList& list, std::uint8_t byte, Dir dir, DocPos start, DocPos limit) {
  BlockCursor cursor(list);
  DocPos found = -1;
  if (!cursor.FindOtherByte(byte, dir, start, limit, found)) return -1;
  return found;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(BlockStoreSearch, FindPatternTable) {
  //                     0123456789012345
  const Bytes text = Text("abcXabcYYabcZabc");
  BlockList list;
  BuildBlocks(list, text, {3, 5, 1, 7});  // "abc" "XabcY" "Y" "abcZabc"
  const DocPos len = static_cast<DocPos>(text.size());
  struct Case {
    const char* pattern;
    Dir dir;
    DocPos start, limit, expected;
  };
  const std::vector<Case> cases{
      {"abc", Dir::Forward, 0, 0, 0},
      {"abc", Dir::Forward, 1, 0, 4},
      {"abc", Dir::Forward, 10, 0, 13},    // ends on the last byte
      {"abc", Dir::Forward, 10, len, 13},  // limit = length
      {"abc", Dir::Forward, 10, len - 1, -1},
      {"abc", Dir::Forward, 4, 7, 4},  // ends just below the limit
      {"abc", Dir::Forward, 4, 6, -1},
      {"abc", Dir::Forward, 8, 12, 9},  // a skip lands on the last window below the limit
      {"abc", Dir::Forward, 8, 11, -1},
      {"abc", Dir::Forward, 14, 0, -1},
      {"abc", Dir::Forward, len + 5, 0, -1},
      {"cXa", Dir::Forward, 0, 0, 2},   // across a block boundary
      {"YYab", Dir::Forward, 0, 0, 7},  // across two boundaries
      {"Z", Dir::Forward, 0, 0, 12},
      {"abd", Dir::Forward, 0, 0, -1},
      {"abcXabcYYabcZabc", Dir::Forward, 0, 0, 0},
      {"abcXabcYYabcZabcX", Dir::Forward, 0, 0, -1},  // longer than the document
      {"abc", Dir::Backward, 15, 0, 13},              // ends exactly at start
      {"abc", Dir::Backward, 14, 0, 9},
      {"abc", Dir::Backward, 11, 0, 9},
      {"abc", Dir::Backward, 11, 9, 9},  // starts on the limit
      {"abc", Dir::Backward, 11, 10, -1},
      {"abc", Dir::Backward, 12, 9, 9},  // a skip lands exactly on the limit
      {"abc", Dir::Backward, 12, 10, -1},
      {"abc", Dir::Backward, 10, 0, 4},
      {"abc", Dir::Backward, 2, 0, 0},
      {"abc", Dir::Backward, 1, 0, -1},  // start before the pattern's length
      {"YYab", Dir::Backward, 15, 0, 7},
      {"Z", Dir::Backward, 11, 0, -1},
      {"Z", Dir::Backward, 12, 12, 12},
      {"abcXabcYYabcZabc", Dir::Backward, 15, 0, 0},
      {"abcXabcYYabcZabcX", Dir::Backward, 15, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + (c.dir == Dir::Forward ? " forward" : " backward") +
                 " from " + std::to_string(c.start) + " limit " + std::to_string(c.limit));
    EXPECT_EQ(Find(list, Text(c.pattern), c.dir, c.start, c.limit), c.expected);
    // The reference agrees with the table, so the randomized check below
    // compares against the same meaning.
    EXPECT_EQ(SlowFindPattern(text, Text(c.pattern), c.dir, c.start, c.limit), c.expected);
  }
}

TEST(BlockStoreSearch, FindOtherByteTable) {
  //                     01234567890
  const Bytes text = Text("aaabaaaacaa");
  BlockList list;
  BuildBlocks(list, text, {2, 1, 4, 4});
  struct Case {
    Dir dir;
    DocPos start, limit, expected;
  };
  const std::vector<Case> cases{
      {Dir::Forward, 0, 0, 3},   {Dir::Forward, 3, 0, 3},   {Dir::Forward, 4, 0, 8},
      {Dir::Forward, 4, 8, -1},  {Dir::Forward, 4, 9, 8},   {Dir::Forward, 9, 0, -1},
      {Dir::Forward, 11, 0, -1}, {Dir::Backward, 10, 0, 8}, {Dir::Backward, 7, 0, 3},
      {Dir::Backward, 7, 4, -1}, {Dir::Backward, 7, 3, 3},  {Dir::Backward, 2, 0, -1},
      {Dir::Backward, 0, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.dir == Dir::Forward ? "forward" : "backward") + " from " +
                 std::to_string(c.start) + " limit " + std::to_string(c.limit));
    EXPECT_EQ(FindOther(list, 'a', c.dir, c.start, c.limit), c.expected);
    EXPECT_EQ(SlowFindOtherByte(text, 'a', c.dir, c.start, c.limit), c.expected);
  }
}

// All bytes equal: both directions scan the whole document (backward down to
// position 0 included) and report nothing; one differing byte at either end is found.
TEST(BlockStoreSearch, FindOtherByteOverUniformDocument) {
  const Sizes sizes{7, kCap, 3};
  Bytes text(SumOf(sizes), 0x55);
  const DocPos last = static_cast<DocPos>(text.size()) - 1;
  BlockList list;
  BuildBlocks(list, text, sizes);
  EXPECT_EQ(FindOther(list, 0x55, Dir::Backward, last, 0), -1);
  EXPECT_EQ(FindOther(list, 0x55, Dir::Forward, 0, 0), -1);

  text[0] = 0x56;
  text[last] = 0x57;
  BuildBlocks(list, text, sizes);
  EXPECT_EQ(FindOther(list, 0x55, Dir::Backward, last - 1, 0), 0);
  EXPECT_EQ(FindOther(list, 0x55, Dir::Backward, last - 1, 1), -1);
  EXPECT_EQ(FindOther(list, 0x55, Dir::Forward, 1, 0), last);
  EXPECT_EQ(FindOther(list, 0x55, Dir::Forward, 1, last), -1);
}

// Random data over a two- or three-letter alphabet, so that partial matches
// and repeated letters (which drive the skip tables) are everywhere.
TEST(BlockStoreSearch, AgreesWithBruteForceOnRandomData) {
  Rng rng(42);
  for (int round = 0; round < 6; ++round) {
    const int alphabet = round % 2 == 0 ? 2 : 3;
    Sizes sizes;
    if (round < 4) {
      // Many small blocks: most windows cross a boundary.
      const auto blocks = rng.Between(5, 40);
      for (int i = 0; i < blocks; ++i)
        sizes.push_back(static_cast<std::uint32_t>(rng.Between(1, 90)));
    } else {
      sizes = {kCap, kCap, static_cast<std::uint32_t>(rng.Between(1, kCap))};
    }
    const Bytes text = rng.RandomBytes(SumOf(sizes), alphabet);
    const auto len = static_cast<DocPos>(text.size());
    // Long runs of one letter for FindOtherByte.
    Bytes runs;
    while (runs.size() < text.size()) {
      const auto letter =
          static_cast<std::uint8_t>(rng.OneIn(4) ? rng.Between(1, alphabet - 1) : 0);
      runs.insert(runs.end(), static_cast<std::size_t>(rng.Between(1, 120)), letter);
    }
    runs.resize(text.size());
    BlockList list;
    BuildBlocks(list, text, sizes);
    BlockList runList;
    BuildBlocks(runList, runs, sizes);

    for (int query = 0; query < 1000; ++query) {
      const auto plen = static_cast<int>(rng.Between(1, 8));
      Bytes pattern;
      if (plen <= len && rng.OneIn(2)) {
        const auto at = rng.Between(0, len - plen);
        pattern.assign(text.begin() + at, text.begin() + at + plen);
      } else {
        pattern = rng.RandomBytes(plen, alphabet);
      }
      const Dir dir = rng.OneIn(2) ? Dir::Forward : Dir::Backward;
      // Backward searches start on a byte of the document.
      const auto start =
          static_cast<DocPos>(rng.Between(0, dir == Dir::Forward ? len + 2 : len - 1));
      // Limits close to the first window, so that the last window allowed is often a match.
      DocPos limit;
      switch (rng.Between(0, 2)) {
        case 0:
          limit = 0;
          break;
        case 1:
          limit = static_cast<DocPos>(rng.Between(0, len));
          break;
        default:
          limit = static_cast<DocPos>(
              std::clamp<std::int64_t>(dir == Dir::Forward ? start + plen - 1 + rng.Between(0, 6)
                                                           : start - plen + 1 - rng.Between(0, 6),
                                       0, len));
      }
      SCOPED_TRACE("round " + std::to_string(round) + " query " + std::to_string(query) +
                   (dir == Dir::Forward ? " forward" : " backward") + " from " +
                   std::to_string(start) + " limit " + std::to_string(limit) + " pattern length " +
                   std::to_string(plen));
      ASSERT_EQ(Find(list, pattern, dir, start, limit),
                SlowFindPattern(text, pattern, dir, start, limit));
      const auto byte = static_cast<std::uint8_t>(rng.Between(0, alphabet - 1));
      ASSERT_EQ(FindOther(runList, byte, dir, std::min(start, len - 1), limit),
                SlowFindOtherByte(runs, byte, dir, std::min(start, len - 1), limit));
    }
  }
}

}  // namespace
}  // namespace vantrell
