#pragma once

#include <cstdint>

#include "block_list.h"
#include "doc_types.h"

namespace vantrell {

// A short-lived cursor over a BlockList through which every byte is read and
// written. Every operation returns false and changes nothing when a position
// lies outside the document. Nothing may rely on where an edit leaves the cursor.
class BlockCursor {
 public:
  enum class Origin { Start, Current, End };
  enum class Direction { Forward, Backward };

  explicit BlockCursor(BlockList& list) : list_(&list) {}

  // Places the cursor at a position (Start), by a signed distance from the
  // current position (Current) or by a distance <= 0 from the end (End).
  [[nodiscard]] bool Seek(std::int64_t distance, Origin origin = Origin::Start,
                          DocPos* absolute = nullptr);
  [[nodiscard]] bool IsPlaced() const { return block_ != nullptr; }

  // One byte at an absolute position; stepping from the last read costs O(1).
  [[nodiscard]] bool ReadAt(DocPos position, std::uint8_t& byte) {
    const std::int64_t inBlock = std::int64_t{position} - blockStart_;
    if (block_ != nullptr && inBlock >= 0 && inBlock < block_->used) {
      offset_ = inBlock;
      remembered_ = position;
      byte = block_->data[inBlock];
      return true;
    }
    return ReadAtSlow(position, byte);
  }
  // Copies up to count bytes from the cursor on and moves past them.
  DocPos ReadBytes(DocPos count, std::uint8_t* destination);
  [[nodiscard]] bool ReadNext(std::uint8_t& byte);
  [[nodiscard]] bool ReadPrev(std::uint8_t& byte);
  // The current block's bytes; the cursor moves to the start of the next block.
  [[nodiscard]] bool NextBlockData(const std::uint8_t*& data, std::uint32_t& used);

  [[nodiscard]] bool OverwriteByte(DocPos position, std::uint8_t byte, std::uint8_t& old);
  [[nodiscard]] bool OrByte(DocPos position, std::uint8_t bits, std::uint8_t& old);
  [[nodiscard]] bool InsertByte(DocPos position, std::uint8_t byte);
  [[nodiscard]] bool DeleteByte(DocPos position, std::uint8_t& deleted);
  [[nodiscard]] bool CopyRange(DocPos start, DocPos count, Bytes& out);
  [[nodiscard]] bool CutRange(DocPos start, DocPos count, Bytes& out);
  [[nodiscard]] bool InsertBytes(DocPos position, const std::uint8_t* bytes, DocPos count);
  [[nodiscard]] bool ReplaceRange(DocPos start, DocPos oldCount, const std::uint8_t* bytes,
                                  DocPos newCount, Bytes& old);
  [[nodiscard]] bool FillRange(DocPos start, DocPos count, std::uint8_t byte, Bytes& old);

  // Forward: a match wholly below limit (0 = the length) starting at or after start.
  // Backward: a match ending at or before start and starting at or after limit.
  [[nodiscard]] bool FindPattern(const std::uint8_t* pattern, int length, Direction direction,
                                 DocPos start, DocPos limit, DocPos& found);
  [[nodiscard]] bool FindOtherByte(std::uint8_t byte, Direction direction, DocPos start,
                                   DocPos limit, DocPos& found);

 private:
  // Places the cursor on the block holding position (0..length); the end
  // position lands on the last block with offset = used.
  bool Place(std::int64_t position);
  bool PlaceAtByte(std::int64_t position);
  // Moves to offset 0 of the next block; false (and no move) at the last block.
  bool StepToNextBlock();
  bool ReadAtSlow(DocPos position, std::uint8_t& byte);
  void Unplace() {
    block_ = nullptr;
    remembered_ = -1;
  }
  [[nodiscard]] std::int64_t Length() const { return list_->TotalLength(); }
  [[nodiscard]] bool HasNeighbour(const ByteBlock* block) const {
    return list_->Next(block) != nullptr || list_->Prev(block) != nullptr;
  }

  // An edit changes the current block and the blocks after it; the block
  // before it keeps its start, so the list's finger is moved there.
  struct EditAnchor {
    ByteBlock* block;
    std::int64_t start;
  };
  EditAnchor BeginEdit() const;
  void EndEdit(const EditAnchor& anchor);
  // Calls visit(bytes, done, piece) for each block's share of start..start+count-1
  // (all inside the document), in order.
  template <typename Visit>
  void VisitRun(std::int64_t start, std::int64_t count, Visit visit);

  bool FindForward(const std::uint8_t* pattern, int length, std::int64_t start,
                   std::int64_t limit, DocPos& found);
  template <typename Shift>
  bool FindForwardWith(Shift (&shift)[256], const std::uint8_t* pattern, int length,
                       std::int64_t start, std::int64_t limit, DocPos& found);
  bool FindBackward(const std::uint8_t* pattern, int length, std::int64_t start,
                    std::int64_t limit, DocPos& found);

  BlockList* list_;
  ByteBlock* block_ = nullptr;
  std::int64_t offset_ = 0;      // 0..used; -1 after ReadPrev stepped off the first byte
  std::int64_t blockStart_ = 0;  // document position of the current block's first byte
  DocPos remembered_ = -1;       // position of the last ReadAt
};

}  // namespace vantrell
