#include "child_frame.h"

#include <QCloseEvent>
#include <QStyle>

#include "shell/main_frame.h"

namespace vantrell {

CChildFrame::CChildFrame(CMainFrame& frame, CVantrellView* view) : frame_(frame), view_(view) {
  setWidget(view);
  setAttribute(Qt::WA_DeleteOnClose);
  UpdateTitle();
}

int CChildFrame::InitialWidth(int clientWidth) const {
  const int frameWidth = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
  return std::min(view_->PreferredWidth() + 2 * frameWidth, clientWidth);
}

void CChildFrame::AdjustSize(int clientWidth) {
  const std::int64_t lines = view_->Geometry().LineCount(Document().Length());
  const int decoration = height() - view_->viewport()->height();
  const int wanted = view_->LineHeight() * static_cast<int>(std::min<std::int64_t>(lines + 1, 17)) + decoration;
  resize(InitialWidth(clientWidth), std::max(height(), wanted));
}

void CChildFrame::UpdateTitle() {
  QString title = QString::fromStdString(Document().GetTitle());
  const auto& views = Document().Views();
  if (views.size() > 1) {
    // Several windows on one document are told apart by a number.
    const auto it = std::find(views.begin(), views.end(), static_cast<DocumentView*>(view_));
    title += QStringLiteral(":%1").arg(it - views.begin() + 1);
  }
  setWindowTitle(title);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  if (!frame_.CanCloseFrame(*this)) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}

}  // namespace vantrell
