#include <gtest/gtest.h>

#include "view/address_input.h"

namespace vantrell {
namespace {

TEST(AddressInput, GoToAddressValidation) {
  constexpr auto hex = NumberBase::Hexadecimal;
  constexpr auto dec = NumberBase::Decimal;
  struct Case {
    std::string text;
    NumberBase base;
    DocPos current;
    DocPos length;
    int message;
    DocPos target;
  };
  const Case cases[] = {
      {"10", hex, 0, 0x100, 0, 0x10},
      {"100", hex, 0, 0x100, 0, 0x100},  // the end position
      {"101", hex, 0, 0x100, 1003, 0},
      {"+10", hex, 0xFFFFFF7, 0x20000000, 1003, 0},  // beyond 0xFFFFFFF
      {"+8", hex, 0xFFFFFF7, 0x20000000, 0, 0xFFFFFFF},
      {"-5", dec, 4, 100, 1003, 0},
      {"-4", dec, 4, 100, 0, 0},
      {"+20", dec, 90, 100, 1003, 0},
      {"1A", dec, 0, 100, 1000, 0},
      {"XYZ", hex, 0, 100, 1004, 0},
      {"", hex, 0, 100, 1004, 0},
      {"FFFFFFFFF", hex, 0, 100, 1004, 0},
  };
  for (const Case& c : cases) {
    const AddressCheck check = CheckGoToAddress(c.text, c.base, c.current, c.length);
    EXPECT_EQ(check.message, c.message) << c.text;
    if (c.message == 0) {
      EXPECT_EQ(check.address, c.target) << c.text;
    }
  }
}

TEST(AddressInput, RangeValidationAndBaseSwitching) {
  RangeCheck swapped = CheckRange("20", "10", NumberBase::Hexadecimal, 0x100);
  EXPECT_EQ(swapped.message, 0);
  EXPECT_EQ(swapped.start, 0x10);
  EXPECT_EQ(swapped.end, 0x20);
  EXPECT_EQ(CheckRange("10", "100", NumberBase::Hexadecimal, 0x100).message, 1003);
  EXPECT_EQ(CheckRange("10", "100", NumberBase::Hexadecimal, 0x100).badField, 2);
  EXPECT_EQ(CheckRange("G", "1", NumberBase::Hexadecimal, 0x100).badField, 1);
  EXPECT_EQ(CheckRange("0", "0", NumberBase::Decimal, 0).message, 1003);  // empty document
  EXPECT_EQ(ConvertNumberText("FF", NumberBase::Hexadecimal, NumberBase::Decimal), "255");
  EXPECT_EQ(ConvertNumberText("255", NumberBase::Decimal, NumberBase::Hexadecimal), "FF");
  EXPECT_EQ(ConvertNumberText("1Z", NumberBase::Hexadecimal, NumberBase::Decimal), "");
}

}  // namespace
}  // namespace vantrell
