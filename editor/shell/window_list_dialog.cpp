#include "window_list_dialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

#include "resources/string_table.h"
#include "shell/qt_text.h"

namespace vantrell {

CWindowListDialog::CWindowListDialog(const QList<QMdiSubWindow*>& windows, QMdiSubWindow* active,
                                     QWidget* parent)
    : QDialog(parent), list_(new QListWidget), windows_(windows) {
  setWindowTitle(QStringLiteral("ウィンドウ一覧"));
  for (QMdiSubWindow* window : windows) {
    list_->addItem(window->windowTitle());
    if (window == active) list_->setCurrentRow(list_->count() - 1);
  }
  list_->addItem(QtText(ids::kStrOpenNewFile));
  if (list_->currentRow() < 0) list_->setCurrentRow(0);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QPushButton* open = buttons->addButton(QStringLiteral("開く(&O)..."), QDialogButtonBox::ActionRole);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  connect(open, &QPushButton::clicked, this, [this] {
    openRequested_ = true;
    accept();
  });
}

QMdiSubWindow* CWindowListDialog::ChosenWindow() const {
  const int row = list_->currentRow();
  return row >= 0 && row < windows_.size() ? windows_[row] : nullptr;
}

}  // namespace vantrell
