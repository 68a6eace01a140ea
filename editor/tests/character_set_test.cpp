#include <gtest/gtest.h>

#include <string>

#include "document/block_cursor.h"
#include "view/character_set.h"
#include "view/cp932.h"

namespace vantrell {
namespace {

// Renders cells as text for compact expectations: a glyph as its CP932
// character in UTF-8, a blank cell as "_", and a wide glyph as the character
// followed by nothing for its second cell (which is "_" or the margin).
std::string Show(const std::vector<CharCell>& cells) {
  std::string out;
  for (const CharCell& cell : cells) {
    if (cell.kind == CharCell::Kind::Blank) {
      out += '_';
      continue;
    }
    const char16_t u = cp932::ToUnicode(cell.code);
    std::u16string s(1, u);
    // UTF-16 BMP -> UTF-8
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | u >> 6);
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | u >> 12);
      out += static_cast<char>(0x80 | (u >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
    if (cell.kind == CharCell::Kind::WideGlyph) out += '|';
  }
  return out;
}

struct LineCase {
  const char* name;
  CharacterSet set;
  Bytes bytes;        // the line, then possibly the next byte
  int count;          // bytes on the line
  bool hasNext;
  bool firstIsSecondHalf;
  DocPos address;
  std::string shown;  // "|" marks a wide glyph's first cell
};

TEST(CharacterSetLayout, ShowsEveryByteOnItsCells) {
  const LineCase cases[] = {
      {"ascii", CharacterSet::Ascii, {0x41, 0x20, 0x7E, 0x7F, 0x00, 0xB1}, 6, false, false, 0, "A ~..."},
      {"sjis pair", CharacterSet::ShiftJis, {0x41, 0x82, 0xA0, 0x42}, 4, false, false, 0, "Aあ|_B"},
      {"sjis pair over the line end", CharacterSet::ShiftJis, {0x41, 0x82, 0xA0}, 2, true, false, 0, "Aあ|_"},
      {"sjis next line starts blank", CharacterSet::ShiftJis, {0xA0, 0x41}, 2, false, true, 2, "_A"},
      {"sjis lead then space", CharacterSet::ShiftJis, {0x81, 0x20}, 2, false, false, 0, ". "},
      {"sjis lead at the document end", CharacterSet::ShiftJis, {0x41, 0x81}, 2, false, false, 0, "A."},
      {"sjis kana and control", CharacterSet::ShiftJis, {0xB1, 0x0A, 0xFD}, 3, false, false, 0, "ｱ.."},
      {"euc pair", CharacterSet::Euc, {0xA4, 0xA2, 0x41}, 3, false, false, 0, "あ|_A"},
      {"euc kana", CharacterSet::Euc, {0x8E, 0xB1, 0x41}, 3, false, false, 0, "ｱ_A"},
      {"euc bad kana", CharacterSet::Euc, {0x8E, 0x41}, 2, false, false, 0, ".A"},
      {"euc lone double byte", CharacterSet::Euc, {0xA4, 0x41}, 2, false, false, 0, ".A"},
      {"euc three-byte form", CharacterSet::Euc, {0x8F, 0x41}, 2, false, false, 0, ".A"},
      {"unicode", CharacterSet::Unicode, {0x41, 0x00, 0x00, 0x00, 0x42, 0x30}, 6, false, false, 0, "A_..あ|_"},
      {"unicode odd line start", CharacterSet::Unicode, {0x00, 0x41, 0x00}, 3, false, false, 15, "_A_"},
      {"unicode pair over the line end", CharacterSet::Unicode, {0x41, 0x00, 0x42}, 3, true, false, 0, "A_B_"},
      {"unicode odd last byte", CharacterSet::Unicode, {0x41, 0x00, 0x42}, 3, false, false, 0, "A_."},
      {"ebcdic", CharacterSet::Ebcdic, {0xC1, 0x4A, 0x81, 0xF0, 0x40}, 5, false, false, 0, "A.a0 "},
      {"ebcidk", CharacterSet::Ebcidk, {0xC1, 0x81, 0x41, 0x5B}, 4, false, false, 0, "Aｱ｡\\"},
  };
  for (const LineCase& c : cases) {
    const CharLine line{c.bytes.data(), c.count, c.hasNext, c.firstIsSecondHalf, c.address};
    EXPECT_EQ(Show(LayoutCharacterLine(c.set, line)), c.shown) << c.name;
  }
}

TEST(CharacterSetLayout, ConversionTablesHaveTheirSizes) {
  int ebcdic = 0, ebcidk = 0;
  for (int b = 0; b < 256; ++b) {
    ebcdic += EbcdicToDisplay(CharacterSet::Ebcdic, static_cast<std::uint8_t>(b)) != 0;
    ebcidk += EbcdicToDisplay(CharacterSet::Ebcidk, static_cast<std::uint8_t>(b)) != 0;
    for (CharacterSet set : {CharacterSet::Ebcdic, CharacterSet::Ebcidk}) {
      const auto shown = EbcdicToDisplay(set, static_cast<std::uint8_t>(b));
      if (shown != 0) {
        EXPECT_EQ(DisplayToEbcdic(set, shown), b);
      }
    }
  }
  EXPECT_EQ(ebcdic, 92);
  EXPECT_EQ(ebcidk, 126);
  EXPECT_EQ(DisplayToEbcdic(CharacterSet::Ebcdic, '['), '[');  // no mapping: unchanged
  EXPECT_EQ(DisplayToEbcdic(CharacterSet::Ebcidk, 'a'), 'a');
}

void Fill(BlockList& list, const Bytes& bytes) {
  list.ResetToEmptyDocument();
  BlockCursor cursor(list);
  EXPECT_TRUE(cursor.InsertBytes(0, bytes.data(), static_cast<DocPos>(bytes.size())));
}

TEST(CharacterSetRoles, LooksBackToFindSecondHalves) {
  struct Case {
    CharacterSet set;
    Bytes bytes;
    DocPos position;
    ByteRole role;
  };
  const Case cases[] = {
      {CharacterSet::ShiftJis, {0x82, 0xA0}, 1, ByteRole::SecondHalf},
      {CharacterSet::ShiftJis, {0x82, 0xA0}, 0, ByteRole::Lead},
      {CharacterSet::ShiftJis, {0x82, 0x82, 0xA0}, 2, ByteRole::Single},  // 82 82 is a pair
      {CharacterSet::ShiftJis, {0x82, 0x82, 0x82, 0xA0}, 3, ByteRole::SecondHalf},
      {CharacterSet::ShiftJis, {0x82, 0x20}, 1, ByteRole::InvalidSecondHalf},
      {CharacterSet::ShiftJis, {0x41, 0x42}, 1, ByteRole::Single},
      {CharacterSet::Euc, {0xA4, 0xA2}, 1, ByteRole::SecondHalf},
      {CharacterSet::Euc, {0x8E, 0xB1}, 1, ByteRole::SecondHalf},
      {CharacterSet::Euc, {0x41, 0xB1}, 1, ByteRole::Lead},
      {CharacterSet::Unicode, {0x41, 0x00, 0x42}, 1, ByteRole::SecondHalf},
      {CharacterSet::Unicode, {0x41, 0x00, 0x42}, 2, ByteRole::Lead},
      {CharacterSet::Ascii, {0x82, 0xA0}, 1, ByteRole::Single},
  };
  for (const Case& c : cases) {
    BlockList list;
    Fill(list, c.bytes);
    BlockCursor cursor(list);
    EXPECT_EQ(ClassifyLeadTrail(c.set, cursor, c.position), c.role)
        << static_cast<int>(c.set) << " at " << c.position;
  }
}

TEST(CharacterSetInput, TypedCharactersBecomeBytes) {
  struct Case {
    CharacterSet set;
    std::uint16_t code;
    Bytes bytes;
  };
  const Case cases[] = {
      {CharacterSet::Ascii, 'A', {0x41}},
      {CharacterSet::ShiftJis, 0x82A0, {0x82, 0xA0}},
      {CharacterSet::Euc, 0x82A0, {0xA4, 0xA2}},
      {CharacterSet::Euc, 0xB1, {0x8E, 0xB1}},
      {CharacterSet::Euc, 'A', {0x41}},
      {CharacterSet::Unicode, 'A', {0x41, 0x00}},
      {CharacterSet::Unicode, 0x82A0, {0x42, 0x30}},
      {CharacterSet::Unicode, 0xB1, {0x71, 0xFF}},
      {CharacterSet::Ebcdic, 'A', {0xC1}},
      {CharacterSet::Ebcdic, '[', {0x5B}},
      {CharacterSet::Ebcidk, 0xB1, {0x81}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TypedCharacterToBytes(c.set, c.code), c.bytes) << std::hex << c.code;
}

TEST(CharacterSetText, ClipboardTextAndSearchPatterns) {
  struct Case {
    CharacterSet set;
    Bytes bytes;
    std::optional<std::string> text;
  };
  const Case toText[] = {
      {CharacterSet::Ascii, {0x41, 0x0A, 0x42}, std::string("A.B")},
      {CharacterSet::ShiftJis, {0x82, 0xA0, 0x0A}, std::string("\x82\xA0\x0A")},
      {CharacterSet::Euc, {0xA4, 0xA2, 0x8E, 0xB1, 0xA4, 0x41}, std::string("\x82\xA0\xB1.A")},
      {CharacterSet::Euc, {0x41, 0x8E}, std::nullopt},
      {CharacterSet::Unicode, {0x42, 0x30, 0x41, 0x00, 0x00, 0xD8, 0x43}, std::string("\x82\xA0" "A.")},
      {CharacterSet::Ebcdic, {0xC1, 0x4A}, std::string("A.")},
  };
  for (const Case& c : toText)
    EXPECT_EQ(BytesToText(c.set, c.bytes.data(), static_cast<int>(c.bytes.size())), c.text)
        << static_cast<int>(c.set);

  struct Pattern {
    CharacterSet set;
    std::string text;
    std::optional<Bytes> bytes;
  };
  const Pattern patterns[] = {
      {CharacterSet::ShiftJis, "\x82\xA0" "A", Bytes{0x82, 0xA0, 0x41}},
      {CharacterSet::Euc, "\x82\xA0\xB1" "A", Bytes{0xA4, 0xA2, 0x8E, 0xB1, 0x41}},
      {CharacterSet::Euc, "\x82", std::nullopt},
      {CharacterSet::Euc, "A\n", std::nullopt},
      {CharacterSet::Unicode, "A\x82\xA0", Bytes{0x41, 0x00, 0x42, 0x30}},
      {CharacterSet::Ebcdic, "A[", Bytes{0xC1, 0x5B}},
  };
  for (const Pattern& p : patterns) EXPECT_EQ(EncodeText(p.set, p.text), p.bytes) << p.text;
}

TEST(CharacterSetText, JisArithmeticRoundTrips) {
  EXPECT_EQ(cp932::JisToShiftJis(0x2422), 0x82A0);
  EXPECT_EQ(cp932::JisToShiftJis(0x2341), 0x8260);
  EXPECT_EQ(cp932::JisToShiftJis(0x7426), 0xEAA4);
  for (int j1 = 0x21; j1 <= 0x7E; ++j1)
    for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
      const auto jis = static_cast<std::uint16_t>(j1 << 8 | j2);
      ASSERT_EQ(cp932::ShiftJisToJis(cp932::JisToShiftJis(jis)), jis);
    }
}

}  // namespace
}  // namespace vantrell
