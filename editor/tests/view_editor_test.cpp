#include <gtest/gtest.h>

#include "document/block_cursor.h"
#include "test_document_host.h"
#include "view/view_editor.h"

namespace vantrell {
namespace {

using testing::RecordingView;
using testing::TestDocumentHost;

class ViewEditorTest : public ::testing::Test {
 protected:
  void Load(const Bytes& bytes, bool insertMode = false) {
    doc_.OnNewDocument();
    if (!bytes.empty()) {
      ASSERT_TRUE(doc_.EditInsertBytes(0, bytes.data(), static_cast<DocPos>(bytes.size())));
    }
    doc_.SetInsertMode(insertMode);
    doc_.AddView(&view_);
    doc_.AddView(&other_);
  }
  Bytes Content() {
    Bytes out(doc_.Length());
    BlockCursor cursor(doc_.Blocks());
    if (!out.empty() && cursor.Seek(0)) cursor.ReadBytes(doc_.Length(), out.data());
    return out;
  }

  TestDocumentHost host_;
  CVantrellDoc doc_{host_, {}, {}};
  RecordingView view_, other_;
  ViewEditor editor_{doc_, host_.prompt, &view_};
};

TEST_F(ViewEditorTest, TwoDigitsOverwriteOneByteWithOneUndoRecord) {
  Load({0x00, 0x11});
  const std::size_t recordsBefore = doc_.UndoHistory().size();
  editor_.TypeCharacter('4');
  EXPECT_EQ(Content(), (Bytes{0x40, 0x11}));
  EXPECT_TRUE(editor_.LowNibble());
  EXPECT_EQ(editor_.Caret(), 0);
  editor_.TypeCharacter('1');
  EXPECT_EQ(Content(), (Bytes{0x41, 0x11}));
  EXPECT_FALSE(editor_.LowNibble());
  EXPECT_EQ(editor_.Caret(), 1);
  EXPECT_EQ(doc_.UndoHistory().size(), recordsBefore + 1);
  ASSERT_TRUE(doc_.Undo());
  EXPECT_EQ(Content(), (Bytes{0x00, 0x11}));
  // Both views were told; the one that typed is the sender.
  ASSERT_EQ(other_.hints.size(), view_.hints.size());
  EXPECT_EQ(other_.senders.front(), &view_);
  EXPECT_EQ(other_.hints[0].code, hint::kFirstDigitOverwrite);
  EXPECT_EQ(other_.hints[1].code, hint::kSecondDigit);
}

TEST_F(ViewEditorTest, TypingInEachPaneAndMode) {
  struct Case {
    const char* name;
    Bytes start;
    bool insert;
    bool charPane;
    CharacterSet set;
    DocPos caret;
    std::uint16_t code;
    Bytes expected;
    DocPos caretAfter;
  };
  const Case cases[] = {
      {"digit at the end inserts in overwrite mode", Bytes(16, 0), false, false,
       CharacterSet::ShiftJis, 16, '7', [] { Bytes b(16, 0); b.push_back(0x70); return b; }(), 16},
      {"digit in insert mode", {1, 2}, true, false, CharacterSet::ShiftJis, 1, 'a', {1, 0xA0, 2}, 1},
      {"character overwrites", {1, 2}, false, true, CharacterSet::Ascii, 0, 'A', {'A', 2}, 1},
      {"character inserts", {1, 2}, true, true, CharacterSet::Ascii, 1, 'A', {1, 'A', 2}, 2},
      {"double-byte over the last byte grows the document", {1, 2}, false, true,
       CharacterSet::ShiftJis, 1, 0x82A0, {1, 0x82, 0xA0}, 3},
      {"double-byte replaces two bytes", {1, 2, 3}, false, true, CharacterSet::ShiftJis, 0, 0x82A0,
       {0x82, 0xA0, 3}, 2},
      {"unicode A", {}, true, true, CharacterSet::Unicode, 0, 'A', {0x41, 0x00}, 2},
      {"at the end with AutoInsert", {1}, false, true, CharacterSet::Ascii, 1, 'B', {1, 'B'}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load(c.start, c.insert);
    doc_.SetCharacterSet(c.set);
    editor_.SetCharacterPane(c.charPane);
    editor_.SetCaret(c.caret);
    editor_.TypeCharacter(c.code);
    EXPECT_EQ(Content(), c.expected);
    EXPECT_EQ(editor_.Caret(), c.caretAfter);
  }
}

TEST_F(ViewEditorTest, RefusedInputBeepsAndChangesNothing) {
  Load({1, 2});
  editor_.TypeCharacter('g');  // not a hexadecimal digit
  EXPECT_EQ(host_.prompt.beeps, 1);
  editor_.TypeCharacter(0x0D);  // control codes are ignored silently
  EXPECT_EQ(host_.prompt.beeps, 1);
  ASSERT_TRUE(doc_.SetEditProhibited(true));
  editor_.TypeCharacter('4');
  editor_.DeleteAtCaret();
  EXPECT_EQ(host_.prompt.beeps, 3);
  EXPECT_EQ(Content(), (Bytes{1, 2}));
}

TEST_F(ViewEditorTest, SelectionModeFollowsTheCaret) {
  Load(Bytes(40, 0));
  editor_.SetCaret(4);
  editor_.ToggleSelectionMode();
  EXPECT_EQ(editor_.State(), SelectionState::ModeEmpty);
  editor_.MoveRight();
  editor_.MoveRight();
  editor_.MoveLeft();
  EXPECT_EQ(editor_.State(), SelectionState::ModeActive);
  EXPECT_EQ(editor_.SelectionStart(), 4);
  EXPECT_EQ(editor_.SelectionEnd(), 4);
  EXPECT_EQ(editor_.SelectionStatusText(), "選択 : 0x00000004～0x00000004  0x1(1)Bytes");
  editor_.MoveLeft();
  EXPECT_EQ(editor_.State(), SelectionState::ModeEmpty);
  EXPECT_EQ(editor_.SelectionStatusText(), "");
  // Moving up from state 2 selects from the new caret to the byte before the old one.
  editor_.SetCaret(20);
  editor_.MoveUp();
  EXPECT_EQ(editor_.SelectionStart(), 4);
  EXPECT_EQ(editor_.SelectionEnd(), 19);
  editor_.MoveDown();  // leaves from the start: the start follows and passes the end
  EXPECT_EQ(editor_.State(), SelectionState::ModeEmpty);
}

TEST_F(ViewEditorTest, CaretMovesStopAtTheEnds) {
  Load(Bytes(20, 0));  // lines 0 and 1; the end position is column 4 of line 1
  editor_.MoveLeft();
  EXPECT_EQ(editor_.Caret(), 0);
  editor_.MoveUp();
  EXPECT_EQ(editor_.Caret(), 0);
  editor_.SetCaret(10);
  editor_.MoveDown();
  EXPECT_EQ(editor_.Caret(), 20);  // column limited to the end position's
  editor_.MoveRight();
  EXPECT_EQ(editor_.Caret(), 20);
  editor_.SetCaret(15);
  editor_.MoveRight();
  EXPECT_EQ(editor_.Caret(), 16);
  // A transient selection goes at the next plain move.
  editor_.SetSelection(2, 3, SelectionState::Found);
  editor_.MoveLeft();
  EXPECT_EQ(editor_.State(), SelectionState::None);
}

TEST_F(ViewEditorTest, DeletingBytesAndSelections) {
  Load({1, 2, 3, 4, 5});
  editor_.SetCaret(5);
  editor_.DeleteAtCaret();  // the end position: nothing
  EXPECT_EQ(doc_.Length(), 5);
  editor_.DeleteBeforeCaret();
  EXPECT_EQ(Content(), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(editor_.Caret(), 4);
  editor_.SetSelection(1, 2, SelectionState::Made);
  editor_.DeleteSelection();
  EXPECT_EQ(Content(), (Bytes{1, 4}));
  EXPECT_EQ(editor_.Caret(), 1);
  EXPECT_EQ(editor_.State(), SelectionState::None);
  EXPECT_TRUE(host_.clipboard.IsEmpty());  // deleting is not cutting
  editor_.SetSelection(0, 1, SelectionState::Made);
  editor_.SetCharacterPane(true);
  editor_.TypeCharacter('Z');  // typing replaces the selection
  EXPECT_EQ(Content(), (Bytes{'Z'}));
  EXPECT_EQ(editor_.Caret(), 1);
}

}  // namespace
}  // namespace vantrell
