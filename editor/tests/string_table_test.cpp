#include <gtest/gtest.h>

#include "resources/string_table.h"

namespace vantrell {
namespace {

TEST(StringTable, FormatsPlaceholdersLikePrintf) {
  struct Case {
    std::string format;
    std::initializer_list<FormatArg> args;
    std::string expected;
  };
  const Case cases[] = {
      {"\"%s\"の読み込みに失敗しました", {std::string("/a b/c.bin")}, "\"/a b/c.bin\"の読み込みに失敗しました"},
      {"選択範囲 : %08X ～ %08X", {std::int64_t{0x1F}, std::int64_t{0xABCDEF}}, "選択範囲 : 0000001F ～ 00ABCDEF"},
      {"%s/%s.bk%d", {std::string("/d"), std::string("f.bin"), std::int64_t{3}}, "/d/f.bin.bk3"},
      {"%02X %x %u %d%%", {std::int64_t{10}, std::int64_t{255}, std::int64_t{-1}, std::int64_t{-5}},
       "0A ff 4294967295 -5%"},
      {"%s and %s", {std::string("one")}, "one and %s"},  // missing argument stays visible
  };
  for (const Case& c : cases) EXPECT_EQ(FormatText(c.format, c.args), c.expected) << c.format;
}

TEST(StringTable, HoldsTheDocumentTexts) {
  EXPECT_EQ(StringText(1041),
            "指定ファイルは他のアプリケーションで排他制御されています\n閲覧モードで開きますか？");
  EXPECT_EQ(FormatString(1018, {std::string("x")}),
            "\"x\"の保存に失敗しました\n他のプロセスで使用中の可能性があります");
  EXPECT_EQ(StringField(129, 1), "新規");
  EXPECT_EQ(StringField(129, 2), "Vantre");
  EXPECT_EQ(StringField(129, 6), "Vantrell Document");
  EXPECT_EQ(StringField(129, 7), "");
  EXPECT_EQ(StringText(99999), "");
}

}  // namespace
}  // namespace vantrell
