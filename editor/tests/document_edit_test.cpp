// Tests of a document's edit primitives, its undo and redo histories, the
// change counter with the modified mark, the program clipboard and the
// structure editor's read.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "document/block_cursor.h"
#include "document/byte_block.h"
#include "document/document_hooks.h"
#include "document/edit_record.h"
#include "document/program_clipboard.h"
#include "document/update_hint.h"
#include "document/vantrell_doc.h"
#include "settings/document_settings.h"
#include "test_document_host.h"

namespace vantrell {
namespace {

using testing::RecordingView;
using testing::TestDocumentHost;

constexpr DocPos kBlock = static_cast<DocPos>(ByteBlock::kCapacity);

// 00 11 22 33 44 55 66 77: each byte tells its original position.
const Bytes kEight = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

Bytes Contents(CVantrellDoc& doc) {
  EXPECT_EQ(doc.Length(), doc.Blocks().TotalLength()) << "cached length out of step";
  EXPECT_EQ(doc.Blocks().CheckInvariants(), "");
  Bytes out;
  if (doc.Length() > 0) {
    BlockCursor cursor(doc.Blocks());
    EXPECT_TRUE(cursor.CopyRange(0, doc.Length(), out));
  }
  return out;
}

// What a history record should hold; an empty optional is not looked at
// (a field that the record kind does not use).
struct MaybeBytes {
  MaybeBytes() = default;
  MaybeBytes(Bytes b) : set(true), value(std::move(b)) {}
  bool set = false;
  Bytes value;
};

struct RecordShape {
  std::uint32_t code;
  DocPos start;
  DocPos end;
  std::optional<std::uint8_t> byte;
  MaybeBytes bytes;
  std::optional<std::int32_t> extra;
};

void ExpectRecord(const EditRecord& record, const RecordShape& shape) {
  EXPECT_EQ(Hex(record.code), Hex(shape.code));
  EXPECT_EQ(record.start, shape.start);
  EXPECT_EQ(record.end, shape.end);
  if (shape.byte) {
    EXPECT_EQ(record.byte, *shape.byte);
  }
  if (shape.bytes.set) {
    EXPECT_EQ(record.bytes, shape.bytes.value);
  }
  if (shape.extra) {
    EXPECT_EQ(record.extra, *shape.extra);
  }
}

// Records what a document tells its marks and its bit image, and the
// document length each of them could see at that moment.
class FakeHooks : public MarkHook, public BitImageHook {
 public:
  explicit FakeHooks(const CVantrellDoc* doc = nullptr) : doc_(doc) {}

  void OnBytesInserted(DocPos position, DocPos count) override {
    SeeLength();
    marks.push_back("ins " + std::to_string(position) + " " + std::to_string(count));
  }
  void OnBytesDeleted(DocPos position, DocPos count) override {
    SeeLength();
    marks.push_back("del " + std::to_string(position) + " " + std::to_string(count));
  }
  void OnBytesReplaced(DocPos position, DocPos oldCount, DocPos newCount) override {
    SeeLength();
    marks.push_back("rep " + std::to_string(position) + " " + std::to_string(oldCount) + " " +
                    std::to_string(newCount));
  }
  void OnReloaded(DocPos length) override { marks.push_back("reload " + std::to_string(length)); }
  void OnBytesChanged(DocPos position, DocPos count, bool lengthChanged) override {
    SeeLength();
    image.push_back(std::to_string(position) + " " + std::to_string(count) +
                    (lengthChanged ? " resized" : " same"));
  }
  void Redraw() override { image.push_back("redraw"); }

  void Clear() {
    marks.clear();
    image.clear();
    lengthsSeen.clear();
  }

  std::vector<std::string> marks;
  std::vector<std::string> image;
  std::vector<DocPos> lengthsSeen;

 private:
  void SeeLength() {
    if (doc_ != nullptr) lengthsSeen.push_back(doc_->Length());
  }
  const CVantrellDoc* doc_;
};

using Strings = std::vector<std::string>;
using Edit = std::function<bool(CVantrellDoc&)>;

// Documents opened from files in a private folder, so that they start with
// empty histories and a change counter of 0.
class DocumentEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "vantrell-edit-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::unique_ptr<CVantrellDoc> Open(const Bytes& bytes, DocumentSettings settings = {},
                                     const std::string& name = "data.bin") {
    const std::string path = (dir_ / name).string();
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
    }
    auto doc = std::make_unique<CVantrellDoc>(host, settings, std::vector<ExtProfile>{});
    EXPECT_TRUE(doc->OnOpenDocument(path));
    EXPECT_TRUE(doc->IsEditable());
    EXPECT_EQ(doc->ChangeCounter(), 0);
    EXPECT_TRUE(doc->UndoHistory().empty());
    doc->AddView(&view);
    return doc;
  }

  void ExpectLastHint(std::uint32_t code, DocPos caret, DocPos length) {
    ASSERT_FALSE(view.hints.empty());
    EXPECT_EQ(Hex(view.hints.back().code), Hex(code));
    EXPECT_EQ(view.hints.back().caret, caret);
    EXPECT_EQ(view.hints.back().length, length);
    EXPECT_EQ(view.senders.back(), nullptr);
  }

  std::filesystem::path dir_;
  TestDocumentHost host;
  RecordingView view;
};

// ---------------------------------------------------------------------------
// Every primitive: what it does, what it records, and a full undo/redo cycle.

struct PrimitiveCase {
  const char* name;
  Edit edit;
  Bytes after;
  RecordShape undoRecord;  // pushed by the edit (and again by redo)
  DocPos undoCaret;
  RecordShape redoRecord;  // pushed by undo
  DocPos redoCaret;
  std::optional<Bytes> clipboardAfterRedo;  // unset: redo leaves the clipboard alone
};

const std::vector<PrimitiveCase>& PrimitiveCases() {
  static const std::vector<PrimitiveCase> cases = {
      {"overwrite one byte",
       [](CVantrellDoc& d) { return d.EditOverwriteByte(2, 0xAA); },
       {0x00, 0x11, 0xAA, 0x33, 0x44, 0x55, 0x66, 0x77},
       {0x00C00001, 2, 2, 0x22, {}, {}}, 2,
       {0xC0000001, 2, 2, 0xAA, {}, {}}, 2, {}},
      {"delete one byte",
       [](CVantrellDoc& d) { return d.EditDeleteByte(5); },
       {0x00, 0x11, 0x22, 0x33, 0x44, 0x66, 0x77},
       {0x00C00002, 5, 5, 0x55, {}, {}}, 5,
       {0xC0000003, 5, 5, {}, {}, {}}, 5, {}},
      {"delete the last byte",
       [](CVantrellDoc& d) { return d.EditDeleteByte(7); },
       {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66},
       {0x00C00002, 7, 7, 0x77, {}, {}}, 7,
       {0xC0000003, 7, 7, {}, {}, {}}, 7, {}},
      {"insert one byte",
       [](CVantrellDoc& d) { return d.EditInsertByte(3, 0xAA); },
       {0x00, 0x11, 0x22, 0xAA, 0x33, 0x44, 0x55, 0x66, 0x77},
       {0x00C00003, 3, 3, {}, {}, {}}, 3,
       {0xC0000002, 3, 3, 0xAA, {}, {}}, 4, {}},
      {"insert one byte at the end",
       [](CVantrellDoc& d) { return d.EditInsertByte(8, 0xAA); },
       {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0xAA},
       {0x00C00003, 8, 8, {}, {}, {}}, 8,
       {0xC0000002, 8, 8, 0xAA, {}, {}}, 9, {}},
      {"insert bytes",
       [](CVantrellDoc& d) {
         const Bytes b = {0xA1, 0xA2, 0xA3};
         return d.EditInsertBytes(2, b.data(), 3);
       },
       {0x00, 0x11, 0xA1, 0xA2, 0xA3, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77},
       {0x00C00007, 2, 4, {}, {}, {}}, 2,
       {0xC0000008, 2, 4, {}, Bytes{0xA1, 0xA2, 0xA3}, {}}, 5, {}},
      {"insert bytes at the start",
       [](CVantrellDoc& d) {
         const Bytes b = {0xA1, 0xA2};
         return d.EditInsertBytes(0, b.data(), 2);
       },
       {0xA1, 0xA2, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77},
       {0x00C00007, 0, 1, {}, {}, {}}, 0,
       {0xC0000008, 0, 1, {}, Bytes{0xA1, 0xA2}, {}}, 2, {}},
      {"cut a range",
       [](CVantrellDoc& d) { return d.EditCutRange(1, 3); },
       {0x00, 0x44, 0x55, 0x66, 0x77},
       {0x00C00008, 1, 3, {}, Bytes{0x11, 0x22, 0x33}, {}}, 4,
       {0xC0000007, 1, 3, {}, {}, {}}, 1, Bytes{0x11, 0x22, 0x33}},
      {"cut everything",
       [](CVantrellDoc& d) { return d.EditCutRange(0, 7); },
       {},
       {0x00C00008, 0, 7, {}, kEight, {}}, 8,
       {0xC0000007, 0, 7, {}, {}, {}}, 0, kEight},
      {"replace 3 bytes by 5 (paste over a selection)",
       [](CVantrellDoc& d) {
         const Bytes b = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
         return d.EditReplaceRange(2, 4, b.data(), 5);
       },
       {0x00, 0x11, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x55, 0x66, 0x77},
       {0x00C00009, 2, 6, {}, Bytes{0x22, 0x33, 0x44}, 3}, 2,
       {0xC0000009, 2, 4, {}, Bytes{0xA1, 0xA2, 0xA3, 0xA4, 0xA5}, 5}, 7, {}},
      {"replace 5 bytes by 2",
       [](CVantrellDoc& d) {
         const Bytes b = {0xA1, 0xA2};
         return d.EditReplaceRange(1, 5, b.data(), 2);
       },
       {0x00, 0xA1, 0xA2, 0x66, 0x77},
       {0x00C00009, 1, 2, {}, Bytes{0x11, 0x22, 0x33, 0x44, 0x55}, 5}, 1,
       {0xC0000009, 1, 5, {}, Bytes{0xA1, 0xA2}, 2}, 3, {}},
      {"replace the last 2 bytes by 4 (overwrite paste past the end)",
       [](CVantrellDoc& d) {
         const Bytes b = {0xA1, 0xA2, 0xA3, 0xA4};
         return d.EditReplaceRange(6, 7, b.data(), 4);
       },
       {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0xA1, 0xA2, 0xA3, 0xA4},
       {0x00C00009, 6, 9, {}, Bytes{0x66, 0x77}, 2}, 6,
       {0xC0000009, 6, 7, {}, Bytes{0xA1, 0xA2, 0xA3, 0xA4}, 4}, 10, {}},
      {"fill a range",
       [](CVantrellDoc& d) { return d.EditFillRange(1, 6, 0xFF); },
       {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x77},
       {0x00C0000A, 1, 6, {}, Bytes{0x11, 0x22, 0x33, 0x44, 0x55, 0x66}, 0xFF}, 7,
       {0xC000000A, 1, 6, {}, {}, 0xFF}, 7, {}},
  };
  return cases;
}

TEST_F(DocumentEditTest, EachPrimitiveRecordsItselfAndSurvivesUndoAndRedo) {
  for (const PrimitiveCase& c : PrimitiveCases()) {
    SCOPED_TRACE(c.name);
    view.hints.clear();
    auto doc = Open(kEight);
    // Leave something in the redo history for the edit to clear.
    ASSERT_TRUE(doc->EditOverwriteByte(0, 0x99));
    ASSERT_TRUE(doc->Undo());
    ASSERT_EQ(doc->RedoHistory().size(), 1u);
    const std::size_t hintsBefore = view.hints.size();

    ASSERT_TRUE(c.edit(*doc));
    EXPECT_EQ(Contents(*doc), c.after);
    EXPECT_EQ(doc->Length(), static_cast<DocPos>(c.after.size()));
    ASSERT_EQ(doc->UndoHistory().size(), 1u);
    ExpectRecord(doc->UndoHistory().back(), c.undoRecord);
    EXPECT_TRUE(doc->RedoHistory().empty()) << "a new edit clears the redo history";
    EXPECT_EQ(doc->ChangeCounter(), 1);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(view.hints.size(), hintsBefore) << "the caller of a primitive tells the views";

    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(Contents(*doc), kEight);
    EXPECT_TRUE(doc->UndoHistory().empty());
    ASSERT_EQ(doc->RedoHistory().size(), 1u);
    ExpectRecord(doc->RedoHistory().back(), c.redoRecord);
    EXPECT_EQ(doc->ChangeCounter(), 0);
    EXPECT_FALSE(doc->IsModified());
    ExpectLastHint(c.undoRecord.code, c.undoCaret, 8);

    host.clipboard.Store({0xEE});
    ASSERT_TRUE(doc->Redo());
    EXPECT_EQ(Contents(*doc), c.after);
    ASSERT_EQ(doc->UndoHistory().size(), 1u);
    ExpectRecord(doc->UndoHistory().back(), c.undoRecord);
    EXPECT_TRUE(doc->RedoHistory().empty());
    EXPECT_EQ(doc->ChangeCounter(), 1);
    EXPECT_TRUE(doc->IsModified());
    ExpectLastHint(c.redoRecord.code, c.redoCaret, static_cast<DocPos>(c.after.size()));
    EXPECT_EQ(host.clipboard.Content(), c.clipboardAfterRedo.value_or(Bytes{0xEE}));

    // The record pushed by redo undoes as well as the first one did.
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(Contents(*doc), kEight);
    EXPECT_FALSE(doc->IsModified());
  }
}

TEST_F(DocumentEditTest, OrByteSetsBitsWithoutRecordingOrCounting) {
  auto doc = Open(kEight);
  ASSERT_TRUE(doc->EditOrByte(2, 0x0C));
  EXPECT_EQ(Contents(*doc), (Bytes{0x00, 0x11, 0x2E, 0x33, 0x44, 0x55, 0x66, 0x77}));
  EXPECT_TRUE(doc->UndoHistory().empty());
  EXPECT_EQ(doc->ChangeCounter(), 0);

  // The first digit is the recorded edit; the second ORs into its byte, and
  // undoing the first restores the byte from before both.
  ASSERT_TRUE(doc->EditOverwriteByte(4, 0xB0));
  ASSERT_TRUE(doc->EditOrByte(4, 0x07));
  EXPECT_EQ(Contents(*doc)[4], 0xB7);
  EXPECT_EQ(doc->UndoHistory().size(), 1u);
  EXPECT_EQ(doc->ChangeCounter(), 1);
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Contents(*doc)[4], 0x44);
}

// ---------------------------------------------------------------------------
// Failures change nothing.

TEST_F(DocumentEditTest, EditOutsideTheDocumentFailsAndChangesNothing) {
  const std::uint8_t three[3] = {0xA1, 0xA2, 0xA3};
  const struct {
    const char* name;
    Edit edit;
  } cases[] = {
      {"overwrite at the end", [](CVantrellDoc& d) { return d.EditOverwriteByte(8, 1); }},
      {"overwrite before the start", [](CVantrellDoc& d) { return d.EditOverwriteByte(-1, 1); }},
      {"or at the end", [](CVantrellDoc& d) { return d.EditOrByte(8, 1); }},
      {"insert byte past the end", [](CVantrellDoc& d) { return d.EditInsertByte(9, 1); }},
      {"insert byte before the start", [](CVantrellDoc& d) { return d.EditInsertByte(-1, 1); }},
      {"delete byte at the end", [](CVantrellDoc& d) { return d.EditDeleteByte(8); }},
      {"delete byte before the start", [](CVantrellDoc& d) { return d.EditDeleteByte(-1); }},
      {"cut up to the end position", [](CVantrellDoc& d) { return d.EditCutRange(5, 8); }},
      {"cut with end before start", [](CVantrellDoc& d) { return d.EditCutRange(4, 3); }},
      {"cut from before the start", [](CVantrellDoc& d) { return d.EditCutRange(-1, 2); }},
      {"cut to clipboard past the end",
       [](CVantrellDoc& d) { return d.EditCutRange(2, 9, EditMode::New, true); }},
      {"insert bytes past the end",
       [&](CVantrellDoc& d) { return d.EditInsertBytes(9, three, 3); }},
      {"insert bytes before the start",
       [&](CVantrellDoc& d) { return d.EditInsertBytes(-1, three, 3); }},
      {"insert no bytes", [&](CVantrellDoc& d) { return d.EditInsertBytes(2, three, 0); }},
      {"insert a negative count", [&](CVantrellDoc& d) { return d.EditInsertBytes(2, three, -3); }},
      {"insert from no buffer", [](CVantrellDoc& d) { return d.EditInsertBytes(2, nullptr, 3); }},
      {"replace up to the end position",
       [&](CVantrellDoc& d) { return d.EditReplaceRange(6, 8, three, 3); }},
      {"replace with end before start",
       [&](CVantrellDoc& d) { return d.EditReplaceRange(4, 3, three, 3); }},
      {"replace by nothing", [&](CVantrellDoc& d) { return d.EditReplaceRange(2, 3, three, 0); }},
      {"replace from no buffer",
       [](CVantrellDoc& d) { return d.EditReplaceRange(2, 3, nullptr, 3); }},
      {"fill up to the end position", [](CVantrellDoc& d) { return d.EditFillRange(0, 8, 0xFF); }},
      {"fill with end before start", [](CVantrellDoc& d) { return d.EditFillRange(5, 4, 0xFF); }},
      {"fill from before the start", [](CVantrellDoc& d) { return d.EditFillRange(-1, 4, 0xFF); }},
      {"fill run by undo",
       [](CVantrellDoc& d) { return d.EditFillRange(0, 3, 0xFF, EditMode::Undo); }},
      {"copy up to the end position",
       [](CVantrellDoc& d) { return d.CopyRangeToClipboard(6, 8); }},
      {"copy with end before start", [](CVantrellDoc& d) { return d.CopyRangeToClipboard(3, 2); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DocumentSettings settings;
    settings.dynamicMark = true;
    auto doc = Open(kEight, settings);
    FakeHooks hooks;
    doc->SetMarkHook(&hooks);
    doc->SetBitImageHook(&hooks);
    // One edit in each history.
    ASSERT_TRUE(doc->EditOverwriteByte(0, 0x99));
    ASSERT_TRUE(doc->EditOverwriteByte(1, 0x98));
    ASSERT_TRUE(doc->Undo());
    const Bytes before = Contents(*doc);
    host.clipboard.Store({0xEE});
    hooks.Clear();
    view.hints.clear();
    host.modifiedNotices.clear();

    EXPECT_FALSE(c.edit(*doc));
    EXPECT_EQ(Contents(*doc), before);
    EXPECT_EQ(doc->Length(), 8);
    ASSERT_EQ(doc->UndoHistory().size(), 1u);
    EXPECT_EQ(doc->UndoHistory().back().start, 0);
    ASSERT_EQ(doc->RedoHistory().size(), 1u);
    EXPECT_EQ(doc->RedoHistory().back().start, 1);
    EXPECT_EQ(doc->ChangeCounter(), 1);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(host.clipboard.Content(), Bytes{0xEE});
    EXPECT_EQ(hooks.marks, Strings{});
    EXPECT_EQ(hooks.image, Strings{});
    EXPECT_TRUE(view.hints.empty());
    EXPECT_TRUE(host.modifiedNotices.empty());
  }
}

TEST_F(DocumentEditTest, UndoAndRedoWithEmptyHistoryFailSilently) {
  auto doc = Open(kEight);
  EXPECT_FALSE(doc->Undo());
  EXPECT_FALSE(doc->Redo());
  ASSERT_TRUE(doc->EditDeleteByte(0));
  EXPECT_FALSE(doc->Redo());
  ASSERT_TRUE(doc->Undo());
  EXPECT_FALSE(doc->Undo());
  EXPECT_EQ(doc->ChangeCounter(), 0);
  EXPECT_EQ(view.hints.size(), 1u) << "only the undo that ran tells the views";
  EXPECT_EQ(Contents(*doc), kEight);
}

// ---------------------------------------------------------------------------
// The order of the histories.

TEST_F(DocumentEditTest, HistoriesRunInStackOrder) {
  auto doc = Open(kEight);
  const Bytes ab = {0xA1, 0xA2};
  ASSERT_TRUE(doc->EditOverwriteByte(0, 0x99));        // 99 11 22 33 44 55 66 77
  const Bytes afterFirst = Contents(*doc);
  ASSERT_TRUE(doc->EditInsertBytes(4, ab.data(), 2));  // 99 11 22 33 A1 A2 44 55 66 77
  const Bytes afterSecond = Contents(*doc);
  ASSERT_TRUE(doc->EditCutRange(1, 2));                // 99 33 A1 A2 44 55 66 77
  const Bytes afterThird = Contents(*doc);
  EXPECT_EQ(afterThird, (Bytes{0x99, 0x33, 0xA1, 0xA2, 0x44, 0x55, 0x66, 0x77}));

  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Contents(*doc), afterSecond);
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Contents(*doc), afterFirst);
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Contents(*doc), kEight);
  EXPECT_EQ(doc->RedoHistory().size(), 3u);

  // An undo after a redo keeps the rest of the redo history.
  ASSERT_TRUE(doc->Redo());
  EXPECT_EQ(Contents(*doc), afterFirst);
  EXPECT_EQ(doc->RedoHistory().size(), 2u);
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Contents(*doc), kEight);
  EXPECT_EQ(doc->RedoHistory().size(), 3u);
  ASSERT_TRUE(doc->Redo());
  ASSERT_TRUE(doc->Redo());
  EXPECT_EQ(Contents(*doc), afterSecond);
  EXPECT_EQ(doc->ChangeCounter(), 2);
  ASSERT_TRUE(doc->Redo());
  EXPECT_EQ(Contents(*doc), afterThird);
  EXPECT_EQ(doc->ChangeCounter(), 3);

  // A new edit after an undo drops what could have been redone.
  ASSERT_TRUE(doc->Undo());
  ASSERT_TRUE(doc->Undo());
  ASSERT_EQ(doc->RedoHistory().size(), 2u);
  ASSERT_TRUE(doc->EditFillRange(6, 7, 0x00));
  EXPECT_TRUE(doc->RedoHistory().empty());
  EXPECT_FALSE(doc->Redo());
  EXPECT_EQ(doc->ChangeCounter(), 2);
  EXPECT_EQ(Contents(*doc), (Bytes{0x99, 0x11, 0x22, 0x33, 0x44, 0x55, 0x00, 0x00}));
  ASSERT_TRUE(doc->Undo());
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Contents(*doc), kEight);
  EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocumentEditTest, ChangeCounterFollowsEditsUndoAndRedo) {
  auto doc = Open(kEight);
  ASSERT_TRUE(doc->EditOverwriteByte(0, 1));
  ASSERT_TRUE(doc->EditOverwriteByte(1, 2));
  ASSERT_TRUE(doc->EditOverwriteByte(2, 3));
  EXPECT_EQ(doc->ChangeCounter(), 3);
  ASSERT_TRUE(doc->Undo());
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(doc->ChangeCounter(), 1);
  EXPECT_TRUE(doc->IsModified());
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(doc->ChangeCounter(), 0);
  EXPECT_FALSE(doc->IsModified());
  ASSERT_TRUE(doc->Redo());
  EXPECT_EQ(doc->ChangeCounter(), 1);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(host.modifiedNotices.back(), true);
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(host.modifiedNotices.back(), false);

  // Redo sets the flag from the counter, whatever the flag was before.
  doc->SetModifiedFlag(false);
  ASSERT_TRUE(doc->Redo());
  ASSERT_TRUE(doc->Redo());
  EXPECT_EQ(doc->ChangeCounter(), 2);
  EXPECT_TRUE(doc->IsModified());
}

// ---------------------------------------------------------------------------
// Title and modified mark.

TEST(DocumentTitleTest, NewDocumentTitleGetsAndLosesTheModifiedMark) {
  TestDocumentHost host;
  CVantrellDoc doc(host, DocumentSettings{}, {});
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(doc.GetTitle(), "Vantre1");
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.Length(), 0);

  ASSERT_TRUE(doc.EditInsertByte(0, 0x41));
  EXPECT_EQ(doc.GetTitle(), "Vantre1 *");
  EXPECT_TRUE(doc.IsModified());
  ASSERT_TRUE(doc.EditInsertByte(1, 0x42));
  EXPECT_EQ(doc.GetTitle(), "Vantre1 *") << "the mark is added once";
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.GetTitle(), "Vantre1 *");
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.GetTitle(), "Vantre1");
  EXPECT_FALSE(doc.IsModified());
  ASSERT_FALSE(host.modifiedNotices.empty());
  EXPECT_FALSE(host.modifiedNotices.back());
  ASSERT_TRUE(doc.Redo());
  EXPECT_EQ(doc.GetTitle(), "Vantre1 *");
  EXPECT_TRUE(host.modifiedNotices.back());

  CVantrellDoc second(host, DocumentSettings{}, {});
  ASSERT_TRUE(second.OnNewDocument());
  EXPECT_EQ(second.GetTitle(), "Vantre2");
}

TEST_F(DocumentEditTest, FileTitleGetsAndLosesTheModifiedMark) {
  auto doc = Open(kEight, {}, "sample.dat");
  EXPECT_EQ(doc->GetTitle(), "sample.dat");
  ASSERT_TRUE(doc->EditFillRange(0, 3, 0));
  EXPECT_EQ(doc->GetTitle(), "sample.dat *");
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(doc->GetTitle(), "sample.dat");
  ASSERT_TRUE(doc->Redo());
  EXPECT_EQ(doc->GetTitle(), "sample.dat *");
}

TEST_F(DocumentEditTest, NewContentStartsWithEmptyHistoriesAndCounterZero) {
  const std::string other = (dir_ / "other.bin").string();
  std::ofstream(other, std::ios::binary) << "abc";
  const struct {
    const char* name;
    std::function<bool(CVantrellDoc&)> replace;
    std::string title;
  } cases[] = {
      {"new document", [](CVantrellDoc& d) { return d.OnNewDocument(); }, "Vantre1"},
      {"opened file", [&](CVantrellDoc& d) { return d.OnOpenDocument(other); }, "other.bin"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.untitled = 0;
    auto doc = Open(kEight);
    ASSERT_TRUE(doc->EditInsertByte(0, 0x41));
    ASSERT_TRUE(doc->EditInsertByte(0, 0x42));
    ASSERT_TRUE(doc->Undo());
    ASSERT_TRUE(c.replace(*doc));
    EXPECT_EQ(doc->ChangeCounter(), 0);
    EXPECT_TRUE(doc->UndoHistory().empty());
    EXPECT_TRUE(doc->RedoHistory().empty());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(doc->Redo()) << "nothing of the old content can be redone";
    const Bytes fresh = Contents(*doc);

    ASSERT_TRUE(doc->EditInsertByte(0, 0x43));
    ASSERT_TRUE(doc->Undo());
    EXPECT_FALSE(doc->Undo()) << "nothing of the old content can be undone";
    EXPECT_EQ(Contents(*doc), fresh);
    EXPECT_FALSE(doc->IsModified()) << "back at the state the content started in";
    EXPECT_EQ(doc->GetTitle(), c.title);
  }
}

// ---------------------------------------------------------------------------
// Program clipboard.

TEST_F(DocumentEditTest, CopyPutsBytesOnTheClipboardWithoutEditing) {
  auto doc = Open(kEight);
  ASSERT_TRUE(doc->CopyRangeToClipboard(2, 4));
  EXPECT_EQ(host.clipboard.Content(), (Bytes{0x22, 0x33, 0x44}));
  ASSERT_TRUE(doc->CopyRangeToClipboard(7, 7));
  EXPECT_EQ(host.clipboard.Content(), Bytes{0x77}) << "a copy replaces the content";
  EXPECT_EQ(Contents(*doc), kEight);
  EXPECT_TRUE(doc->UndoHistory().empty());
  EXPECT_EQ(doc->ChangeCounter(), 0);
  EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocumentEditTest, CutStoresOnTheClipboardOnlyWhenAskedAndNotForUndo) {
  const struct {
    EditMode mode;
    bool toClipboard;
    bool stored;
  } cases[] = {
      {EditMode::New, true, true},    {EditMode::New, false, false},
      {EditMode::Redo, true, true},   {EditMode::Redo, false, false},
      {EditMode::Undo, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << static_cast<int>(c.mode) << " to clipboard "
                                      << c.toClipboard);
    auto doc = Open(kEight);
    host.clipboard.Store({0xEE});
    ASSERT_TRUE(doc->EditCutRange(5, 7, c.mode, c.toClipboard));
    EXPECT_EQ(Contents(*doc), (Bytes{0x00, 0x11, 0x22, 0x33, 0x44}));
    const Bytes expected = c.stored ? Bytes{0x55, 0x66, 0x77} : Bytes{0xEE};
    EXPECT_EQ(host.clipboard.Content(), expected);
  }
}

TEST(ProgramClipboardTest, StoringNothingKeepsTheContent) {
  ProgramClipboard clipboard;
  EXPECT_TRUE(clipboard.IsEmpty());
  clipboard.Store({});
  EXPECT_TRUE(clipboard.IsEmpty());
  clipboard.Store({1, 2, 3});
  clipboard.Store({});
  EXPECT_EQ(clipboard.Content(), (Bytes{1, 2, 3}));
  clipboard.Store({4});
  EXPECT_EQ(clipboard.Content(), Bytes{4});
}

// ---------------------------------------------------------------------------
// Marks and bit image.

struct HookCase {
  const char* name;
  Edit edit;
  Strings marks;      // with DynamicMark on
  Strings undoMarks;  // for its undo
  Strings image;
};

const std::vector<HookCase>& HookCases() {
  static const std::vector<HookCase> cases = {
      {"overwrite", [](CVantrellDoc& d) { return d.EditOverwriteByte(2, 0xAA); }, {}, {},
       {"2 1 same"}},
      {"insert one byte", [](CVantrellDoc& d) { return d.EditInsertByte(3, 0xAA); },
       {"ins 3 1"}, {"del 3 1"}, {"3 1 resized"}},
      {"delete one byte", [](CVantrellDoc& d) { return d.EditDeleteByte(5); }, {"del 5 1"},
       {"ins 5 1"}, {"5 1 resized"}},
      {"insert bytes",
       [](CVantrellDoc& d) {
         const Bytes b = {1, 2, 3};
         return d.EditInsertBytes(2, b.data(), 3);
       },
       {"ins 2 3"}, {"del 2 3"}, {"2 3 resized"}},
      {"cut", [](CVantrellDoc& d) { return d.EditCutRange(1, 3); }, {"del 1 3"}, {"ins 1 3"},
       {"1 3 resized"}},
      {"replace 3 by 5",
       [](CVantrellDoc& d) {
         const Bytes b = {1, 2, 3, 4, 5};
         return d.EditReplaceRange(2, 4, b.data(), 5);
       },
       {"rep 2 3 5"}, {"rep 2 5 3"}, {"2 5 resized"}},
      {"replace 3 by 3",
       [](CVantrellDoc& d) {
         const Bytes b = {1, 2, 3};
         return d.EditReplaceRange(2, 4, b.data(), 3);
       },
       {"rep 2 3 3"}, {"rep 2 3 3"}, {"2 3 same"}},
      {"fill", [](CVantrellDoc& d) { return d.EditFillRange(1, 6, 0); }, {}, {}, {"1 6 same"}},
  };
  return cases;
}

TEST_F(DocumentEditTest, MarksFollowEditsOnlyWithDynamicMark) {
  for (const bool dynamic : {true, false}) {
    for (const HookCase& c : HookCases()) {
      SCOPED_TRACE(::testing::Message() << c.name << (dynamic ? ", dynamic" : ", fixed"));
      DocumentSettings settings;
      settings.dynamicMark = dynamic;
      auto doc = Open(kEight, settings);
      FakeHooks hooks(doc.get());
      doc->SetMarkHook(&hooks);
      doc->SetBitImageHook(&hooks);
      // Marks and bit image already see the length after the edit.
      auto expectNewLengthSeen = [&] {
        EXPECT_EQ(hooks.lengthsSeen,
                  std::vector<DocPos>(hooks.marks.size() + hooks.image.size(), doc->Length()));
      };

      ASSERT_TRUE(c.edit(*doc));
      EXPECT_EQ(hooks.marks, dynamic ? c.marks : Strings{});
      EXPECT_EQ(hooks.image, c.image);
      expectNewLengthSeen();
      hooks.Clear();
      ASSERT_TRUE(doc->Undo());
      EXPECT_EQ(hooks.marks, dynamic ? c.undoMarks : Strings{});
      EXPECT_EQ(hooks.image.size(), 1u);
      expectNewLengthSeen();
      hooks.Clear();
      ASSERT_TRUE(doc->Redo());
      EXPECT_EQ(hooks.marks, dynamic ? c.marks : Strings{});
      EXPECT_EQ(hooks.image, c.image);
      expectNewLengthSeen();
    }
  }
}

// ---------------------------------------------------------------------------
// Random edits over several blocks, then all undone and all redone.

class Random {
 public:
  explicit Random(std::uint32_t seed) : engine_(seed) {}
  DocPos Between(DocPos lo, DocPos hi) {
    return std::uniform_int_distribution<DocPos>(lo, hi)(engine_);
  }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Between(0, 255)); }
  Bytes Some(DocPos n) {
    Bytes out(static_cast<std::size_t>(n));
    for (auto& b : out) b = Byte();
    return out;
  }

 private:
  std::mt19937 engine_;
};

TEST_F(DocumentEditTest, RandomEditsUndoToTheLoadedBytesAndRedoToTheEditedOnes) {
  for (const std::uint32_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    Random rnd(seed);
    const Bytes loaded = rnd.Some(3 * kBlock + 1234);
    auto doc = Open(loaded);
    ASSERT_GE(doc->Blocks().BlockCount(), 4);

    // states[at] is the content now; states after it can be redone.
    std::vector<Bytes> states = {loaded};
    std::size_t at = 0;
    for (int step = 0; step < 300; ++step) {
      SCOPED_TRACE(::testing::Message() << "step " << step);
      Bytes model = states[at];
      const DocPos length = static_cast<DocPos>(model.size());
      const int action = rnd.Between(0, 9);
      if (action == 0) {
        const bool expected = at > 0;
        ASSERT_EQ(doc->Undo(), expected);
        if (expected) {
          --at;
          EXPECT_EQ(view.hints.back().code & 0xFFFFFF00u, 0x00C00000u);
          EXPECT_LE(view.hints.back().caret, doc->Length());
        }
      } else if (action == 1) {
        const bool expected = at + 1 < states.size();
        ASSERT_EQ(doc->Redo(), expected);
        if (expected) {
          ++at;
          EXPECT_EQ(view.hints.back().code & 0xFFFFFF00u, 0xC0000000u);
          EXPECT_LE(view.hints.back().caret, doc->Length());
        }
      } else {
        // Large ranges cross block boundaries; keep the document from growing without end.
        const DocPos span = rnd.Between(1, rnd.Between(0, 3) == 0 ? 2 * kBlock : 64);
        int kind = rnd.Between(0, 6);
        if (length == 0) kind = rnd.Between(0, 1) == 0 ? 1 : 3;
        if (length > 5 * kBlock && (kind == 1 || kind == 3)) kind = 4;
        const DocPos pos = length == 0 ? 0 : rnd.Between(0, length - 1);
        const DocPos last = std::min<DocPos>(length - 1, pos + span - 1);
        bool done = false;
        switch (kind) {
          case 0: {
            const std::uint8_t b = rnd.Byte();
            done = doc->EditOverwriteByte(pos, b);
            model[pos] = b;
            break;
          }
          case 1: {
            const DocPos where = rnd.Between(0, length);
            const std::uint8_t b = rnd.Byte();
            done = doc->EditInsertByte(where, b);
            model.insert(model.begin() + where, b);
            break;
          }
          case 2:
            done = doc->EditDeleteByte(pos);
            model.erase(model.begin() + pos);
            break;
          case 3: {
            const DocPos where = rnd.Between(0, length);
            const Bytes b = rnd.Some(span);
            done = doc->EditInsertBytes(where, b.data(), span);
            model.insert(model.begin() + where, b.begin(), b.end());
            break;
          }
          case 4:
            done = doc->EditCutRange(pos, last, EditMode::New, rnd.Between(0, 1) == 1);
            model.erase(model.begin() + pos, model.begin() + last + 1);
            break;
          case 5: {
            const Bytes b = rnd.Some(rnd.Between(1, span));
            done = doc->EditReplaceRange(pos, last, b.data(), static_cast<DocPos>(b.size()));
            model.erase(model.begin() + pos, model.begin() + last + 1);
            model.insert(model.begin() + pos, b.begin(), b.end());
            break;
          }
          case 6: {
            const std::uint8_t b = rnd.Byte();
            done = doc->EditFillRange(pos, last, b);
            std::fill(model.begin() + pos, model.begin() + last + 1, b);
            break;
          }
        }
        ASSERT_TRUE(done) << "kind " << kind << " at " << pos << " length " << length;
        states.resize(at + 1);
        states.push_back(std::move(model));
        ++at;
      }
      ASSERT_EQ(Contents(*doc), states[at]);
      ASSERT_EQ(doc->ChangeCounter(), static_cast<std::int32_t>(at));
      ASSERT_EQ(doc->IsModified(), at != 0);
      ASSERT_EQ(doc->UndoHistory().size(), at);
      ASSERT_EQ(doc->RedoHistory().size(), states.size() - 1 - at);
    }

    // Redo what is left, then undo everything and redo everything.
    while (doc->Redo()) ++at;
    ASSERT_EQ(at, states.size() - 1);
    ASSERT_EQ(Contents(*doc), states.back());
    while (doc->Undo()) {
    }
    EXPECT_EQ(Contents(*doc), loaded);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->ChangeCounter(), 0);
    while (doc->Redo()) {
    }
    EXPECT_EQ(Contents(*doc), states.back());
    EXPECT_EQ(doc->ChangeCounter(), static_cast<std::int32_t>(states.size() - 1));
    EXPECT_TRUE(doc->RedoHistory().empty());
  }
}

// ---------------------------------------------------------------------------
// The structure editor's read.

TEST_F(DocumentEditTest, StructureReadInsideTheDocumentChangesNothing) {
  auto doc = Open(kEight);
  std::uint8_t buffer[4];
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  EXPECT_EQ(doc->ReadStructureBytes(3, 4, buffer, false, 0), 4);
  EXPECT_EQ(Bytes(buffer, buffer + 4), (Bytes{0x33, 0x44, 0x55, 0x66}));
  EXPECT_EQ(Contents(*doc), kEight);
  EXPECT_TRUE(doc->UndoHistory().empty());
  EXPECT_FALSE(doc->IsModified());
  EXPECT_TRUE(view.hints.empty());
  EXPECT_TRUE(host.structureShown.empty());

  EXPECT_EQ(doc->ReadStructureBytes(4, 4, buffer, true, 1), 4);
  EXPECT_EQ(Bytes(buffer, buffer + 4), (Bytes{0x44, 0x55, 0x66, 0x77}));
  ASSERT_EQ(host.structureShown.size(), 1u);
  EXPECT_EQ(host.structureShown[0].start, 4);
  EXPECT_EQ(host.structureShown[0].count, 4);
  EXPECT_EQ(Contents(*doc), kEight) << "a read that ends exactly at the end adds nothing";
}

TEST_F(DocumentEditTest, StructureReadExtendsAShortEditableDocumentWithUndoableZeros) {
  const struct {
    DocPos position;
    DocPos count;
    Bytes read;
  } cases[] = {
      {6, 5, {0x66, 0x77, 0, 0, 0}},
      {8, 3, {0, 0, 0}},  // at the end: all of it is new
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "at " << c.position << " count " << c.count);
    auto doc = Open(kEight);
    view.hints.clear();
    host.structureShown.clear();
    Bytes buffer(c.count, 0xEE);
    EXPECT_EQ(doc->ReadStructureBytes(c.position, c.count, buffer.data(), true, 0), c.count);
    EXPECT_EQ(buffer, c.read);
    const DocPos newLength = c.position + c.count;
    Bytes extended = kEight;
    extended.resize(newLength, 0);
    EXPECT_EQ(Contents(*doc), extended);
    EXPECT_TRUE(doc->IsModified());
    ASSERT_EQ(doc->UndoHistory().size(), 1u);
    ExpectRecord(doc->UndoHistory().back(), {0x00C00007, 8, newLength - 1, {}, {}, {}});
    ASSERT_EQ(view.hints.size(), 1u);
    EXPECT_EQ(view.hints[0].code, hint::kBytesInserted);
    EXPECT_EQ(view.hints[0].position, 8);
    EXPECT_EQ(view.hints[0].count, newLength - 8);
    EXPECT_EQ(view.hints[0].length, newLength);
    ASSERT_EQ(host.structureShown.size(), 1u);
    EXPECT_EQ(host.structureShown[0].start, c.position);
    EXPECT_EQ(host.structureShown[0].count, c.count);

    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(Contents(*doc), kEight);
    EXPECT_FALSE(doc->IsModified());
  }
}

TEST_F(DocumentEditTest, StructureReadNeverExtendsADocumentThatMayNotBeEdited) {
  auto doc = Open(kEight);
  ASSERT_TRUE(doc->SetEditProhibited(true));
  Bytes buffer(5, 0xEE);
  EXPECT_EQ(doc->ReadStructureBytes(6, 5, buffer.data(), true, 0), 2);
  EXPECT_EQ(buffer, (Bytes{0x66, 0x77, 0, 0, 0}));
  EXPECT_EQ(Contents(*doc), kEight);
  EXPECT_TRUE(doc->UndoHistory().empty());
  EXPECT_FALSE(doc->IsModified());
  EXPECT_TRUE(view.hints.empty());
  ASSERT_EQ(host.structureShown.size(), 1u);
  EXPECT_EQ(host.structureShown[0].start, 6);

  // Nothing to read at all: the buffer is zeros and nothing is shown.
  std::fill(buffer.begin(), buffer.end(), 0xEE);
  EXPECT_EQ(doc->ReadStructureBytes(8, 5, buffer.data(), true, 0), 0);
  EXPECT_EQ(buffer, Bytes(5, 0));
  EXPECT_EQ(host.structureShown.size(), 1u);
  EXPECT_EQ(Contents(*doc), kEight);
}

}  // namespace
}  // namespace vantrell
