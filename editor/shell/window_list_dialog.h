#pragma once

#include <QDialog>

class QListWidget;
class QMdiSubWindow;

namespace vantrell {

// Lists the open windows; OK activates the chosen one or, on the last line,
// asks for a file to open.
class CWindowListDialog : public QDialog {
  Q_OBJECT

 public:
  CWindowListDialog(const QList<QMdiSubWindow*>& windows, QMdiSubWindow* active,
                    QWidget* parent = nullptr);

  // The window chosen, or nullptr for the line that opens a new file.
  [[nodiscard]] QMdiSubWindow* ChosenWindow() const;
  // Button "開く(&O)..." was pressed.
  [[nodiscard]] bool OpenRequested() const { return openRequested_; }
  [[nodiscard]] QListWidget* List() const { return list_; }

 private:
  QListWidget* list_;
  QList<QMdiSubWindow*> windows_;
  bool openRequested_ = false;
};

}  // namespace vantrell
