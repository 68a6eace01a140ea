// Undo, redo and the clipboard commands of the hex view.
#include <QApplication>
#include <QClipboard>

#include "document/block_cursor.h"
#include "document/program_clipboard.h"
#include "shell/command_ids.h"
#include "view/character_set.h"
#include "view/cp932.h"
#include "view/vantrell_view.h"

namespace vantrell {

QString CVantrellView::SelectionClipboardText() const {
  if (!editor_.HasSelection()) return {};
  const DocPos start = editor_.SelectionStart();
  const DocPos count = editor_.SelectionEnd() - start + 1;
  Bytes bytes;
  if (!BlockCursor(doc_->Blocks()).CopyRange(start, count, bytes)) return {};
  if (!editor_.InCharacterPane()) {
    QString text = QString::fromLatin1(HexText(bytes.data(), count).c_str());
    text.chop(1);  // no space after the last byte
    return text;
  }
  const auto text = BytesToText(doc_->GetCharacterSet(), bytes.data(), count);
  if (!text) return {};
  // Bytes that are no CP932 text (Shift-JIS keeps them unchanged) become ".".
  QString out;
  for (std::size_t i = 0; i < text->size(); ++i) {
    const auto b = static_cast<std::uint8_t>((*text)[i]);
    std::uint16_t code = b;
    if (cp932::IsLeadByte(b) && i + 1 < text->size())
      code = static_cast<std::uint16_t>(b << 8 | static_cast<std::uint8_t>((*text)[++i]));
    const char16_t u = cp932::ToUnicode(code);
    out += (u != 0 || code == 0) ? QChar(u) : QChar('.');
  }
  return out;
}

void CVantrellView::PutSelectionOnPlatformClipboard() const {
  const QString text = SelectionClipboardText();
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

bool CVantrellView::OnUpdateCommand(int command, CommandState& state) {
  const bool editable = doc_->IsEditable();
  switch (command) {
    case cmd::kEditUndo:
      state.enabled = editable && !doc_->UndoHistory().empty();
      return true;
    case cmd::kEditRedo:
      state.enabled = editable && !doc_->RedoHistory().empty();
      return true;
    case cmd::kEditCut:
      state.enabled = editable && editor_.HasSelection();
      return true;
    case cmd::kEditCopy:
      state.enabled = editor_.HasSelection();
      return true;
    case cmd::kEditPaste:
      state.enabled = editable && !doc_->SharedClipboard().IsEmpty();
      return true;
    default:
      return false;
  }
}

bool CVantrellView::OnCommand(int command) {
  CommandState state;
  if (!OnUpdateCommand(command, state)) return false;
  if (!state.enabled) {
    QApplication::beep();
    return true;
  }
  switch (command) {
    case cmd::kEditUndo:
      editor_.CancelSelection();
      doc_->Undo();
      break;
    case cmd::kEditRedo:
      doc_->Redo();
      break;
    case cmd::kEditCopy:
      PutSelectionOnPlatformClipboard();
      doc_->CopyRangeToClipboard(editor_.SelectionStart(), editor_.SelectionEnd());
      break;
    case cmd::kEditCut: {
      PutSelectionOnPlatformClipboard();
      const DocPos start = editor_.SelectionStart();
      const DocPos end = editor_.SelectionEnd();
      if (doc_->EditCutRange(start, end, EditMode::New, /*toClipboard=*/true)) {
        editor_.CancelSelection();
        editor_.SetCaret(start);
        doc_->UpdateAllViews(this, {hint::kSelectionDeleted, start, end - start + 1, start, doc_->Length()});
      }
      break;
    }
    case cmd::kEditPaste:
      Paste();
      break;
  }
  EnsureCaretVisible();
  AfterCaretChange();
  return true;
}

void CVantrellView::Paste() {
  const Bytes bytes = doc_->SharedClipboard().Content();
  const auto count = static_cast<DocPos>(bytes.size());
  DocPos at = editor_.Caret();
  bool done;
  std::uint32_t code = hint::kBytesInserted;
  if (editor_.HasSelection()) {
    at = editor_.SelectionStart();
    done = doc_->EditReplaceRange(at, editor_.SelectionEnd(), bytes.data(), count);
    code = hint::kBytesReplaced;
  } else if (!doc_->InsertMode() && options_.overwritePaste && at < doc_->Length()) {
    // Overwrites from the caret; what runs past the end lengthens the document.
    const DocPos end = std::min(at + count - 1, doc_->Length() - 1);
    done = doc_->EditReplaceRange(at, end, bytes.data(), count);
    code = hint::kBytesReplaced;
  } else {
    done = doc_->EditInsertBytes(at, bytes.data(), count);
  }
  if (!done) {
    QApplication::beep();
    return;
  }
  editor_.CancelSelection();
  editor_.SetCaret(at + count);
  doc_->UpdateAllViews(this, {code, at, count, at + count, doc_->Length()});
}

}  // namespace vantrell
