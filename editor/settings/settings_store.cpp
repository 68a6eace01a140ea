#include "settings/settings_store.h"

#include <QSettings>
#include <QString>

#include <charconv>

namespace vantrell {

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Key(std::string_view section, std::string_view entry) {
  return Q(section) + QLatin1Char('/') + Q(entry);
}

}  // namespace

QSettingsStore::QSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("Zorv"), QStringLiteral("Vantrell"))) {}

QSettingsStore::QSettingsStore(const QString& filePath)
    : settings_(std::make_unique<QSettings>(filePath, QSettings::IniFormat)) {}

QSettingsStore::~QSettingsStore() = default;

std::string QSettingsStore::FileName() const { return settings_->fileName().toStdString(); }

std::string QSettingsStore::GetString(std::string_view section, std::string_view entry,
                                      std::string_view fallback) const {
  const QVariant value = settings_->value(Key(section, entry));
  if (!value.isValid()) return std::string(fallback);
  return value.toString().toStdString();
}

int QSettingsStore::GetInt(std::string_view section, std::string_view entry, int fallback) const {
  const QVariant value = settings_->value(Key(section, entry));
  if (!value.isValid()) return fallback;
  bool ok = false;
  const int number = value.toString().trimmed().toInt(&ok);
  return ok ? number : fallback;
}

void QSettingsStore::WriteString(std::string_view section, std::string_view entry,
                                 std::string_view value) {
  settings_->setValue(Key(section, entry), Q(value));
}

void QSettingsStore::WriteInt(std::string_view section, std::string_view entry, int value) {
  settings_->setValue(Key(section, entry), value);
}

void QSettingsStore::DeleteSection(std::string_view section) { settings_->remove(Q(section)); }

std::vector<std::string> QSettingsStore::Entries(std::string_view section) const {
  settings_->beginGroup(Q(section));
  QStringList keys = settings_->childKeys();
  settings_->endGroup();
  keys.sort();
  std::vector<std::string> names;
  for (const QString& key : keys) names.push_back(key.toStdString());
  return names;
}

bool QSettingsStore::Flush() {
  settings_->sync();
  return settings_->status() == QSettings::NoError;
}

const MemorySettingsStore::Value* MemorySettingsStore::Find(std::string_view section,
                                                            std::string_view entry) const {
  const auto group = sections_.find(section);
  if (group == sections_.end()) return nullptr;
  const auto value = group->second.find(entry);
  return value == group->second.end() ? nullptr : &value->second;
}

std::string MemorySettingsStore::GetString(std::string_view section, std::string_view entry,
                                           std::string_view fallback) const {
  const Value* value = Find(section, entry);
  if (value == nullptr) return std::string(fallback);
  if (const auto* number = std::get_if<int>(value)) return std::to_string(*number);
  return std::get<std::string>(*value);
}

int MemorySettingsStore::GetInt(std::string_view section, std::string_view entry,
                                int fallback) const {
  const Value* value = Find(section, entry);
  if (value == nullptr) return fallback;
  if (const auto* number = std::get_if<int>(value)) return *number;
  const std::string& text = std::get<std::string>(*value);
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size() && !text.empty() ? number
                                                                                   : fallback;
}

void MemorySettingsStore::WriteString(std::string_view section, std::string_view entry,
                                      std::string_view value) {
  sections_[std::string(section)][std::string(entry)] = std::string(value);
}

void MemorySettingsStore::WriteInt(std::string_view section, std::string_view entry, int value) {
  sections_[std::string(section)][std::string(entry)] = value;
}

void MemorySettingsStore::DeleteSection(std::string_view section) {
  const auto group = sections_.find(section);
  if (group != sections_.end()) sections_.erase(group);
}

std::vector<std::string> MemorySettingsStore::Entries(std::string_view section) const {
  std::vector<std::string> names;
  const auto group = sections_.find(section);
  if (group == sections_.end()) return names;
  for (const auto& [name, value] : group->second) names.push_back(name);
  return names;
}

}  // namespace vantrell
