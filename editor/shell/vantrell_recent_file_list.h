#pragma once

// The recent-file list: up to 16 paths, most recent first, each with the
// caret address the file had when it was last closed. Paths are UTF-8 text.
// No GUI: the main frame turns MenuItemTexts() into menu items and passes
// the open documents' carets to RefreshAddresses().

#include <cstddef>
#include <string>
#include <vector>

#include "document/doc_types.h"

namespace vantrell {

class SettingsStore;

// The caret address of the first view of one open document.
struct OpenDocumentCaret {
  std::string path;
  DocPos address = 0;
};

class CVantrellRecentFileList {
 public:
  static constexpr int kMaxSize = 16;
  static constexpr std::size_t kMaxDisplayLength = 30;  // characters
  static constexpr const char* kSection = "Recent File List";
  static constexpr const char* kEntryFormat = "File%d";
  static constexpr const char* kAddressFormat = "Address%d";

  // A list of `size` empty entries with address 0; a size outside 0..16 is
  // brought into that range.
  explicit CVantrellRecentFileList(int size);

  // Puts the path (made full) at the top and returns the address stored for
  // it: the address of its former entry, or 0 when it was not in the list
  // (the last entry then drops out). An empty path changes nothing and gives 0.
  DocPos Add(const std::string& path);
  // Removes entry `index`; later entries move up, the last becomes empty.
  // An index outside the list changes nothing.
  void Remove(int index);
  // Stores the address in the first entry holding `path`; the search stops
  // at the first empty entry.
  void SetAddress(const std::string& path, DocPos address);
  // For each non-empty entry, takes the address of the first open document
  // with the same path.
  void RefreshAddresses(const std::vector<OpenDocumentCaret>& openDocuments);
  // New number of entries, 0..16; false (and no change) outside that range.
  bool Resize(int size);

  // Reads and writes section "Recent File List" ("File%d"/"Address%d", from 1).
  void ReadList(const SettingsStore& store);
  bool WriteList(SettingsStore& store) const;  // false when the store could not be written
  // The same on the program's per-user store (QSettings "Zorv"/"Vantrell").
  void ReadList();
  bool WriteList() const;

  // The texts of the recent-file menu items, one per entry up to the first
  // empty one: "&n " (n = (index + 1) mod 10) and the display name with
  // every "&" doubled.
  [[nodiscard]] std::vector<std::string> MenuItemTexts() const;
  // The path as the menu shows it: at most 30 characters where the file
  // name allows (see the .cpp for the rule).
  [[nodiscard]] static std::string DisplayName(const std::string& path);

  [[nodiscard]] int Size() const { return static_cast<int>(paths_.size()); }
  [[nodiscard]] int size() const { return Size(); }
  // Index 0..Size()-1; an empty path marks an unused entry.
  [[nodiscard]] const std::string& operator[](int index) const { return Path(index); }
  [[nodiscard]] const std::string& Path(int index) const;
  [[nodiscard]] DocPos Address(int index) const;

  // The absolute, lexically normalised form of a path ("." and ".." resolved,
  // symbolic links kept).
  [[nodiscard]] static std::string FullPath(const std::string& path);

 private:
  std::vector<std::string> paths_;
  std::vector<DocPos> addresses_;
};

}  // namespace vantrell
