#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "shell/command_ids.h"
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
