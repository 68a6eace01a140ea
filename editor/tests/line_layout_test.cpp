#include <gtest/gtest.h>

#include "view/line_layout.h"

namespace vantrell {
namespace {

TEST(LineLayout, HeaderTexts) {
  struct Case {
    int bytesPerLine;
    AddressBase base;
    int h;
    std::string expected;
  };
  const Case cases[] = {
      {16, AddressBase::Hexadecimal, 0,
       "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F   0123456789ABCDEF "},
      {8, AddressBase::Decimal, 0, "00 01 02 03 04 05 06 07   01234567 "},
      {5, AddressBase::Hexadecimal, 0, "00 01 02 03 04   01234 "},
      {20, AddressBase::Decimal, 0,
       "00 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19   01234567890123456789 "},
      // Scrolled: a half-visible column keeps its right part; the gap shrinks.
      {8, AddressBase::Hexadecimal, 1, "0 01 02 03 04 05 06 07   01234567 "},
      {8, AddressBase::Hexadecimal, 4, "1 02 03 04 05 06 07   01234567 "},
      {8, AddressBase::Hexadecimal, 24, "  01234567 "},
      {8, AddressBase::Hexadecimal, 25, " 01234567 "},
      {8, AddressBase::Hexadecimal, 26, "01234567 "},
      {8, AddressBase::Hexadecimal, 29, "34567 "},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ColumnHeaderText(c.bytesPerLine, c.base, c.h), c.expected)
        << c.bytesPerLine << " h=" << c.h;
  EXPECT_EQ(std::string(kAddressHeader).size(), 11u);
}

TEST(LineLayout, AddressesAndGeometry) {
  EXPECT_EQ(AddressText(0, AddressBase::Hexadecimal), " 00000000  ");
  EXPECT_EQ(AddressText(0x7FFFFFF0, AddressBase::Hexadecimal), " 7FFFFFF0  ");
  EXPECT_EQ(AddressText(1234, AddressBase::Decimal), "0000001234 ");
  EXPECT_EQ(AddressText(0, AddressBase::Decimal).size(), 11u);
  const std::uint8_t bytes[] = {0x00, 0xAB, 0xFF};
  EXPECT_EQ(HexText(bytes, 3), "00 AB FF ");

  const LineGeometry g{16};
  EXPECT_EQ(g.HexCell(0), 11);
  EXPECT_EQ(g.HexCell(15), 56);
  EXPECT_EQ(g.CharCell(0), 61);
  EXPECT_EQ(g.LineCells(), 79);
  EXPECT_EQ(g.LineCount(0), 1);   // an empty document has the end line
  EXPECT_EQ(g.LineCount(32), 3);  // the third line holds only the end position
  EXPECT_EQ(g.LineCount(33), 3);
}

class TwoMarks : public MarkLookup {
 public:
  int MarkKindAt(DocPos address) const override { return address == 5 ? 2 : address == 6 ? 3 : 0; }
};

TEST(LineLayout, ColourRulesTakeTheFirstThatApplies) {
  ExtProfile profile = ExtProfile::MakeBase();
  profile.emphasised = {{0x00, 0x0000FF}};
  const auto textColours = profile.TextColourTable();
  const auto& c = profile.colours;
  const std::vector<AddressRange> differences = {{4, 5}};
  const TwoMarks marks;

  HighlightSources plain;
  HighlightSources withMarks;
  withMarks.marks = &marks;
  withMarks.hasStructureRange = true;
  withMarks.structureRange = {6, 9};
  HighlightSources compare = withMarks;
  compare.compareRanges = &differences;

  struct Case {
    const char* name;
    const HighlightSources* sources;
    DocPos address;
    std::uint8_t value;
    ByteColours expected;
  };
  const Case cases[] = {
      {"plain byte", &plain, 0, 0x41, {c[kColourData].text, c[kColourData].back, false}},
      {"emphasised code", &plain, 0, 0x00, {0x0000FF, c[kColourData].back, false}},
      {"mark 2", &withMarks, 5, 0x41, {c[kColourMark2].text, c[kColourMark2].back, true}},
      {"mark wins over structure", &withMarks, 6, 0x41, {c[kColourMark3].text, c[kColourMark3].back, true}},
      {"structure range", &withMarks, 7, 0x00, {c[kColourStructEdit].text, c[kColourStructEdit].back, false}},
      {"compare wins over marks", &compare, 5, 0x41,
       {c[kColourCompareResult].text, c[kColourCompareResult].back, false}},
      {"compare mode hides the rest", &compare, 7, 0x00, {c[kColourData].text, c[kColourData].back, false}},
  };
  for (const Case& k : cases)
    EXPECT_EQ(GetByteColours(profile, textColours, *k.sources, k.address, k.value), k.expected) << k.name;
}

}  // namespace
}  // namespace vantrell
