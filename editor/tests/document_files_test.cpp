#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "document/block_cursor.h"
#include "document/document_file_reader.h"
#include "document/file_changed_answer.h"
#include "document/vantrell_doc.h"
#include "test_document_host.h"

namespace vantrell {
namespace {

namespace fs = std::filesystem;
using testing::TestDocumentHost;

Bytes RandomBytes(std::size_t count, unsigned seed = 1) {
  std::mt19937 random(seed);
  Bytes bytes(count);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes DocumentBytes(CVantrellDoc& doc) {
  Bytes out(doc.Length());
  BlockCursor cursor(doc.Blocks());
  if (!out.empty()) {
    EXPECT_TRUE(cursor.Seek(0));
    EXPECT_EQ(cursor.ReadBytes(doc.Length(), out.data()), doc.Length());
  }
  return out;
}

std::vector<std::uint32_t> BlockSizes(const BlockList& list) {
  std::vector<std::uint32_t> sizes;
  for (const ByteBlock* b = list.First(); b != nullptr; b = list.Next(b)) sizes.push_back(b->used);
  return sizes;
}

// Exit code of a shell command run as a second process.
int OtherProcessExit(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class DocumentFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vantrell-doc-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code error;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(dir_, error);
  }

  std::unique_ptr<CVantrellDoc> MakeDoc(DocumentSettings settings = {},
                                        std::vector<ExtProfile> profiles = {}) {
    return std::make_unique<CVantrellDoc>(host_, settings, std::move(profiles));
  }
  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  std::vector<std::string> FilesInDir() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
  TestDocumentHost host_;
};

TEST_F(DocumentFilesTest, LoadsFilesIntoFullBlocksChunkByChunk) {
  struct Case {
    std::size_t size;
    std::vector<std::uint32_t> blocks;  // expected used lengths (a prefix when long)
    std::size_t blockCount;
    int fullChunks;
  };
  const Case cases[] = {
      {0, {0}, 1, 0},
      {1, {1}, 1, 0},
      {16384, {16384}, 1, 0},
      {16385, {16384, 1}, 2, 0},
      {3 * 16384, {16384, 16384, 16384}, 3, 0},
      {kLoadChunkSize, {16384}, 100, 1},
      {kLoadChunkSize + 5, {16384}, 101, 1},
      {2 * kLoadChunkSize + 16385, {16384}, 202, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    const Bytes content = RandomBytes(c.size, static_cast<unsigned>(c.size));
    WriteBytes(PathOf("f.bin"), content);
    host_.pendingEventsProcessed = 0;
    auto doc = MakeDoc();
    ASSERT_TRUE(doc->OnOpenDocument(PathOf("f.bin")));
    EXPECT_EQ(doc->Length(), static_cast<DocPos>(c.size));
    EXPECT_EQ(doc->Blocks().CheckInvariants(), "");
    const auto sizes = BlockSizes(doc->Blocks());
    ASSERT_EQ(sizes.size(), c.blockCount);
    EXPECT_TRUE(std::equal(c.blocks.begin(), c.blocks.end(), sizes.begin()));
    for (std::size_t i = 0; i + 1 < sizes.size(); ++i) EXPECT_EQ(sizes[i], 16384u);
    EXPECT_EQ(DocumentBytes(*doc), content);
    EXPECT_EQ(host_.pendingEventsProcessed, c.fullChunks);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(host_.prompt.shown.empty());
  }
}

TEST_F(DocumentFilesTest, ReadsWhateverAPipeDeliversWithoutOverrunningBlocks) {
  // Reads that return odd amounts (a file changing while it is read behaves
  // alike) must still fill blocks in order and never beyond their capacity.
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const Bytes content = RandomBytes(3 * kLoadChunkSize / 2 + 777, 9);
  std::thread writer([&] {
    std::size_t done = 0;
    std::size_t piece = 1;
    while (done < content.size()) {
      const std::size_t n = std::min(piece, content.size() - done);
      ASSERT_EQ(::write(fds[1], content.data() + done, n), static_cast<ssize_t>(n));
      done += n;
      piece = piece * 7 % 40009 + 1;
    }
    ::close(fds[1]);
  });
  BlockList blocks;
  EXPECT_EQ(ReadIntoBlocks(fds[0], blocks, {}), ReadResult::Ok);
  writer.join();
  ::close(fds[0]);
  EXPECT_EQ(blocks.CheckInvariants(), "");
  EXPECT_EQ(blocks.TotalLength(), static_cast<std::int64_t>(content.size()));
  Bytes loaded(content.size());
  BlockCursor cursor(blocks);
  ASSERT_TRUE(cursor.Seek(0));
  EXPECT_EQ(cursor.ReadBytes(static_cast<DocPos>(loaded.size()), loaded.data()),
            static_cast<DocPos>(loaded.size()));
  EXPECT_EQ(loaded, content);
}

TEST_F(DocumentFilesTest, RefusesWhatCannotBeHeldAsADocument) {
  const std::string missing = PathOf("missing.bin");
  const std::string folder = PathOf("folder");
  fs::create_directory(folder);
  const std::string huge = PathOf("huge.bin");
  {
    // 2 GiB, sparse: positions are signed 32-bit, so this is one byte too many.
    const int fd = ::open(huge.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_EQ(::ftruncate(fd, std::int64_t{1} << 31), 0);
    ::close(fd);
  }
  struct Case {
    std::string path;
    MessageIcon icon;
  };
  for (const Case& c : {Case{missing, MessageIcon::None}, Case{folder, MessageIcon::Error},
                        Case{huge, MessageIcon::Error}}) {
    SCOPED_TRACE(c.path);
    host_.prompt.shown.clear();
    auto doc = MakeDoc();
    EXPECT_FALSE(doc->OnOpenDocument(c.path));
    ASSERT_EQ(host_.prompt.ShownIds(), std::vector<int>{1020});
    EXPECT_EQ(host_.prompt.shown[0].text, "\"" + c.path + "\"の読み込みに失敗しました");
    EXPECT_EQ(host_.prompt.shown[0].icon, c.icon);
    EXPECT_FALSE(doc->IsFileHeldOpen());
  }
}

TEST_F(DocumentFilesTest, SavesEditsAndKeepsPermissionsAndLinks) {
  const std::string real = PathOf("real.bin");
  const std::string link = PathOf("link.bin");
  WriteBytes(real, {1, 2, 3, 4});
  ::chmod(real.c_str(), 0640);
  fs::create_symlink(real, link);
  DocumentSettings settings;
  settings.backupGenerations = 0;
  auto doc = MakeDoc(settings);
  ASSERT_TRUE(doc->OnOpenDocument(link));
  ASSERT_TRUE(doc->EditOverwriteByte(0, 0xAA));
  ASSERT_TRUE(doc->EditInsertByte(4, 0x55));
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(doc->GetTitle(), "link.bin *");

  ASSERT_TRUE(doc->OnSaveDocument(doc->GetPathName()));
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(doc->GetTitle(), "link.bin");
  EXPECT_EQ(ReadBytes(real), (Bytes{0xAA, 2, 3, 4, 0x55}));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(FilesInDir(), (std::vector<std::string>{"link.bin", "real.bin"}));  // no temporaries
}

TEST_F(DocumentFilesTest, EmptyDocumentSavesAsAnEmptyFile) {
  WriteBytes(PathOf("empty.bin"), {});
  auto doc = MakeDoc();
  ASSERT_TRUE(doc->OnOpenDocument(PathOf("empty.bin")));
  EXPECT_EQ(doc->Length(), 0);
  EXPECT_EQ(doc->Blocks().BlockCount(), 1);
  ASSERT_TRUE(doc->EditInsertByte(0, 7));
  ASSERT_TRUE(doc->Undo());
  ASSERT_TRUE(doc->SaveAs(PathOf("copy.bin")));
  EXPECT_TRUE(fs::exists(PathOf("copy.bin")));
  EXPECT_EQ(fs::file_size(PathOf("copy.bin")), 0u);
  EXPECT_EQ(doc->GetPathName(), PathOf("copy.bin"));
}

TEST_F(DocumentFilesTest, KeepsBackupGenerations) {
  const std::string path = PathOf("data.bin");
  WriteBytes(path, {0});
  DocumentSettings settings;
  settings.backupGenerations = 3;
  auto doc = MakeDoc(settings);
  ASSERT_TRUE(doc->OnOpenDocument(path));
  // After save n the file holds n; the backups hold the versions before it.
  const std::vector<std::vector<std::pair<std::string, std::uint8_t>>> expected = {
      {{"data.bin.bak", 0}},
      {{"data.bin.bak", 1}, {"data.bin.bk1", 0}},
      {{"data.bin.bak", 2}, {"data.bin.bk1", 1}, {"data.bin.bk2", 0}},
      {{"data.bin.bak", 3}, {"data.bin.bk1", 2}, {"data.bin.bk2", 1}},
  };
  for (std::size_t save = 0; save < expected.size(); ++save) {
    SCOPED_TRACE(save + 1);
    ASSERT_TRUE(doc->EditOverwriteByte(0, static_cast<std::uint8_t>(save + 1)));
    ASSERT_TRUE(doc->OnSaveDocument(path));
    std::vector<std::string> names = {"data.bin"};
    for (const auto& [name, byte] : expected[save]) {
      names.push_back(name);
      EXPECT_EQ(ReadBytes(PathOf(name)), Bytes{byte}) << name;
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(FilesInDir(), names);
    EXPECT_EQ(ReadBytes(path), Bytes{static_cast<std::uint8_t>(save + 1)});
  }
  EXPECT_TRUE(host_.prompt.shown.empty());
}

TEST_F(DocumentFilesTest, BackupSettingsDecideWhereAndWhether) {
  const std::string path = PathOf("data.bin");
  const std::string folder = PathOf("backups");
  fs::create_directory(folder);
  struct Case {
    int generations;
    std::string folder;
    std::vector<std::string> backups;  // after two saves
  };
  const Case cases[] = {
      {0, "", {}},
      {1, "", {PathOf("data.bin.bak")}},
      {2, folder + "/", {folder + "/data.bin.bak", folder + "/data.bin.bk1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.generations);
    WriteBytes(path, {9});
    for (const auto& entry : fs::directory_iterator(dir_))
      if (entry.path() != path && entry.path() != folder) fs::remove(entry.path());
    for (const auto& entry : fs::directory_iterator(folder)) fs::remove(entry.path());
    DocumentSettings settings;
    settings.backupGenerations = c.generations;
    settings.backupFolder = c.folder;
    auto doc = MakeDoc(settings);
    ASSERT_TRUE(doc->OnOpenDocument(path));
    for (std::uint8_t value : {1, 2}) {
      ASSERT_TRUE(doc->EditOverwriteByte(0, value));
      ASSERT_TRUE(doc->OnSaveDocument(path));
    }
    std::size_t backups = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir_))
      if (entry.is_regular_file() && entry.path() != path) ++backups;
    EXPECT_EQ(backups, c.backups.size());
    for (const std::string& name : c.backups) EXPECT_TRUE(fs::exists(name)) << name;
  }
}

TEST_F(DocumentFilesTest, BackupIntoAMissingFolderWarnsAndStillSaves) {
  const std::string path = PathOf("data.bin");
  WriteBytes(path, {1});
  DocumentSettings settings;
  settings.backupFolder = PathOf("no-such-folder");
  auto doc = MakeDoc(settings);
  ASSERT_TRUE(doc->OnOpenDocument(path));
  ASSERT_TRUE(doc->EditOverwriteByte(0, 2));
  EXPECT_TRUE(doc->OnSaveDocument(path));
  EXPECT_EQ(host_.prompt.ShownIds(), std::vector<int>{1010});
  EXPECT_EQ(ReadBytes(path), Bytes{2});
}

TEST_F(DocumentFilesTest, FailedSaveLeavesFileAndBackupsIntact) {
  // A file size limit makes every write beyond 64 KiB fail, as a full disk would.
  const std::string path = PathOf("data.bin");
  const Bytes original = RandomBytes(100000, 3);
  WriteBytes(path, original);
  WriteBytes(PathOf("data.bin.bak"), {42});
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{65536, 65536};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    TestDocumentHost host;
    host.prompt.answers = {Answer::Retry, Answer::Cancel};
    DocumentSettings settings;
    settings.backupGenerations = 3;
    CVantrellDoc doc(host, settings, {});
    bool ok = doc.OnOpenDocument(path) && doc.EditOverwriteByte(0, ~original[0]);
    ok = ok && !doc.OnSaveDocument(path);   // fails, retried once, then cancelled
    ok = ok && doc.IsModified() && host.prompt.ShownIds() == std::vector<int>{1018, 1018};
    ok = ok && host.prompt.shown[0].icon == MessageIcon::Warning &&
         host.prompt.shown[0].buttons == MessageButtons::RetryCancel;
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadBytes(path), original);
  EXPECT_EQ(ReadBytes(PathOf("data.bin.bak")), Bytes{42});
  EXPECT_EQ(FilesInDir(), (std::vector<std::string>{"data.bin", "data.bin.bak"}));
}

TEST_F(DocumentFilesTest, ExclusiveSettingLocksAgainstOtherProcesses) {
  const std::string path = PathOf("locked.bin");
  WriteBytes(path, {1, 2, 3});
  struct Case {
    int exclusive;
    bool heldOpen;
    bool othersMayRead;   // a shared lock, as a reader that denies writing takes
    bool othersMayWrite;  // an exclusive lock
  };
  const Case cases[] = {{0, false, true, true}, {1, true, true, false}, {2, true, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.exclusive);
    DocumentSettings settings;
    settings.exclusive = c.exclusive;
    settings.backupGenerations = 0;
    auto doc = MakeDoc(settings);
    ASSERT_TRUE(doc->OnOpenDocument(path));
    EXPECT_EQ(doc->IsFileHeldOpen(), c.heldOpen);
    EXPECT_EQ(OtherProcessExit("flock -n -s " + path + " true") == 0, c.othersMayRead);
    EXPECT_EQ(OtherProcessExit("flock -n -x " + path + " true") == 0, c.othersMayWrite);

    // Saving replaces the file; the lock must come along to the new one.
    ASSERT_TRUE(doc->EditOverwriteByte(0, static_cast<std::uint8_t>(c.exclusive)));
    ASSERT_TRUE(doc->OnSaveDocument(path));
    EXPECT_EQ(OtherProcessExit("flock -n -s " + path + " true") == 0, c.othersMayRead);
    EXPECT_EQ(OtherProcessExit("flock -n -x " + path + " true") == 0, c.othersMayWrite);

    doc->OnCloseDocument();
    EXPECT_EQ(OtherProcessExit("flock -n -x " + path + " true"), 0);
  }
}

TEST_F(DocumentFilesTest, FileLockedByAnotherProgramOffersBrowseMode) {
  const std::string path = PathOf("held.bin");
  WriteBytes(path, {1, 2, 3});
  struct Case {
    int otherLock;  // what the other program holds
    Answer answer;
    bool opens;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {LOCK_SH, Answer::Ok, true, {1041}},          // it denies writing: we may read
      {LOCK_SH, Answer::Cancel, false, {1041}},     // cancelled silently
      {LOCK_EX, Answer::Ok, false, {1041, 1020}},   // it denies reading too
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.otherLock == LOCK_SH ? "shared" : "exclusive");
    // Locks of separate opens conflict even inside one process.
    const int other = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(other, c.otherLock | LOCK_NB), 0);
    host_.prompt.shown.clear();
    host_.prompt.answers = {c.answer};
    auto doc = MakeDoc();
    EXPECT_EQ(doc->OnOpenDocument(path), c.opens);
    EXPECT_EQ(host_.prompt.ShownIds(), c.messages);
    EXPECT_EQ(host_.prompt.shown[0].buttons, MessageButtons::OkCancel);
    if (c.opens) {
      EXPECT_EQ(doc->GetEditState(), EditState::Browse);
      EXPECT_FALSE(doc->SetEditProhibited(false));
      EXPECT_EQ(doc->GetEditState(), EditState::Browse);
      EXPECT_EQ(DocumentBytes(*doc), (Bytes{1, 2, 3}));
    }
    ::close(other);
  }
}

TEST_F(DocumentFilesTest, ReportsEachOutsideChangeOnceAndReloadsIt) {
  const std::string path = PathOf("watched.bin");
  WriteBytes(path, {1, 2, 3});
  for (int exclusive : {0, 2}) {
    SCOPED_TRACE(exclusive);
    DocumentSettings settings;
    settings.exclusive = exclusive;
    settings.backupGenerations = 0;
    auto doc = MakeDoc(settings);
    ASSERT_TRUE(doc->OnOpenDocument(path));
    EXPECT_FALSE(doc->HasFileChanged());

    // Another program saves its own way: a new file renamed over the old one.
    WriteBytes(PathOf("other.tmp"), {7, 7, 7, 7});
    fs::rename(PathOf("other.tmp"), path);
    EXPECT_TRUE(doc->HasFileChanged());
    EXPECT_FALSE(doc->HasFileChanged());

    ASSERT_TRUE(doc->EditInsertByte(0, 5));
    ASSERT_TRUE(doc->Reload());
    EXPECT_EQ(DocumentBytes(*doc), (Bytes{7, 7, 7, 7}));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(doc->UndoHistory().empty());
    EXPECT_EQ(doc->ChangeCounter(), 0);

    // A change in place with a new time is seen as well.
    WriteBytes(path, {1, 2, 3});
    timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    EXPECT_TRUE(doc->HasFileChanged());
    EXPECT_FALSE(doc->HasFileChanged());
    doc->OnCloseDocument();
  }
}

TEST_F(DocumentFilesTest, OwnSaveIsNotAnOutsideChange) {
  const std::string path = PathOf("own.bin");
  WriteBytes(path, {1});
  auto doc = MakeDoc();
  ASSERT_TRUE(doc->OnOpenDocument(path));
  ASSERT_TRUE(doc->EditInsertByte(1, 2));
  ASSERT_TRUE(doc->OnSaveDocument(path));
  EXPECT_FALSE(doc->HasFileChanged());
}

TEST_F(DocumentFilesTest, TitlesFollowPathAndModifiedFlag) {
  WriteBytes(PathOf("a.bin"), {1});
  struct Case {
    bool fullPath;
    std::string clean;
  };
  for (const Case& c : {Case{false, "a.bin"}, Case{true, PathOf("a.bin")}}) {
    DocumentSettings settings;
    settings.fullPath = c.fullPath;
    auto doc = MakeDoc(settings);
    ASSERT_TRUE(doc->OnOpenDocument(PathOf("a.bin")));
    EXPECT_EQ(doc->GetTitle(), c.clean);
    ASSERT_TRUE(doc->EditOverwriteByte(0, 2));
    EXPECT_EQ(doc->GetTitle(), c.clean + " *");
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc->GetTitle(), c.clean);
  }

  host_.untitled = 0;
  auto first = MakeDoc();
  auto second = MakeDoc();
  ASSERT_TRUE(first->OnNewDocument());
  ASSERT_TRUE(second->OnNewDocument());
  EXPECT_EQ(first->GetTitle(), "Vantre1");
  EXPECT_EQ(second->GetTitle(), "Vantre2");
  ASSERT_TRUE(first->EditInsertByte(0, 1));
  EXPECT_EQ(first->GetTitle(), "Vantre1 *");
  EXPECT_EQ(host_.modifiedNotices.back(), true);
  ASSERT_TRUE(first->SaveAs(PathOf("named.bin")));
  EXPECT_EQ(first->GetTitle(), "named.bin");
  EXPECT_EQ(host_.modifiedNotices.back(), false);
  EXPECT_TRUE(first->IsLoadedFromFile());
}

TEST_F(DocumentFilesTest, PerExtensionRecordSetsOpenState) {
  ExtProfile base = ExtProfile::MakeBase();
  ExtProfile bin;
  bin.extension = "bin";
  bin.insertOpen = true;
  bin.disableOpen = true;
  bin.characterSet = CharacterSet::Unicode;
  bin.byteOrder = ByteOrder::BigEndian;
  bin.emphasised = {{0x00, 0x0000FF}};
  const std::vector<ExtProfile> profiles = {base, bin};
  WriteBytes(PathOf("x.BIN"), {1});
  WriteBytes(PathOf("x.txt"), {1});

  auto binDoc = MakeDoc({}, profiles);
  ASSERT_TRUE(binDoc->OnOpenDocument(PathOf("x.BIN")));
  EXPECT_EQ(binDoc->Profile().extension, "bin");
  EXPECT_TRUE(binDoc->InsertMode());
  EXPECT_EQ(binDoc->GetEditState(), EditState::Prohibited);
  EXPECT_EQ(binDoc->GetCharacterSet(), CharacterSet::Unicode);
  EXPECT_EQ(binDoc->GetByteOrder(), ByteOrder::BigEndian);
  EXPECT_EQ(binDoc->TextColours()[0x00], 0x0000FFu);
  EXPECT_EQ(binDoc->TextColours()[0x01], 0x000000u);
  EXPECT_TRUE(binDoc->SetEditProhibited(false));
  EXPECT_EQ(binDoc->GetEditState(), EditState::Editable);

  auto txtDoc = MakeDoc({}, profiles);
  ASSERT_TRUE(txtDoc->OnOpenDocument(PathOf("x.txt")));
  EXPECT_TRUE(txtDoc->Profile().base);
  EXPECT_EQ(txtDoc->Profile().comment, "すべてのファイル");
  EXPECT_EQ(txtDoc->GetEditState(), EditState::Editable);
  EXPECT_EQ(txtDoc->GetCharacterSet(), CharacterSet::ShiftJis);

  // New documents: the first record; editable unless both settings say no.
  std::vector<ExtProfile> prohibitedFirst = {bin, base};
  for (bool alwaysEdit : {true, false}) {
    DocumentSettings settings;
    settings.alwaysEditNewDocument = alwaysEdit;
    auto doc = MakeDoc(settings, prohibitedFirst);
    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_EQ(doc->GetEditState(), alwaysEdit ? EditState::Editable : EditState::Prohibited);
  }
}

TEST_F(DocumentFilesTest, ClearUndoOnSaveDropsHistories) {
  WriteBytes(PathOf("u.bin"), {1, 2});
  for (bool clearUndo : {false, true}) {
    DocumentSettings settings;
    settings.clearUndo = clearUndo;
    settings.backupGenerations = 0;
    auto doc = MakeDoc(settings);
    ASSERT_TRUE(doc->OnOpenDocument(PathOf("u.bin")));
    ASSERT_TRUE(doc->EditOverwriteByte(0, 3));
    ASSERT_TRUE(doc->EditOverwriteByte(1, 4));
    ASSERT_TRUE(doc->Undo());
    ASSERT_TRUE(doc->OnSaveDocument(PathOf("u.bin")));
    EXPECT_EQ(doc->UndoHistory().empty(), clearUndo);
    EXPECT_EQ(doc->RedoHistory().empty(), clearUndo);
    EXPECT_EQ(doc->ChangeCounter(), clearUndo ? 0 : 1);
  }
}

}  // namespace
}  // namespace vantrell

namespace vantrell {
namespace {

TEST_F(DocumentFilesTest, ChecksTheNameForSavingACopyOfAChangedFile) {
  const std::string path = PathOf("doc.bin");
  WriteBytes(path, {1});
  fs::create_symlink(path, PathOf("alias.bin"));
  struct Case {
    FileChangedChoice choice;
    std::string name;
    int message;
  };
  const Case cases[] = {
      {FileChangedChoice::Ignore, "", 0},
      {FileChangedChoice::Reload, path, 0},
      {FileChangedChoice::SaveCopy, "", 1027},
      {FileChangedChoice::SaveCopy, path, 1046},
      {FileChangedChoice::SaveCopy, dir_.string() + "/./doc.bin", 1046},
      {FileChangedChoice::SaveCopy, PathOf("alias.bin"), 1046},
      {FileChangedChoice::SaveCopy, PathOf("copy.bin"), 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckFileChangedAnswer(path, c.choice, c.name), c.message) << c.name;
}

}  // namespace
}  // namespace vantrell

namespace vantrell {
namespace {

// Runs a check as an unprivileged user in a child process, since permission
// checks do not apply to root. The check returns true on success.
template <typename Check>
void AsUnprivilegedUser(Check check) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(DocumentFilesTest, PermissionsDecideBrowseModeAndHowToSave) {
  ::chmod(dir_.c_str(), 0777);
  const std::string readOnly = PathOf("read-only.bin");
  WriteBytes(readOnly, {1, 2});
  ::chmod(readOnly.c_str(), 0444);

  AsUnprivilegedUser([&] {
    TestDocumentHost host;
    for (int exclusive : {0, 1, 2}) {
      DocumentSettings settings;
      settings.exclusive = exclusive;
      CVantrellDoc doc(host, settings, {});
      if (!doc.OnOpenDocument(readOnly) || doc.GetEditState() != EditState::Browse) return false;
      if (DocumentBytes(doc) != Bytes{1, 2}) return false;
    }
    return host.prompt.shown.empty();
  });

  // A folder that takes no new file: a writable file is rewritten in place,
  // a read-only one is not touched.
  const std::string folder = PathOf("locked-folder");
  fs::create_directory(folder);
  const std::string writable = folder + "/writable.bin";
  const std::string protectedFile = folder + "/protected.bin";
  WriteBytes(writable, {1, 2, 3});
  WriteBytes(protectedFile, {1, 2, 3});
  ::chmod(writable.c_str(), 0666);
  ::chmod(protectedFile.c_str(), 0444);
  ::chmod(folder.c_str(), 0555);

  AsUnprivilegedUser([&] {
    TestDocumentHost host;
    DocumentSettings settings;
    settings.backupGenerations = 0;
    CVantrellDoc doc(host, settings, {});
    if (!doc.OnOpenDocument(writable) || !doc.EditOverwriteByte(0, 9)) return false;
    if (!doc.OnSaveDocument(writable) || doc.IsModified()) return false;

    host.prompt.answers = {Answer::Cancel};
    CVantrellDoc copy(host, settings, {});
    if (!copy.OnOpenDocument(writable) || !copy.EditOverwriteByte(1, 9)) return false;
    return !copy.SaveAs(protectedFile) && copy.IsModified() &&
           host.prompt.ShownIds() == std::vector<int>{1018};
  });
  EXPECT_EQ(ReadBytes(writable), (Bytes{9, 2, 3}));
  EXPECT_EQ(ReadBytes(protectedFile), (Bytes{1, 2, 3}));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"protected.bin", "writable.bin"}));
}

}  // namespace
}  // namespace vantrell
