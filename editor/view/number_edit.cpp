#include "number_edit.h"

#include <QApplication>
#include <QKeyEvent>

namespace vantrell {

void CNumberEdit::SetBase(NumberBase base) {
  QString text = this->text();
  QString sign;
  if (!text.isEmpty() && (text[0] == '+' || text[0] == '-')) {
    sign = text.left(1);
    text.remove(0, 1);
  }
  const std::string converted = ConvertNumberText(text.toStdString(), base_, base);
  base_ = base;
  setText(converted.empty() ? QString() : sign + QString::fromStdString(converted));
}

void CNumberEdit::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  // Editing keys, moves and Ctrl combinations always pass.
  if (text.isEmpty() || (event->modifiers() & Qt::ControlModifier) || event->key() == Qt::Key_Backspace ||
      text[0].unicode() < 0x20) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  const QChar c = text[0];
  const bool digit = c >= '0' && c <= '9';
  const bool hexLetter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  const bool sign = (c == '+' || c == '-') && signs_ && (this->text().isEmpty() || cursorPosition() == 0);
  if (digit || (hexLetter && base_ == NumberBase::Hexadecimal) || sign) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  QApplication::beep();
}

}  // namespace vantrell
