#pragma once

#include <string>
#include <vector>

#include "settings/document_settings.h"
#include "settings/ext_profile.h"
#include "view/vantrell_view.h"

namespace vantrell {

// The main frame's copy of the settings that documents, views and the
// document manager use (defaults until the settings are stored).
struct SettingsSnapshot {
  DocumentSettings document;
  std::vector<ExtProfile> profiles{ExtProfile::MakeBase()};
  ViewOptions view;
  int mruNum = 5;             // "MRUNum"
  bool restoreCaret = false;  // "RestoreCaret"
  bool openLinkFile = false;  // "OpenLinkFile"
  std::string homeFolder;     // "HomeFolder"
  bool maximizeDocument = false;  // "MaximizeDocument"
};

}  // namespace vantrell
