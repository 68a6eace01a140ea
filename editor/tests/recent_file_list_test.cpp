// The recent-file list: its operations and its form in the settings store.
#include <QSettings>
#include <QTemporaryDir>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "shell/vantrell_recent_file_list.h"

namespace vantrell {
namespace {

using Entry = std::pair<std::string, DocPos>;
using Entries = std::vector<Entry>;
constexpr const char* kSection = "Recent File List";

// A list of `size` entries holding exactly `entries` (empty paths included),
// set up through the store so that no list operation is involved.
CVantrellRecentFileList MakeList(int size, const Entries& entries) {
  MemorySettingsStore store;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    store.WriteString(kSection, "File" + n, entries[i].first);
    store.WriteInt(kSection, "Address" + n, entries[i].second);
  }
  CVantrellRecentFileList list(size);
  list.ReadList(store);
  return list;
}

Entries Contents(const CVantrellRecentFileList& list) {
  Entries entries;
  for (int i = 0; i < list.Size(); ++i) entries.emplace_back(list[i], list.Address(i));
  return entries;
}

TEST(RecentFileList, AddMovesThePathToTheTopWithItsAddress) {
  const Entries full = {{"/d/a", 0xA}, {"/d/b", 0xB}, {"/d/c", 0xC}, {"/d/e", 0xE}};
  struct Case {
    const char* what;
    Entries before;
    std::string added;
    DocPos returned;
    Entries after;
  };
  const Case cases[] = {
      {"into an empty list", {}, "/d/a", 0, {{"/d/a", 0}, {"", 0}, {"", 0}, {"", 0}}},
      {"new path while not full", {{"/d/a", 0xA}}, "/d/b", 0,
       {{"/d/b", 0}, {"/d/a", 0xA}, {"", 0}, {"", 0}}},
      {"new path drops the last entry", full, "/d/n", 0,
       {{"/d/n", 0}, {"/d/a", 0xA}, {"/d/b", 0xB}, {"/d/c", 0xC}}},
      {"middle entry moves up", full, "/d/c", 0xC,
       {{"/d/c", 0xC}, {"/d/a", 0xA}, {"/d/b", 0xB}, {"/d/e", 0xE}}},
      {"top entry stays", full, "/d/a", 0xA, full},
      // Only entries 0..size-2 are searched: the last entry is added anew.
      {"last entry comes back without its address", full, "/d/e", 0,
       {{"/d/e", 0}, {"/d/a", 0xA}, {"/d/b", 0xB}, {"/d/c", 0xC}}},
      {"letter case makes another path", full, "/d/B", 0,
       {{"/d/B", 0}, {"/d/a", 0xA}, {"/d/b", 0xB}, {"/d/c", 0xC}}},
      {"the path is made full before the search", full, "/d/x/../b", 0xB,
       {{"/d/b", 0xB}, {"/d/a", 0xA}, {"/d/c", 0xC}, {"/d/e", 0xE}}},
      {"an empty path changes nothing", full, "", 0, full},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CVantrellRecentFileList list = MakeList(4, c.before);
    EXPECT_EQ(list.Add(c.added), c.returned);
    EXPECT_EQ(Contents(list), c.after);
  }
}

TEST(RecentFileList, AddOfARelativePathStoresTheAbsolutePath) {
  CVantrellRecentFileList list(3);
  list.Add("sub/./file.bin");
  EXPECT_EQ(list[0], (std::filesystem::current_path() / "sub/file.bin").string());
  // The same file named another way is found again.
  list.SetAddress("sub/file.bin", 0x40);
  EXPECT_EQ(list.Add((std::filesystem::current_path() / "sub/x/../file.bin").string()), 0x40);
}

TEST(RecentFileList, ListOfSizeZeroStaysEmpty) {
  CVantrellRecentFileList list(0);
  EXPECT_EQ(list.Add("/d/a"), 0);
  EXPECT_EQ(list.Size(), 0);
  EXPECT_TRUE(list.MenuItemTexts().empty());
}

TEST(RecentFileList, RemoveShiftsLaterEntriesUp) {
  const Entries full = {{"/d/a", 1}, {"/d/b", 2}, {"/d/c", 3}};
  const std::pair<int, Entries> cases[] = {
      {0, {{"/d/b", 2}, {"/d/c", 3}, {"", 0}}},
      {1, {{"/d/a", 1}, {"/d/c", 3}, {"", 0}}},
      {2, {{"/d/a", 1}, {"/d/b", 2}, {"", 0}}},
      {-1, full},
      {3, full},
  };
  for (const auto& [index, after] : cases) {
    SCOPED_TRACE(index);
    CVantrellRecentFileList list = MakeList(3, full);
    list.Remove(index);
    EXPECT_EQ(Contents(list), after);
  }
}

TEST(RecentFileList, SetAddressChangesTheFirstMatchBeforeAnEmptyEntry) {
  // Entry 2 is empty (a gap in the stored list); "/d/c" lies beyond it.
  CVantrellRecentFileList list =
      MakeList(4, {{"/d/a", 1}, {"/d/a", 2}, {"", 0}, {"/d/c", 3}});
  list.SetAddress("/d/a", 0x100);
  list.SetAddress("/d/c", 0x300);
  list.SetAddress("/d/unknown", 0x400);
  list.SetAddress("/D/A", 0x500);
  EXPECT_EQ(Contents(list), (Entries{{"/d/a", 0x100}, {"/d/a", 2}, {"", 0}, {"/d/c", 3}}));
}

TEST(RecentFileList, RefreshAddressesTakesTheCaretOfTheFirstOpenDocument) {
  CVantrellRecentFileList list =
      MakeList(5, {{"/d/a", 1}, {"", 0}, {"/d/c", 3}, {"/d/closed", 4}, {"/d/C", 5}});
  list.RefreshAddresses({{"/d/other", 0x77},
                         {"/d/c", 0x30},
                         {"/d/a", 0x10},
                         {"/d/a", 0x99},  // a second document of the same file
                         {"", 0x55}});    // an unnamed new document
  EXPECT_EQ(Contents(list),
            (Entries{{"/d/a", 0x10}, {"", 0}, {"/d/c", 0x30}, {"/d/closed", 4}, {"/d/C", 5}}));
}

TEST(RecentFileList, ResizeAcceptsZeroToSixteenAndKeepsTheFirstEntries) {
  const Entries four = {{"/d/a", 1}, {"/d/b", 2}, {"/d/c", 3}, {"/d/e", 4}};
  Entries sixteen = four;
  sixteen.resize(16, {"", 0});
  const struct {
    int size;
    bool accepted;
    Entries after;
  } cases[] = {
      {0, true, {}},
      {2, true, {{"/d/a", 1}, {"/d/b", 2}}},
      {4, true, four},
      {6, true, {{"/d/a", 1}, {"/d/b", 2}, {"/d/c", 3}, {"/d/e", 4}, {"", 0}, {"", 0}}},
      {16, true, sixteen},
      {17, false, four},
      {-1, false, four},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    CVantrellRecentFileList list = MakeList(4, four);
    EXPECT_EQ(list.Resize(c.size), c.accepted);
    EXPECT_EQ(Contents(list), c.after);
  }
}

TEST(RecentFileList, EntriesDroppedByShrinkingDoNotReturnWhenGrowing) {
  CVantrellRecentFileList list = MakeList(4, {{"/d/a", 1}, {"/d/b", 2}, {"/d/c", 3}});
  ASSERT_TRUE(list.Resize(1));
  ASSERT_TRUE(list.Resize(3));
  EXPECT_EQ(Contents(list), (Entries{{"/d/a", 1}, {"", 0}, {"", 0}}));
  EXPECT_EQ(CVantrellRecentFileList(17).Size(), 16);
  EXPECT_EQ(CVantrellRecentFileList(-3).Size(), 0);
}

// The two stores the list is written to: memory and a settings file.
class RecentFileListStore : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    store_ = Open();
  }
  std::unique_ptr<SettingsStore> Open() {
    if (!GetParam()) return std::make_unique<MemorySettingsStore>();
    return std::make_unique<QSettingsStore>(dir_.filePath("Vantrell.conf"));
  }
  // After a QSettingsStore is flushed, a second one on the file sees the
  // same values; the memory store is its own second view.
  SettingsStore& Reopened() {
    if (!GetParam()) return *store_;
    store_->Flush();
    reopened_ = Open();
    return *reopened_;
  }

  QTemporaryDir dir_;
  std::unique_ptr<SettingsStore> store_;
  std::unique_ptr<SettingsStore> reopened_;
};

TEST_P(RecentFileListStore, WriteListReplacesTheSectionAndReadListRestoresTheList) {
  // Stale entries of a longer list, a foreign entry in the section and
  // another section.
  for (int i = 1; i <= 6; ++i) {
    store_->WriteString(kSection, "File" + std::to_string(i), "/old/" + std::to_string(i));
    store_->WriteInt(kSection, "Address" + std::to_string(i), i);
  }
  store_->WriteString(kSection, "Stray", "x");
  store_->WriteInt("Settings", "MRUNum", 7);

  CVantrellRecentFileList list = MakeList(5, {{"/d/a&b.bin", 0x1234}, {"/d/データ", 0x7FFFFFFF},
                                              {"", 0}, {"/d/e", 0}});
  ASSERT_TRUE(list.WriteList(*store_));

  SettingsStore& stored = Reopened();
  EXPECT_EQ(stored.Entries(kSection),
            (std::vector<std::string>{"Address1", "Address2", "Address4", "File1", "File2", "File4"}));
  EXPECT_EQ(stored.GetString(kSection, "File1", "-"), "/d/a&b.bin");
  EXPECT_EQ(stored.GetInt(kSection, "Address1", -1), 0x1234);
  EXPECT_EQ(stored.GetString(kSection, "File2", "-"), "/d/データ");
  EXPECT_EQ(stored.GetInt(kSection, "Address2", -1), 0x7FFFFFFF);
  EXPECT_EQ(stored.GetInt("Settings", "MRUNum", 0), 7);

  CVantrellRecentFileList read(5);
  read.Add("/d/to-be-overwritten");
  read.ReadList(stored);
  EXPECT_EQ(Contents(read), Contents(list));
}

TEST_P(RecentFileListStore, ReadListTakesDefaultsAndOnlyItsOwnNumbers) {
  store_->WriteString(kSection, "File1", "/d/a");
  store_->WriteString(kSection, "Address1", "not a number");
  store_->WriteString(kSection, "File3", "/d/c");
  store_->WriteInt(kSection, "Address3", 33);
  store_->WriteString(kSection, "File4", "/d/beyond");
  store_->WriteString("Other", "File2", "/d/other-section");

  CVantrellRecentFileList list(3);
  list.ReadList(Reopened());
  EXPECT_EQ(Contents(list), (Entries{{"/d/a", 0}, {"", 0}, {"/d/c", 33}}));
}

INSTANTIATE_TEST_SUITE_P(Stores, RecentFileListStore, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "SettingsFile" : "Memory"; });

TEST(RecentFileListSettingsFile, KeysAreGroupedUnderTheSectionName) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath("Vantrell.conf");
  {
    QSettingsStore store(file);
    CVantrellRecentFileList list = MakeList(2, {{"/d/a", 5}});
    ASSERT_TRUE(list.WriteList(store));
  }
  QSettings raw(file, QSettings::IniFormat);
  EXPECT_EQ(raw.childGroups(), QStringList{"Recent File List"});
  EXPECT_EQ(raw.value("Recent File List/File1").toString(), "/d/a");
  EXPECT_EQ(raw.value("Recent File List/Address1").toInt(), 5);
}

TEST(RecentFileListSettingsFile, WriteListReportsAStoreThatCannotBeWritten) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // A folder in the path is a regular file: not even root can write there.
  QFile blocker(dir.filePath("blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  QSettingsStore store(dir.filePath("blocker/Vantrell.conf"));
  CVantrellRecentFileList list = MakeList(2, {{"/d/a", 5}});
  EXPECT_FALSE(list.WriteList(store));
}

TEST(RecentFileListSettingsFile, ProgramStoreIsTheUsersZorvVantrellFile) {
  EXPECT_TRUE(QString::fromStdString(QSettingsStore().FileName()).endsWith("/Zorv/Vantrell.conf"))
      << QSettingsStore().FileName();
}

TEST(RecentFileList, MenuItemsAreNumberedModuloTenWithAmpersandsDoubled) {
  Entries entries;
  for (int i = 0; i < 12; ++i) entries.emplace_back("/d/f" + std::to_string(i), 0);
  entries[3].first = "/R&D/a&&b.bin";
  CVantrellRecentFileList list = MakeList(14, entries);
  const std::vector<std::string> texts = list.MenuItemTexts();
  ASSERT_EQ(texts.size(), 12u);  // up to the first empty entry
  EXPECT_EQ(texts[0], "&1 /d/f0");
  EXPECT_EQ(texts[3], "&4 /R&&D/a&&&&b.bin");
  EXPECT_EQ(texts[8], "&9 /d/f8");
  EXPECT_EQ(texts[9], "&0 /d/f9");
  EXPECT_EQ(texts[10], "&1 /d/f10");
  EXPECT_EQ(texts[11], "&2 /d/f11");

  // Items stop at the first empty entry.
  CVantrellRecentFileList gap = MakeList(3, {{"/d/a", 0}, {"", 0}, {"/d/c", 0}});
  EXPECT_EQ(gap.MenuItemTexts(), std::vector<std::string>{"&1 /d/a"});
}

TEST(RecentFileList, DisplayNameKeepsTheFileNameAndShortensTheFolders) {
  const std::pair<std::string, std::string> cases[] = {
      // Up to 30 characters: shown whole.
      {"/home/someone/data/sample.bin", "/home/someone/data/sample.bin"},
      {"/home/someone/dat/x/sample.bin", "/home/someone/dat/x/sample.bin"},
      // As many trailing folders as fit.
      {"/home/someone/projects/vantrell/data/sample.bin", "/.../vantrell/data/sample.bin"},
      {"/home/someone/a-very-long-folder-name/sample.bin", "/.../sample.bin"},
      // Characters, not bytes: 30 characters (21 of them Japanese) fit.
      {"/ホーム/利用者/資料/とても長いフォルダ/ファイル.bin", "/ホーム/利用者/資料/とても長いフォルダ/ファイル.bin"},
      {"/ホーム/利用者/資料/とても長いフォルダの名前です/ファイル.bin",
       "/.../とても長いフォルダの名前です/ファイル.bin"},
      // Only the name fits, or not even that: the name whole.
      {"/home/someone/a-file-name-of-27-chars.bin", "a-file-name-of-27-chars.bin"},
      {"/d/a-file-name-much-longer-than-thirty-characters.bin",
       "a-file-name-much-longer-than-thirty-characters.bin"},
  };
  for (const auto& [path, shown] : cases) {
    SCOPED_TRACE(path);
    EXPECT_EQ(CVantrellRecentFileList::DisplayName(path), shown);
  }
}

// Closing a file stores its caret; opening it again brings the caret back,
// also across a restart, until the path falls out of the list.
TEST(RecentFileList, CaretAddressComesBackUntilThePathFallsOut) {
  MemorySettingsStore store;
  CVantrellRecentFileList list(3);
  EXPECT_EQ(list.Add("/d/file.bin"), 0);   // open
  list.SetAddress("/d/file.bin", 0x1234);  // close with the caret at 0x1234
  EXPECT_EQ(list.Add("/d/file.bin"), 0x1234);

  list.SetAddress("/d/file.bin", 0x1234);
  ASSERT_TRUE(list.WriteList(store));
  CVantrellRecentFileList restarted(3);
  restarted.ReadList(store);
  EXPECT_EQ(restarted.Add("/d/file.bin"), 0x1234);

  for (const char* other : {"/d/b", "/d/c", "/d/d"}) restarted.Add(other);
  for (int i = 0; i < restarted.Size(); ++i) EXPECT_NE(restarted[i], "/d/file.bin");
  EXPECT_EQ(restarted.Add("/d/file.bin"), 0);
}

}  // namespace
}  // namespace vantrell
