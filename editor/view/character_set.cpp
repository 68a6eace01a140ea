#include "character_set.h"

#include <array>

#include "cp932.h"

namespace vantrell {

namespace {

using cp932::IsHalfWidthKana;
using cp932::IsLeadByte;
using cp932::IsPrintableAscii;
using cp932::IsTrailByte;

using Table = std::array<std::uint8_t, 256>;

struct Range {
  std::uint8_t from, to, display;  // from..to map to display, display+1, ...
};

Table MakeTable(std::initializer_list<Range> ranges) {
  Table table{};
  for (const Range& r : ranges)
    for (int b = r.from; b <= r.to; ++b) table[b] = static_cast<std::uint8_t>(r.display + (b - r.from));
  return table;
}

const Table& EbcdicTable() {
  static const Table table = MakeTable({
      {0x40, 0x40, 0x20}, {0x4B, 0x4B, 0x2E}, {0x4C, 0x4C, 0x3C}, {0x4D, 0x4D, 0x28},
      {0x4E, 0x4E, 0x2B}, {0x4F, 0x4F, 0x7C}, {0x50, 0x50, 0x26}, {0x5A, 0x5A, 0x21},
      {0x5B, 0x5B, 0x24}, {0x5C, 0x5C, 0x2A}, {0x5D, 0x5D, 0x29}, {0x5E, 0x5E, 0x3B},
      {0x60, 0x60, 0x2D}, {0x61, 0x61, 0x2F}, {0x6B, 0x6B, 0x2C}, {0x6C, 0x6C, 0x25},
      {0x6D, 0x6D, 0x5F}, {0x6E, 0x6E, 0x3E}, {0x6F, 0x6F, 0x3F}, {0x79, 0x79, 0x60},
      {0x7A, 0x7A, 0x3A}, {0x7B, 0x7B, 0x23}, {0x7C, 0x7C, 0x40}, {0x7D, 0x7D, 0x27},
      {0x7E, 0x7E, 0x3D}, {0x7F, 0x7F, 0x22}, {0x81, 0x89, 0x61}, {0x91, 0x99, 0x6A},
      {0xA1, 0xA1, 0x7E}, {0xA2, 0xA9, 0x73}, {0xC0, 0xC0, 0x7B}, {0xC1, 0xC9, 0x41},
      {0xD0, 0xD0, 0x7D}, {0xD1, 0xD9, 0x4A}, {0xE0, 0xE0, 0x5C}, {0xE2, 0xE9, 0x53},
      {0xF0, 0xF9, 0x30},
  });
  return table;
}

const Table& EbcidkTable() {
  static const Table table = MakeTable({
      {0x40, 0x40, 0x20}, {0x41, 0x49, 0xA1}, {0x4B, 0x4B, 0x2E}, {0x4C, 0x4C, 0x3C},
      {0x4D, 0x4D, 0x28}, {0x4E, 0x4E, 0x2B}, {0x4F, 0x4F, 0x7C}, {0x50, 0x50, 0x26},
      {0x51, 0x56, 0xAA}, {0x58, 0x58, 0xB0}, {0x5A, 0x5A, 0x21}, {0x5B, 0x5B, 0x5C},
      {0x5C, 0x5C, 0x2A}, {0x5D, 0x5D, 0x29}, {0x5E, 0x5E, 0x3B}, {0x60, 0x60, 0x2D},
      {0x61, 0x61, 0x2F}, {0x6B, 0x6B, 0x2C}, {0x6C, 0x6C, 0x25}, {0x6D, 0x6D, 0x5F},
      {0x6E, 0x6E, 0x3E}, {0x6F, 0x6F, 0x3F}, {0x79, 0x79, 0x60}, {0x7A, 0x7A, 0x3A},
      {0x7B, 0x7B, 0x23}, {0x7C, 0x7C, 0x40}, {0x7D, 0x7D, 0x27}, {0x7E, 0x7E, 0x3D},
      {0x7F, 0x7F, 0x22}, {0x81, 0x8A, 0xB1}, {0x8C, 0x9A, 0xBB}, {0x9D, 0x9F, 0xCA},
      {0xA2, 0xAA, 0xCD}, {0xAC, 0xAF, 0xD6}, {0xBA, 0xBF, 0xDA}, {0xC1, 0xC9, 0x41},
      {0xD1, 0xD9, 0x4A}, {0xE0, 0xE0, 0x24}, {0xE2, 0xE9, 0x53}, {0xF0, 0xF9, 0x30},
  });
  return table;
}

Table Inverse(const Table& table) {
  Table inverse{};
  std::array<bool, 256> mapped{};
  for (int b = 0; b < 256; ++b) {
    if (table[b] == 0) continue;
    inverse[table[b]] = static_cast<std::uint8_t>(b);
    mapped[table[b]] = true;
  }
  // An unmapped character passes unchanged.
  for (int c = 0; c < 256; ++c)
    if (!mapped[c]) inverse[c] = static_cast<std::uint8_t>(c);
  return inverse;
}

const Table& DisplayTable(CharacterSet set) {
  return set == CharacterSet::Ebcdic ? EbcdicTable() : EbcidkTable();
}

const Table& InverseTable(CharacterSet set) {
  static const Table ebcdic = Inverse(EbcdicTable());
  static const Table ebcidk = Inverse(EbcidkTable());
  return set == CharacterSet::Ebcdic ? ebcdic : ebcidk;
}

constexpr std::uint16_t kDot = '.';

CharCell Glyph(std::uint16_t code) { return {CharCell::Kind::Glyph, code}; }
CharCell Wide(std::uint16_t code) { return {CharCell::Kind::WideGlyph, code}; }

// Lays out a line whose units are one or two bytes long. `unit` looks at the
// bytes from index i (up to two) and fills the cells for one unit, returning
// how many bytes it took.
template <typename Unit>
std::vector<CharCell> LayoutUnits(const CharLine& line, Unit unit) {
  std::vector<CharCell> cells(line.count);
  int i = 0;
  if (line.firstIsSecondHalf && line.count > 0) i = 1;  // stays Blank
  while (i < line.count) {
    const bool hasSecond = i + 1 < line.count || line.hasNext;
    const std::uint8_t first = line.bytes[i];
    const std::uint8_t second = hasSecond ? line.bytes[i + 1] : 0;
    CharCell a, b;
    const int taken = unit(first, second, hasSecond, a, b);
    cells[i] = a;
    if (taken == 2) {
      if (i + 1 < line.count) {
        cells[i + 1] = b;
      } else {
        cells.push_back(b);  // the unit's second half goes into the right margin
      }
    }
    i += taken;
  }
  return cells;
}

std::uint16_t Pair(std::uint8_t lead, std::uint8_t trail) {
  return static_cast<std::uint16_t>(lead << 8 | trail);
}

bool IsEucDouble(std::uint8_t b) { return b >= 0xA1 && b <= 0xFE; }

// A single CP932 byte as the Unicode table gives it: shown when printable.
std::uint16_t ShownSingle(std::uint8_t b) {
  return IsPrintableAscii(b) || IsHalfWidthKana(b) ? b : kDot;
}

}  // namespace

const char* CharacterSetName(CharacterSet set) {
  switch (set) {
    case CharacterSet::Ascii: return "ASCII";
    case CharacterSet::ShiftJis: return "SHIFT-JIS";
    case CharacterSet::Euc: return "EUC";
    case CharacterSet::Unicode: return "Unicode";
    case CharacterSet::Ebcdic: return "EBCDIC";
    case CharacterSet::Ebcidk: return "EBCIDK";
  }
  return "";
}

std::uint8_t EbcdicToDisplay(CharacterSet set, std::uint8_t byte) { return DisplayTable(set)[byte]; }
std::uint8_t DisplayToEbcdic(CharacterSet set, std::uint8_t byte) { return InverseTable(set)[byte]; }

std::vector<CharCell> LayoutCharacterLine(CharacterSet set, const CharLine& line) {
  switch (set) {
    case CharacterSet::Ascii:
    case CharacterSet::Ebcdic:
    case CharacterSet::Ebcidk: {
      std::vector<CharCell> cells(line.count);
      for (int i = 0; i < line.count; ++i) {
        const std::uint8_t b = line.bytes[i];
        std::uint8_t shown = b;
        if (set != CharacterSet::Ascii) shown = DisplayTable(set)[b];
        cells[i] = Glyph(set == CharacterSet::Ascii ? (IsPrintableAscii(b) ? b : kDot)
                                                     : (shown != 0 ? shown : kDot));
      }
      return cells;
    }
    case CharacterSet::ShiftJis:
      return LayoutUnits(line, [](std::uint8_t b, std::uint8_t next, bool hasNext, CharCell& a,
                                  CharCell&) {
        if (IsPrintableAscii(b) || IsHalfWidthKana(b)) {
          a = Glyph(b);
          return 1;
        }
        if (IsLeadByte(b) && hasNext && IsTrailByte(next)) {
          a = Wide(Pair(b, next));
          return 2;
        }
        a = Glyph(kDot);
        return 1;
      });
    case CharacterSet::Euc:
      return LayoutUnits(line, [](std::uint8_t b, std::uint8_t next, bool hasNext, CharCell& a,
                                  CharCell&) {
        if (IsEucDouble(b) && hasNext && IsEucDouble(next)) {
          a = Wide(cp932::JisToShiftJis(static_cast<std::uint16_t>(Pair(b, next) - 0x8080)));
          return 2;
        }
        if (b == 0x8E && hasNext && IsHalfWidthKana(next)) {
          a = Glyph(next);  // the half-width kana, then a blank cell
          return 2;
        }
        a = Glyph(IsPrintableAscii(b) ? b : kDot);
        return 1;
      });
    case CharacterSet::Unicode: {
      CharLine aligned = line;
      // Pairs start at even addresses: a line at an odd address begins with
      // the second half of the pair before it.
      aligned.firstIsSecondHalf = (line.address & 1) != 0;
      return LayoutUnits(aligned, [](std::uint8_t low, std::uint8_t high, bool hasNext,
                                     CharCell& a, CharCell& b) {
        if (!hasNext) {
          a = Glyph(kDot);  // an odd last byte
          return 1;
        }
        const std::uint16_t code = cp932::FromUnicode(static_cast<char16_t>(low | high << 8));
        if (code == 0) {
          a = Glyph(kDot);
          b = Glyph(kDot);
        } else if (code < 0x100) {
          a = Glyph(ShownSingle(static_cast<std::uint8_t>(code)));
        } else {
          a = Wide(code);
        }
        return 2;
      });
    }
  }
  return {};
}

ByteRole ClassifyLeadTrail(CharacterSet set, BlockCursor& cursor, DocPos position) {
  std::uint8_t byte = 0;
  if (!cursor.ReadAt(position, byte)) return ByteRole::Single;
  if (set == CharacterSet::Unicode)
    return (position & 1) ? ByteRole::SecondHalf : ByteRole::Lead;
  if (set != CharacterSet::ShiftJis && set != CharacterSet::Euc) return ByteRole::Single;

  const auto isLead = [set](std::uint8_t b) {
    return set == CharacterSet::ShiftJis ? IsLeadByte(b) : IsEucDouble(b);
  };
  std::int64_t leads = 0;
  std::uint8_t before = 0;
  for (DocPos p = position - 1; p >= 0 && cursor.ReadAt(p, before) && isLead(before); --p) ++leads;

  if (set == CharacterSet::ShiftJis) {
    if (leads % 2 == 1) return IsTrailByte(byte) ? ByteRole::SecondHalf : ByteRole::InvalidSecondHalf;
    return IsLeadByte(byte) ? ByteRole::Lead : ByteRole::Single;
  }
  if (leads % 2 == 1) return IsEucDouble(byte) ? ByteRole::SecondHalf : ByteRole::InvalidSecondHalf;
  if (IsHalfWidthKana(byte) && position > 0 && cursor.ReadAt(position - 1, before) &&
      before == 0x8E) {
    // 0x8E itself must not be the second half of a pair for this to be kana.
    return ByteRole::SecondHalf;
  }
  if (IsEucDouble(byte) || byte == 0x8E) return ByteRole::Lead;
  return ByteRole::Single;
}

bool StartsWithSecondHalf(CharacterSet set, BlockCursor& cursor, DocPos position) {
  return position > 0 && ClassifyLeadTrail(set, cursor, position) == ByteRole::SecondHalf;
}

Bytes TypedCharacterToBytes(CharacterSet set, std::uint16_t code) {
  const bool isDouble = code > 0xFF;
  const auto high = static_cast<std::uint8_t>(code >> 8);
  const auto low = static_cast<std::uint8_t>(code & 0xFF);
  switch (set) {
    case CharacterSet::Ascii:
    case CharacterSet::ShiftJis:
      return isDouble ? Bytes{high, low} : Bytes{low};
    case CharacterSet::Euc: {
      if (isDouble) {
        const std::uint16_t euc = cp932::ShiftJisToJis(code) | 0x8080;
        return {static_cast<std::uint8_t>(euc >> 8), static_cast<std::uint8_t>(euc & 0xFF)};
      }
      return IsHalfWidthKana(low) ? Bytes{0x8E, low} : Bytes{low};
    }
    case CharacterSet::Unicode: {
      const char16_t unit = cp932::ToUnicode(code);
      if (unit == 0 && code != 0) return {};
      return {static_cast<std::uint8_t>(unit & 0xFF), static_cast<std::uint8_t>(unit >> 8)};
    }
    case CharacterSet::Ebcdic:
    case CharacterSet::Ebcidk: {
      const Table& inverse = InverseTable(set);
      return isDouble ? Bytes{inverse[high], inverse[low]} : Bytes{inverse[low]};
    }
  }
  return {};
}

std::optional<std::string> BytesToText(CharacterSet set, const std::uint8_t* bytes, int count) {
  std::string text;
  auto put = [&text](std::uint16_t code) {
    if (code > 0xFF) text += static_cast<char>(code >> 8);
    text += static_cast<char>(code & 0xFF);
  };
  switch (set) {
    case CharacterSet::Ascii:
      for (int i = 0; i < count; ++i) put(IsPrintableAscii(bytes[i]) ? bytes[i] : kDot);
      return text;
    case CharacterSet::ShiftJis:
      return std::string(reinterpret_cast<const char*>(bytes), count);
    case CharacterSet::Ebcdic:
    case CharacterSet::Ebcidk:
      for (int i = 0; i < count; ++i) {
        const std::uint8_t shown = DisplayTable(set)[bytes[i]];
        put(shown != 0 ? shown : kDot);
      }
      return text;
    case CharacterSet::Euc:
      for (int i = 0; i < count; ++i) {
        const std::uint8_t b = bytes[i];
        if (IsEucDouble(b)) {
          if (i + 1 < count && IsEucDouble(bytes[i + 1])) {
            put(cp932::JisToShiftJis(static_cast<std::uint16_t>(Pair(b, bytes[++i]) - 0x8080)));
          } else {
            put(kDot);
          }
        } else if (b == 0x8E) {
          if (i + 1 >= count) return std::nullopt;
          if (IsHalfWidthKana(bytes[i + 1])) {
            put(bytes[++i]);
          } else {
            put(b);  // kept; the next byte is looked at on its own
          }
        } else {
          put(IsPrintableAscii(b) ? b : kDot);
        }
      }
      return text;
    case CharacterSet::Unicode:
      for (int i = 0; i + 1 < count; i += 2) {
        const std::uint16_t code =
            cp932::FromUnicode(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
        put(code != 0 ? code : kDot);
      }
      return text;
  }
  return std::nullopt;
}

std::optional<Bytes> EncodeText(CharacterSet set, const std::string& text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto size = static_cast<int>(text.size());
  switch (set) {
    case CharacterSet::Ascii:
    case CharacterSet::ShiftJis:
      return Bytes(bytes, bytes + size);
    case CharacterSet::Ebcdic:
    case CharacterSet::Ebcidk: {
      Bytes out(bytes, bytes + size);
      for (auto& b : out) b = InverseTable(set)[b];
      return out;
    }
    case CharacterSet::Euc: {
      Bytes out;
      for (int i = 0; i < size; ++i) {
        const std::uint8_t b = bytes[i];
        if (IsLeadByte(b)) {
          if (i + 1 >= size || !IsTrailByte(bytes[i + 1])) return std::nullopt;
          const std::uint16_t euc = cp932::ShiftJisToJis(Pair(b, bytes[++i])) | 0x8080;
          out.push_back(static_cast<std::uint8_t>(euc >> 8));
          out.push_back(static_cast<std::uint8_t>(euc & 0xFF));
        } else if (IsHalfWidthKana(b)) {
          out.push_back(0x8E);
          out.push_back(b);
        } else if (IsPrintableAscii(b)) {
          out.push_back(b);
        } else {
          return std::nullopt;
        }
      }
      return out;
    }
    case CharacterSet::Unicode: {
      const auto units = cp932::DecodeText(text);
      if (!units) return std::nullopt;
      Bytes out;
      for (char16_t u : *units) {
        out.push_back(static_cast<std::uint8_t>(u & 0xFF));
        out.push_back(static_cast<std::uint8_t>(u >> 8));
      }
      return out;
    }
  }
  return std::nullopt;
}

}  // namespace vantrell
