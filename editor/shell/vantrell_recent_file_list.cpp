#include "shell/vantrell_recent_file_list.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "settings/settings_store.h"

namespace vantrell {

namespace {

// Paths are compared exactly, letter case included: Linux file systems are
// case-sensitive, so "a.bin" and "A.bin" are two files.
bool SamePath(const std::string& a, const std::string& b) { return a == b; }

std::string Numbered(const char* format, int number) {
  char name[32];
  std::snprintf(name, sizeof name, format, number);
  return name;
}

// Characters of UTF-8 text: bytes that do not continue a sequence.
std::size_t CharacterCount(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

const std::string kEmpty;

}  // namespace

CVantrellRecentFileList::CVantrellRecentFileList(int size)
    : paths_(static_cast<std::size_t>(std::clamp(size, 0, kMaxSize))),
      addresses_(paths_.size(), 0) {}

std::string CVantrellRecentFileList::FullPath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return path;
  return absolute.lexically_normal().string();
}

DocPos CVantrellRecentFileList::Add(const std::string& path) {
  const std::string full = FullPath(path);
  if (full.empty() || paths_.empty()) return 0;
  // The last entry is not searched: a path found only there is added as new
  // and its old entry drops out, address and all.
  const std::size_t searched = paths_.size() - 1;
  std::size_t found = 0;
  while (found < searched && !SamePath(paths_[found], full)) ++found;
  const DocPos address = found < searched ? addresses_[found] : 0;
  // Shifts entries found-1 .. 0 down by one (all of them when not found,
  // found == size-1 then, so the last entry is overwritten).
  for (std::size_t i = found; i > 0; --i) {
    paths_[i] = std::move(paths_[i - 1]);
    addresses_[i] = addresses_[i - 1];
  }
  paths_[0] = full;
  addresses_[0] = address;
  return address;
}

void CVantrellRecentFileList::Remove(int index) {
  if (index < 0 || index >= Size()) return;
  for (std::size_t i = static_cast<std::size_t>(index); i + 1 < paths_.size(); ++i) {
    paths_[i] = std::move(paths_[i + 1]);
    addresses_[i] = addresses_[i + 1];
  }
  paths_.back().clear();
  addresses_.back() = 0;
}

void CVantrellRecentFileList::SetAddress(const std::string& path, DocPos address) {
  const std::string full = FullPath(path);
  for (std::size_t i = 0; i < paths_.size() && !paths_[i].empty(); ++i) {
    if (SamePath(paths_[i], full)) {
      addresses_[i] = address;
      return;
    }
  }
}

void CVantrellRecentFileList::RefreshAddresses(const std::vector<OpenDocumentCaret>& openDocuments) {
  for (std::size_t i = 0; i < paths_.size(); ++i) {
    if (paths_[i].empty()) continue;
    for (const OpenDocumentCaret& document : openDocuments) {
      if (!document.path.empty() && SamePath(paths_[i], FullPath(document.path))) {
        addresses_[i] = document.address;
        break;
      }
    }
  }
}

bool CVantrellRecentFileList::Resize(int size) {
  if (size < 0 || size > kMaxSize) return false;
  paths_.resize(static_cast<std::size_t>(size));
  addresses_.resize(static_cast<std::size_t>(size), 0);
  return true;
}

void CVantrellRecentFileList::ReadList(const SettingsStore& store) {
  for (int i = 0; i < Size(); ++i) {
    paths_[i] = store.GetString(kSection, Numbered(kEntryFormat, i + 1), "");
    addresses_[i] = store.GetInt(kSection, Numbered(kAddressFormat, i + 1), 0);
  }
}

bool CVantrellRecentFileList::WriteList(SettingsStore& store) const {
  store.DeleteSection(kSection);
  // Entries keep their numbers: an empty entry leaves a gap.
  for (int i = 0; i < Size(); ++i) {
    if (paths_[i].empty()) continue;
    store.WriteString(kSection, Numbered(kEntryFormat, i + 1), paths_[i]);
    store.WriteInt(kSection, Numbered(kAddressFormat, i + 1), addresses_[i]);
  }
  return store.Flush();
}

void CVantrellRecentFileList::ReadList() {
  const QSettingsStore store;
  ReadList(store);
}

bool CVantrellRecentFileList::WriteList() const {
  QSettingsStore store;
  return WriteList(store);
}

// The display name of a path longer than 30 characters keeps the file name
// whole and replaces leading folders by "...": "/.../folder/name" with as
// many trailing folders as fit in 30 characters; when not even "/.../name"
// fits, the file name alone; a file name longer than 30 characters is shown
// whole, as a cut name could not be told apart from others.
std::string CVantrellRecentFileList::DisplayName(const std::string& path) {
  if (CharacterCount(path) <= kMaxDisplayLength) return path;
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return path;
  const std::string name = path.substr(slash + 1);
  // Candidate tails, longest first: "folder/.../name" cut after each "/".
  std::size_t cut = path.find('/', path.find_first_not_of('/'));
  while (cut != std::string::npos && cut < slash) {
    const std::string candidate = "/..." + path.substr(cut);
    if (CharacterCount(candidate) <= kMaxDisplayLength) return candidate;
    cut = path.find('/', cut + 1);
  }
  const std::string shortest = "/.../" + name;
  if (CharacterCount(shortest) <= kMaxDisplayLength) return shortest;
  return name;
}

std::vector<std::string> CVantrellRecentFileList::MenuItemTexts() const {
  std::vector<std::string> texts;
  for (int i = 0; i < Size() && i < kMaxSize && !paths_[i].empty(); ++i) {
    std::string text = "&" + std::to_string((i + 1) % 10) + " ";
    // UTF-8 never puts "&" inside a multibyte character, so each "&" found
    // is a character of its own.
    for (const char c : DisplayName(paths_[i])) {
      if (c == '&') text += '&';
      text += c;
    }
    texts.push_back(std::move(text));
  }
  return texts;
}

const std::string& CVantrellRecentFileList::Path(int index) const {
  return index >= 0 && index < Size() ? paths_[static_cast<std::size_t>(index)] : kEmpty;
}

DocPos CVantrellRecentFileList::Address(int index) const {
  return index >= 0 && index < Size() ? addresses_[static_cast<std::size_t>(index)] : 0;
}

}  // namespace vantrell
