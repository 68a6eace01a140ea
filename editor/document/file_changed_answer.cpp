#include "file_changed_answer.h"

#include <filesystem>
#include <system_error>

#include "resources/string_table.h"

namespace vantrell {

int CheckFileChangedAnswer(const std::string& documentPath, FileChangedChoice choice,
                           const std::string& copyName) {
  if (choice != FileChangedChoice::SaveCopy) return 0;
  if (copyName.empty()) return ids::kMsgNoFileName;
  // Saving the copy over the changed file would throw away the other
  // program's change; links and other spellings of the same file count too.
  std::error_code error;
  const auto copy = std::filesystem::canonical(copyName, error);
  if (error) return 0;  // not an existing file: a new name
  const auto original = std::filesystem::canonical(documentPath, error);
  if (!error && copy == original) return ids::kMsgSameFileName;
  return 0;
}

}  // namespace vantrell
