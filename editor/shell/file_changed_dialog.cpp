#include "file_changed_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "resources/string_table.h"
#include "shell/qt_text.h"
#include "shell/prompt_service.h"

namespace vantrell {

CFileChangedDialog::CFileChangedDialog(const QString& documentPath, PromptService& prompt,
                                       QWidget* parent)
    : QDialog(parent), documentPath_(documentPath), prompt_(prompt) {
  setWindowTitle(QtText(ids::kStrAppTitle));
  auto* icon = new QLabel;
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
  auto* text = new QLabel(QtText(ids::kStrFileChangedText));
  ignore_ = new QRadioButton(QStringLiteral("変更を無視して作業を続ける"));
  reload_ = new QRadioButton(QStringLiteral("現在編集中の内容を破棄して再読み込みする"));
  saveCopy_ = new QRadioButton(QStringLiteral("現在編集中の内容を別ファイルに保存する"));
  reload_->setChecked(true);
  auto* nameLabel = new QLabel(QStringLiteral("ファイル名(&F)"));
  name_ = new QLineEdit;
  nameLabel->setBuddy(name_);
  browse_ = new QPushButton(QStringLiteral("..."));
  // Comparing the changed file with the edits needs the compare function.
  compare_ = new QCheckBox(QStringLiteral("変更されたファイルをオープンして比較実行(&C)"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addWidget(text, 1);
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(nameLabel);
  nameRow->addWidget(name_, 1);
  nameRow->addWidget(browse_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(ignore_);
  layout->addWidget(reload_);
  layout->addWidget(saveCopy_);
  layout->addLayout(nameRow);
  layout->addWidget(compare_);
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  for (QRadioButton* button : {ignore_, reload_, saveCopy_})
    connect(button, &QRadioButton::toggled, this, &CFileChangedDialog::UpdateEnabling);
  connect(browse_, &QPushButton::clicked, this, [this] {
    const QString chosen = QFileDialog::getSaveFileName(this, QString(), name_->text());
    if (!chosen.isEmpty()) name_->setText(chosen);
  });
  UpdateEnabling();
}

void CFileChangedDialog::UpdateEnabling() {
  const bool third = saveCopy_->isChecked();
  name_->setEnabled(third);
  browse_->setEnabled(third);
  compare_->setEnabled(false);
}

FileChangedChoice CFileChangedDialog::Choice() const {
  if (ignore_->isChecked()) return FileChangedChoice::Ignore;
  if (saveCopy_->isChecked()) return FileChangedChoice::SaveCopy;
  return FileChangedChoice::Reload;
}

QString CFileChangedDialog::CopyName() const { return name_->text(); }
bool CFileChangedDialog::CompareAfterSaving() const { return compare_->isChecked(); }

void CFileChangedDialog::SetChoice(FileChangedChoice choice) {
  (choice == FileChangedChoice::Ignore   ? ignore_
   : choice == FileChangedChoice::Reload ? reload_
                                         : saveCopy_)
      ->setChecked(true);
}

void CFileChangedDialog::SetCopyName(const QString& name) { name_->setText(name); }

void CFileChangedDialog::accept() {
  const int message = CheckFileChangedAnswer(documentPath_.toStdString(), Choice(),
                                             name_->text().toStdString());
  if (message != 0) {
    prompt_.Message(message);
    name_->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace vantrell
