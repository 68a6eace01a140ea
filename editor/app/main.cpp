// The vantrell program: one instance per user; a second start hands its
// first file name to the running one and exits.
#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <memory>

#include "resources/string_table.h"
#include "shell/main_frame.h"
#include "shell/single_instance.h"
#include "shell/vantrell_recent_file_list.h"

using namespace vantrell;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Zorv");
  QApplication::setApplicationName("Vantrell");

  // Arguments beginning with "-" are options; every other one names a file.
  // ("/" starts an absolute path here, so it cannot start an option.)
  QStringList files;
  const QStringList arguments = QApplication::arguments();
  for (int i = 1; i < arguments.size(); ++i)
    if (!arguments[i].startsWith('-')) files << arguments[i];

  SingleInstance instance;
  if (!instance.TryBecomePrimary()) {
    // The running instance has another current folder: hand over an absolute name.
    const QString first = files.isEmpty() ? QString() : QFileInfo(files.front()).absoluteFilePath();
    return instance.HandOver(first) ? 0 : 1;
  }

  SettingsSnapshot settings;
  std::unique_ptr<CVantrellRecentFileList> recent;
  if (settings.mruNum > 0) {
    recent = std::make_unique<CVantrellRecentFileList>(settings.mruNum);
    recent->ReadList();
  }
  CMainFrame frame(settings, std::move(recent));
  QObject::connect(&instance, &SingleInstance::fileHandedOver, &frame,
                   &CMainFrame::OnFileHandedOver);
  frame.show();

  // A file that cannot be opened ends the start, as a failed shell command does.
  for (const QString& file : files)
    if (frame.OpenDocumentFile(file) == nullptr) return 1;
  if (files.isEmpty()) frame.setFocus();
  return QApplication::exec();
}
