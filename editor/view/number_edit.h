#pragma once

#include <QLineEdit>

#include "view/address_input.h"

namespace vantrell {

// The number edit of the address dialogs: hexadecimal digits or decimal
// digits only, optionally a sign at the start; other keys beep.
class CNumberEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit CNumberEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}

  void SetBase(NumberBase base);  // converts the text
  [[nodiscard]] NumberBase Base() const { return base_; }
  void SetSignsAllowed(bool allowed) { signs_ = allowed; }
  void SetMaxDigits(int digits) { setMaxLength(digits); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  NumberBase base_ = NumberBase::Hexadecimal;
  bool signs_ = false;
};

}  // namespace vantrell
