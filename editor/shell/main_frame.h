#pragma once

#include <QElapsedTimer>
#include <QMainWindow>

#include <map>
#include <memory>

#include "document/document_host.h"
#include "document/program_clipboard.h"
#include "shell/command_target.h"
#include "shell/qt_prompt_service.h"
#include "shell/settings_snapshot.h"
#include "shell/vantrell_doc_manager.h"
#include "shell/vantrell_recent_file_list.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace vantrell {

class CChildFrame;
class CVantrellView;

// The main window: a multiple-document area with the numbered commands, the
// menus and the status bar; the host of every document.
class CMainFrame : public QMainWindow, public DocumentHost, public CommandTarget {
  Q_OBJECT

 public:
  explicit CMainFrame(SettingsSnapshot settings = {},
                      std::unique_ptr<CVantrellRecentFileList> recentFiles = nullptr);
  ~CMainFrame() override;

  // The common road of every open: missing and read-only files are dealt
  // with here; an open file is only activated. Returns the document or nullptr.
  CVantrellDoc* OpenDocumentFile(const QString& path);
  CVantrellDoc* NewDocument();
  // Runs a numbered command through the active view, then this frame.
  void RunCommand(int command);
  [[nodiscard]] CommandState CommandStateOf(int command);
  [[nodiscard]] QAction* Action(int command) const;

  [[nodiscard]] CVantrellDocManager& DocManager() { return docManager_; }
  [[nodiscard]] QMdiArea* MdiArea() const { return mdi_; }
  [[nodiscard]] CVantrellView* ActiveView() const;
  [[nodiscard]] CChildFrame* ActiveFrame() const;
  [[nodiscard]] CVantrellRecentFileList* RecentFiles() const { return recentFiles_.get(); }
  [[nodiscard]] const SettingsSnapshot& Settings() const { return settings_; }
  void SetPromptService(PromptService* prompt) { promptOverride_ = prompt; }

  // A file name from a second start: open it and come to the front.
  void OnFileHandedOver(const QString& path);
  // Asked by a child frame before it closes: saves or discards the document
  // of its last view; false keeps the frame open.
  bool CanCloseFrame(CChildFrame& frame);
  // Checks the active document for changes by another program.
  void CheckActiveFileChanged();

  // DocumentHost
  PromptService& Prompt() override;
  ProgramClipboard& Clipboard() override { return clipboard_; }
  int NextUntitledNumber() override { return ++untitledCount_; }
  void OnModifiedFlagChanged(CVantrellDoc& document, bool modified) override;
  void ProcessPendingEvent() override;

  // CommandTarget
  bool OnCommand(int command) override;
  bool OnUpdateCommand(int command, CommandState& state) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateActions();
  QAction* AddAction(int command, const QString& text, const QString& prompt);
  void BuildMenus();
  void UpdateRecentMenu(QMenu* menu);
  void UpdateCommandStates();
  void CreateStatusPanes();
  void UpdateStatusPanes();
  CChildFrame* CreateFrame(CVantrellDoc& document);
  void ActivateDocument(CVantrellDoc& document);
  std::vector<CChildFrame*> FramesOf(const CVantrellDoc& document) const;
  bool SaveDocument(CVantrellDoc& document, bool askName);
  // The save-changes question for a modified document: false on Cancel.
  bool SaveModified(CVantrellDoc& document);
  void CloseDocumentFrames(CVantrellDoc& document);
  bool CloseAll(bool ask);
  bool SaveAll();
  void ShowWindowList();
  void OnSubWindowActivated(QMdiSubWindow* window);

  SettingsSnapshot settings_;
  std::unique_ptr<CVantrellRecentFileList> recentFiles_;
  QtPromptService prompt_;
  PromptService* promptOverride_ = nullptr;
  ProgramClipboard clipboard_;
  CVantrellDocManager docManager_;
  int untitledCount_ = 0;
  QMdiArea* mdi_;
  std::map<int, QAction*> actions_;
  bool hadDocuments_ = false;
  bool checkingFile_ = false;
  bool closingDocument_ = false;
  QElapsedTimer pendingEventsTimer_;
  std::vector<std::pair<int, QLabel*>> statusPanes_;
};

}  // namespace vantrell
