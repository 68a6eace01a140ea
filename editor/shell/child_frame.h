#pragma once

#include <QMdiSubWindow>

#include "view/vantrell_view.h"

namespace vantrell {

class CMainFrame;

// The window around one view of a document.
class CChildFrame : public QMdiSubWindow {
  Q_OBJECT

 public:
  CChildFrame(CMainFrame& frame, CVantrellView* view);

  [[nodiscard]] CVantrellView* View() const { return view_; }
  [[nodiscard]] CVantrellDoc& Document() const { return view_->Document(); }
  // Width that shows a whole line, at most the width of the frame's client area.
  [[nodiscard]] int InitialWidth(int clientWidth) const;
  void UpdateTitle();
  // Width for a whole line, height for up to 16 data lines; never smaller.
  void AdjustSize(int clientWidth);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  CMainFrame& frame_;
  CVantrellView* view_;
};

}  // namespace vantrell
