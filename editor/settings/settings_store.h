#pragma once

// A small per-user settings store: named sections holding named integer and
// string entries. Settings logic talks to this interface, so that it runs
// against the program's QSettings store, a temporary settings file or memory.

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class QSettings;
class QString;

namespace vantrell {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The value of an entry, or `fallback` when the entry is absent (or, for
  // integers, does not hold a number).
  [[nodiscard]] virtual std::string GetString(std::string_view section, std::string_view entry,
                                              std::string_view fallback) const = 0;
  [[nodiscard]] virtual int GetInt(std::string_view section, std::string_view entry,
                                   int fallback) const = 0;
  virtual void WriteString(std::string_view section, std::string_view entry,
                           std::string_view value) = 0;
  virtual void WriteInt(std::string_view section, std::string_view entry, int value) = 0;
  // Removes the section with all its entries.
  virtual void DeleteSection(std::string_view section) = 0;
  // The names of the entries that the section holds, sorted.
  [[nodiscard]] virtual std::vector<std::string> Entries(std::string_view section) const = 0;
  // Makes the written values permanent; false when the store could not be written.
  virtual bool Flush() = 0;
};

// The store on QSettings. Sections are QSettings groups.
class QSettingsStore final : public SettingsStore {
 public:
  // The program's per-user store: company "Zorv", application "Vantrell",
  // native format (~/.config/Zorv/Vantrell.conf on Linux).
  QSettingsStore();
  // A store in the given file, in the same INI layout as the native format on Linux.
  explicit QSettingsStore(const QString& filePath);
  ~QSettingsStore() override;
  QSettingsStore(const QSettingsStore&) = delete;
  QSettingsStore& operator=(const QSettingsStore&) = delete;

  [[nodiscard]] std::string FileName() const;

  [[nodiscard]] std::string GetString(std::string_view section, std::string_view entry,
                                      std::string_view fallback) const override;
  [[nodiscard]] int GetInt(std::string_view section, std::string_view entry,
                           int fallback) const override;
  void WriteString(std::string_view section, std::string_view entry,
                   std::string_view value) override;
  void WriteInt(std::string_view section, std::string_view entry, int value) override;
  void DeleteSection(std::string_view section) override;
  [[nodiscard]] std::vector<std::string> Entries(std::string_view section) const override;
  bool Flush() override;

 private:
  std::unique_ptr<QSettings> settings_;
};

// A store in memory, for tests.
class MemorySettingsStore final : public SettingsStore {
 public:
  using Value = std::variant<int, std::string>;

  [[nodiscard]] std::string GetString(std::string_view section, std::string_view entry,
                                      std::string_view fallback) const override;
  [[nodiscard]] int GetInt(std::string_view section, std::string_view entry,
                           int fallback) const override;
  void WriteString(std::string_view section, std::string_view entry,
                   std::string_view value) override;
  void WriteInt(std::string_view section, std::string_view entry, int value) override;
  void DeleteSection(std::string_view section) override;
  [[nodiscard]] std::vector<std::string> Entries(std::string_view section) const override;
  bool Flush() override { return true; }

 private:
  const Value* Find(std::string_view section, std::string_view entry) const;

  std::map<std::string, std::map<std::string, Value, std::less<>>, std::less<>> sections_;
};

}  // namespace vantrell
