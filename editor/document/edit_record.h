#pragma once

#include <cstdint>

#include "doc_types.h"

namespace vantrell {

// The edit primitives, numbered as in the history record codes.
enum class EditKind : std::uint32_t {
  OverwriteByte = 1,
  DeleteByte = 2,
  InsertByte = 3,
  InsertBytes = 7,
  DeleteBytes = 8,
  ReplaceRange = 9,
  FillRange = 10,
};

// Who runs a primitive: a new edit, undo, or redo.
enum class EditMode { New = 0, Undo = 1, Redo = 2 };

inline constexpr std::uint32_t kUndoCodeBase = 0x00C00000;
inline constexpr std::uint32_t kRedoCodeBase = 0xC0000000;

constexpr std::uint32_t UndoCode(EditKind kind) {
  return kUndoCodeBase + static_cast<std::uint32_t>(kind);
}
constexpr std::uint32_t RedoCode(EditKind kind) {
  return kRedoCodeBase + static_cast<std::uint32_t>(kind);
}

// True for the code of a history record (what undo and redo tell the views).
constexpr bool IsHistoryCode(std::uint32_t code) {
  return (code & 0xFFFFFF00) == kUndoCodeBase || (code & 0xFFFFFF00) == kRedoCodeBase;
}

// One entry of the undo or redo history.
struct EditRecord {
  std::uint32_t code = 0;  // UndoCode or RedoCode of the primitive that made it
  DocPos start = 0;
  DocPos end = 0;          // inclusive; equal to start for one-byte edits
  std::uint8_t byte = 0;   // the single byte of one-byte edits
  Bytes bytes;             // the bytes of range edits that need them
  std::int32_t extra = 0;  // a count, or the fill byte

  [[nodiscard]] EditKind Kind() const { return static_cast<EditKind>(code & 0xFF); }
};

}  // namespace vantrell
