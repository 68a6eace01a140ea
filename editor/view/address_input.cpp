#include "address_input.h"

#include <cstdio>

#include "resources/string_table.h"

namespace vantrell {

std::optional<std::uint32_t> ParseNumber(const std::string& text, NumberBase base) {
  if (text.empty()) return std::nullopt;
  const std::uint64_t radix = base == NumberBase::Hexadecimal ? 16 : 10;
  std::uint64_t value = 0;
  for (const char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (radix == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (radix == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * radix + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

std::string ConvertNumberText(const std::string& text, NumberBase from, NumberBase to) {
  if (from == to) return text;
  const auto value = ParseNumber(text, from);
  if (!value) return {};
  char out[16];
  std::snprintf(out, sizeof out, to == NumberBase::Hexadecimal ? "%X" : "%u", *value);
  return out;
}

namespace {
int ParseMessage(NumberBase base) {
  return base == NumberBase::Hexadecimal ? ids::kMsgEnterHex : ids::kMsgEnterDigits;
}
}  // namespace

AddressCheck CheckGoToAddress(const std::string& text, NumberBase base, DocPos current,
                              DocPos length) {
  const char sign = !text.empty() && (text[0] == '+' || text[0] == '-') ? text[0] : 0;
  const auto number = ParseNumber(sign ? text.substr(1) : text, base);
  if (!number) return {0, ParseMessage(base)};
  const std::int64_t n = *number;
  std::int64_t target = n;
  if (sign == '+') {
    target = std::int64_t{current} + n;
    if (target > length || target > 0xFFFFFFF) return {0, ids::kMsgInvalidAddress};
  } else if (sign == '-') {
    if (n > current) return {0, ids::kMsgInvalidAddress};
    target = current - n;
  } else if (n > length) {
    return {0, ids::kMsgInvalidAddress};
  }
  return {static_cast<DocPos>(target), 0};
}

RangeCheck CheckRange(const std::string& startText, const std::string& endText, NumberBase base,
                      DocPos length) {
  const auto start = ParseNumber(startText, base);
  if (!start) return {0, 0, ParseMessage(base), 1};
  const auto end = ParseNumber(endText, base);
  if (!end) return {0, 0, ParseMessage(base), 2};
  if (*start >= static_cast<std::uint32_t>(length)) return {0, 0, ids::kMsgInvalidAddress, 1};
  if (*end >= static_cast<std::uint32_t>(length)) return {0, 0, ids::kMsgInvalidAddress, 2};
  const auto first = static_cast<DocPos>(std::min(*start, *end));
  const auto last = static_cast<DocPos>(std::max(*start, *end));
  return {first, last, 0, 0};
}

}  // namespace vantrell
