#include "core/basic_path.h"

#include <gtest/gtest.h>

#include "temp_dir.h"
#include "wav_bytes.h"

namespace sonatra {
namespace {

TEST(SplitPath, PartsAndCases) {
  struct Case {
    const char* path;
    unsigned parts;
    const char* expected;
  };
  const Case cases[] = {
      {"/music/Song.Name.MP3", kFolder, "/music"},
      {"/music/Song.Name.MP3", kBase, "Song.Name"},
      {"/music/Song.Name.MP3", kExtension | kLower, "mp3"},
      {"/music/Song.Name.MP3", kFolder | kSeparator | kBase | kDot | kExtension,
       "/music/Song.Name.MP3"},
      {"/music/Song.Name.MP3", kBase | kDot | kExtension | kUpper, "SONG.NAME.MP3"},
      {"/music/README", kBase | kDot | kExtension, "README"},
      {"/music.d/README", kExtension, ""},
      {"plain.wav", kFolder, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitPath(c.path, c.parts), c.expected) << c.path;
}

TEST(MakeUniqueName, CountsWithTwoDigitsAndKeepsExtension) {
  test::TempDir dir;
  EXPECT_EQ(MakeUniqueName(dir.File("song.wav")), dir.File("song.wav"));
  test::WriteFile(dir.File("song.wav"), {});
  EXPECT_EQ(MakeUniqueName(dir.File("song.wav")), dir.File("song01.wav"));
  test::WriteFile(dir.File("song01.wav"), {});
  EXPECT_EQ(MakeUniqueName(dir.File("song.wav")), dir.File("song02.wav"));
  test::WriteFile(dir.File("noext"), {});
  EXPECT_EQ(MakeUniqueName(dir.File("noext")), dir.File("noext01"));
}

TEST(OutputFolder, ExistingFolderElseInputFolder) {
  test::TempDir dir;
  const std::string folder = dir.path().string();
  EXPECT_EQ(OutputFolder(folder, "/elsewhere/a.mp3"), folder + "/");
  EXPECT_EQ(OutputFolder(folder + "/", "/elsewhere/a.mp3"), folder + "/");
  EXPECT_EQ(OutputFolder(folder + "/missing", "/elsewhere/a.mp3"), "/elsewhere/");
  EXPECT_EQ(OutputFolder("", "/elsewhere/a.mp3"), "/elsewhere/");
  test::WriteFile(dir.File("file"), {});
  EXPECT_EQ(OutputFolder(dir.File("file"), "/x/a.mp3"), "/x/");
}

}  // namespace
}  // namespace sonatra
