#pragma once

#include "doc_types.h"

namespace vantrell {

class CVantrellDoc;
class ProgramClipboard;
class PromptService;

// What a document needs from the application around it (the main frame).
class DocumentHost {
 public:
  virtual ~DocumentHost() = default;

  virtual PromptService& Prompt() = 0;
  virtual ProgramClipboard& Clipboard() = 0;
  // The running number of the next new document's title (1, 2, ...).
  virtual int NextUntitledNumber() = 0;

  // The modified flag changed (the status bar shows it).
  virtual void OnModifiedFlagChanged(CVantrellDoc& /*document*/, bool /*modified*/) {}
  // Lets the window handle one pending event during a long load.
  virtual void ProcessPendingEvent() {}
  // The active view highlights a structure's bytes and puts its caret at its start.
  virtual void ShowStructureRange(CVantrellDoc& /*document*/, DocPos /*start*/,
                                  DocPos /*count*/, int /*structureKind*/) {}
};

}  // namespace vantrell
