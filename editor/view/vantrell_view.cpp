#include "vantrell_view.h"

#include <QCursor>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

#include "document/block_cursor.h"
#include "view/character_set.h"
#include "shell/command_ids.h"
#include "view/cp932.h"

namespace vantrell {

namespace {

QColor ToQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace

QFont ViewFont(const FontSpec& spec) {
  QFont font(spec.faceName.empty() ? QStringLiteral("Noto Sans Mono CJK JP")
                                   : QString::fromStdString(spec.faceName));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  // An even pixel size keeps a half-width glyph at exactly half a full-width one.
  int pixels = spec.height != 0 ? std::abs(spec.height) : 16;
  pixels += pixels & 1;
  font.setPixelSize(pixels);
  font.setWeight(spec.weight >= 600 ? QFont::Bold : QFont::Normal);
  font.setItalic(spec.italic != 0);
  font.setKerning(false);
  return font;
}

CVantrellView::CVantrellView(CVantrellDoc& document, ViewOptions options, PromptService& prompt,
                             QWidget* parent)
    : QAbstractScrollArea(parent), doc_(&document), options_(options), editor_(document, prompt, this) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_InputMethodEnabled);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  doc_->AddView(this);
  dragScroll_ = new QTimer(this);
  dragScroll_->setInterval(50);
  connect(dragScroll_, &QTimer::timeout, this, [this] {
    const int height = viewport()->height();
    const int y = lastDragPoint_.y();
    const int outside = y < ch_ ? (ch_ - y) / ch_ + 1 : (y - height) / ch_ + 1;
    const int lines = outside / 2 + 1;
    SetTopLine(TopLine() + (y < ch_ ? -lines : lines));
    DragTo(lastDragPoint_);
  });
  middleScroll_ = new QTimer(this);
  middleScroll_->setInterval(50);
  connect(middleScroll_, &QTimer::timeout, this, [this] {
    // Toward the pointer's side of the marker, faster the farther it is.
    const int dy = viewport()->mapFromGlobal(QCursor::pos()).y() - middleOrigin_.y();
    if (std::abs(dy) > 16) SetTopLine(TopLine() + (dy > 0 ? 1 : -1) * (std::abs(dy) - 16) / ch_ + (dy > 0 ? 1 : -1));
  });
  ApplyProfile();
  editor_.SetCharacterPane(profile_.charOpen);
}

CVantrellView::~CVantrellView() { doc_->RemoveView(this); }

void CVantrellView::ApplyProfile() {
  profile_ = doc_->Profile();
  geometry_.bytesPerLine = std::max(1, profile_.lineSize);
  editor_.SetBytesPerLine(geometry_.bytesPerLine);
  font_ = ViewFont(profile_.font);
  rawFont_ = QRawFont::fromFont(font_);
  const QFontMetrics metrics(font_);
  cw_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
  ch_ = std::max(1, metrics.height());
  ascent_ = metrics.ascent();
  RecalcLayout();
  viewport()->update();
}

int CVantrellView::PreferredWidth() const {
  return geometry_.LineCells() * cw_ + verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
}

std::int64_t CVantrellView::TopLine() const { return verticalScrollBar()->value(); }
void CVantrellView::SetTopLine(std::int64_t line) {
  verticalScrollBar()->setValue(static_cast<int>(line));
}
int CVantrellView::HorizontalCell() const { return horizontalScrollBar()->value(); }
void CVantrellView::SetHorizontalCell(int h) { horizontalScrollBar()->setValue(h); }

int CVantrellView::PageLines() const { return std::max(0, viewport()->height() / ch_ - 1); }

void CVantrellView::RecalcLayout() {
  const std::int64_t lines = geometry_.LineCount(doc_->Length());
  const int page = PageLines();
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, static_cast<int>(std::max<std::int64_t>(0, lines - page)));
  vertical->setPageStep(std::max(1, page));
  vertical->setSingleStep(1);
  const int visibleCells = viewport()->width() / cw_;
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setRange(0, std::max(0, geometry_.LineCells() - visibleCells));
  horizontal->setPageStep(std::max(1, visibleCells));
  horizontal->setSingleStep(1);
}

void CVantrellView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  RecalcLayout();
}

void CVantrellView::scrollContentsBy(int, int) { viewport()->update(); }

int CVantrellView::PaneOffsetCells() const { return HorizontalCell(); }
int CVantrellView::AddressOffsetCells() const {
  return profile_.scrollAddress ? HorizontalCell() : 0;
}

QRect CVantrellView::CellRect(int cell, int row, int cells) const {
  return QRect(cell * cw_, row * ch_, cells * cw_, ch_);
}

bool CVantrellView::LineVisible(std::int64_t line) const {
  const std::int64_t top = TopLine();
  return line >= top && line <= top + PageLines();
}

void CVantrellView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.setFont(font_);
  painter.fillRect(viewport()->rect(), ToQColor(profile_.colours[kColourData].back));
  PaintLines(painter);
  PaintHeader(painter);
  PaintSelection(painter);
  PaintCaret(painter);
  if (middleScroll_->isActive()) {
    // The autoscroll marker: a 32 x 32 cross in a ring, drawn inverted.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawEllipse(QRect(middleOrigin_ - QPoint(15, 15), QSize(30, 30)));
    painter.drawLine(middleOrigin_ - QPoint(0, 10), middleOrigin_ + QPoint(0, 10));
  }
}

void CVantrellView::PaintHeader(QPainter& painter) const {
  const ColourPair colours = profile_.colours[kColourHeader];
  painter.fillRect(QRect(0, 0, viewport()->width(), ch_), ToQColor(colours.back));
  painter.setPen(ToQColor(colours.text));
  const int h = HorizontalCell();
  const int addressX = -AddressOffsetCells() * cw_;
  painter.drawText(addressX, ascent_, QString::fromLatin1(kAddressHeader));
  if (profile_.scrollAddress) {
    painter.drawText((LineGeometry::kAddressCells - h) * cw_, ascent_,
                     QString::fromStdString(ColumnHeaderText(geometry_.bytesPerLine,
                                                             profile_.addressBase)));
  } else {
    painter.drawText(LineGeometry::kAddressCells * cw_, ascent_,
                     QString::fromStdString(
                         ColumnHeaderText(geometry_.bytesPerLine, profile_.addressBase, h)));
  }
}

void CVantrellView::PaintLines(QPainter& painter) const {
  const int L = geometry_.bytesPerLine;
  const DocPos length = doc_->Length();
  const std::int64_t top = TopLine();
  const std::int64_t lastLine = geometry_.LineCount(length) - 1;
  const int rows = std::min<std::int64_t>(PageLines() + 1, lastLine - top + 1);
  if (rows <= 0) return;

  // The bytes of all visible lines, plus the one after them, in one read.
  const std::int64_t first = top * L;
  const auto wanted = static_cast<DocPos>(
      std::min<std::int64_t>(std::int64_t{rows} * L + 1, std::max<std::int64_t>(0, length - first)));
  Bytes bytes(wanted);
  BlockCursor cursor(doc_->Blocks());
  if (wanted > 0 && cursor.Seek(first)) cursor.ReadBytes(wanted, bytes.data());

  const int paneShift = PaneOffsetCells();
  const int addressShift = AddressOffsetCells();
  const CharacterSet set = doc_->GetCharacterSet();
  const auto& textColours = doc_->TextColours();
  HighlightSources sources;
  if (showsCompare_) sources.compareRanges = &compareRanges_;
  sources.marks = marks_;
  sources.hasStructureRange = structureRange_.end >= structureRange_.start;
  sources.structureRange = structureRange_;

  const ColourPair address = profile_.colours[kColourAddress];
  const QRect paneClip(profile_.scrollAddress ? 0 : LineGeometry::kAddressCells * cw_, 0,
                       viewport()->width(), viewport()->height());
  bool nextStartsWithSecondHalf =
      first > 0 && first < length && StartsWithSecondHalf(set, cursor, static_cast<DocPos>(first));

  for (int row = 0; row < rows; ++row) {
    const int y = (row + 1) * ch_;
    const std::int64_t lineStart = first + std::int64_t{row} * L;
    const int offset = row * L;
    const int count = static_cast<int>(std::clamp<std::int64_t>(length - lineStart, 0, L));

    painter.setClipping(false);
    painter.fillRect(CellRect(-addressShift, row + 1, LineGeometry::kAddressCells),
                     ToQColor(address.back));
    painter.setPen(ToQColor(address.text));
    DrawCells(painter, -addressShift, y + ascent_,
              QString::fromStdString(AddressText(static_cast<DocPos>(lineStart), profile_.addressBase)));
    painter.setClipRect(paneClip);

    // Hexadecimal pane: runs of cells with the same colours.
    std::vector<ByteColours> colours(count);
    for (int j = 0; j < count; ++j)
      colours[j] = GetByteColours(profile_, textColours, sources,
                                  static_cast<DocPos>(lineStart + j), bytes[offset + j]);
    for (int j = 0; j < count;) {
      int end = j + 1;
      while (end < count && !colours[end].newRun && !colours[j].newRun &&
             colours[end].text == colours[j].text && colours[end].back == colours[j].back)
        ++end;
      const int cell = geometry_.HexCell(j) - paneShift;
      painter.fillRect(CellRect(cell, row + 1, 3 * (end - j)), ToQColor(colours[j].back));
      painter.setPen(ToQColor(colours[j].text));
      DrawCells(painter, cell, y + ascent_,
                QString::fromLatin1(HexText(&bytes[offset + j], end - j).c_str()));
      j = end;
    }

    // Character pane: cells laid out by the character set.
    const bool hasNext = offset + count < static_cast<int>(bytes.size());
    const CharLine line{bytes.data() + offset, count, hasNext, nextStartsWithSecondHalf,
                        static_cast<DocPos>(lineStart)};
    const std::vector<CharCell> cells = LayoutCharacterLine(set, line);
    nextStartsWithSecondHalf = static_cast<int>(cells.size()) > count;
    // A glyph spilled into the margin belongs to the line's last byte.
    auto colourOf = [&](int k) -> const ByteColours& { return colours[std::min(k, count - 1)]; };
    for (int j = 0; j < count; ++j)
      painter.fillRect(CellRect(geometry_.CharCell(j) - paneShift, row + 1),
                       ToQColor(colours[j].back));
    for (int j = 0; j < static_cast<int>(cells.size());) {
      const CharCell& shown = cells[j];
      const int cell = geometry_.CharCell(j) - paneShift;
      if (shown.kind == CharCell::Kind::Blank) {
        ++j;
        continue;
      }
      painter.setPen(ToQColor(colourOf(j).text));
      if (shown.kind == CharCell::Kind::WideGlyph) {
        DrawCells(painter, cell, y + ascent_, QString(QChar(cp932::ToUnicode(shown.code))));
        ++j;
        continue;
      }
      // Single-width glyphs in one colour are drawn as one text: in the
      // fixed-pitch font each advances exactly one cell.
      QString run;
      int end = j;
      while (end < static_cast<int>(cells.size()) && cells[end].kind == CharCell::Kind::Glyph &&
             colourOf(end).text == colourOf(j).text) {
        run += QChar(cp932::ToUnicode(cells[end].code));
        ++end;
      }
      DrawCells(painter, cell, y + ascent_, run);
      j = end;
    }
  }
  painter.setClipping(false);
}

void CVantrellView::DrawCells(QPainter& painter, int firstCell, int baseline,
                              const QString& text) const {
  // Glyphs placed cell by cell in one run: faster than laying text out, and
  // exact whatever the font's own advances are.
  const QList<quint32> glyphs = rawFont_.glyphIndexesForString(text);
  QList<QPointF> positions;
  positions.reserve(glyphs.size());
  bool complete = glyphs.size() == text.size();
  for (int i = 0; i < glyphs.size() && complete; ++i) {
    complete = glyphs[i] != 0 || text[i] == QLatin1Char(' ');
    positions.append(QPointF((firstCell + i) * cw_, baseline));
  }
  if (!complete) {
    // A character the font lacks: let the text engine find another font.
    for (int i = 0; i < text.size(); ++i)
      painter.drawText((firstCell + i) * cw_, baseline, QString(text[i]));
    return;
  }
  QGlyphRun run;
  run.setRawFont(rawFont_);
  run.setGlyphIndexes(glyphs);
  run.setPositions(positions);
  painter.drawGlyphRun(QPointF(0, 0), run);
}

void CVantrellView::PaintSelection(QPainter& painter) const {
  if (!editor_.HasSelection()) return;
  const DocPos start = editor_.SelectionStart();
  const DocPos end = editor_.SelectionEnd();
  const bool inCharPane_ = editor_.InCharacterPane();
  const int L = geometry_.bytesPerLine;
  const int shift = PaneOffsetCells();
  painter.save();
  if (!profile_.scrollAddress)
    painter.setClipRect(LineGeometry::kAddressCells * cw_, ch_, viewport()->width(),
                        viewport()->height());
  else
    painter.setClipRect(0, ch_, viewport()->width(), viewport()->height());
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  const bool hexPane = options_.selectBoth || !inCharPane_;
  const bool charPane = options_.selectBoth || inCharPane_;
  const std::int64_t top = TopLine();
  for (std::int64_t line = std::max<std::int64_t>(top, start / L);
       line <= std::min<std::int64_t>(end / L, top + PageLines()); ++line) {
    const int row = static_cast<int>(line - top) + 1;
    const int from = line == start / L ? start % L : 0;
    const int to = line == end / L ? end % L : L - 1;
    if (hexPane)
      painter.fillRect(CellRect(geometry_.HexCell(from) - shift, row, 3 * (to - from) + 2),
                       Qt::white);
    if (charPane)
      painter.fillRect(CellRect(geometry_.CharCell(from) - shift, row, to - from + 1), Qt::white);
  }
  painter.restore();
}

void CVantrellView::PaintCaret(QPainter& painter) const {
  const int L = geometry_.bytesPerLine;
  const DocPos caret = editor_.Caret();
  const bool inCharPane_ = editor_.InCharacterPane();
  const std::int64_t line = caret / L;
  if (!LineVisible(line)) return;
  const int row = static_cast<int>(line - TopLine()) + 1;
  const int column = caret % L;
  const int shift = PaneOffsetCells();
  const int hexCell = geometry_.HexCell(column) - shift;
  const int charCell = geometry_.CharCell(column) - shift;
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  // While a selection exists only the sub-caret shows.
  if (hasFocus() && !editor_.HasSelection()) {
    const int cell = inCharPane_ ? charCell : hexCell + (editor_.LowNibble() ? 1 : 0);
    QRect caret = CellRect(cell, row);
    if (doc_->InsertMode()) caret.setWidth(2);
    if (profile_.scrollAddress || cell >= LineGeometry::kAddressCells)
      painter.fillRect(caret, Qt::white);
  }
  if (options_.showSubCaret) {
    const int cell = inCharPane_ ? hexCell : charCell;
    const QRect bar(cell * cw_, (row + 1) * ch_ - 2, (inCharPane_ ? 2 : 1) * cw_, 2);
    if (profile_.scrollAddress || cell >= LineGeometry::kAddressCells) painter.fillRect(bar, Qt::white);
  }
  painter.restore();
}

void CVantrellView::SetCaret(DocPos address, bool inCharacterPane) {
  editor_.SetCaret(address);
  editor_.SetCharacterPane(inCharacterPane);
  AfterCaretChange();
}

void CVantrellView::SetSelection(DocPos anchor, DocPos end) {
  if (anchor < 0) {
    editor_.CancelSelection();
  } else {
    editor_.SetSelection(anchor, end, SelectionState::Made);
  }
  AfterCaretChange();
}

void CVantrellView::RepaintLines(std::int64_t first, std::int64_t last) {
  const std::int64_t top = TopLine();
  first = std::max(first, top);
  last = std::min(last, top + PageLines() + 1);
  if (first > last) return;
  const int y = static_cast<int>(first - top + 1) * ch_;
  viewport()->update(0, y, viewport()->width(), static_cast<int>(last - first + 1) * ch_);
}

void CVantrellView::AfterCaretChange() {
  // Without a selection before or after, only the lines of the old and the new caret change.
  const bool selection = editor_.HasSelection();
  if (!selection && !shownSelection_) {
    RepaintLines(shownCaretLine_, shownCaretLine_);
    RepaintLines(editor_.CaretLine(), editor_.CaretLine());
  } else {
    viewport()->update();
  }
  shownCaretLine_ = editor_.CaretLine();
  shownSelection_ = selection;
  emit caretMoved(editor_.Caret());
  emit statusMessage(QString::fromStdString(editor_.SelectionStatusText()));
}

void CVantrellView::EnsureCaretVisible(int mode) {
  const std::int64_t line = editor_.CaretLine();
  const std::int64_t top = TopLine();
  const int page = std::max(1, PageLines());
  if (line < top) {
    SetTopLine(mode == 2 ? line - (page + 1) / 2 : mode == 3 ? line - page + 1 : line);
  } else if (line >= top + page) {
    SetTopLine(mode == 2 ? line - (page + 1) / 2 : mode == 1 ? line : line - page + 1);
  }
  const int cell = editor_.InCharacterPane() ? geometry_.CharCell(editor_.CaretColumn())
                                             : geometry_.HexCell(editor_.CaretColumn());
  const int visible = std::max(1, viewport()->width() / cw_);
  const int firstCell = profile_.scrollAddress ? 0 : LineGeometry::kAddressCells;
  if (cell - HorizontalCell() < firstCell) SetHorizontalCell(std::max(0, cell - firstCell));
  else if (cell + 2 - HorizontalCell() > visible) SetHorizontalCell(cell + 2 - visible);
}

bool CVantrellView::GoToAddress(DocPos address, int mode) {
  if (address < 0 || address > doc_->Length()) return false;
  editor_.MoveTo(address);
  EnsureCaretVisible(mode);
  AfterCaretChange();
  setFocus();
  return true;
}

DocPos CVantrellView::AddressAt(QPoint point, bool charPane, int* direction) const {
  const int L = geometry_.bytesPerLine;
  const std::int64_t top = TopLine();
  const int lastRow = std::max(1, PageLines());
  int row = point.y() / ch_;
  *direction = row < 1 ? -1 : row > lastRow ? 1 : 0;
  row = std::clamp(row, 1, lastRow);
  const int cell = point.x() / cw_ + PaneOffsetCells();
  std::int64_t line = top + row - 1;
  int column;
  if (charPane) {
    column = cell - geometry_.CharCell(0);
  } else {
    column = cell < geometry_.HexCell(0) ? -1 : (cell - geometry_.HexCell(0)) / 3;
  }
  if (column < 0) column = 0;
  if (column >= L) {  // right of the pane: the start of the next line
    column = 0;
    ++line;
  }
  return static_cast<DocPos>(std::min<std::int64_t>(line * L + column, doc_->Length()));
}

void CVantrellView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  lastDragPoint_ = event->position().toPoint();
  DragTo(lastDragPoint_);
}

void CVantrellView::DragTo(QPoint point) {
  int direction = 0;
  const DocPos address = AddressAt(point, dragInCharPane_, &direction);
  if (direction != 0) {
    // Above or below the text: scroll every 50 ms while the pointer stays there.
    if (!dragScroll_->isActive()) dragScroll_->start();
  } else {
    dragScroll_->stop();
  }
  if (address == editor_.Caret()) return;
  editor_.SetCaret(address);
  if (address > dragOrigin_) editor_.SetSelection(dragOrigin_, address - 1, SelectionState::Made);
  else if (address < dragOrigin_) editor_.SetSelection(address, dragOrigin_ - 1, SelectionState::Made);
  else editor_.CancelSelection();
  AfterCaretChange();
}

void CVantrellView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragging_ = false;
    dragScroll_->stop();
  }
}

void CVantrellView::wheelEvent(QWheelEvent* event) {
  if (middleScroll_->isActive()) {
    StopMiddleScroll();
    return;
  }
  if (event->buttons() != Qt::NoButton || (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
    return;
  const int lines = 3;  // the wheel-scroll lines
  SetTopLine(TopLine() + (event->angleDelta().y() > 0 ? -lines : lines));
  event->accept();
}

bool CVantrellView::focusNextPrevChild(bool) { return false; }  // Tab switches panes

namespace {

// The key-table slot of a key, or -1.
int SlotOfKey(int key) {
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return key - Qt::Key_F1;
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 13 + (key - Qt::Key_A);
  switch (key) {
    case Qt::Key_At: return 12;
    case Qt::Key_BracketLeft: return 39;
    case Qt::Key_Backslash: return 40;
    case Qt::Key_BracketRight: return 41;
    case Qt::Key_AsciiCircum: return 42;
    case Qt::Key_Underscore: return 43;
    case Qt::Key_Comma: case Qt::Key_Less: return 44;
    case Qt::Key_Period: case Qt::Key_Greater: return 45;
    case Qt::Key_Home: return 46;
    case Qt::Key_End: return 47;
    case Qt::Key_Left: return 48;
    case Qt::Key_Right: return 49;
    case Qt::Key_Up: return 50;
    case Qt::Key_Down: return 51;
    case Qt::Key_PageUp: return 52;
    case Qt::Key_PageDown: return 53;
    case Qt::Key_Insert: return 54;
    case Qt::Key_Delete: return 55;
    case Qt::Key_Backspace: return 56;
    default: return -1;
  }
}

}  // namespace

void CVantrellView::keyPressEvent(QKeyEvent* event) {
  StopMiddleScroll();
  const Qt::KeyboardModifiers held = event->modifiers();
  const int modifiers = (held & Qt::ShiftModifier ? kShift : 0) | (held & Qt::ControlModifier ? kCtrl : 0);
  const int key = event->key();
  // Keys with a fixed meaning when no modifier is held.
  if (modifiers == 0 && (held & Qt::AltModifier) == 0) {
    bool handled = true;
    switch (key) {
      case Qt::Key_Left: editor_.MoveLeft(); break;
      case Qt::Key_Right: editor_.MoveRight(); break;
      case Qt::Key_Up: editor_.MoveUp(); break;
      case Qt::Key_Down: editor_.MoveDown(); break;
      case Qt::Key_PageUp: OnCommand(cmd::kPageUp); return;
      case Qt::Key_PageDown: OnCommand(cmd::kPageDown); return;
      case Qt::Key_Delete:
        if (editor_.HasSelection() || editor_.State() == SelectionState::ModeEmpty) editor_.DeleteSelection();
        else editor_.DeleteAtCaret();
        break;
      case Qt::Key_Backspace:
        if (editor_.HasSelection() || editor_.State() == SelectionState::ModeEmpty) editor_.DeleteSelection();
        else editor_.DeleteBeforeCaret();
        break;
      case Qt::Key_Tab: editor_.TogglePane(); break;
      default: handled = false; break;
    }
    if (handled) {
      EnsureCaretVisible();
      AfterCaretChange();
      return;
    }
  }
  if (modifiers == kCtrl && key == Qt::Key_Tab) {
    emit nextWindowRequested();
    return;
  }
  // Every other key goes through the key table.
  const int slot = DispatchSlot(SlotOfKey(key), modifiers);
  if (slot >= 0) {
    if (const int command = CommandOfFunction(keys_.Code(modifiers, slot)); command != 0)
      emit commandRequested(command);
    return;
  }
  if ((modifiers & kCtrl) == 0) {
    TypeText(event->text());
    EnsureCaretVisible();
    AfterCaretChange();
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void CVantrellView::TypeText(const QString& text) {
  if (text.isEmpty()) return;
  // Each character reaches the document as its code in the user's text encoding.
  for (const QChar ch : text) {
    const std::uint16_t code = ch.unicode() < 0x80 ? ch.unicode() : cp932::FromUnicode(ch.unicode());
    if (code == 0) {
      editor_.TypeCharacter(0xFFFF);  // cannot be typed: refused with a beep
      continue;
    }
    editor_.TypeCharacter(code);
  }
}

void CVantrellView::inputMethodEvent(QInputMethodEvent* event) {
  TypeText(event->commitString());
  EnsureCaretVisible();
  AfterCaretChange();
  event->accept();
}

QVariant CVantrellView::inputMethodQuery(Qt::InputMethodQuery query) const {
  if (query == Qt::ImCursorRectangle) {
    const int cell = editor_.InCharacterPane() ? geometry_.CharCell(editor_.CaretColumn())
                                               : geometry_.HexCell(editor_.CaretColumn());
    const int row = static_cast<int>(editor_.CaretLine() - TopLine()) + 1;
    return QRect((cell - HorizontalCell()) * cw_, row * ch_, cw_, ch_);
  }
  if (query == Qt::ImFont) return font_;
  return QAbstractScrollArea::inputMethodQuery(query);
}

void CVantrellView::SetCompareRanges(std::vector<AddressRange> ranges) {
  compareRanges_ = std::move(ranges);
  showsCompare_ = true;
  viewport()->update();
}

void CVantrellView::SetMarks(const MarkLookup* marks) {
  marks_ = marks;
  viewport()->update();
}

void CVantrellView::SetStructureRange(DocPos start, DocPos end) {
  structureRange_ = {start, end};
  viewport()->update();
}

void CVantrellView::StopMiddleScroll() {
  if (!middleScroll_->isActive()) return;
  middleScroll_->stop();
  viewport()->update(QRect(middleOrigin_ - QPoint(16, 16), QSize(32, 32)));
}

void CVantrellView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    if (middleScroll_->isActive()) {
      StopMiddleScroll();
    } else {
      setFocus();
      middleOrigin_ = event->position().toPoint();
      middleScroll_->start();
      viewport()->update(QRect(middleOrigin_ - QPoint(16, 16), QSize(32, 32)));
    }
    return;
  }
  StopMiddleScroll();
  if (event->button() != Qt::LeftButton) return;
  setFocus();
  const int row = static_cast<int>(event->position().y()) / ch_;
  if (row < 1) return;
  const int cell = static_cast<int>(event->position().x()) / cw_ + PaneOffsetCells();
  const int L = geometry_.bytesPerLine;
  int column = -1;
  bool charPane = false;
  if (cell >= geometry_.HexCell(0) && cell < geometry_.HexCell(L)) {
    column = (cell - geometry_.HexCell(0)) / 3;
  } else if (cell >= geometry_.CharCell(0) && cell < geometry_.CharCell(L)) {
    column = cell - geometry_.CharCell(0);
    charPane = true;
  }
  if (column < 0) return;
  const std::int64_t address = (TopLine() + row - 1) * L + column;
  editor_.CancelSelection();
  SetCaret(static_cast<DocPos>(std::min<std::int64_t>(address, doc_->Length())), charPane);
  dragging_ = true;
  dragInCharPane_ = charPane;
  dragOrigin_ = editor_.Caret();
}

void CVantrellView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
  emit activated();
}

void CVantrellView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

void CVantrellView::OnDocumentUpdate(DocumentView* sender, const UpdateHint& hint) {
  if (hint.code == hint::kInsertModeChanged || hint.code == hint::kEditStateChanged) {
    editor_.SetCaret(editor_.Caret());  // drops a half-typed byte
    AfterCaretChange();
    return;
  }
  if (hint.code == hint::kSettingsChanged || hint.code == hint::kExtensionReselected) {
    ApplyProfile();
    return;
  }
  if (sender != this) {
    // Another view's edit: keep line and column, within the document.
    if (editor_.Caret() > doc_->Length()) editor_.SetCaret(doc_->Length());
  }
  if (hint.code >= hint::kOverwriteChar && hint.code <= hint::kSelectionFilled) {
    // Only the changed lines repaint: to the bottom when bytes moved.
    const bool sameLength = hint.code == hint::kOverwriteChar || hint.code == hint::kSecondDigit ||
                            hint.code == hint::kFirstDigitOverwrite || hint.code == hint::kSelectionFilled;
    const int L = geometry_.bytesPerLine;
    RecalcLayout();
    RepaintLines(hint.position / L - 1, sameLength ? (std::int64_t{hint.position} + hint.count) / L + 1
                                                    : TopLine() + PageLines() + 1);
    return;
  }
  const bool undoOrRedo = IsHistoryCode(hint.code);
  if (undoOrRedo || hint.code == hint::kReloaded) {
    editor_.CancelSelection();
    editor_.SetCaret(hint.code == hint::kReloaded ? std::min(editor_.Caret(), doc_->Length()) : hint.caret);
    RecalcLayout();
    EnsureCaretVisible();
    AfterCaretChange();
    return;
  }
  RecalcLayout();
  viewport()->update();
}

}  // namespace vantrell
