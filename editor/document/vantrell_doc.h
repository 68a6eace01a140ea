#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "block_list.h"
#include "doc_types.h"
#include "document_hooks.h"
#include "program_clipboard.h"
#include "document_host.h"
#include "edit_record.h"
#include "settings/document_settings.h"
#include "settings/ext_profile.h"
#include "shared_file.h"
#include "update_hint.h"

namespace vantrell {

// The document of one open file: its bytes in a block chain, how it was
// opened, how it goes back to disk, and its edit histories.
class CVantrellDoc {
 public:
  CVantrellDoc(DocumentHost& host, DocumentSettings settings, std::vector<ExtProfile> profiles);
  ~CVantrellDoc();
  CVantrellDoc(const CVantrellDoc&) = delete;
  CVantrellDoc& operator=(const CVantrellDoc&) = delete;

  // ---- Files --------------------------------------------------------------
  bool OnNewDocument();
  bool OnOpenDocument(const std::string& path);
  // Reads the whole file (the own path when `path` is empty) into the blocks.
  bool LoadFile(const std::string& path = {});
  // Backs up, writes, clears the histories when configured. Keeps the path.
  bool OnSaveDocument(const std::string& path);
  bool WriteFile(const std::string& path);
  // Saves to `path` and makes it the document's path.
  bool SaveAs(const std::string& path);
  bool SaveCopyAs(const std::string& path) { return SaveAs(path); }
  bool Reload();
  // True once for each change of the file on disk since it was last seen.
  bool HasFileChanged();
  void OnCloseDocument();

  void ApplySettings(const DocumentSettings& settings);
  void ReselectExtension(std::vector<ExtProfile> profiles);

  // ---- State --------------------------------------------------------------
  [[nodiscard]] const std::string& GetPathName() const { return path_; }
  void SetPathName(const std::string& path);
  [[nodiscard]] const std::string& GetTitle() const { return title_; }
  void SetTitle(const std::string& title);
  [[nodiscard]] bool IsModified() const { return modified_; }
  void SetModifiedFlag(bool modified);
  [[nodiscard]] bool IsLoadedFromFile() const { return loadedFromFile_; }
  [[nodiscard]] bool IsFileHeldOpen() const { return file_.IsOpen(); }

  [[nodiscard]] EditState GetEditState() const { return editState_; }
  // Switches between editable and edit prohibited; browse mode stays.
  bool SetEditProhibited(bool prohibited);
  [[nodiscard]] bool IsEditable() const { return editState_ == EditState::Editable; }
  [[nodiscard]] bool InsertMode() const { return insertMode_; }
  void SetInsertMode(bool insert) { insertMode_ = insert; }
  [[nodiscard]] CharacterSet GetCharacterSet() const { return characterSet_; }
  void SetCharacterSet(CharacterSet set) { characterSet_ = set; }
  [[nodiscard]] ByteOrder GetByteOrder() const { return byteOrder_; }
  void SetByteOrder(ByteOrder order) { byteOrder_ = order; }

  [[nodiscard]] DocPos Length() const { return length_; }
  [[nodiscard]] BlockList& Blocks() { return blocks_; }
  [[nodiscard]] const BlockList& Blocks() const { return blocks_; }
  [[nodiscard]] const ExtProfile& Profile() const { return profile_; }
  [[nodiscard]] const std::array<Colour, 256>& TextColours() const { return textColours_; }
  [[nodiscard]] const DocumentSettings& Settings() const { return settings_; }
  // The program clipboard shared by every document.
  [[nodiscard]] ProgramClipboard& SharedClipboard() { return host_.Clipboard(); }

  // ---- Views and hooks ----------------------------------------------------
  void AddView(DocumentView* view);
  void RemoveView(DocumentView* view);
  [[nodiscard]] const std::vector<DocumentView*>& Views() const { return views_; }
  void UpdateAllViews(DocumentView* sender, const UpdateHint& hint);
  void SetMarkHook(MarkHook* hook) { marks_ = hook; }
  void SetBitImageHook(BitImageHook* hook) { bitImage_ = hook; }

  // ---- Edit primitives (vantrell_doc_edit.cpp) ----------------------------
  bool EditOverwriteByte(DocPos position, std::uint8_t byte, EditMode mode = EditMode::New);
  bool EditInsertByte(DocPos position, std::uint8_t byte, EditMode mode = EditMode::New);
  bool EditDeleteByte(DocPos position, EditMode mode = EditMode::New);
  // ORs bits into a byte without a history entry (the second hexadecimal digit).
  bool EditOrByte(DocPos position, std::uint8_t bits);
  bool EditCutRange(DocPos start, DocPos end, EditMode mode = EditMode::New,
                    bool toClipboard = false);
  bool EditInsertBytes(DocPos position, const std::uint8_t* bytes, DocPos count,
                       EditMode mode = EditMode::New);
  // Replaces start..end by count bytes.
  bool EditReplaceRange(DocPos start, DocPos end, const std::uint8_t* bytes, DocPos count,
                        EditMode mode = EditMode::New);
  bool EditFillRange(DocPos start, DocPos end, std::uint8_t byte, EditMode mode = EditMode::New);
  bool CopyRangeToClipboard(DocPos start, DocPos end);
  // Reads count bytes at position into buffer (zeros where the document ends);
  // a too-short editable document is extended with zeros. Returns the bytes available.
  DocPos ReadStructureBytes(DocPos position, DocPos count, std::uint8_t* buffer, bool show,
                            int structureKind);
  bool Undo();
  bool Redo();

  [[nodiscard]] const std::vector<EditRecord>& UndoHistory() const { return undo_; }
  [[nodiscard]] const std::vector<EditRecord>& RedoHistory() const { return redo_; }
  [[nodiscard]] std::int32_t ChangeCounter() const { return changeCounter_; }

 private:
  ShareMode Share() const { return static_cast<ShareMode>(settings_.exclusive); }
  void ChooseProfile(const std::vector<ExtProfile>& profiles, const std::string& path);
  void ApplyOpenSettings();
  bool OpenForLoading(const std::string& path);
  void RememberFileStamp(const std::string& path);
  bool WriteWithBackup(const std::string& path);
  bool WriteFileWith(const std::string& path, const std::function<void()>& beforeReplace);
  void UpdateTitle();
  void ClearHistories();

  // Shared steps of every successful primitive, in this order: the length is
  // brought up to date (returning the old one), the edit is recorded, the
  // marks are moved, and the bit image is told.
  DocPos SyncLength();
  void Record(EditMode mode, EditRecord record);
  [[nodiscard]] bool MarksFollowEdits() const;
  void AfterEdit(DocPos position, DocPos count, DocPos oldLength);
  // Puts the old bytes of a fill back (undo of a fill); records the redo entry.
  bool RestoreFilledBytes(const EditRecord& fill);

  struct FileStamp {
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    std::int64_t size = -1;
    bool operator==(const FileStamp&) const = default;
  };

  DocumentHost& host_;
  DocumentSettings settings_;
  std::vector<ExtProfile> profiles_;
  ExtProfile profile_;
  std::array<Colour, 256> textColours_{};

  std::string path_;
  std::string title_;
  bool loadedFromFile_ = false;
  bool modified_ = false;
  SharedFile file_;
  FileStamp stamp_;

  EditState editState_ = EditState::Editable;
  bool insertMode_ = false;
  CharacterSet characterSet_ = CharacterSet::ShiftJis;
  ByteOrder byteOrder_ = ByteOrder::LittleEndian;

  BlockList blocks_;
  DocPos length_ = 0;

  std::vector<EditRecord> undo_;
  std::vector<EditRecord> redo_;
  std::int32_t changeCounter_ = 0;

  std::vector<DocumentView*> views_;
  MarkHook* marks_ = nullptr;
  BitImageHook* bitImage_ = nullptr;
};

}  // namespace vantrell
