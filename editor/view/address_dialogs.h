#pragma once

#include <QDialog>

#include "document/doc_types.h"
#include "view/address_input.h"

class QCheckBox;
class QLabel;
class QRadioButton;

namespace vantrell {

class CNumberEdit;
class PromptService;

// Dialog 137 "指定アドレスへ移動": an address, or a distance with a sign.
class CGoToAddressDialog : public QDialog {
  Q_OBJECT

 public:
  CGoToAddressDialog(DocPos current, DocPos length, PromptService& prompt, QWidget* parent = nullptr);
  [[nodiscard]] DocPos Target() const { return target_; }
  [[nodiscard]] CNumberEdit* Edit() const { return edit_; }
  void SetBase(NumberBase base);
  void accept() override;

 private:
  void UpdateLabels();

  DocPos current_;
  DocPos length_;
  PromptService& prompt_;
  DocPos target_ = 0;
  CNumberEdit* edit_;
  QLabel* valid_;
  QLabel* here_;
  QRadioButton* decimal_;
  QRadioButton* hexadecimal_;
};

// Dialog 202 "選択範囲の指定" with the range panel: start and end addresses,
// or the current selection.
class CSelectRangeDialog : public QDialog {
  Q_OBJECT

 public:
  CSelectRangeDialog(DocPos length, bool hasSelection, DocPos selectionStart, DocPos selectionEnd,
                     PromptService& prompt, QWidget* parent = nullptr);
  [[nodiscard]] DocPos Start() const { return start_; }
  [[nodiscard]] DocPos End() const { return end_; }
  [[nodiscard]] CNumberEdit* StartEdit() const { return startEdit_; }
  [[nodiscard]] CNumberEdit* EndEdit() const { return endEdit_; }
  void accept() override;

 private:
  DocPos length_;
  PromptService& prompt_;
  DocPos start_ = 0;
  DocPos end_ = 0;
  CNumberEdit* startEdit_;
  CNumberEdit* endEdit_;
  QCheckBox* useSelection_;
  QRadioButton* decimal_;
  QRadioButton* hexadecimal_;
  QLabel* valid_;
};

// Dialog 165 "指定範囲の初期化": the byte a selection is filled with.
class CFillDialog : public QDialog {
  Q_OBJECT

 public:
  CFillDialog(DocPos start, DocPos end, PromptService& prompt, QWidget* parent = nullptr);
  [[nodiscard]] std::uint8_t Value() const { return value_; }
  [[nodiscard]] CNumberEdit* Edit() const { return edit_; }
  void accept() override;

 private:
  PromptService& prompt_;
  CNumberEdit* edit_;
  std::uint8_t value_ = 0;
};

}  // namespace vantrell
