#include "status_items.h"

#include <cstdio>
#include <cstring>

#include "view/character_set.h"

namespace vantrell {

const std::vector<int>& DefaultStatusItems() {
  static const std::vector<int> items = {status::kAddressHex, status::kModified,
                                         status::kEditState,  status::kInsertOverwrite,
                                         status::kSizeDecimal, status::kCharacterSet};
  return items;
}

namespace {

// n bytes from the caret as one number in the document's byte order.
std::uint64_t Value(const StatusState& state, int n) {
  std::uint64_t value = 0;
  for (int i = 0; i < n; ++i) {
    const int at = state.byteOrder == ByteOrder::BigEndian ? i : n - 1 - i;
    value = value << 8 | state.atCaret[at];
  }
  return value;
}

// printf general format with trailing zeros of the fraction removed.
std::string TrimmedGeneral(double value, const char* format) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  std::string s = text;
  const auto exponent = s.find_first_of("eE");
  std::string mantissa = s.substr(0, exponent);
  const std::string tail = exponent == std::string::npos ? "" : s.substr(exponent);
  if (mantissa.find('.') != std::string::npos) {
    while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
    if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
  }
  return mantissa + tail;
}

std::string Printf(const char* format, unsigned long long value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string StatusItemText(int item, const StatusState& state) {
  if (!state.documentActive) return {};
  const auto available = static_cast<int>(state.atCaret.size());
  switch (item) {
    case status::kInsertOverwrite: return state.insertMode ? "挿入" : "上書";
    case status::kEditState:
      return state.editState == EditState::Browse       ? "閲覧"
             : state.editState == EditState::Prohibited ? "編禁"
                                                        : "";
    case status::kModified: return state.modified ? "更新" : "";
    case status::kSizeDecimal: return Printf("%llu Bytes", state.size);
    case status::kSizeHex: return Printf("0x%08llX Bytes", state.size);
    case status::kAddressDecimal: return Printf("%llu", state.caret);
    case status::kAddressHex: return Printf("0x%08llX", state.caret);
    case status::kByteDecimal: return available >= 1 ? Printf("B : %llu", Value(state, 1)) : "";
    case status::kByteHex: return available >= 1 ? Printf("B : 0x%02llX", Value(state, 1)) : "";
    case status::kWordDecimal: return available >= 2 ? Printf("W : %llu", Value(state, 2)) : "";
    case status::kWordHex: return available >= 2 ? Printf("W : 0x%04llX", Value(state, 2)) : "";
    case status::kDwordDecimal: return available >= 4 ? Printf("DW : %llu", Value(state, 4)) : "";
    case status::kDwordHex: return available >= 4 ? Printf("DW : 0x%08llX", Value(state, 4)) : "";
    case status::kFloat: {
      if (available < 4) return "";
      const auto bits = static_cast<std::uint32_t>(Value(state, 4));
      float value;
      std::memcpy(&value, &bits, 4);
      return "f : " + TrimmedGeneral(value, "%-g");
    }
    case status::kDouble: {
      if (available < 8) return "";
      const std::uint64_t bits = Value(state, 8);
      double value;
      std::memcpy(&value, &bits, 8);
      return "d : " + TrimmedGeneral(value, "%.15g");
    }
    case status::kCharacterSet: return CharacterSetName(state.characterSet);
    case status::kByteOrder:
      return state.byteOrder == ByteOrder::BigEndian ? "BigEndian" : "LittleEndian";
    default: return {};
  }
}

std::string StatusItemWidthText(int item) {
  switch (item) {
    case status::kInsertOverwrite: return "上書";
    case status::kEditState: return "編禁";
    case status::kModified: return "更新";
    case status::kSizeDecimal: return "9999999999 Bytes";
    case status::kSizeHex: return "BBBBBBBB Bytes";
    case status::kAddressDecimal: return "9999999999";
    case status::kAddressHex: return "0xBBBBBBBB";
    case status::kByteDecimal: return "B : 999";
    case status::kByteHex: return "B : 0xBB";
    case status::kWordDecimal: return "W : 99999";
    case status::kWordHex: return "W : 0xBBBB";
    case status::kDwordDecimal: return "DW : 9999999999";
    case status::kDwordHex: return "DW : 0xBBBBBBBB";
    case status::kFloat: return "f : -9.999999e+99";
    case status::kDouble: return "d : -9.999999999999999e+999";
    case status::kCharacterSet: return "SHIFT_JIS";
    case status::kByteOrder: return "Little Endian";
    default: return {};
  }
}

}  // namespace vantrell
