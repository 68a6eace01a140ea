#include "view_editor.h"

#include <algorithm>

#include "resources/string_table.h"
#include "shell/prompt_service.h"
#include "view/character_set.h"

namespace vantrell {

ViewEditor::ViewEditor(CVantrellDoc& document, PromptService& prompt, DocumentView* view)
    : doc_(document), prompt_(prompt), view_(view) {}

void ViewEditor::SetCaret(DocPos address) {
  caret_ = std::clamp<DocPos>(address, 0, doc_.Length());
  lowNibble_ = false;
}

bool ViewEditor::HasSelection() const {
  return state_ == SelectionState::Made || state_ == SelectionState::ModeActive ||
         state_ == SelectionState::Found || state_ == SelectionState::Range;
}

void ViewEditor::SetSelection(DocPos start, DocPos end, SelectionState state) {
  selStart_ = std::min(start, end);
  selEnd_ = std::max(start, end);
  state_ = state;
}

void ViewEditor::ClearTransientSelection() {
  if (state_ == SelectionState::Made || state_ == SelectionState::Found ||
      state_ == SelectionState::Range)
    state_ = SelectionState::None;
}

void ViewEditor::MoveCaret(DocPos to) {
  ClearTransientSelection();
  lowNibble_ = false;
  const DocPos from = caret_;
  caret_ = std::clamp<DocPos>(to, 0, doc_.Length());
  if (caret_ == from) return;
  if (state_ == SelectionState::ModeEmpty) {
    // The selection covers the bytes the caret passed over.
    if (caret_ > from) {
      SetSelection(from, caret_ - 1, SelectionState::ModeActive);
    } else {
      SetSelection(caret_, from - 1, SelectionState::ModeActive);
    }
  } else if (state_ == SelectionState::ModeActive) {
    if (from == selStart_) {
      selStart_ = caret_;
    } else if (from == selEnd_ + 1) {
      selEnd_ = caret_ - 1;
    }
    if (selStart_ > selEnd_) state_ = SelectionState::ModeEmpty;
  }
}

void ViewEditor::MoveLeft() { MoveCaret(std::max(caret_ - 1, 0)); }

void ViewEditor::MoveRight() { MoveCaret(std::min(caret_ + 1, doc_.Length())); }

void ViewEditor::MoveUp() { MoveLines(-1); }

void ViewEditor::MoveDown() { MoveLines(1); }

void ViewEditor::MoveLines(std::int64_t lines) {
  const std::int64_t lastLine = doc_.Length() / bytesPerLine_;
  const std::int64_t line = std::clamp<std::int64_t>(CaretLine() + lines, 0, lastLine);
  // On the last line the column is limited to the end position's column.
  const std::int64_t target = std::min<std::int64_t>(line * bytesPerLine_ + CaretColumn(), doc_.Length());
  MoveCaret(static_cast<DocPos>(target));
}

void ViewEditor::MoveTo(DocPos address) { MoveCaret(address); }

void ViewEditor::SelectTo(DocPos address) {
  const bool mode = state_ == SelectionState::ModeEmpty || state_ == SelectionState::ModeActive;
  const DocPos from = caret_;
  const DocPos to = std::clamp<DocPos>(address, 0, doc_.Length());
  lowNibble_ = false;
  if (to == from) return;
  if (!HasSelection()) {
    caret_ = to;
    SetSelection(std::min(from, to), std::max(from, to) - 1,
                 mode ? SelectionState::ModeActive : SelectionState::Made);
    return;
  }
  caret_ = to;
  if (from == selStart_) {
    selStart_ = to;
  } else if (from == selEnd_ + 1) {
    selEnd_ = to - 1;
  } else {
    // The caret was elsewhere: select from it afresh.
    SetSelection(std::min(from, to), std::max(from, to) - 1, state_);
  }
  if (selStart_ > selEnd_) {
    state_ = mode ? SelectionState::ModeEmpty : SelectionState::None;
  }
}

void ViewEditor::TogglePane() {
  state_ = SelectionState::None;
  lowNibble_ = false;
  inCharPane_ = !inCharPane_;
}

void ViewEditor::ToggleSelectionMode() {
  if (HasSelection()) {
    state_ = SelectionState::None;
    return;
  }
  state_ = SelectionState::ModeEmpty;
}

void ViewEditor::CancelSelection() { state_ = SelectionState::None; }

void ViewEditor::Tell(std::uint32_t hint, DocPos position, DocPos count) {
  doc_.UpdateAllViews(view_, {hint, position, count, caret_, doc_.Length()});
}

void ViewEditor::TypeCharacter(std::uint16_t code) {
  if (code < 32) return;
  if (!doc_.IsEditable()) {
    prompt_.Beep();
    return;
  }
  const bool hexDigit = (code >= '0' && code <= '9') || (code >= 'a' && code <= 'f') ||
                        (code >= 'A' && code <= 'F');
  Bytes bytes;
  std::uint8_t digit = 0;
  if (inCharPane_) {
    bytes = TypedCharacterToBytes(doc_.GetCharacterSet(), code);
    if (bytes.empty()) {
      prompt_.Beep();
      return;
    }
  } else {
    if (!hexDigit) {
      prompt_.Beep();
      return;
    }
    digit = static_cast<std::uint8_t>(code <= '9' ? code - '0' : (code | 0x20) - 'a' + 10);
  }
  const auto count = static_cast<DocPos>(bytes.size());

  if (HasSelection()) {
    const DocPos start = selStart_;
    const std::uint8_t high = static_cast<std::uint8_t>(digit << 4);
    const bool done = inCharPane_ ? doc_.EditReplaceRange(start, selEnd_, bytes.data(), count)
                                  : doc_.EditReplaceRange(start, selEnd_, &high, 1);
    if (!done) return prompt_.Beep();
    state_ = SelectionState::None;
    caret_ = inCharPane_ ? start + count : start;
    lowNibble_ = !inCharPane_;
    Tell(hint::kBytesReplaced, start, inCharPane_ ? count : 1);
    return;
  }

  const DocPos at = caret_;
  const bool atEnd = at == doc_.Length();
  if (inCharPane_) {
    if (doc_.InsertMode() || (atEnd && doc_.Settings().autoInsert)) {
      const bool done = count == 1 ? doc_.EditInsertByte(at, bytes[0])
                                   : doc_.EditInsertBytes(at, bytes.data(), count);
      if (!done) return prompt_.Beep();
      caret_ = at + count;
      Tell(hint::kInsertChar, at, count);
    } else if (atEnd) {
      prompt_.Beep();
    } else {
      bool done;
      if (count == 1) {
        done = doc_.EditOverwriteByte(at, bytes[0]);
      } else {
        // Two bytes replace two, or only the last byte of the document.
        const DocPos end = std::min(at + 1, doc_.Length() - 1);
        done = doc_.EditReplaceRange(at, end, bytes.data(), count);
      }
      if (!done) return prompt_.Beep();
      caret_ = at + count;
      Tell(hint::kOverwriteChar, at, count);
    }
    return;
  }

  if (lowNibble_) {
    doc_.EditOrByte(at, digit);
    lowNibble_ = false;
    caret_ = std::min(at + 1, doc_.Length());
    Tell(hint::kSecondDigit, at, 1);
    return;
  }
  const auto high = static_cast<std::uint8_t>(digit << 4);
  if (doc_.InsertMode() || atEnd) {
    if (!doc_.EditInsertByte(at, high)) return prompt_.Beep();
    lowNibble_ = true;
    Tell(hint::kFirstDigitInsert, at, 1);
  } else {
    if (!doc_.EditOverwriteByte(at, high)) return prompt_.Beep();
    lowNibble_ = true;
    Tell(hint::kFirstDigitOverwrite, at, 1);
  }
}

void ViewEditor::DeleteAtCaret() {
  if (!doc_.IsEditable()) return prompt_.Beep();
  lowNibble_ = false;
  if (caret_ >= doc_.Length()) return;
  if (doc_.EditDeleteByte(caret_)) Tell(hint::kDeleteByte, caret_, 1);
}

void ViewEditor::DeleteBeforeCaret() {
  if (!doc_.IsEditable()) return prompt_.Beep();
  if (caret_ == 0) return;
  MoveLeft();
  DeleteAtCaret();
}

void ViewEditor::DeleteSelection() {
  if (!doc_.IsEditable()) return prompt_.Beep();
  if (state_ == SelectionState::ModeEmpty) {
    state_ = SelectionState::None;
    return;
  }
  if (!HasSelection()) return;
  const DocPos start = selStart_;
  const DocPos count = selEnd_ - selStart_ + 1;
  if (!doc_.EditCutRange(start, selEnd_)) return prompt_.Beep();
  state_ = SelectionState::None;
  caret_ = start;
  lowNibble_ = false;
  Tell(hint::kSelectionDeleted, start, count);
}

std::string ViewEditor::SelectionStatusText() const {
  if (!HasSelection()) return {};
  const std::int64_t count = std::int64_t{selEnd_} - selStart_ + 1;
  return FormatText("選択 : 0x%08X～0x%08X  0x%X(%d)Bytes",
                    {std::int64_t{selStart_}, std::int64_t{selEnd_}, count, count});
}

}  // namespace vantrell
