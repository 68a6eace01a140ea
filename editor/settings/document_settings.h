#pragma once

#include <string>

namespace vantrell {

// The file and editing settings a document keeps a copy of.
struct DocumentSettings {
  int backupGenerations = 1;  // "Backup": 0 = no backup file, else 1..9
  std::string backupFolder;   // "BackupFolder": empty = beside the file
  int exclusive = 0;          // "Exclusive": 0 share, 1 deny writing, 2 deny reading and writing
  bool fullPath = false;      // "FullPath"
  bool clearUndo = false;     // "ClearUndo"
  bool alwaysEditNewDocument = true;  // "AlwaysEditNewDocument"
  bool dynamicMark = false;           // "DynamicMark"
  bool autoInsert = true;             // "AutoInsert"

  [[nodiscard]] bool BackupOn() const { return backupGenerations != 0; }
  [[nodiscard]] bool BackupFolderOn() const { return !backupFolder.empty(); }
};

}  // namespace vantrell
