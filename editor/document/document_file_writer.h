#pragma once

#include <functional>
#include <string>

#include "block_list.h"
#include "shared_file.h"

namespace vantrell {

// Writes a document's blocks to a file so that a failure never destroys the
// previous content: the bytes go to a temporary file beside the target, are
// flushed to disk, and only then replace the target by a rename, keeping its
// permissions. Only where no file can be created beside the target (a folder
// without write permission) is the target rewritten in place.
class DocumentFileWriter {
 public:
  // Called once the new content is safely on disk, just before it replaces
  // the target (the place to back up the previous file).
  using BeforeReplace = std::function<void()>;

  // On success `file` holds the written file, open read-write with the lock
  // for `share`, and true is returned. On failure the target is untouched
  // (unless it had to be rewritten in place) and `file` is unchanged.
  static bool Write(const std::string& path, const BlockList& blocks, ShareMode share,
                    const BeforeReplace& beforeReplace, SharedFile& file);
};

}  // namespace vantrell
