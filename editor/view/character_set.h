#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/block_cursor.h"
#include "document/doc_types.h"

namespace vantrell {

// One cell of the character pane. A wide glyph covers its cell and the next
// one (the next cell is Blank, or the right margin at the end of a line).
struct CharCell {
  enum class Kind : std::uint8_t { Blank, Glyph, WideGlyph };
  Kind kind = Kind::Blank;
  std::uint16_t code = 0;  // CP932: one byte, or a double-byte code with the lead byte high

  bool operator==(const CharCell&) const = default;
};

// The bytes of one line of the character pane.
struct CharLine {
  const std::uint8_t* bytes = nullptr;  // the line's bytes, then the byte after the line if any
  int count = 0;                        // bytes on the line (fewer than L on the end line)
  bool hasNext = false;                 // bytes[count] is the document's next byte
  bool firstIsSecondHalf = false;       // the first byte completes a unit of the line before
  DocPos address = 0;                   // of the first byte
};

// The name shown for a set ("ASCII", "SHIFT-JIS", ...).
const char* CharacterSetName(CharacterSet set);

// Lays out one line: count cells, plus one more for the right margin when a
// two-byte unit starting in the last cell spills into it.
std::vector<CharCell> LayoutCharacterLine(CharacterSet set, const CharLine& line);

enum class ByteRole { Single, Lead, SecondHalf, InvalidSecondHalf };

// Whether the byte at a position starts, completes or stands alone in a
// two-byte unit, by looking backwards (Shift-JIS, EUC; by parity for Unicode).
ByteRole ClassifyLeadTrail(CharacterSet set, BlockCursor& cursor, DocPos position);
// True when the first cell of a line starting at position is left blank.
bool StartsWithSecondHalf(CharacterSet set, BlockCursor& cursor, DocPos position);

// The bytes a typed CP932 character becomes (1 or 2; empty when it cannot be typed).
Bytes TypedCharacterToBytes(CharacterSet set, std::uint16_t code);
// CP932 text for the platform clipboard; nullopt when the bytes cannot be converted.
std::optional<std::string> BytesToText(CharacterSet set, const std::uint8_t* bytes, int count);
// The bytes of a search pattern typed as CP932 text; nullopt when it cannot be converted.
std::optional<Bytes> EncodeText(CharacterSet set, const std::string& text);

// Display code of one EBCDIC/EBCIDK byte, 0 when unmapped; and the inverse.
std::uint8_t EbcdicToDisplay(CharacterSet set, std::uint8_t byte);
std::uint8_t DisplayToEbcdic(CharacterSet set, std::uint8_t byte);

}  // namespace vantrell
