#include "vantrell_doc_manager.h"

#include <QFileDialog>

#include <algorithm>
#include <filesystem>

#include "resources/string_table.h"

namespace vantrell {

std::string LongPathForm(const std::string& path) {
  std::error_code error;
  const auto canonical = std::filesystem::canonical(path, error);
  if (!error) return canonical.string();
  const auto absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

CVantrellDoc* CVantrellDocManager::FindDocument(const std::string& path) const {
  const std::string wanted = LongPathForm(path);
  for (const auto& document : documents_)
    if (!document->GetPathName().empty() && LongPathForm(document->GetPathName()) == wanted)
      return document.get();
  return nullptr;
}

CVantrellDoc* CVantrellDocManager::OpenDocumentFile(const std::string& path,
                                                    const SettingsSnapshot& settings) {
  auto document = std::make_unique<CVantrellDoc>(host_, settings.document, settings.profiles);
  if (!document->OnOpenDocument(path)) return nullptr;
  documents_.push_back(std::move(document));
  return documents_.back().get();
}

CVantrellDoc* CVantrellDocManager::NewDocument(const SettingsSnapshot& settings) {
  auto document = std::make_unique<CVantrellDoc>(host_, settings.document, settings.profiles);
  document->OnNewDocument();
  documents_.push_back(std::move(document));
  return documents_.back().get();
}

bool CVantrellDocManager::IsOpen(const CVantrellDoc* document) const {
  return std::any_of(documents_.begin(), documents_.end(),
                     [document](const auto& owned) { return owned.get() == document; });
}

void CVantrellDocManager::CloseDocument(CVantrellDoc* document) {
  const auto it = std::find_if(documents_.begin(), documents_.end(),
                               [document](const auto& owned) { return owned.get() == document; });
  if (it == documents_.end()) return;
  (*it)->OnCloseDocument();
  documents_.erase(it);
}

QStringList CVantrellDocManager::FileFilters(const std::vector<ExtProfile>& profiles) {
  QStringList filters;
  for (const ExtProfile& profile : profiles) {
    std::string comment = profile.comment;
    if (comment.empty() && profile.extension == ExtProfile::kBaseExtension)
      comment = std::string(StringText(ids::kStrAllFiles));
    const QString extension = QString::fromStdString(profile.extension);
    filters << QString::fromStdString(comment) + "(*." + extension + ")";
  }
  return filters;
}

QString CVantrellDocManager::DoPromptFileName(QWidget* parent, const QString& title, bool open,
                                              const SettingsSnapshot& settings) {
  QFileDialog dialog(parent, title);
  dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  // Each filter shows "comment(*.ext)"; the pattern that follows it is hidden.
  // The catch-all "*.*" must also match names without a dot, hence "*".
  QStringList filters = FileFilters(settings.profiles);
  for (int i = 0; i < filters.size(); ++i) {
    const std::string& extension = settings.profiles[i].extension;
    filters[i] += extension == ExtProfile::kBaseExtension
                      ? QStringLiteral(" (*)")
                      : QStringLiteral(" (*.") + QString::fromStdString(extension) + ")";
  }
  dialog.setNameFilters(filters);
  QFileDialog::Options options = QFileDialog::HideNameFilterDetails;
  if (settings.openLinkFile) options |= QFileDialog::DontResolveSymlinks;
  dialog.setOptions(options);
  if (!settings.homeFolder.empty()) dialog.setDirectory(QString::fromStdString(settings.homeFolder));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

}  // namespace vantrell
