#include <QMimeDatabase>
#include <QMimeType>

#include "core/fct_audio_inf.h"

namespace sonatra {

std::string ShellTypeName(const std::string& path) {
  static const QMimeDatabase database;
  const QMimeType type = database.mimeTypeForFile(QString::fromStdString(path));
  if (!type.isValid() || type.isDefault()) return {};
  return type.comment().toStdString();
}

}  // namespace sonatra
