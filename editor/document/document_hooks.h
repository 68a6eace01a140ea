#pragma once

#include "doc_types.h"

namespace vantrell {

// Marks that follow the bytes they mark while "DynamicMark" is on.
class MarkHook {
 public:
  virtual ~MarkHook() = default;
  virtual void OnBytesInserted(DocPos position, DocPos count) = 0;
  // Marks inside the deleted range go; later marks move back.
  virtual void OnBytesDeleted(DocPos position, DocPos count) = 0;
  virtual void OnBytesReplaced(DocPos position, DocPos oldCount, DocPos newCount) = 0;
  // After a reload (whatever "DynamicMark" says): marks at or beyond the length go.
  virtual void OnReloaded(DocPos length) = 0;
};

// The bit image redraws what an edit changed.
class BitImageHook {
 public:
  virtual ~BitImageHook() = default;
  virtual void OnBytesChanged(DocPos position, DocPos count, bool lengthChanged) = 0;
  virtual void Redraw() = 0;
};

}  // namespace vantrell
