#include "address_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "resources/string_table.h"
#include "shell/prompt_service.h"
#include "view/number_edit.h"

namespace vantrell {

namespace {

QString Number(std::int64_t value, NumberBase base) {
  return base == NumberBase::Hexadecimal ? QString::number(value, 16).toUpper() : QString::number(value);
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

CGoToAddressDialog::CGoToAddressDialog(DocPos current, DocPos length, PromptService& prompt,
                                       QWidget* parent)
    : QDialog(parent), current_(current), length_(length), prompt_(prompt) {
  setWindowTitle(QStringLiteral("指定アドレスへ移動"));
  edit_ = new CNumberEdit;
  edit_->SetSignsAllowed(true);
  valid_ = new QLabel;
  here_ = new QLabel;
  decimal_ = new QRadioButton(QStringLiteral("10進"));
  hexadecimal_ = new QRadioButton(QStringLiteral("16進"));
  hexadecimal_->setChecked(true);
  auto* bases = new QHBoxLayout;
  bases->addWidget(decimal_);
  bases->addWidget(hexadecimal_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(valid_);
  layout->addWidget(here_);
  layout->addLayout(bases);
  layout->addWidget(edit_);
  layout->addWidget(OkCancel(this));
  connect(decimal_, &QRadioButton::toggled, this, [this](bool on) {
    SetBase(on ? NumberBase::Decimal : NumberBase::Hexadecimal);
  });
  UpdateLabels();
}

void CGoToAddressDialog::SetBase(NumberBase base) {
  (base == NumberBase::Decimal ? decimal_ : hexadecimal_)->setChecked(true);
  edit_->SetBase(base);
  UpdateLabels();
}

void CGoToAddressDialog::UpdateLabels() {
  const NumberBase base = edit_->Base();
  valid_->setText(QStringLiteral("有効アドレス : 0 ～ ") + Number(length_, base));
  here_->setText(QStringLiteral("現在アドレス : ") + Number(current_, base));
}

void CGoToAddressDialog::accept() {
  const AddressCheck check = CheckGoToAddress(edit_->text().toStdString(), edit_->Base(), current_, length_);
  if (check.message != 0) {
    prompt_.Message(check.message);
    edit_->setFocus();
    edit_->selectAll();
    return;
  }
  target_ = check.address;
  QDialog::accept();
}

CSelectRangeDialog::CSelectRangeDialog(DocPos length, bool hasSelection, DocPos selectionStart,
                                       DocPos selectionEnd, PromptService& prompt, QWidget* parent)
    : QDialog(parent), length_(length), prompt_(prompt) {
  setWindowTitle(QStringLiteral("選択範囲の指定"));
  useSelection_ = new QCheckBox(QStringLiteral("選択範囲(&S)"));
  useSelection_->setEnabled(hasSelection);
  startEdit_ = new CNumberEdit;
  endEdit_ = new CNumberEdit;
  decimal_ = new QRadioButton(QStringLiteral("10進"));
  hexadecimal_ = new QRadioButton(QStringLiteral("16進"));
  hexadecimal_->setChecked(true);
  valid_ = new QLabel;
  auto* tilde = new QLabel(QStringLiteral("～"));
  auto updateValid = [this] {
    const NumberBase base = startEdit_->Base();
    valid_->setText(QStringLiteral("有効アドレス : 0 ～ ") + Number(std::max<DocPos>(0, length_ - 1), base));
  };
  connect(decimal_, &QRadioButton::toggled, this, [this, updateValid](bool on) {
    const NumberBase base = on ? NumberBase::Decimal : NumberBase::Hexadecimal;
    startEdit_->SetBase(base);
    endEdit_->SetBase(base);
    updateValid();
  });
  connect(useSelection_, &QCheckBox::toggled, this,
          [this, tilde, selectionStart, selectionEnd](bool on) {
            if (on) {
              hexadecimal_->setChecked(true);
              startEdit_->setText(Number(selectionStart, NumberBase::Hexadecimal));
              endEdit_->setText(Number(selectionEnd, NumberBase::Hexadecimal));
            }
            for (QWidget* w : std::initializer_list<QWidget*>{startEdit_, endEdit_, decimal_, hexadecimal_, valid_, tilde})
              w->setEnabled(!on);
          });
  auto* grid = new QGridLayout;
  grid->addWidget(useSelection_, 0, 0, 1, 3);
  grid->addWidget(decimal_, 1, 0);
  grid->addWidget(hexadecimal_, 1, 1);
  grid->addWidget(valid_, 2, 0, 1, 3);
  grid->addWidget(startEdit_, 3, 0);
  grid->addWidget(tilde, 3, 1);
  grid->addWidget(endEdit_, 3, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(OkCancel(this));
  updateValid();
}

void CSelectRangeDialog::accept() {
  const RangeCheck check = CheckRange(startEdit_->text().toStdString(), endEdit_->text().toStdString(),
                                      startEdit_->Base(), length_);
  if (check.message != 0) {
    prompt_.Message(check.message);
    CNumberEdit* bad = check.badField == 1 ? startEdit_ : endEdit_;
    bad->setFocus();
    bad->selectAll();
    return;
  }
  start_ = check.start;
  end_ = check.end;
  QDialog::accept();
}

CFillDialog::CFillDialog(DocPos start, DocPos end, PromptService& prompt, QWidget* parent)
    : QDialog(parent), prompt_(prompt) {
  setWindowTitle(QStringLiteral("指定範囲の初期化"));
  edit_ = new CNumberEdit;
  edit_->SetMaxDigits(2);
  auto* label = new QLabel(QString::fromStdString(
      FormatText("選択範囲 : %08X ～ %08X", {std::int64_t{start}, std::int64_t{end}})));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(edit_);
  layout->addWidget(OkCancel(this));
}

void CFillDialog::accept() {
  if (edit_->text().isEmpty()) {
    prompt_.Message(ids::kMsgNoFillData);
    return;
  }
  const auto value = ParseNumber(edit_->text().toStdString(), NumberBase::Hexadecimal);
  if (!value || *value > 0xFF) {
    prompt_.Message(ids::kMsgEnterHex);
    edit_->setFocus();
    edit_->selectAll();
    return;
  }
  value_ = static_cast<std::uint8_t>(*value);
  QDialog::accept();
}

}  // namespace vantrell
