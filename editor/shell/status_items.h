#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/doc_types.h"

namespace vantrell {

// What the active view last reported to the status bar.
struct StatusState {
  bool documentActive = false;
  std::uint32_t caret = 0;
  std::uint32_t size = 0;
  bool insertMode = false;
  bool modified = false;
  EditState editState = EditState::Editable;
  CharacterSet characterSet = CharacterSet::ShiftJis;
  ByteOrder byteOrder = ByteOrder::LittleEndian;
  std::vector<std::uint8_t> atCaret;  // up to 8 bytes from the caret
};

namespace status {
inline constexpr int kInsertOverwrite = 59140;
inline constexpr int kEditState = 59143;
inline constexpr int kModified = 59144;
inline constexpr int kAddressHex = 59145;
inline constexpr int kSizeDecimal = 59146;
inline constexpr int kWordHex = 59147;
inline constexpr int kDwordHex = 59148;
inline constexpr int kCharacterSet = 59149;
inline constexpr int kAddressDecimal = 59150;
inline constexpr int kByteDecimal = 59151;
inline constexpr int kWordDecimal = 59152;
inline constexpr int kDwordDecimal = 59153;
inline constexpr int kSizeHex = 59154;
inline constexpr int kByteHex = 59155;
inline constexpr int kFloat = 59156;
inline constexpr int kDouble = 59157;
inline constexpr int kByteOrder = 59158;
}  // namespace status

// The default status bar after the message pane.
const std::vector<int>& DefaultStatusItems();

// The text of a status bar item; empty while no document window is active or
// when a value item lacks the bytes it needs.
std::string StatusItemText(int item, const StatusState& state);
// The text whose width the item's pane gets.
std::string StatusItemWidthText(int item);

}  // namespace vantrell
