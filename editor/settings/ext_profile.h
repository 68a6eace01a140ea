#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "document/doc_types.h"

namespace vantrell {

// A colour as stored in the settings: 0x00BBGGRR.
using Colour = std::uint32_t;

struct ColourPair {
  Colour text;
  Colour back;
  bool operator==(const ColourPair&) const = default;
};

// The eight colour classes, in their stored order.
enum ColourClass : int {
  kColourHeader,
  kColourAddress,
  kColourData,
  kColourMark1,
  kColourMark2,
  kColourMark3,
  kColourCompareResult,
  kColourStructEdit,
  kColourClassCount
};

struct EmphasisedCode {
  std::uint8_t byte;
  Colour colour;
  bool operator==(const EmphasisedCode&) const = default;
};

// The fields of a logical font; an empty face name means the system fixed font.
struct FontSpec {
  int height = 0;
  int weight = 400;
  int italic = 0;
  int charSet = 128;
  std::string faceName;
  bool operator==(const FontSpec&) const = default;
};

// The settings of one per-extension record ("*" is the base record that
// applies to every file without a record of its own).
struct ExtProfile {
  static constexpr const char* kBaseExtension = "*";

  std::string extension = kBaseExtension;
  std::string comment;
  bool base = false;
  std::array<ColourPair, kColourClassCount> colours = DefaultColours();
  std::vector<EmphasisedCode> emphasised;  // ascending byte order
  bool reflectBitImage = false;
  FontSpec font;
  bool disableOpen = false;
  bool insertOpen = false;
  bool charOpen = false;
  bool scrollAddress = true;
  int lineSize = 16;
  CharacterSet characterSet = CharacterSet::ShiftJis;
  ByteOrder byteOrder = ByteOrder::LittleEndian;
  AddressBase addressBase = AddressBase::Hexadecimal;

  bool operator==(const ExtProfile&) const = default;

  static std::array<ColourPair, kColourClassCount> DefaultColours();
  // The base record created when none is stored: "*", "すべてのファイル", defaults.
  static ExtProfile MakeBase();

  // Text colour of every byte value: the data text colour, or the colour of
  // an emphasised code.
  [[nodiscard]] std::array<Colour, 256> TextColourTable() const;
};

// The record whose extension equals the file's (letter case ignored), or the
// first record of the list. The list is never empty.
const ExtProfile& ChooseExtProfile(const std::vector<ExtProfile>& profiles,
                                   const std::string& path);

}  // namespace vantrell
