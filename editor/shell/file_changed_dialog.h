#pragma once

#include <QDialog>

#include "document/file_changed_answer.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vantrell {

class PromptService;

// Asks what to do about a document whose file another program changed:
// ignore, reload, or save the edits under another name.
class CFileChangedDialog : public QDialog {
  Q_OBJECT

 public:
  CFileChangedDialog(const QString& documentPath, PromptService& prompt, QWidget* parent = nullptr);

  [[nodiscard]] FileChangedChoice Choice() const;
  [[nodiscard]] QString CopyName() const;
  [[nodiscard]] bool CompareAfterSaving() const;
  // For tests: choose and fill in without clicking.
  void SetChoice(FileChangedChoice choice);
  void SetCopyName(const QString& name);

  void accept() override;

 private:
  void UpdateEnabling();

  QString documentPath_;
  PromptService& prompt_;
  QRadioButton* ignore_;
  QRadioButton* reload_;
  QRadioButton* saveCopy_;
  QLineEdit* name_;
  QPushButton* browse_;
  QCheckBox* compare_;
};

}  // namespace vantrell
