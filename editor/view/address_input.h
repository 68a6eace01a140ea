#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "document/doc_types.h"

namespace vantrell {

enum class NumberBase { Decimal, Hexadecimal };

// A whole text as an unsigned 32-bit number in the base; nullopt when it is
// empty, has another character or does not fit.
std::optional<std::uint32_t> ParseNumber(const std::string& text, NumberBase base);

// The text of a number edit when its base switches: "%u" or "%X" of the
// value, or empty when the text does not parse.
std::string ConvertNumberText(const std::string& text, NumberBase from, NumberBase to);

struct AddressCheck {
  DocPos address = 0;  // valid when message is 0
  int message = 0;     // the message to show, the dialog staying open
};

// The go-to-address answer: a number, or "+n" / "-n" from the current address.
AddressCheck CheckGoToAddress(const std::string& text, NumberBase base, DocPos current,
                              DocPos length);

struct RangeCheck {
  DocPos start = 0;
  DocPos end = 0;
  int message = 0;   // 0 when valid
  int badField = 0;  // 1 start, 2 end: the field that gets the focus
};

// The range panel's answer: both fields below the length; swapped when the
// start is greater than the end.
RangeCheck CheckRange(const std::string& startText, const std::string& endText, NumberBase base,
                      DocPos length);

}  // namespace vantrell
