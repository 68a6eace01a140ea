#pragma once

#include <vector>

#include "document/document_host.h"
#include "document/program_clipboard.h"
#include "document/update_hint.h"
#include "scripted_prompt.h"

namespace vantrell::testing {

// The application around a document, reduced to what tests look at.
class TestDocumentHost : public DocumentHost {
 public:
  PromptService& Prompt() override { return prompt; }
  ProgramClipboard& Clipboard() override { return clipboard; }
  int NextUntitledNumber() override { return ++untitled; }
  void OnModifiedFlagChanged(CVantrellDoc&, bool modified) override {
    modifiedNotices.push_back(modified);
  }
  void ProcessPendingEvent() override { ++pendingEventsProcessed; }
  void ShowStructureRange(CVantrellDoc&, DocPos start, DocPos count, int) override {
    structureShown.push_back({start, count});
  }

  ScriptedPrompt prompt;
  ProgramClipboard clipboard;
  int untitled = 0;
  std::vector<bool> modifiedNotices;
  int pendingEventsProcessed = 0;
  struct Range {
    DocPos start, count;
  };
  std::vector<Range> structureShown;
};

// A view that remembers what it was told.
class RecordingView : public DocumentView {
 public:
  void OnDocumentUpdate(DocumentView* sender, const UpdateHint& hint) override {
    senders.push_back(sender);
    hints.push_back(hint);
  }
  std::vector<DocumentView*> senders;
  std::vector<UpdateHint> hints;
};

}  // namespace vantrell::testing
