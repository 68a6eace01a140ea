#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "shell/command_ids.h"
#include "view/address_dialogs.h"
#include "view/number_edit.h"
#include "shell/main_frame.h"
#include "test_document_host.h"
#include "view/vantrell_view.h"

namespace vantrell {
namespace {

namespace fs = std::filesystem;

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vantrell-frame-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    frame_ = std::make_unique<CMainFrame>();
    frame_->SetPromptService(&prompt_);
  }
  void TearDown() override {
    frame_.reset();
    fs::remove_all(dir_);
  }
  QString MakeFile(const std::string& name, const std::string& content) {
    std::ofstream(dir_ / name, std::ios::binary) << content;
    return QString::fromStdString((dir_ / name).string());
  }

  fs::path dir_;
  testing::ScriptedPrompt prompt_;
  std::unique_ptr<CMainFrame> frame_;
};

TEST_F(MainFrameTest, AFileOpenedTwiceIsOneDocument) {
  const QString path = MakeFile("a.bin", "hello");
  CVantrellDoc* first = frame_->OpenDocumentFile(path);
  ASSERT_NE(first, nullptr);
  // Another spelling of the same file, and a link to it.
  fs::create_symlink(dir_ / "a.bin", dir_ / "link.bin");
  EXPECT_EQ(frame_->OpenDocumentFile(QString::fromStdString((dir_ / "." / "a.bin").string())), first);
  EXPECT_EQ(frame_->OpenDocumentFile(QString::fromStdString((dir_ / "link.bin").string())), first);
  EXPECT_EQ(frame_->DocManager().Documents().size(), 1u);
  EXPECT_EQ(frame_->MdiArea()->subWindowList().size(), 1);
  EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(MainFrameTest, MissingFileIsReportedAndNothingOpens) {
  const std::string missing = (dir_ / "missing.bin").string();
  EXPECT_EQ(frame_->OpenDocumentFile(QString::fromStdString(missing)), nullptr);
  ASSERT_EQ(prompt_.ShownIds(), std::vector<int>{1054});
  EXPECT_EQ(prompt_.shown[0].text, missing + "が見つかりません");
  EXPECT_TRUE(frame_->DocManager().Documents().empty());
}

TEST_F(MainFrameTest, NewWindowsShareTheDocumentAndMenusFollow) {
  EXPECT_EQ(frame_->menuBar()->actions().size(), 1);  // menu without a document: File only
  CVantrellDoc* document = frame_->OpenDocumentFile(MakeFile("b.bin", "0123456789"));
  ASSERT_NE(document, nullptr);
  EXPECT_GT(frame_->menuBar()->actions().size(), 1);
  frame_->RunCommand(cmd::kWindowNew);
  EXPECT_EQ(document->Views().size(), 2u);
  const auto windows = frame_->MdiArea()->subWindowList();
  ASSERT_EQ(windows.size(), 2);
  EXPECT_EQ(windows[0]->windowTitle(), "b.bin:1");
  EXPECT_EQ(windows[1]->windowTitle(), "b.bin:2");

  // The character set command reaches the document of the active view.
  frame_->RunCommand(cmd::kCharSetEbcdic);
  EXPECT_EQ(document->GetCharacterSet(), CharacterSet::Ebcdic);
  EXPECT_TRUE(frame_->CommandStateOf(cmd::kCharSetEbcdic).checked);

  // An edited document asks before its last window closes; Cancel keeps it.
  ASSERT_TRUE(document->EditOverwriteByte(0, 'X'));
  prompt_.answers = {Answer::Cancel};
  frame_->RunCommand(cmd::kFileClose);
  EXPECT_EQ(prompt_.ShownIds(), std::vector<int>{61458});
  EXPECT_EQ(frame_->DocManager().Documents().size(), 1u);
  prompt_.answers = {Answer::No};
  frame_->RunCommand(cmd::kFileClose);
  // Closed windows are deleted later; their document goes after them.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
  EXPECT_TRUE(frame_->DocManager().Documents().empty());
  EXPECT_TRUE(frame_->MdiArea()->subWindowList().isEmpty());
  EXPECT_EQ(frame_->menuBar()->actions().size(), 1);
}

}  // namespace
}  // namespace vantrell

namespace vantrell {
namespace {

void Key(QWidget* widget, int key, const QString& text = {}, Qt::KeyboardModifiers modifiers = {}) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QCoreApplication::sendEvent(widget, &press);
}

TEST_F(MainFrameTest, KeysEditTheFileThatIsThenSaved) {
  const QString path = MakeFile("edit.bin", std::string("\x00\x11\x22\x33", 4));
  CVantrellDoc* document = frame_->OpenDocumentFile(path);
  ASSERT_NE(document, nullptr);
  CVantrellView* view = frame_->ActiveView();
  Key(view, Qt::Key_4, "4");
  Key(view, Qt::Key_1, "1");      // 00 -> 40 -> 41, caret to byte 1
  Key(view, Qt::Key_Delete);      // deletes 11
  Key(view, Qt::Key_Tab);         // to the character pane
  Key(view, Qt::Key_Right);
  Key(view, Qt::Key_Z, "z");      // overwrites 33
  Key(view, Qt::Key_Backspace);   // deletes it again
  Key(view, Qt::Key_A, "A");      // and types A over... the end: inserted
  EXPECT_EQ(view->CaretAddress(), 3);
  frame_->RunCommand(cmd::kEditUndo);
  frame_->RunCommand(cmd::kEditRedo);
  frame_->RunCommand(cmd::kFileSave);
  std::ifstream in(path.toStdString(), std::ios::binary);
  const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(saved, std::string("\x41\x22" "A", 3));
  EXPECT_FALSE(document->IsModified());
}

TEST_F(MainFrameTest, CopyAndPasteGoThroughTheProgramClipboard) {
  CVantrellDoc* document = frame_->OpenDocumentFile(MakeFile("c.bin", "ABCDEF"));
  ASSERT_NE(document, nullptr);
  CVantrellView* view = frame_->ActiveView();
  view->SetSelection(1, 2);
  EXPECT_EQ(view->SelectionClipboardText(), "42 43");
  frame_->RunCommand(cmd::kEditCopy);
  EXPECT_EQ(frame_->Clipboard().Content(), (Bytes{'B', 'C'}));
  view->ClearSelection();
  view->SetCaret(6, false);
  frame_->RunCommand(cmd::kEditPaste);
  EXPECT_EQ(document->Length(), 8);
  EXPECT_EQ(view->CaretAddress(), 8);
  view->SetCaret(0, true);  // the character pane gives text
  view->SetSelection(0, 2);
  EXPECT_EQ(view->SelectionClipboardText(), "ABC");
  frame_->RunCommand(cmd::kEditCut);
  EXPECT_EQ(document->Length(), 5);
  EXPECT_EQ(frame_->Clipboard().Content(), (Bytes{'A', 'B', 'C'}));
  frame_->RunCommand(cmd::kEditUndo);
  EXPECT_EQ(document->Length(), 8);
}

TEST_F(MainFrameTest, DefaultKeyTableReachesTheCommands) {
  CVantrellDoc* document = frame_->OpenDocumentFile(MakeFile("k.bin", std::string(40, 'x')));
  ASSERT_NE(document, nullptr);
  CVantrellView* view = frame_->ActiveView();
  view->SetCaret(5, false);
  Key(view, Qt::Key_End);  // line end
  EXPECT_EQ(view->CaretAddress(), 15);
  Key(view, Qt::Key_Home);
  EXPECT_EQ(view->CaretAddress(), 0);
  Key(view, Qt::Key_Right, {}, Qt::ShiftModifier);
  Key(view, Qt::Key_Right, {}, Qt::ShiftModifier);
  EXPECT_EQ(view->Editor().SelectionStart(), 0);
  EXPECT_EQ(view->Editor().SelectionEnd(), 1);
  Key(view, Qt::Key_C, {}, Qt::ControlModifier);
  EXPECT_EQ(frame_->Clipboard().Content(), (Bytes{'x', 'x'}));
  Key(view, Qt::Key_Left, {}, Qt::ShiftModifier);
  Key(view, Qt::Key_Left, {}, Qt::ShiftModifier);
  EXPECT_FALSE(view->Editor().HasSelection());  // shrunk to nothing
  Key(view, Qt::Key_End, {}, Qt::ControlModifier);
  EXPECT_EQ(view->CaretAddress(), 40);
  EXPECT_FALSE(document->InsertMode());
  Key(view, Qt::Key_Insert);
  EXPECT_TRUE(document->InsertMode());
  Key(view, Qt::Key_7, "7");
  EXPECT_EQ(document->Length(), 41);
  Key(view, Qt::Key_Z, {}, Qt::ControlModifier);
  EXPECT_EQ(document->Length(), 40);
  Key(view, Qt::Key_Z, {}, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(document->Length(), 41);
}

TEST_F(MainFrameTest, DialogsCheckTheirInputAndKeepOpen) {
  CGoToAddressDialog go(4, 0x100, prompt_);
  go.Edit()->setText("101");
  go.accept();
  EXPECT_EQ(go.result(), QDialog::Rejected);  // still open
  go.Edit()->setText("+FC");
  go.accept();
  EXPECT_EQ(go.result(), QDialog::Accepted);
  EXPECT_EQ(go.Target(), 0x100);
  go.SetBase(NumberBase::Decimal);
  EXPECT_EQ(go.Edit()->text(), "+252");

  CFillDialog fill(0x10, 0x1F, prompt_);
  fill.accept();
  fill.Edit()->setText("G");
  fill.accept();
  fill.Edit()->setText("7f");
  fill.accept();
  EXPECT_EQ(fill.result(), QDialog::Accepted);
  EXPECT_EQ(fill.Value(), 0x7F);

  CSelectRangeDialog range(0x100, false, 0, 0, prompt_);
  range.StartEdit()->setText("20");
  range.EndEdit()->setText("10");
  range.accept();
  EXPECT_EQ(range.Start(), 0x10);
  EXPECT_EQ(range.End(), 0x20);
  EXPECT_EQ(prompt_.ShownIds(), (std::vector<int>{1003, 1021, 1004}));
}

TEST_F(MainFrameTest, DraggingSelectsAndRevertRereadsTheFile) {
  const QString path = MakeFile("d.bin", std::string(64, 'a'));
  CVantrellDoc* document = frame_->OpenDocumentFile(path);
  ASSERT_NE(document, nullptr);
  CVantrellView* view = frame_->ActiveView();
  view->resize(view->PreferredWidth(), 12 * view->LineHeight());
  const int cw = view->CellWidth();
  const int ch = view->LineHeight();
  const LineGeometry& g = view->Geometry();
  auto at = [&](int cell, int row) { return QPointF(cell * cw + cw / 2, row * ch + ch / 2); };
  QMouseEvent press(QEvent::MouseButtonPress, at(g.HexCell(2), 1), at(g.HexCell(2), 1),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view->viewport(), &press);
  QMouseEvent move(QEvent::MouseMove, at(g.HexCell(4), 2), at(g.HexCell(4), 2), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view->viewport(), &move);
  QMouseEvent release(QEvent::MouseButtonRelease, at(g.HexCell(4), 2), at(g.HexCell(4), 2),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(view->viewport(), &release);
  EXPECT_EQ(view->Editor().SelectionStart(), 2);
  EXPECT_EQ(view->Editor().SelectionEnd(), 19);
  EXPECT_EQ(view->CaretAddress(), 20);

  Key(view, Qt::Key_B, "b");  // replaces the selection... in the hexadecimal pane: 0xB0
  EXPECT_EQ(document->Length(), 64 - 18 + 1);
  frame_->RunCommand(cmd::kGoToLastChange);
  EXPECT_EQ(view->CaretAddress(), 2);
  prompt_.answers = {Answer::Yes};
  frame_->RunCommand(cmd::kRevert);
  EXPECT_EQ(prompt_.ShownIds(), std::vector<int>{1022});
  EXPECT_EQ(document->Length(), 64);
  EXPECT_FALSE(document->IsModified());
}

TEST_F(MainFrameTest, OtherViewsKeepTheirPlaceAndPasteCanOverwrite) {
  SettingsSnapshot settings;
  settings.view.overwritePaste = true;
  frame_ = std::make_unique<CMainFrame>(settings);
  frame_->SetPromptService(&prompt_);
  CVantrellDoc* document = frame_->OpenDocumentFile(MakeFile("o.bin", std::string(32, 'o')));
  ASSERT_NE(document, nullptr);
  CVantrellView* first = frame_->ActiveView();
  frame_->RunCommand(cmd::kWindowNew);
  CVantrellView* second = frame_->ActiveView();
  ASSERT_NE(first, second);
  second->SetCaret(20, false);
  first->SetCaret(0, true);
  document->SetInsertMode(true);
  Key(first, Qt::Key_X, "x");
  EXPECT_EQ(second->CaretAddress(), 20);  // same line and column
  EXPECT_EQ(first->CaretAddress(), 1);

  // Overwrite-mode paste two bytes before the end replaces two and appends the rest.
  document->SetInsertMode(false);
  frame_->Clipboard().Store(Bytes(10, 'P'));
  second->SetCaret(document->Length() - 2, false);
  second->OnCommand(cmd::kEditPaste);
  EXPECT_EQ(document->Length(), 33 + 8);
  EXPECT_EQ(second->CaretAddress(), 41);
}

TEST(DocManager, FileFiltersFollowThePerExtensionList) {
  ExtProfile bin;
  bin.extension = "bin";
  bin.comment = "バイナリ";
  ExtProfile base = ExtProfile::MakeBase();
  base.comment.clear();  // an empty comment reads as the catch-all's name
  EXPECT_EQ(CVantrellDocManager::FileFilters({base, bin}),
            (QStringList{"すべてのファイル(*.*)", "バイナリ(*.bin)"}));
}

}  // namespace
}  // namespace vantrell
