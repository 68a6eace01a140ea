#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "document/doc_types.h"
#include "settings/ext_profile.h"

namespace vantrell {

// Cell geometry of a line of L bytes: the address column (cells 0..10), the
// hexadecimal pane (byte j at cells 11+3j and 12+3j), a gap of three cells,
// the character pane (byte j at cell 3L+13+j) and a right margin of two cells.
struct LineGeometry {
  int bytesPerLine = 16;

  static constexpr int kAddressCells = 11;
  [[nodiscard]] int HexCell(int column) const { return kAddressCells + 3 * column; }
  [[nodiscard]] int CharPaneStart() const { return 3 * bytesPerLine + 13; }
  [[nodiscard]] int CharCell(int column) const { return CharPaneStart() + column; }
  [[nodiscard]] int LineCells() const { return 4 * bytesPerLine + 15; }
  // Lines of a document: one more than full lines, for the end position.
  [[nodiscard]] std::int64_t LineCount(DocPos length) const { return length / bytesPerLine + 1; }
};

// " ADDRESS   ": the header of the address column.
inline constexpr const char* kAddressHeader = " ADDRESS   ";

// The header of the two panes from cell 11 on, scrolled left by h cells
// (h = 0 gives the whole header).
std::string ColumnHeaderText(int bytesPerLine, AddressBase base, int h = 0);

// The 11-character address column text of a line starting at address.
std::string AddressText(DocPos address, AddressBase base);

// The hexadecimal pane text of a line: "%02X " per byte.
std::string HexText(const std::uint8_t* bytes, int count);

struct ByteColours {
  Colour text;
  Colour back;
  bool newRun;  // a marked byte always starts a drawing run of its own
  bool operator==(const ByteColours&) const = default;
};

struct AddressRange {
  DocPos start;
  DocPos end;  // inclusive
};

// The marks of a document, as the painting asks for them.
class MarkLookup {
 public:
  virtual ~MarkLookup() = default;
  virtual int MarkKindAt(DocPos address) const = 0;  // 0 none, 1..3
};

// Where the colour of a byte comes from besides its value.
struct HighlightSources {
  const std::vector<AddressRange>* compareRanges = nullptr;  // set: the view shows compare results
  const MarkLookup* marks = nullptr;
  bool hasStructureRange = false;
  AddressRange structureRange{0, -1};
};

// Text and background of one byte cell; the first rule that applies wins:
// compare results, then marks, then the structure-edit range, then the
// per-byte text colour on the data background.
ByteColours GetByteColours(const ExtProfile& profile, const std::array<Colour, 256>& textColours,
                           const HighlightSources& sources, DocPos address, std::uint8_t value);

}  // namespace vantrell
