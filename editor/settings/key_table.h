#pragma once

#include <array>
#include <cstdint>

namespace vantrell {

// Modifier states of a key: bit 0 Shift, bit 1 Ctrl.
inline constexpr int kShift = 1;
inline constexpr int kCtrl = 2;

// The key table: one function code per (modifier state, key slot); entry =
// modifier state × 64 + slot. Function codes carry the category in the high
// byte and the index in the low byte; 0 means no function.
class KeyTable {
 public:
  static KeyTable Default();

  [[nodiscard]] std::uint16_t Code(int modifiers, int slot) const;
  void Set(int modifiers, int slot, std::uint16_t code) { codes_[modifiers * 64 + slot] = code; }

 private:
  std::array<std::uint16_t, 256> codes_{};
};

// Key slots: F1..F12 0..11, "@" 12, A..Z 13..38, "[" 39, "\" 40, "]" 41,
// "^" 42, "_" 43, "," 44, "." 45, Home 46, End 47, arrows 48..51 (left, right,
// up, down), PageUp 52, PageDown 53, Insert 54, Delete 55, BackSpace 56.
// A slot reaches the table only with the modifiers it needs; -1 otherwise.
int DispatchSlot(int slot, int modifiers);

// The command number that runs a function code; 0 for a code without one.
int CommandOfFunction(std::uint16_t code);

}  // namespace vantrell
