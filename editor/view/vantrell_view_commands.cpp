// Undo, redo and the clipboard commands of the hex view.
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>


#include <algorithm>

#include "document/block_cursor.h"
#include "document/document_file_writer.h"
#include "document/program_clipboard.h"
#include "resources/string_table.h"
#include "shell/prompt_service.h"
#include "view/address_dialogs.h"
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

// Where a movement command takes the caret, or -1 for a command that is not one.
std::int64_t CVantrellView::MoveTarget(int command) const {
  const int L = geometry_.bytesPerLine;
  const DocPos caret = editor_.Caret();
  const DocPos length = doc_->Length();
  const std::int64_t line = caret / L;
  const std::int64_t lastLine = length / L;
  const int page = std::max(1, PageLines());
  auto lineMove = [&](std::int64_t lines) {
    const std::int64_t target = std::clamp<std::int64_t>(line + lines, 0, lastLine);
    return std::min<std::int64_t>(target * L + caret % L, length);
  };
  switch (command) {
    case cmd::kCursorLeft: case cmd::kSelectLeft: return std::max(caret - 1, 0);
    case cmd::kCursorRight: case cmd::kSelectRight: return std::min(caret + 1, length);
    case cmd::kCursorUp: case cmd::kSelectUp: return lineMove(-1);
    case cmd::kCursorDown: case cmd::kSelectDown: return lineMove(1);
    case cmd::kDataStart: case cmd::kSelectToDataStart: return 0;
    case cmd::kDataEnd: case cmd::kSelectToDataEnd: return length;
    case cmd::kLineStart: case cmd::kSelectToLineStart: return line * L;
    case cmd::kLineEnd: case cmd::kSelectToLineEnd: return std::min<std::int64_t>(line * L + L - 1, length);
    case cmd::kFastUp: return lineMove(-2);
    case cmd::kFastDown: return lineMove(2);
    case cmd::kPageUp: case cmd::kSelectPrevPage: return line < 2 * page ? 0 : lineMove(-page);
    case cmd::kPageDown: case cmd::kSelectNextPage:
      return lastLine - line < 2 * page ? length : lineMove(page);
    case cmd::kHalfPageUp: return line < page / 2 ? 0 : lineMove(-(page / 2));
    case cmd::kHalfPageDown: return lastLine - line < page / 2 ? length : lineMove(page / 2);
    default: return -1;
  }
}

bool CVantrellView::OnUpdateCommand(int command, CommandState& state) {
  const bool editable = doc_->IsEditable();
  if (MoveTarget(command) >= 0) return true;
  switch (command) {
    case cmd::kLineUp: case cmd::kLineDown: case cmd::kSelectionMode: case cmd::kSelectAll:
    case cmd::kInsertOverwrite: case cmd::kSwitchPane: case cmd::kDeleteByte:
    case cmd::kDeleteBeforeCaret:
      return true;
    case cmd::kDeleteSelection:
    case cmd::kFillSelection:
      state.enabled = editable && editor_.HasSelection();
      return true;
    case cmd::kSaveSelection:
      state.enabled = editor_.HasSelection();
      return true;
    case cmd::kGoToAddress:
    case cmd::kSelectRange:
      return true;
    case cmd::kGoToLastChange:
      state.enabled = !doc_->UndoHistory().empty();
      return true;
    case cmd::kRevert:
      state.enabled = editable && !doc_->UndoHistory().empty() && !doc_->GetPathName().empty();
      return true;
    case cmd::kEditProhibit:
      state.enabled = doc_->GetEditState() != EditState::Browse;
      state.checked = !editable;
      return true;
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
  if (const std::int64_t target = MoveTarget(command); target >= 0) {
    const bool selecting = (command >= cmd::kSelectLeft && command <= cmd::kSelectToLineEnd) ||
                           command == cmd::kSelectPrevPage || command == cmd::kSelectNextPage;
    if (selecting) {
      editor_.SelectTo(static_cast<DocPos>(target));
    } else {
      editor_.MoveTo(static_cast<DocPos>(target));
    }
    const int page = std::max(1, PageLines());
    if (command == cmd::kPageUp || command == cmd::kSelectPrevPage) SetTopLine(TopLine() - page);
    if (command == cmd::kPageDown || command == cmd::kSelectNextPage) SetTopLine(TopLine() + page);
    EnsureCaretVisible();
    AfterCaretChange();
    return true;
  }
  switch (command) {
    case cmd::kLineUp:
      SetTopLine(TopLine() - 1);
      break;
    case cmd::kLineDown:
      SetTopLine(TopLine() + 1);
      break;
    case cmd::kSelectionMode:
      editor_.ToggleSelectionMode();
      break;
    case cmd::kSelectAll:
      if (doc_->Length() > 0) {
        editor_.SetSelection(0, doc_->Length() - 1, SelectionState::Made);
        editor_.SetCaret(0);
      }
      break;
    case cmd::kInsertOverwrite:
      doc_->SetInsertMode(!doc_->InsertMode());
      doc_->UpdateAllViews(nullptr, {hint::kInsertModeChanged, 0, 0, 0, doc_->Length()});
      break;
    case cmd::kEditProhibit:
      doc_->SetEditProhibited(doc_->IsEditable());
      doc_->UpdateAllViews(nullptr, {hint::kEditStateChanged, 0, 0, 0, doc_->Length()});
      break;
    case cmd::kSwitchPane:
      editor_.TogglePane();
      break;
    case cmd::kDeleteByte:
      editor_.DeleteAtCaret();
      break;
    case cmd::kDeleteBeforeCaret:
      editor_.DeleteBeforeCaret();
      break;
    case cmd::kDeleteSelection:
      editor_.DeleteSelection();
      break;
    case cmd::kGoToAddress: {
      CGoToAddressDialog dialog(editor_.Caret(), doc_->Length(), editor_.Prompt(), this);
      if (dialog.exec() == QDialog::Accepted) GoToAddress(dialog.Target(), 2);
      return true;
    }
    case cmd::kSelectRange: {
      if (doc_->Length() == 0) return true;
      CSelectRangeDialog dialog(doc_->Length(), editor_.HasSelection(), editor_.SelectionStart(),
                                editor_.SelectionEnd(), editor_.Prompt(), this);
      if (dialog.exec() != QDialog::Accepted) return true;
      editor_.SetSelection(dialog.Start(), dialog.End(), SelectionState::Range);
      editor_.SetCaret(dialog.End());
      EnsureCaretVisible(3);
      AfterCaretChange();
      return true;
    }
    case cmd::kGoToLastChange:
      GoToAddress(doc_->UndoHistory().back().start, 2);
      return true;
    case cmd::kFillSelection: {
      const DocPos start = editor_.SelectionStart();
      const DocPos end = editor_.SelectionEnd();
      CFillDialog dialog(start, end, editor_.Prompt(), this);
      if (dialog.exec() != QDialog::Accepted) return true;
      if (doc_->EditFillRange(start, end, dialog.Value())) {
        editor_.CancelSelection();
        editor_.SetCaret(end + 1);
        doc_->UpdateAllViews(this, {hint::kSelectionFilled, start, end - start + 1, end + 1, doc_->Length()});
      }
      break;
    }
    case cmd::kSaveSelection:
      SaveSelectionToFile();
      return true;
    case cmd::kRevert:
      Revert();
      return true;
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

void CVantrellView::SaveSelectionToFile() {
  Bytes bytes;
  const DocPos start = editor_.SelectionStart();
  if (!BlockCursor(doc_->Blocks()).CopyRange(start, editor_.SelectionEnd() - start + 1, bytes)) return;
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("名前を付けて保存"));
  if (path.isEmpty()) return;
  // Written to a temporary file beside it and renamed, like every save.
  BlockList blocks;
  blocks.ResetToEmptyDocument();
  if (!BlockCursor(blocks).InsertBytes(0, bytes.data(), static_cast<DocPos>(bytes.size()))) return;
  SharedFile file;
  if (DocumentFileWriter::Write(path.toStdString(), blocks, ShareMode::DenyWrite, {}, file)) return;
  // A file that could not even be created, or one that failed while being written.
  const QFileInfo target(path);
  const bool creatable = target.exists() || QFileInfo(target.absolutePath()).isWritable();
  editor_.Prompt().Message(creatable ? ids::kMsgWriteFailed : ids::kMsgBackupFailed);
}

void CVantrellView::Revert() {
  if (doc_->IsModified() && editor_.Prompt().Message(ids::kMsgRevertConfirm, {}, MessageIcon::Question,
                                                      MessageButtons::YesNo) != Answer::Yes)
    return;
  editor_.CancelSelection();
  if (doc_->Reload()) {
    doc_->UpdateAllViews(nullptr, {hint::kReloaded, 0, 0, 0, doc_->Length()});
  } else {
    doc_->SetModifiedFlag(false);
    emit closeRequested();
  }
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
