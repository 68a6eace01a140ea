#pragma once

#include <string>

namespace vantrell {

// The choices offered when the file of a document was changed by another program.
enum class FileChangedChoice {
  Ignore,    // keep working on the edited content
  Reload,    // discard the edits and read the file again
  SaveCopy,  // save the edited content under another name
};

// Checks the answer when the user confirms: 0 accepts it; otherwise the
// number of the message to show while the question stays open (no name
// given, or the name is the changed file itself).
int CheckFileChangedAnswer(const std::string& documentPath, FileChangedChoice choice,
                           const std::string& copyName);

}  // namespace vantrell
