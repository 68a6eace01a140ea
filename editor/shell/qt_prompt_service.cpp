#include "qt_prompt_service.h"

#include "shell/qt_text.h"

#include <QApplication>
#include <QMessageBox>

namespace vantrell {

void QtPromptService::Beep() { QApplication::beep(); }

Answer QtPromptService::Show(const Prompt& prompt) {
  QMessageBox box(parent_);
  box.setWindowTitle(QtText(ids::kStrAppTitle));
  box.setText(QString::fromStdString(prompt.text));
  switch (prompt.icon) {
    case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
  }
  switch (prompt.buttons) {
    case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MessageButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MessageButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case MessageButtons::RetryCancel:
      box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Retry: return Answer::Retry;
    default: return Answer::Cancel;
  }
}

}  // namespace vantrell
