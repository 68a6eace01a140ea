#include "key_table.h"

#include <map>

namespace vantrell {

KeyTable KeyTable::Default() {
  KeyTable table;
  const struct {
    int entry;
    std::uint16_t code;
  } defaults[] = {
      {0, 0x0709},   {2, 0x0408},   {46, 0x0106},  {47, 0x0107},  {54, 0x0306},  {66, 0x0409},
      {110, 0x0207}, {111, 0x0208}, {112, 0x0201}, {113, 0x0202}, {114, 0x0203}, {115, 0x0204},
      {116, 0x020A}, {117, 0x020B}, {118, 0x0304}, {119, 0x0309}, {120, 0x0309}, {131, 0x0003},
      {133, 0x0605}, {143, 0x0303}, {146, 0x0400}, {162, 0x0304}, {164, 0x0302}, {166, 0x0300},
      {174, 0x0104}, {175, 0x0105}, {176, 0x0106}, {177, 0x0107}, {182, 0x0303}, {230, 0x0301},
      {238, 0x0205}, {239, 0x0206},
  };
  for (const auto& d : defaults) table.codes_[d.entry] = d.code;
  return table;
}

std::uint16_t KeyTable::Code(int modifiers, int slot) const {
  if (modifiers < 0 || modifiers > 3 || slot < 0 || slot >= 64) return 0;
  return codes_[modifiers * 64 + slot];
}

int DispatchSlot(int slot, int modifiers) {
  if (slot < 0 || slot > 56) return -1;
  const bool shiftOrCtrl = (modifiers & (kShift | kCtrl)) != 0;
  if (slot <= 11 || slot == 46 || slot == 47 || slot == 54) return slot;
  if (slot >= 48 && slot <= 53) return shiftOrCtrl ? slot : -1;
  if (slot == 55 || slot == 56) return shiftOrCtrl ? slot : -1;
  return (modifiers & kCtrl) != 0 ? slot : -1;  // letters and punctuation
}

int CommandOfFunction(std::uint16_t code) {
  // The functions that keys reach in this version of the editor.
  static const std::map<std::uint16_t, int> commands = {
      {0x0003, 57602}, {0x0104, 32782}, {0x0105, 32783}, {0x0106, 32784}, {0x0107, 32785},
      {0x0108, 32786}, {0x0109, 32787}, {0x010A, 32788}, {0x010B, 32789}, {0x0200, 32796},
      {0x0201, 32797}, {0x0202, 32798}, {0x0203, 32799}, {0x0204, 32800}, {0x0205, 32801},
      {0x0206, 32802}, {0x0207, 32803}, {0x0208, 32804}, {0x0209, 57642}, {0x020A, 32861},
      {0x020B, 32862}, {0x0300, 57643}, {0x0301, 57644}, {0x0302, 57635}, {0x0303, 57634},
      {0x0304, 57637}, {0x0305, 32805}, {0x0306, 32806}, {0x0307, 32807}, {0x0308, 32808},
      {0x0309, 32809}, {0x0400, 57636}, {0x0408, 32823}, {0x0409, 32822}, {0x0605, 32839},
      {0x0709, 32855},
  };
  const auto it = commands.find(code);
  return it == commands.end() ? 0 : it->second;
}

}  // namespace vantrell
