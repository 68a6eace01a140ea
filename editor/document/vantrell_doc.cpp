#include "vantrell_doc.h"

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "backup_generations.h"
#include "document_file_reader.h"
#include "document_file_writer.h"
#include "resources/string_table.h"
#include "shell/prompt_service.h"

namespace vantrell {

namespace {

bool SameFile(int fd, const std::string& path) {
  struct stat open {}, named {};
  return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

CVantrellDoc::CVantrellDoc(DocumentHost& host, DocumentSettings settings,
                           std::vector<ExtProfile> profiles)
    : host_(host), settings_(std::move(settings)), profiles_(std::move(profiles)) {
  if (profiles_.empty()) profiles_.push_back(ExtProfile::MakeBase());
  ChooseProfile(profiles_, {});
}

CVantrellDoc::~CVantrellDoc() { file_.Close(); }

// ---- Opening ----------------------------------------------------------------

bool CVantrellDoc::OnNewDocument() {
  file_.Close();
  blocks_.ResetToEmptyDocument();
  length_ = 0;
  ClearHistories();
  changeCounter_ = 0;
  path_.clear();
  loadedFromFile_ = false;
  editState_ = EditState::Editable;
  ChooseProfile(profiles_, {});
  ApplyOpenSettings();
  modified_ = false;
  title_ = std::string(StringField(ids::kStrDocTemplate, 2)) +
           std::to_string(host_.NextUntitledNumber());
  return true;
}

bool CVantrellDoc::OnOpenDocument(const std::string& path) {
  editState_ = EditState::Editable;
  if (!LoadFile(path)) return false;
  // The histories and the counter belong to the content that was replaced.
  ClearHistories();
  changeCounter_ = 0;
  loadedFromFile_ = true;
  path_ = path;
  ChooseProfile(profiles_, path);
  ApplyOpenSettings();
  modified_ = false;
  UpdateTitle();
  return true;
}

bool CVantrellDoc::OpenForLoading(const std::string& path) {
  PromptService& prompt = host_.Prompt();
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    prompt.Message(ids::kMsgReadFailed, {path});
    return false;
  }
  // Only regular files can be held in memory; positions are signed 32-bit.
  if (!S_ISREG(status.st_mode) || status.st_size > kMaxDocumentLength) {
    prompt.Message(ids::kMsgReadFailed, {path}, MessageIcon::Error);
    return false;
  }

  FileAccess access = FileAccess::ReadWrite;
  if (::access(path.c_str(), W_OK) != 0) {
    access = FileAccess::Read;
    editState_ = EditState::Browse;
  }
  OpenStatus opened = file_.Open(path, access, Share());
  if (opened == OpenStatus::SharingViolation) {
    if (prompt.Message(ids::kMsgLockedByOther, {}, MessageIcon::Question,
                       MessageButtons::OkCancel) != Answer::Ok)
      return false;
    opened = file_.Open(path, FileAccess::Read, ShareMode::ShareAll);
    if (opened == OpenStatus::Ok) editState_ = EditState::Browse;
  } else if (opened == OpenStatus::AccessDenied) {
    opened = file_.Open(path, FileAccess::Read, Share());
    if (opened == OpenStatus::Ok) editState_ = EditState::Browse;
  }
  if (opened != OpenStatus::Ok) {
    prompt.Message(ids::kMsgReadFailed, {path}, MessageIcon::Error);
    return false;
  }
  return true;
}

bool CVantrellDoc::LoadFile(const std::string& pathArgument) {
  const std::string path = pathArgument.empty() ? path_ : pathArgument;
  // A file held open is rewound, unless another program replaced it on disk
  // (saved by rename): then the name is opened anew to read the new content.
  if (file_.IsOpen() && SameFile(file_.Fd(), path)) {
    ::lseek(file_.Fd(), 0, SEEK_SET);
  } else {
    file_.Close();
    if (!OpenForLoading(path)) return false;
  }
  RememberFileStamp(path);

  BlockList loaded;
  const ReadResult result =
      ReadIntoBlocks(file_.Fd(), loaded, [this] { host_.ProcessPendingEvent(); });
  if (result != ReadResult::Ok) {
    file_.Close();
    host_.Prompt().Message(ids::kMsgReadFailed, {path}, MessageIcon::Error);
    return false;
  }
  blocks_.Swap(loaded);
  length_ = static_cast<DocPos>(blocks_.TotalLength());
  if (settings_.exclusive == 0) file_.Close();
  return true;
}

void CVantrellDoc::ApplyOpenSettings() {
  if (editState_ != EditState::Browse) {
    const bool editable =
        (path_.empty() && settings_.alwaysEditNewDocument) || !profile_.disableOpen;
    editState_ = editable ? EditState::Editable : EditState::Prohibited;
  }
  insertMode_ = profile_.insertOpen;
  byteOrder_ = profile_.byteOrder;
  characterSet_ = profile_.characterSet;
}

void CVantrellDoc::ChooseProfile(const std::vector<ExtProfile>& profiles, const std::string& path) {
  profile_ = ChooseExtProfile(profiles, path);
  textColours_ = profile_.TextColourTable();
}

// ---- Saving -----------------------------------------------------------------

bool CVantrellDoc::OnSaveDocument(const std::string& path) {
  while (!WriteWithBackup(path)) {
    if (host_.Prompt().Message(ids::kMsgSaveFailed, {path}, MessageIcon::Warning,
                               MessageButtons::RetryCancel) != Answer::Retry)
      return false;
  }
  if (settings_.clearUndo) {
    ClearHistories();
    changeCounter_ = 0;
  }
  ChooseProfile(profiles_, path);
  UpdateAllViews(nullptr, {hint::kExtensionReselected, 0, 0, 0, length_});
  return true;
}

bool CVantrellDoc::WriteWithBackup(const std::string& path) {
  // The backup is made only once the new content is safely on disk, so a
  // failed write leaves both the file and its backups as they were.
  auto backUp = [&] {
    struct stat status {};
    if (!settings_.BackupOn() || ::stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode))
      return;
    if (!MakeBackup(path, settings_.backupGenerations, settings_.backupFolder))
      host_.Prompt().Message(ids::kMsgBackupFailed);
  };
  return WriteFileWith(path, backUp);
}

bool CVantrellDoc::WriteFile(const std::string& path) { return WriteFileWith(path, {}); }

bool CVantrellDoc::WriteFileWith(const std::string& path,
                                 const std::function<void()>& beforeReplace) {
  if (!DocumentFileWriter::Write(path, blocks_, Share(), beforeReplace, file_)) return false;
  SetModifiedFlag(false);
  RememberFileStamp(path);
  if (settings_.exclusive == 0) file_.Close();
  return true;
}

bool CVantrellDoc::SaveAs(const std::string& path) {
  if (!OnSaveDocument(path)) return false;
  SetPathName(path);
  return true;
}

// ---- Reloading and change detection ----------------------------------------

bool CVantrellDoc::Reload() {
  blocks_.ResetToEmptyDocument();
  length_ = 0;
  ClearHistories();
  changeCounter_ = 0;
  const bool loaded = LoadFile(path_);
  if (loaded) SetModifiedFlag(false);
  if (marks_ != nullptr) marks_->OnReloaded(length_);
  if (bitImage_ != nullptr) bitImage_->Redraw();
  return loaded;
}

void CVantrellDoc::RememberFileStamp(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 && !(file_.IsOpen() && ::fstat(file_.Fd(), &status) == 0))
    return;
  stamp_ = {status.st_mtim.tv_sec, status.st_mtim.tv_nsec, status.st_size};
}

bool CVantrellDoc::HasFileChanged() {
  if (!loadedFromFile_) return false;
  // The name is what counts: another program may have replaced the file.
  struct stat status {};
  if (::stat(path_.c_str(), &status) != 0) return false;
  const FileStamp now{status.st_mtim.tv_sec, status.st_mtim.tv_nsec, status.st_size};
  if (now == stamp_) return false;
  stamp_ = now;
  return true;
}

void CVantrellDoc::OnCloseDocument() {
  file_.Close();
  ClearHistories();
  views_.clear();
}

// ---- Settings -----------------------------------------------------------------

void CVantrellDoc::ApplySettings(const DocumentSettings& settings) {
  settings_ = settings;
  if (loadedFromFile_) UpdateTitle();
  UpdateAllViews(nullptr, {hint::kSettingsChanged, 0, 0, 0, length_});
}

void CVantrellDoc::ReselectExtension(std::vector<ExtProfile> profiles) {
  if (!profiles.empty()) profiles_ = std::move(profiles);
  ChooseProfile(profiles_, path_);
  UpdateAllViews(nullptr, {hint::kExtensionReselected, 0, 0, 0, length_});
}

// ---- Title and flags ------------------------------------------------------------

void CVantrellDoc::SetPathName(const std::string& path) {
  path_ = path;
  loadedFromFile_ = true;
  UpdateTitle();
}

void CVantrellDoc::SetTitle(const std::string& title) { title_ = title; }

void CVantrellDoc::UpdateTitle() {
  title_ = settings_.fullPath ? path_ : FileNameOf(path_);
  if (modified_) title_ += " *";
}

void CVantrellDoc::SetModifiedFlag(bool modified) {
  modified_ = modified;
  if (loadedFromFile_) {
    UpdateTitle();
  } else {
    const bool marked = title_.size() >= 2 && title_.compare(title_.size() - 2, 2, " *") == 0;
    if (modified && !marked) title_ += " *";
    if (!modified && marked) title_.resize(title_.size() - 2);
  }
  host_.OnModifiedFlagChanged(*this, modified);
}

bool CVantrellDoc::SetEditProhibited(bool prohibited) {
  if (editState_ == EditState::Browse) return false;
  editState_ = prohibited ? EditState::Prohibited : EditState::Editable;
  return true;
}

// ---- Views ------------------------------------------------------------------------

void CVantrellDoc::AddView(DocumentView* view) {
  if (std::find(views_.begin(), views_.end(), view) == views_.end()) views_.push_back(view);
}

void CVantrellDoc::RemoveView(DocumentView* view) {
  views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

void CVantrellDoc::UpdateAllViews(DocumentView* sender, const UpdateHint& hint) {
  // A view may close itself while being told; iterate over a copy.
  const std::vector<DocumentView*> views = views_;
  for (DocumentView* view : views) view->OnDocumentUpdate(sender, hint);
}

void CVantrellDoc::ClearHistories() {
  undo_.clear();
  undo_.shrink_to_fit();
  redo_.clear();
  redo_.shrink_to_fit();
}

}  // namespace vantrell
