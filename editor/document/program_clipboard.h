#pragma once

#include "doc_types.h"

namespace vantrell {

// The editor's own clipboard of raw bytes, shared by all documents and views.
// Paste reads only this; the platform clipboard gets text copies.
class ProgramClipboard {
 public:
  // Replaces the content; storing nothing is ignored.
  void Store(Bytes bytes) {
    if (!bytes.empty()) bytes_ = std::move(bytes);
  }
  [[nodiscard]] bool IsEmpty() const { return bytes_.empty(); }
  [[nodiscard]] const Bytes& Content() const { return bytes_; }

 private:
  Bytes bytes_;
};

}  // namespace vantrell
