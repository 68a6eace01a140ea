#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "document/vantrell_doc.h"
#include "shell/settings_snapshot.h"

namespace vantrell {

// Owns the open documents; a file is never loaded twice.
class CVantrellDocManager {
 public:
  explicit CVantrellDocManager(DocumentHost& host) : host_(host) {}

  // The document open for this path (compared as canonical paths), or nullptr.
  [[nodiscard]] CVantrellDoc* FindDocument(const std::string& path) const;
  // Opens the file as a new document; nullptr when loading fails (the
  // document already told the user why).
  CVantrellDoc* OpenDocumentFile(const std::string& path, const SettingsSnapshot& settings);
  CVantrellDoc* NewDocument(const SettingsSnapshot& settings);
  void CloseDocument(CVantrellDoc* document);
  [[nodiscard]] bool IsOpen(const CVantrellDoc* document) const;
  [[nodiscard]] const std::vector<std::unique_ptr<CVantrellDoc>>& Documents() const {
    return documents_;
  }

  // The file dialog with one filter per per-extension record. Returns the
  // chosen path, or an empty string when cancelled.
  static QString DoPromptFileName(QWidget* parent, const QString& title, bool open,
                                  const SettingsSnapshot& settings);
  // "comment(*.ext)" and "*.ext" per record, in list order.
  static QStringList FileFilters(const std::vector<ExtProfile>& profiles);

 private:
  DocumentHost& host_;
  std::vector<std::unique_ptr<CVantrellDoc>> documents_;
};

// A path in its long form: absolute and canonical when the file exists.
std::string LongPathForm(const std::string& path);

}  // namespace vantrell
