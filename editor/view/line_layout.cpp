#include "line_layout.h"

#include <cstdio>

namespace vantrell {

std::string ColumnHeaderText(int bytesPerLine, AddressBase base, int h) {
  const bool hex = base == AddressBase::Hexadecimal;
  std::string text;
  char cell[8];
  for (int j = 0; j < bytesPerLine; ++j) {
    std::snprintf(cell, sizeof cell, hex ? "%02X " : "%02d ", j & 0xFF);
    text += cell;
  }
  text += "  ";
  for (int j = 0; j < bytesPerLine; ++j) {
    std::snprintf(cell, sizeof cell, hex ? "%X" : "%d", hex ? j % 16 : j % 10);
    text += cell;
  }
  text += ' ';
  // Scrolled by h cells, the header starts at the first visible cell: a
  // half-visible column keeps only its right part, and the gap shrinks.
  return h <= 0 ? text : h >= static_cast<int>(text.size()) ? std::string() : text.substr(h);
}

std::string AddressText(DocPos address, AddressBase base) {
  char text[16];
  if (base == AddressBase::Hexadecimal) {
    std::snprintf(text, sizeof text, " %08X  ", static_cast<std::uint32_t>(address));
  } else {
    std::snprintf(text, sizeof text, "%010d ", address);
  }
  return text;
}

std::string HexText(const std::uint8_t* bytes, int count) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text(3 * count, ' ');
  for (int i = 0; i < count; ++i) {
    text[3 * i] = digits[bytes[i] >> 4];
    text[3 * i + 1] = digits[bytes[i] & 0xF];
  }
  return text;
}

ByteColours GetByteColours(const ExtProfile& profile, const std::array<Colour, 256>& textColours,
                           const HighlightSources& sources, DocPos address, std::uint8_t value) {
  const auto& c = profile.colours;
  if (sources.compareRanges != nullptr) {
    for (const AddressRange& range : *sources.compareRanges)
      if (address >= range.start && address <= range.end)
        return {c[kColourCompareResult].text, c[kColourCompareResult].back, false};
    return {c[kColourData].text, c[kColourData].back, false};
  }
  if (sources.marks != nullptr) {
    const int kind = sources.marks->MarkKindAt(address);
    if (kind >= 1 && kind <= 3) {
      const ColourPair& mark = c[kColourMark1 + kind - 1];
      return {mark.text, mark.back, true};
    }
  }
  if (sources.hasStructureRange && address >= sources.structureRange.start &&
      address <= sources.structureRange.end)
    return {c[kColourStructEdit].text, c[kColourStructEdit].back, false};
  return {textColours[value], c[kColourData].back, false};
}

}  // namespace vantrell
