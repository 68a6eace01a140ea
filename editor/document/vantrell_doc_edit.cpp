// The edit primitives of a document, with their undo and redo histories.
#include <algorithm>

#include "block_cursor.h"
#include "program_clipboard.h"
#include "vantrell_doc.h"

namespace vantrell {

void CVantrellDoc::Record(EditMode mode, EditRecord record) {
  const EditKind kind = record.Kind();
  switch (mode) {
    case EditMode::New:
      record.code = UndoCode(kind);
      undo_.push_back(std::move(record));
      redo_.clear();
      ++changeCounter_;
      SetModifiedFlag(true);
      break;
    case EditMode::Undo:
      record.code = RedoCode(kind);
      redo_.push_back(std::move(record));
      break;
    case EditMode::Redo:
      record.code = UndoCode(kind);
      undo_.push_back(std::move(record));
      ++changeCounter_;
      break;
  }
}

DocPos CVantrellDoc::SyncLength() {
  const DocPos oldLength = length_;
  length_ = static_cast<DocPos>(blocks_.TotalLength());
  return oldLength;
}

bool CVantrellDoc::MarksFollowEdits() const { return settings_.dynamicMark && marks_ != nullptr; }

void CVantrellDoc::AfterEdit(DocPos position, DocPos count, DocPos oldLength) {
  if (bitImage_ != nullptr) bitImage_->OnBytesChanged(position, count, length_ != oldLength);
}

namespace {

// A record's code only carries the kind until Record() completes it.
EditRecord MakeRecord(EditKind kind, DocPos start, DocPos end) {
  EditRecord record;
  record.code = static_cast<std::uint32_t>(kind);
  record.start = start;
  record.end = end;
  return record;
}

}  // namespace

bool CVantrellDoc::EditOverwriteByte(DocPos position, std::uint8_t byte, EditMode mode) {
  std::uint8_t old = 0;
  if (!BlockCursor(blocks_).OverwriteByte(position, byte, old)) return false;
  EditRecord record = MakeRecord(EditKind::OverwriteByte, position, position);
  record.byte = old;
  Record(mode, std::move(record));
  AfterEdit(position, 1, length_);
  return true;
}

bool CVantrellDoc::EditInsertByte(DocPos position, std::uint8_t byte, EditMode mode) {
  if (!BlockCursor(blocks_).InsertByte(position, byte)) return false;
  const DocPos oldLength = SyncLength();
  EditRecord record = MakeRecord(EditKind::InsertByte, position, position);
  record.byte = byte;
  Record(mode, std::move(record));
  if (MarksFollowEdits()) marks_->OnBytesInserted(position, 1);
  AfterEdit(position, 1, oldLength);
  return true;
}

bool CVantrellDoc::EditDeleteByte(DocPos position, EditMode mode) {
  std::uint8_t deleted = 0;
  if (!BlockCursor(blocks_).DeleteByte(position, deleted)) return false;
  const DocPos oldLength = SyncLength();
  EditRecord record = MakeRecord(EditKind::DeleteByte, position, position);
  record.byte = deleted;
  Record(mode, std::move(record));
  if (MarksFollowEdits()) marks_->OnBytesDeleted(position, 1);
  AfterEdit(position, 1, oldLength);
  return true;
}

bool CVantrellDoc::EditOrByte(DocPos position, std::uint8_t bits) {
  std::uint8_t old = 0;
  if (!BlockCursor(blocks_).OrByte(position, bits, old)) return false;
  AfterEdit(position, 1, length_);
  return true;
}

bool CVantrellDoc::EditCutRange(DocPos start, DocPos end, EditMode mode, bool toClipboard) {
  if (start < 0 || end < start || end >= length_) return false;
  const DocPos count = end - start + 1;
  Bytes cut;
  if (!BlockCursor(blocks_).CutRange(start, count, cut)) return false;
  const DocPos oldLength = SyncLength();
  if (toClipboard && mode != EditMode::Undo) host_.Clipboard().Store(cut);
  EditRecord record = MakeRecord(EditKind::DeleteBytes, start, end);
  record.bytes = std::move(cut);
  Record(mode, std::move(record));
  if (MarksFollowEdits()) marks_->OnBytesDeleted(start, count);
  AfterEdit(start, count, oldLength);
  return true;
}

bool CVantrellDoc::EditInsertBytes(DocPos position, const std::uint8_t* bytes, DocPos count,
                                   EditMode mode) {
  if (bytes == nullptr || !BlockCursor(blocks_).InsertBytes(position, bytes, count)) return false;
  const DocPos oldLength = SyncLength();
  Record(mode, MakeRecord(EditKind::InsertBytes, position, position + count - 1));
  if (MarksFollowEdits()) marks_->OnBytesInserted(position, count);
  AfterEdit(position, count, oldLength);
  return true;
}

bool CVantrellDoc::EditReplaceRange(DocPos start, DocPos end, const std::uint8_t* bytes,
                                    DocPos count, EditMode mode) {
  if (start < 0 || end < start || end >= length_ || count < 1 || bytes == nullptr) return false;
  const DocPos oldCount = end - start + 1;
  Bytes old;
  if (!BlockCursor(blocks_).ReplaceRange(start, oldCount, bytes, count, old)) return false;
  const DocPos oldLength = SyncLength();
  EditRecord record = MakeRecord(EditKind::ReplaceRange, start, start + count - 1);
  record.bytes = std::move(old);
  record.extra = oldCount;
  Record(mode, std::move(record));
  if (MarksFollowEdits()) marks_->OnBytesReplaced(start, oldCount, count);
  AfterEdit(start, std::max(oldCount, count), oldLength);
  return true;
}

bool CVantrellDoc::EditFillRange(DocPos start, DocPos end, std::uint8_t byte, EditMode mode) {
  // Undo of a fill writes the old bytes back instead (RestoreFilledBytes).
  if (mode == EditMode::Undo || start < 0 || end < start || end >= length_) return false;
  const DocPos count = end - start + 1;
  Bytes old;
  if (!BlockCursor(blocks_).FillRange(start, count, byte, old)) return false;
  EditRecord record = MakeRecord(EditKind::FillRange, start, end);
  record.bytes = std::move(old);
  record.extra = byte;
  Record(mode, std::move(record));
  AfterEdit(start, count, length_);
  return true;
}

bool CVantrellDoc::RestoreFilledBytes(const EditRecord& fill) {
  const DocPos count = fill.end - fill.start + 1;
  if (static_cast<DocPos>(fill.bytes.size()) != count) return false;
  Bytes replaced;
  if (!BlockCursor(blocks_).ReplaceRange(fill.start, count, fill.bytes.data(), count, replaced))
    return false;
  EditRecord record = MakeRecord(EditKind::FillRange, fill.start, fill.end);
  record.extra = fill.extra;
  Record(EditMode::Undo, std::move(record));
  AfterEdit(fill.start, count, length_);
  return true;
}

bool CVantrellDoc::CopyRangeToClipboard(DocPos start, DocPos end) {
  if (start < 0 || end < start || end >= length_) return false;
  Bytes bytes;
  if (!BlockCursor(blocks_).CopyRange(start, end - start + 1, bytes)) return false;
  host_.Clipboard().Store(std::move(bytes));
  return true;
}

DocPos CVantrellDoc::ReadStructureBytes(DocPos position, DocPos count, std::uint8_t* buffer,
                                        bool show, int structureKind) {
  if (buffer == nullptr || count < 1 || position < 0 || position > length_) return 0;
  std::fill(buffer, buffer + count, 0);
  DocPos available = std::min<DocPos>(count, length_ - position);
  if (available > 0) {
    BlockCursor cursor(blocks_);
    if (!cursor.Seek(position)) return 0;
    available = cursor.ReadBytes(available, buffer);
  }
  // The structure is completed with zeros, as an edit that can be undone. A
  // document that may not be edited is never changed: the rest stays zero here.
  if (available < count && IsEditable()) {
    const DocPos oldLength = length_;
    const Bytes zeros(count - available, 0);
    if (EditInsertBytes(length_, zeros.data(), static_cast<DocPos>(zeros.size()))) {
      UpdateAllViews(nullptr, {hint::kBytesInserted, oldLength,
                               static_cast<DocPos>(zeros.size()), length_, length_});
      available = count;
    }
  }
  if (show && available > 0) host_.ShowStructureRange(*this, position, count, structureKind);
  return available;
}

bool CVantrellDoc::Undo() {
  if (undo_.empty()) return false;
  EditRecord record = std::move(undo_.back());
  undo_.pop_back();
  const DocPos afterEnd = record.end + 1;
  bool done = false;
  DocPos caret = record.start;
  switch (record.Kind()) {
    case EditKind::OverwriteByte:
      done = EditOverwriteByte(record.start, record.byte, EditMode::Undo);
      break;
    case EditKind::DeleteByte:
      done = EditInsertByte(record.start, record.byte, EditMode::Undo);
      break;
    case EditKind::InsertByte:
      done = EditDeleteByte(record.start, EditMode::Undo);
      break;
    case EditKind::InsertBytes:
      done = EditCutRange(record.start, record.end, EditMode::Undo);
      break;
    case EditKind::DeleteBytes:
      done = EditInsertBytes(record.start, record.bytes.data(),
                             static_cast<DocPos>(record.bytes.size()), EditMode::Undo);
      caret = afterEnd;
      break;
    case EditKind::ReplaceRange:
      done = EditReplaceRange(record.start, record.end, record.bytes.data(),
                              static_cast<DocPos>(record.bytes.size()), EditMode::Undo);
      break;
    case EditKind::FillRange:
      done = RestoreFilledBytes(record);
      caret = afterEnd;
      break;
  }
  if (!done) {
    undo_.push_back(std::move(record));  // the history stays as it was
    return false;
  }
  --changeCounter_;
  SetModifiedFlag(changeCounter_ != 0);
  UpdateAllViews(nullptr, {record.code, record.start, record.end - record.start + 1, caret, length_});
  return true;
}

bool CVantrellDoc::Redo() {
  if (redo_.empty()) return false;
  EditRecord record = std::move(redo_.back());
  redo_.pop_back();
  const DocPos afterEnd = record.end + 1;
  bool done = false;
  DocPos caret = record.start;
  switch (record.Kind()) {
    case EditKind::OverwriteByte:
      done = EditOverwriteByte(record.start, record.byte, EditMode::Redo);
      break;
    case EditKind::DeleteByte:
      done = EditInsertByte(record.start, record.byte, EditMode::Redo);
      caret = record.start + 1;
      break;
    case EditKind::InsertByte:
      done = EditDeleteByte(record.start, EditMode::Redo);
      break;
    case EditKind::InsertBytes:
      done = EditCutRange(record.start, record.end, EditMode::Redo, /*toClipboard=*/true);
      break;
    case EditKind::DeleteBytes:
      done = EditInsertBytes(record.start, record.bytes.data(),
                             static_cast<DocPos>(record.bytes.size()), EditMode::Redo);
      caret = afterEnd;
      break;
    case EditKind::ReplaceRange:
      done = EditReplaceRange(record.start, record.end, record.bytes.data(),
                              static_cast<DocPos>(record.bytes.size()), EditMode::Redo);
      caret = record.start + record.extra;
      break;
    case EditKind::FillRange:
      done = EditFillRange(record.start, record.end, static_cast<std::uint8_t>(record.extra),
                           EditMode::Redo);
      caret = afterEnd;
      break;
  }
  if (!done) {
    redo_.push_back(std::move(record));
    return false;
  }
  SetModifiedFlag(changeCounter_ != 0);
  UpdateAllViews(nullptr, {record.code, record.start, record.end - record.start + 1, caret, length_});
  return true;
}

}  // namespace vantrell
