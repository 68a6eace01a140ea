#include "main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

#include <unistd.h>
#include <sys/stat.h>

#include "document/block_cursor.h"
#include "resources/string_table.h"
#include "shell/qt_text.h"
#include "shell/child_frame.h"
#include "shell/command_ids.h"
#include "shell/file_changed_dialog.h"
#include "shell/status_items.h"
#include "shell/vantrell_recent_file_list.h"
#include "shell/window_list_dialog.h"
#include "view/vantrell_view.h"

namespace vantrell {

namespace {

struct CharacterSetCommand {
  int command;
  CharacterSet set;
  const char* text;
  const char* prompt;
};

const CharacterSetCommand kCharacterSetCommands[] = {
    {cmd::kCharSetAscii, CharacterSet::Ascii, "ASCII(&A)", "ｷｬﾗｸﾀｰｾｯﾄをASCIIに変更"},
    {cmd::kCharSetShiftJis, CharacterSet::ShiftJis, "SHIFT-ＪＩＳ(&S)", "ｷｬﾗｸﾀｰｾｯﾄをｼﾌﾄJISに変更"},
    {cmd::kCharSetEuc, CharacterSet::Euc, "EUC(&E)", "ｷｬﾗｸﾀｰｾｯﾄをEUCに変更"},
    {cmd::kCharSetUnicode, CharacterSet::Unicode, "Unicode(&U)", "ｷｬﾗｸﾀｰｾｯﾄをUnicodeに変更"},
    {cmd::kCharSetEbcdic, CharacterSet::Ebcdic, "EBCDIC(&C)", "ｷｬﾗｸﾀｰｾｯﾄをEBCDICに変更"},
    {cmd::kCharSetEbcidk, CharacterSet::Ebcidk, "EBCIDK(&K)", "ｷｬﾗｸﾀｰｾｯﾄをEBCIDKに変更"},
};

}  // namespace

CMainFrame::CMainFrame(SettingsSnapshot settings,
                       std::unique_ptr<CVantrellRecentFileList> recentFiles)
    : settings_(std::move(settings)),
      recentFiles_(std::move(recentFiles)),
      prompt_(this),
      docManager_(*this),
      mdi_(new QMdiArea) {
  setWindowTitle(QtText(ids::kStrAppTitle));
  setCentralWidget(mdi_);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setAcceptDrops(true);
  CreateActions();
  BuildMenus();
  connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
    if (message.isEmpty()) statusBar()->showMessage(QtText(ids::kStrReady));
  });
  statusBar()->showMessage(QtText(ids::kStrReady));
  CreateStatusPanes();
  connect(mdi_, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);
  auto* idle = new QTimer(this);
  connect(idle, &QTimer::timeout, this, &CMainFrame::UpdateCommandStates);
  idle->start(250);
  resize(900, 640);
}

CMainFrame::~CMainFrame() {
  closingDocument_ = true;
  // Views go before the documents they show.
  for (QMdiSubWindow* window : mdi_->subWindowList()) delete window;
}

PromptService& CMainFrame::Prompt() {
  return promptOverride_ != nullptr ? *promptOverride_ : static_cast<PromptService&>(prompt_);
}

// ---- Commands -----------------------------------------------------------------

QAction* CMainFrame::AddAction(int command, const QString& text, const QString& prompt) {
  auto* action = new QAction(text, this);
  action->setData(command);
  action->setStatusTip(prompt);
  connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
  actions_[command] = action;
  return action;
}

QAction* CMainFrame::Action(int command) const {
  const auto it = actions_.find(command);
  return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::CreateActions() {
  AddAction(cmd::kFileNew, "新規作成(&N)", "新規にﾌｧｲﾙを作成");
  AddAction(cmd::kFileOpen, "開く(&O)...", "既存のﾌｧｲﾙを開く");
  AddAction(cmd::kFileClose, "閉じる(&C)", "作業中のﾌｧｲﾙを閉じる");
  AddAction(cmd::kFileSave, "上書き保存(&S)", "作業中のﾌｧｲﾙを保存");
  AddAction(cmd::kFileSaveAs, "名前を付けて保存(&A)...", "作業中のﾌｧｲﾙに名前を付けて保存");
  AddAction(cmd::kSaveAndClose, "保存して閉じる", "編集中のﾌｧｲﾙを保存して閉じる");
  AddAction(cmd::kCloseAll, "全て閉じる", "編集中の全てのﾌｧｲﾙを閉じる");
  AddAction(cmd::kSaveAll, "全て保存", "編集中の全てのﾌｧｲﾙを保存する");
  AddAction(cmd::kDiscardAll, "全て破棄", "編集中の全てのﾌｧｲﾙを破棄する");
  AddAction(cmd::kSaveAllAndExit, "全保存終了", "全てのﾌｧｲﾙを保存してｱﾌﾟﾘｹｰｼｮﾝを終了");
  AddAction(cmd::kDiscardAllAndExit, "全破棄終了", "全てのﾌｧｲﾙを破棄してｱﾌﾟﾘｹｰｼｮﾝを終了");
  AddAction(cmd::kAppExit, "終了(&X)", "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示");
  for (int command = cmd::kRecentFileFirst; command <= cmd::kRecentFileLast; ++command)
    AddAction(command, QString(), "指定のﾌｧｲﾙを開く");
  AddAction(cmd::kEditUndo, "元に戻す(&U)", "直前に行った動作を元に戻す");
  AddAction(cmd::kEditRedo, "やり直し(&R)", "直前に行った動作をやり直す");
  AddAction(cmd::kEditCut, "切り取り(&T)", "選択範囲を切り取ってｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存");
  AddAction(cmd::kEditCopy, "コピー(&C)", "選択範囲をｺﾋﾟｰしてｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存");
  AddAction(cmd::kEditPaste, "貼り付け(&P)", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容を貼り付け");
  AddAction(cmd::kWindowNew, "新しいｳｨﾝﾄﾞｳを開く(&N)", "作業中のｳｨﾝﾄﾞｳを複写して表示");
  AddAction(cmd::kWindowCascade, "重ねて表示(&C)", "ｳｨﾝﾄﾞｳを重ねて表示");
  AddAction(cmd::kWindowTileHorizontal, "上下に並べて表示(&H)", "ｳｨﾝﾄﾞｳを上下に並べて表示");
  AddAction(cmd::kWindowTileVertical, "左右に並べて表示(&V)", "ｳｨﾝﾄﾞｳを左右に並べて表示");
  AddAction(cmd::kWindowArrange, "ｱｲｺﾝの整列(&A)", "ｳｨﾝﾄﾞｳの下部にｱｲｺﾝを整列");
  AddAction(cmd::kNextWindow, "次のウィンドウ", "次のｳｨﾝﾄﾞｳに切替");
  AddAction(cmd::kWindowList, "ウィンドウ一覧...", "ｳｨﾝﾄﾞｳの一覧を表示");
  AddAction(cmd::kWindowSizeAdjust, "ｳｨﾝﾄﾞｳｻｲｽﾞ補正(&J)", "表示ﾊﾞｲﾄ数に応じてｳｨﾝﾄﾞｳｻｲｽﾞを補正");
  AddAction(cmd::kGoToAddress, "指定アドレスへ移動...", "指定アドレスへ移動");
  AddAction(cmd::kSelectRange, "範囲を指定して選択...", "範囲を指定して選択");
  AddAction(cmd::kGoToLastChange, "最終変更箇所", "最終変更箇所へ移動");
  AddAction(cmd::kFillSelection, "選択範囲の初期化...", "選択範囲を指定ﾃﾞｰﾀで初期化");
  AddAction(cmd::kSaveSelection, "選択範囲保存...", "選択範囲をﾌｧｲﾙに保存");
  AddAction(cmd::kRevert, "編集前に戻す", "編集内容を破棄してﾌｧｲﾙを再読み込み");
  AddAction(cmd::kSelectAll, "全て選択", "全て選択");
  AddAction(cmd::kInsertOverwrite, "上書／挿入切替", "上書／挿入切替");
  AddAction(cmd::kEditProhibit, "編集禁止", "編集禁止")->setCheckable(true);
  for (const CharacterSetCommand& c : kCharacterSetCommands)
    AddAction(c.command, c.text, c.prompt)->setCheckable(true);
  AddAction(cmd::kByteOrderLittle, "ﾘﾄﾙｴﾝﾃﾞｨｱﾝ(&L)", "ﾊﾞｲﾄｵｰﾀﾞｰをﾘﾄﾙｴﾝﾃﾞｨｱﾝに設定")->setCheckable(true);
  AddAction(cmd::kByteOrderBig, "ﾋﾞｯｸﾞｴﾝﾃﾞｨｱﾝ(&B)", "ﾊﾞｲﾄｵｰﾀﾞｰをﾋﾞｯｸﾞｴﾝﾃﾞｨｱﾝに設定")->setCheckable(true);
  Action(cmd::kFileOpen)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  Action(cmd::kFileSave)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  Action(cmd::kFileNew)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
}

// Menu 128 without a document, menu 129 with one.
void CMainFrame::BuildMenus() {
  const bool withDocument = !mdi_->subWindowList().isEmpty();
  menuBar()->clear();
  QMenu* file = menuBar()->addMenu("ﾌｧｲﾙ(&F)");
  file->addAction(Action(cmd::kFileNew));
  file->addAction(Action(cmd::kFileOpen));
  if (withDocument) {
    file->addAction(Action(cmd::kFileClose));
    file->addSeparator();
    file->addAction(Action(cmd::kFileSave));
    file->addAction(Action(cmd::kFileSaveAs));
    file->addSeparator();
    for (int command : {cmd::kSaveAndClose, cmd::kCloseAll, cmd::kSaveAll, cmd::kDiscardAll,
                        cmd::kSaveAllAndExit, cmd::kDiscardAllAndExit})
      file->addAction(Action(command));
  }
  file->addSeparator();
  QAction* recentEnd = file->addSeparator();
  file->addAction(Action(cmd::kAppExit));
  connect(file, &QMenu::aboutToShow, this, [this, file, recentEnd] {
    for (int command = cmd::kRecentFileFirst; command <= cmd::kRecentFileLast; ++command)
      file->removeAction(Action(command));
    if (recentFiles_ != nullptr) {
      const auto texts = recentFiles_->MenuItemTexts();
      for (int i = 0; i < static_cast<int>(texts.size()) && i < 16; ++i) {
        QAction* action = Action(cmd::kRecentFileFirst + i);
        action->setText(QString::fromStdString(texts[i]));
        file->insertAction(recentEnd, action);
      }
    }
    UpdateCommandStates();
  });
  if (withDocument) {
    QMenu* edit = menuBar()->addMenu("編集(&E)");
    for (int command : {cmd::kEditUndo, cmd::kEditRedo})
      edit->addAction(Action(command));
    edit->addSeparator();
    for (int command : {cmd::kEditCut, cmd::kEditCopy, cmd::kEditPaste})
      edit->addAction(Action(command));
    edit->addSeparator();
    for (int command : {cmd::kSelectAll, cmd::kSelectRange, cmd::kFillSelection, cmd::kSaveSelection,
                        cmd::kRevert, cmd::kInsertOverwrite, cmd::kEditProhibit})
      edit->addAction(Action(command));
    QMenu* find = menuBar()->addMenu("検索・移動(&S)");
    find->addAction(Action(cmd::kGoToAddress));
    find->addAction(Action(cmd::kGoToLastChange));
    connect(find, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    connect(edit, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    QMenu* settings = menuBar()->addMenu("設定(&O)");
    QMenu* sets = settings->addMenu("ｷｬﾗｸﾀｰｾｯﾄ(&C)");
    for (const CharacterSetCommand& c : kCharacterSetCommands) sets->addAction(Action(c.command));
    QMenu* order = settings->addMenu("ﾊﾞｲﾄｵｰﾀﾞｰ(&B)");
    order->addAction(Action(cmd::kByteOrderLittle));
    order->addAction(Action(cmd::kByteOrderBig));
    QMenu* window = menuBar()->addMenu("ｳｨﾝﾄﾞｳ(&W)");
    for (int command : {cmd::kWindowNew, cmd::kWindowCascade, cmd::kWindowTileHorizontal,
                        cmd::kWindowTileVertical, cmd::kWindowArrange})
      window->addAction(Action(command));
    window->addSeparator();
    window->addAction(Action(cmd::kNextWindow));
    window->addAction(Action(cmd::kWindowList));
    window->addAction(Action(cmd::kWindowSizeAdjust));
    connect(settings, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    connect(window, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
  }
  hadDocuments_ = withDocument;
}

void CMainFrame::RunCommand(int command) {
  // The active view first, then the frame.
  if (CVantrellView* view = ActiveView(); view != nullptr && view->OnCommand(command)) return;
  OnCommand(command);
}

CommandState CMainFrame::CommandStateOf(int command) {
  CommandState state;
  if (CVantrellView* view = ActiveView(); view != nullptr && view->OnUpdateCommand(command, state))
    return state;
  OnUpdateCommand(command, state);
  return state;
}

void CMainFrame::CreateStatusPanes() {
  const QFontMetrics metrics(statusBar()->font());
  for (int item : DefaultStatusItems()) {
    auto* pane = new QLabel;
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(metrics.horizontalAdvance(QString::fromStdString(StatusItemWidthText(item))) + 8);
    statusBar()->addPermanentWidget(pane);
    statusPanes_.emplace_back(item, pane);
  }
}

void CMainFrame::UpdateStatusPanes() {
  StatusState state;
  if (CVantrellView* view = ActiveView()) {
    CVantrellDoc& document = view->Document();
    state.documentActive = true;
    state.caret = static_cast<std::uint32_t>(view->CaretAddress());
    state.size = static_cast<std::uint32_t>(document.Length());
    state.insertMode = document.InsertMode();
    state.modified = document.IsModified();
    state.editState = document.GetEditState();
    state.characterSet = document.GetCharacterSet();
    state.byteOrder = document.GetByteOrder();
    const DocPos available = std::min<DocPos>(8, document.Length() - view->CaretAddress());
    state.atCaret.resize(std::max<DocPos>(0, available));
    BlockCursor cursor(document.Blocks());
    if (available > 0 && cursor.Seek(view->CaretAddress()))
      cursor.ReadBytes(available, state.atCaret.data());
  }
  for (const auto& [item, pane] : statusPanes_)
    pane->setText(QString::fromStdString(StatusItemText(item, state)));
}

void CMainFrame::UpdateCommandStates() {
  UpdateStatusPanes();
  for (const auto& [command, action] : actions_) {
    const CommandState state = CommandStateOf(command);
    action->setEnabled(state.enabled);
    if (action->isCheckable()) action->setChecked(state.checked);
  }
}

bool CMainFrame::OnUpdateCommand(int command, CommandState& state) {
  CVantrellView* view = ActiveView();
  state = {};
  switch (command) {
    case cmd::kFileNew:
    case cmd::kFileOpen:
    case cmd::kAppExit:
      return true;
    default:
      break;
  }
  if (command >= cmd::kRecentFileFirst && command <= cmd::kRecentFileLast) return true;
  state.enabled = view != nullptr;
  if (command == cmd::kNextWindow) state.enabled = mdi_->subWindowList().size() > 1;
  if (command == cmd::kWindowSizeAdjust && view != nullptr)
    state.enabled = !ActiveFrame()->isMaximized() && !ActiveFrame()->isMinimized();
  if (view != nullptr) {
    for (const CharacterSetCommand& c : kCharacterSetCommands)
      if (c.command == command) state.checked = view->Document().GetCharacterSet() == c.set;
    if (command == cmd::kByteOrderLittle)
      state.checked = view->Document().GetByteOrder() == ByteOrder::LittleEndian;
    if (command == cmd::kByteOrderBig)
      state.checked = view->Document().GetByteOrder() == ByteOrder::BigEndian;
  }
  return true;
}

bool CMainFrame::OnCommand(int command) {
  if (!CommandStateOf(command).enabled) return false;
  CVantrellView* view = ActiveView();
  CVantrellDoc* document = view != nullptr ? &view->Document() : nullptr;
  if (command >= cmd::kRecentFileFirst && command <= cmd::kRecentFileLast) {
    const int index = command - cmd::kRecentFileFirst;
    if (recentFiles_ == nullptr || index >= recentFiles_->Size()) return true;
    const std::string path = recentFiles_->Path(index);
    if (OpenDocumentFile(QString::fromStdString(path)) == nullptr && !QFileInfo::exists(QString::fromStdString(path)))
      recentFiles_->Remove(index);
    return true;
  }
  for (const CharacterSetCommand& c : kCharacterSetCommands) {
    if (c.command != command) continue;
    document->SetCharacterSet(c.set);
    document->UpdateAllViews(nullptr, {hint::kCharacterSetChanged, 0, 0, 0, document->Length()});
    return true;
  }
  switch (command) {
    case cmd::kFileNew:
      NewDocument();
      return true;
    case cmd::kFileOpen: {
      const QString path = CVantrellDocManager::DoPromptFileName(this, "開く", true, settings_);
      if (!path.isEmpty()) OpenDocumentFile(path);
      return true;
    }
    case cmd::kFileClose:
      for (CChildFrame* frame : FramesOf(*document)) {
        if (!frame->close()) break;
      }
      return true;
    case cmd::kFileSave:
      SaveDocument(*document, !document->IsLoadedFromFile());
      return true;
    case cmd::kFileSaveAs:
      SaveDocument(*document, true);
      return true;
    case cmd::kSaveAndClose:
      if (SaveDocument(*document, !document->IsLoadedFromFile()))
        QTimer::singleShot(0, this, [this] { RunCommand(cmd::kFileClose); });
      return true;
    case cmd::kCloseAll:
      CloseAll(true);
      return true;
    case cmd::kSaveAll:
      SaveAll();
      return true;
    case cmd::kDiscardAll:
      if (Prompt().Message(ids::kMsgDiscardAll, {}, MessageIcon::Question,
                           MessageButtons::OkCancel) == Answer::Ok)
        CloseAll(false);
      return true;
    case cmd::kSaveAllAndExit:
      SaveAll();
      if (CloseAll(true)) QTimer::singleShot(0, this, &QWidget::close);
      return true;
    case cmd::kDiscardAllAndExit:
      if (Prompt().Message(ids::kMsgDiscardAll, {}, MessageIcon::Question,
                           MessageButtons::OkCancel) == Answer::Ok) {
        CloseAll(false);
        QTimer::singleShot(0, this, &QWidget::close);
      }
      return true;
    case cmd::kAppExit:
      close();
      return true;
    case cmd::kWindowNew:
      CreateFrame(*document);
      return true;
    case cmd::kWindowCascade:
      mdi_->cascadeSubWindows();
      return true;
    case cmd::kWindowTileHorizontal:
    case cmd::kWindowTileVertical: {
      const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
      const QRect area = mdi_->viewport()->rect();
      const int n = static_cast<int>(windows.size());
      for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        if (command == cmd::kWindowTileHorizontal)
          windows[i]->setGeometry(0, area.height() * i / n, area.width(), area.height() / n);
        else
          windows[i]->setGeometry(area.width() * i / n, 0, area.width() / n, area.height());
      }
      return true;
    }
    case cmd::kWindowArrange: {
      int x = 0;
      for (QMdiSubWindow* window : mdi_->subWindowList()) {
        if (!window->isMinimized()) continue;
        window->move(x, mdi_->viewport()->height() - window->height());
        x += window->width();
      }
      return true;
    }
    case cmd::kNextWindow:
      mdi_->activateNextSubWindow();
      return true;
    case cmd::kWindowSizeAdjust: {
      CChildFrame* frame = ActiveFrame();
      if (frame->isMaximized() || frame->isMinimized()) {
        Prompt().Beep();
        return true;
      }
      frame->AdjustSize(mdi_->viewport()->width());
      return true;
    }
    case cmd::kWindowList:
      ShowWindowList();
      return true;
    case cmd::kByteOrderLittle:
    case cmd::kByteOrderBig:
      document->SetByteOrder(command == cmd::kByteOrderBig ? ByteOrder::BigEndian
                                                           : ByteOrder::LittleEndian);
      return true;
    default:
      return false;
  }
}

// ---- Documents and frames -------------------------------------------------------

CVantrellDoc* CMainFrame::OpenDocumentFile(const QString& given) {
  QString name = given;
  if (name.startsWith('"')) name.remove(0, 1);
  if (const int quote = name.lastIndexOf('"'); quote >= 0) name.truncate(quote);
  const std::string path = LongPathForm(name.toStdString());
  const QFileInfo info(QString::fromStdString(path));
  if (!info.exists()) {
    Prompt().Message(ids::kMsgNotFound, {name.toStdString()});
    return nullptr;
  }
  if (CVantrellDoc* open = docManager_.FindDocument(path)) {
    ActivateDocument(*open);
    return open;
  }
  if (info.isFile() && ::access(path.c_str(), W_OK) != 0) {
    switch (Prompt().Message(ids::kMsgReadOnlyFile, {}, MessageIcon::Question,
                             MessageButtons::YesNoCancel)) {
      case Answer::Yes: {
        struct stat status {};
        if (::stat(path.c_str(), &status) == 0) ::chmod(path.c_str(), status.st_mode | S_IWUSR);
        break;
      }
      case Answer::No:
        break;  // the document opens it for reading only
      default:
        return nullptr;
    }
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  CVantrellDoc* document = docManager_.OpenDocumentFile(path, settings_);
  QApplication::restoreOverrideCursor();
  if (document == nullptr) return nullptr;
  CChildFrame* frame = CreateFrame(*document);
  if (recentFiles_ != nullptr) {
    const std::int32_t address = recentFiles_->Add(path);
    if (settings_.restoreCaret && address >= 0 && address <= document->Length()) {
      CVantrellView* view = frame->View();
      view->SetCaret(address, view->CaretInCharacterPane());
      view->SetTopLine(std::max<std::int64_t>(
          0, address / view->Geometry().bytesPerLine - view->PageLines() / 2));
    }
  }
  return document;
}

CVantrellDoc* CMainFrame::NewDocument() {
  CVantrellDoc* document = docManager_.NewDocument(settings_);
  CreateFrame(*document);
  return document;
}

CChildFrame* CMainFrame::CreateFrame(CVantrellDoc& document) {
  auto* view = new CVantrellView(document, settings_.view, Prompt());
  auto* frame = new CChildFrame(*this, view);
  connect(view, &CVantrellView::statusMessage, this, [this](const QString& text) {
    statusBar()->showMessage(text.isEmpty() ? QtText(ids::kStrReady) : text);
  });
  connect(view, &CVantrellView::nextWindowRequested, mdi_, &QMdiArea::activateNextSubWindow);
  connect(view, &CVantrellView::commandRequested, this, &CMainFrame::RunCommand);
  connect(view, &CVantrellView::closeRequested, this, [this, doc = &document] {
    QTimer::singleShot(0, this, [this, doc] {
      if (docManager_.IsOpen(doc)) CloseDocumentFrames(*doc);
    });
  });
  mdi_->addSubWindow(frame);
  const int width = frame->InitialWidth(mdi_->viewport()->width());
  frame->resize(width, std::max(200, mdi_->viewport()->height() * 3 / 4));
  connect(view, &QObject::destroyed, this, [this, doc = &document] {
    // The last view of a document has gone: the document goes with it.
    QTimer::singleShot(0, this, [this, doc] {
      if (docManager_.IsOpen(doc)) {
        if (doc->Views().empty()) {
          docManager_.CloseDocument(doc);
        } else {
          for (CChildFrame* other : FramesOf(*doc)) other->UpdateTitle();  // renumbered
        }
      }
      if (mdi_->subWindowList().isEmpty() == hadDocuments_) BuildMenus();
    });
  });
  if (settings_.maximizeDocument) {
    frame->showMaximized();
  } else {
    // New windows cascade from the top-left corner, inside the area.
    const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame) + 4;
    const int n = static_cast<int>(mdi_->subWindowList().size()) - 1;
    const QSize area = mdi_->viewport()->size();
    const int x = std::max(0, std::min(n * step, area.width() - frame->width()));
    const int y = std::max(0, std::min(n * step, area.height() - frame->height()));
    frame->show();  // the area places a window when it first shows; ours goes after
    frame->move(x, y);
  }
  for (CChildFrame* other : FramesOf(document)) other->UpdateTitle();
  if (!hadDocuments_) BuildMenus();
  mdi_->setActiveSubWindow(frame);
  view->setFocus();
  return frame;
}

std::vector<CChildFrame*> CMainFrame::FramesOf(const CVantrellDoc& document) const {
  std::vector<CChildFrame*> frames;
  for (QMdiSubWindow* window : mdi_->subWindowList())
    if (auto* frame = qobject_cast<CChildFrame*>(window); frame && &frame->Document() == &document)
      frames.push_back(frame);
  return frames;
}

void CMainFrame::ActivateDocument(CVantrellDoc& document) {
  const auto frames = FramesOf(document);
  if (frames.empty()) return;
  mdi_->setActiveSubWindow(frames.front());
  raise();
  activateWindow();
}

CVantrellView* CMainFrame::ActiveView() const {
  CChildFrame* frame = ActiveFrame();
  return frame != nullptr ? frame->View() : nullptr;
}

CChildFrame* CMainFrame::ActiveFrame() const {
  QMdiSubWindow* window = mdi_->activeSubWindow();
  if (window == nullptr && !mdi_->subWindowList().isEmpty())
    window = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder).last();
  return qobject_cast<CChildFrame*>(window);
}

bool CMainFrame::SaveDocument(CVantrellDoc& document, bool askName) {
  std::string path = document.GetPathName();
  if (askName || path.empty()) {
    const QString chosen =
        CVantrellDocManager::DoPromptFileName(this, "名前を付けて保存", false, settings_);
    if (chosen.isEmpty()) return false;
    path = chosen.toStdString();
    if (!document.SaveAs(path)) return false;
    if (recentFiles_ != nullptr) recentFiles_->Add(LongPathForm(path));
  } else if (!document.OnSaveDocument(path)) {
    return false;
  }
  for (CChildFrame* frame : FramesOf(document)) frame->UpdateTitle();
  return true;
}

bool CMainFrame::SaveModified(CVantrellDoc& document) {
  if (!document.IsModified()) return true;
  std::string title = document.GetTitle();
  if (title.size() >= 2 && title.compare(title.size() - 2, 2, " *") == 0) title.resize(title.size() - 2);
  switch (Prompt().Message(ids::kMsgAskToSave, {title}, MessageIcon::Warning,
                           MessageButtons::YesNoCancel)) {
    case Answer::Yes:
      return SaveDocument(document, !document.IsLoadedFromFile());
    case Answer::No:
      return true;
    default:
      return false;
  }
}

bool CMainFrame::CanCloseFrame(CChildFrame& frame) {
  CVantrellDoc& document = frame.Document();
  if (recentFiles_ != nullptr && !document.GetPathName().empty())
    recentFiles_->SetAddress(LongPathForm(document.GetPathName()), frame.View()->CaretAddress());
  if (closingDocument_ || FramesOf(document).size() > 1) return true;
  return SaveModified(document);
}

void CMainFrame::CloseDocumentFrames(CVantrellDoc& document) {
  closingDocument_ = true;
  for (CChildFrame* frame : FramesOf(document)) frame->close();
  closingDocument_ = false;
}

bool CMainFrame::CloseAll(bool ask) {
  std::vector<CVantrellDoc*> documents;
  for (const auto& owned : docManager_.Documents()) documents.push_back(owned.get());
  if (ask) {
    for (CVantrellDoc* document : documents)
      if (!SaveModified(*document)) return false;  // cancelled: nothing closes
  }
  for (CVantrellDoc* document : documents) CloseDocumentFrames(*document);
  return true;
}

bool CMainFrame::SaveAll() {
  std::vector<CVantrellDoc*> documents;
  for (const auto& owned : docManager_.Documents()) documents.push_back(owned.get());
  bool all = true;
  for (CVantrellDoc* document : documents) {
    if (!document->IsModified()) continue;
    while (!SaveDocument(*document, !document->IsLoadedFromFile())) {
      std::string title = document->GetTitle();
      if (Prompt().Message(ids::kMsgSaveThisOne, {title}, MessageIcon::Question,
                           MessageButtons::YesNo) != Answer::Yes) {
        all = false;
        break;
      }
    }
  }
  return all;
}

void CMainFrame::ShowWindowList() {
  CWindowListDialog dialog(mdi_->subWindowList(), mdi_->activeSubWindow(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  QMdiSubWindow* chosen = dialog.OpenRequested() ? nullptr : dialog.ChosenWindow();
  if (chosen != nullptr) {
    mdi_->setActiveSubWindow(chosen);
    return;
  }
  const QString path = CVantrellDocManager::DoPromptFileName(this, "開く", true, settings_);
  if (!path.isEmpty()) OpenDocumentFile(path);
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
  if (window == nullptr) return;
  // Like a posted message: the check runs once the activation is complete.
  QTimer::singleShot(0, this, &CMainFrame::CheckActiveFileChanged);
}

void CMainFrame::CheckActiveFileChanged() {
  CChildFrame* frame = ActiveFrame();
  if (frame == nullptr || checkingFile_) return;
  CVantrellDoc& document = frame->Document();
  if (!document.HasFileChanged()) return;
  checkingFile_ = true;
  CFileChangedDialog dialog(QString::fromStdString(document.GetPathName()), Prompt(), this);
  const bool answered = dialog.exec() == QDialog::Accepted;
  checkingFile_ = false;
  if (!answered) return;
  switch (dialog.Choice()) {
    case FileChangedChoice::Ignore:
      break;
    case FileChangedChoice::Reload:
      if (document.Reload()) {
        document.UpdateAllViews(nullptr, {hint::kReloaded, 0, 0, 0, document.Length()});
      } else {
        document.SetModifiedFlag(false);
        CloseDocumentFrames(document);
      }
      break;
    case FileChangedChoice::SaveCopy:
      if (document.SaveCopyAs(dialog.CopyName().toStdString()))
        for (CChildFrame* other : FramesOf(document)) other->UpdateTitle();
      break;
  }
}

void CMainFrame::OnFileHandedOver(const QString& path) {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  if (QWidget* dialog = QApplication::activeModalWidget()) {
    // The innermost open dialog comes to the front instead.
    dialog->raise();
    dialog->activateWindow();
  }
  if (!path.isEmpty()) OpenDocumentFile(path);
}

void CMainFrame::OnModifiedFlagChanged(CVantrellDoc& document, bool) {
  for (CChildFrame* frame : FramesOf(document)) frame->UpdateTitle();
}

void CMainFrame::ProcessPendingEvent() {
  // Keeps the window painted during a long load; input waits until the end.
  // Once a frame's time is enough: more often only slows the load down.
  if (pendingEventsTimer_.isValid() && pendingEventsTimer_.elapsed() < 16) return;
  pendingEventsTimer_.start();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (recentFiles_ != nullptr) {
    std::vector<OpenDocumentCaret> carets;
    for (const auto& owned : docManager_.Documents()) {
      const auto frames = FramesOf(*owned);
      if (!frames.empty())
        carets.push_back({LongPathForm(owned->GetPathName()), frames.front()->View()->CaretAddress()});
    }
    recentFiles_->RefreshAddresses(carets);
  }
  if (!CloseAll(true)) {
    event->ignore();
    return;
  }
  if (recentFiles_ != nullptr) recentFiles_->WriteList();
  event->accept();
}

}  // namespace vantrell
