#pragma once

#include <cstdint>
#include <string>

#include "document/update_hint.h"
#include "document/vantrell_doc.h"

namespace vantrell {

class PromptService;

enum class SelectionState : int {
  None = 0,        // no selection
  Made = 1,        // a selection exists, selection mode off
  ModeEmpty = 2,   // selection mode on, nothing selected yet
  ModeActive = 3,  // selection mode on and a selection exists
  Found = 5,       // set by a search hit
  Range = 8,       // set by select-range
};

// The caret, the selection and typing of one view, without the window: moves,
// selection mode, typed characters and hexadecimal digits, deletes. Edits go
// to the document, which tells every view.
class ViewEditor {
 public:
  ViewEditor(CVantrellDoc& document, PromptService& prompt, DocumentView* view);

  void SetBytesPerLine(int bytesPerLine) { bytesPerLine_ = bytesPerLine; }
  [[nodiscard]] PromptService& Prompt() const { return prompt_; }
  [[nodiscard]] int BytesPerLine() const { return bytesPerLine_; }

  [[nodiscard]] DocPos Caret() const { return caret_; }
  [[nodiscard]] std::int64_t CaretLine() const { return caret_ / bytesPerLine_; }
  [[nodiscard]] int CaretColumn() const { return caret_ % bytesPerLine_; }
  [[nodiscard]] bool LowNibble() const { return lowNibble_; }
  [[nodiscard]] bool InCharacterPane() const { return inCharPane_; }
  void SetCaret(DocPos address);  // clamps to 0..length, clears the low-nibble flag
  void SetCharacterPane(bool inCharacterPane) { inCharPane_ = inCharacterPane; }

  [[nodiscard]] SelectionState State() const { return state_; }
  [[nodiscard]] bool HasSelection() const;
  [[nodiscard]] DocPos SelectionStart() const { return selStart_; }
  [[nodiscard]] DocPos SelectionEnd() const { return selEnd_; }
  void SetSelection(DocPos start, DocPos end, SelectionState state);

  void MoveLeft();
  void MoveRight();
  void MoveUp();
  void MoveDown();
  // Moves by whole lines (page moves): clamped to the first and last line.
  void MoveLines(std::int64_t lines);
  void MoveTo(DocPos address);  // a plain caret move to an address, with selection mode
  // A selecting move: the passed bytes join or leave the selection, whether
  // selection mode is on or not.
  void SelectTo(DocPos address);

  void TogglePane();
  void ToggleSelectionMode();
  void CancelSelection();
  void ClearTransientSelection();

  void TypeCharacter(std::uint16_t code);
  void DeleteAtCaret();
  void DeleteBeforeCaret();
  void DeleteSelection();

  // "選択 : 0x%08X～0x%08X  0x%X(%d)Bytes" while a selection exists, else empty.
  [[nodiscard]] std::string SelectionStatusText() const;

 private:
  // A caret move; in selection mode the selection follows the caret.
  void MoveCaret(DocPos to);
  void Tell(std::uint32_t hint, DocPos position, DocPos count);

  CVantrellDoc& doc_;
  PromptService& prompt_;
  DocumentView* view_;
  int bytesPerLine_ = 16;
  DocPos caret_ = 0;
  bool lowNibble_ = false;
  bool inCharPane_ = false;
  SelectionState state_ = SelectionState::None;
  DocPos selStart_ = 0;
  DocPos selEnd_ = -1;
};

}  // namespace vantrell
