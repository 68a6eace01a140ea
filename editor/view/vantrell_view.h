#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QRawFont>
#include <QTimer>

#include "document/update_hint.h"
#include "document/vantrell_doc.h"
#include "settings/key_table.h"
#include "shell/command_target.h"
#include "view/line_layout.h"
#include "view/view_editor.h"

namespace vantrell {

// Display options a view takes from the settings.
struct ViewOptions {
  bool selectBoth = true;    // "SelectBoth"
  bool showSubCaret = true;  // "ShowSubCaret"
  bool overwritePaste = false;  // "OverwritePaste"
};

// The hex view of a document: a header line, then one line per L bytes with
// the address column, the hexadecimal pane and the character pane.
class CVantrellView : public QAbstractScrollArea, public DocumentView, public CommandTarget {
  Q_OBJECT

 public:
  CVantrellView(CVantrellDoc& document, ViewOptions options, PromptService& prompt,
                QWidget* parent = nullptr);
  ~CVantrellView() override;

  [[nodiscard]] CVantrellDoc& Document() const { return *doc_; }
  [[nodiscard]] DocPos CaretAddress() const { return editor_.Caret(); }
  [[nodiscard]] bool CaretInCharacterPane() const { return editor_.InCharacterPane(); }
  [[nodiscard]] ViewEditor& Editor() { return editor_; }
  void SetCaret(DocPos address, bool inCharacterPane);
  void SetSelection(DocPos anchor, DocPos end);  // inclusive range; anchor < 0 clears
  void ClearSelection() { SetSelection(-1, -1); }
  // Scrolls as little as needed to show the caret line and cell.
  void EnsureCaretVisible() { EnsureCaretVisible(0); }
  // Scroll modes when the caret line is outside the window: 0 minimal, 1 to
  // the top, 2 centred, 3 to the bottom.
  void EnsureCaretVisible(int mode);
  // Moves the caret to an address (not beyond the end) with a scroll mode.
  bool GoToAddress(DocPos address, int mode);
  void SetCompareRanges(std::vector<AddressRange> ranges);
  void SetMarks(const MarkLookup* marks);
  void SetStructureRange(DocPos start, DocPos end);  // end < start clears

  [[nodiscard]] std::int64_t TopLine() const;
  void SetTopLine(std::int64_t line);
  [[nodiscard]] int HorizontalCell() const;
  void SetHorizontalCell(int h);
  [[nodiscard]] int PageLines() const;  // P: full data lines the window shows
  [[nodiscard]] int CellWidth() const { return cw_; }
  [[nodiscard]] int LineHeight() const { return ch_; }
  [[nodiscard]] const LineGeometry& Geometry() const { return geometry_; }
  // The width that shows a whole line: (4L + 15) cells plus the scroll bar.
  [[nodiscard]] int PreferredWidth() const;

  // Takes the document's per-extension settings again (font, L, colours).
  void ApplyProfile();

  void OnDocumentUpdate(DocumentView* sender, const UpdateHint& hint) override;

  // The editing commands of the view (vantrell_view_commands.cpp).
  bool OnCommand(int command) override;
  bool OnUpdateCommand(int command, CommandState& state) override;
  // The platform clipboard text of a selection: hexadecimal "%02X " codes in
  // the hexadecimal pane, the character set's text in the character pane.
  [[nodiscard]] QString SelectionClipboardText() const;

 signals:
  void caretMoved(DocPos address);
  void activated();
  // Text for the status bar's message pane (the selection; empty without one).
  void statusMessage(const QString& text);
  void nextWindowRequested();
  // A key bound in the key table asks for a numbered command.
  void commandRequested(int command);
  // The document could not be read again: its windows should close.
  void closeRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  bool focusNextPrevChild(bool next) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void RecalcLayout();
  // Repaints and reports after the caret or the selection changed.
  void AfterCaretChange();
  // Asks for a repaint of the data lines first..last that are visible.
  void RepaintLines(std::int64_t first, std::int64_t last);
  void TypeText(const QString& text);
  void PaintHeader(QPainter& painter) const;
  void PaintLines(QPainter& painter) const;
  void PaintSelection(QPainter& painter) const;
  void PaintCaret(QPainter& painter) const;
  [[nodiscard]] int PaneOffsetCells() const;  // cells the panes are shifted left
  [[nodiscard]] int AddressOffsetCells() const;
  [[nodiscard]] QRect CellRect(int cell, int row, int cells = 1) const;
  [[nodiscard]] bool LineVisible(std::int64_t line) const;
  void DrawCells(QPainter& painter, int firstCell, int baseline, const QString& text) const;
  void Paste();
  void SaveSelectionToFile();
  void Revert();
  // The cell under a point in the given pane, clamped to the document; the
  // direction (-1 above, 1 below, 0 inside) tells where the point lies.
  DocPos AddressAt(QPoint point, bool charPane, int* direction) const;
  void DragTo(QPoint point);
  [[nodiscard]] std::int64_t MoveTarget(int command) const;
  void PutSelectionOnPlatformClipboard() const;

  CVantrellDoc* doc_;
  ViewOptions options_;
  ExtProfile profile_;
  LineGeometry geometry_;
  QFont font_;
  QRawFont rawFont_;
  int cw_ = 8;
  int ch_ = 16;
  int ascent_ = 12;

  ViewEditor editor_;
  KeyTable keys_ = KeyTable::Default();
  std::int64_t shownCaretLine_ = 0;  // what the last repaint request covered
  bool shownSelection_ = false;
  bool dragging_ = false;
  bool dragInCharPane_ = false;
  DocPos dragOrigin_ = 0;
  QTimer* dragScroll_ = nullptr;
  QTimer* middleScroll_ = nullptr;  // middle-button autoscroll
  QPoint middleOrigin_;
  void StopMiddleScroll();
  QPoint lastDragPoint_;
  std::vector<AddressRange> compareRanges_;
  bool showsCompare_ = false;
  const MarkLookup* marks_ = nullptr;
  AddressRange structureRange_{0, -1};
};

// The font a view uses for a per-extension record: the record's face, or a
// fixed-pitch face that covers Japanese so that a double-byte glyph is two cells wide.
QFont ViewFont(const FontSpec& spec);

}  // namespace vantrell
