#include <gtest/gtest.h>

#include "shell/status_items.h"

namespace vantrell {
namespace {

TEST(StatusItems, FormatsEveryItem) {
  StatusState state;
  state.documentActive = true;
  state.caret = 0x1234;
  state.size = 4096;
  state.insertMode = true;
  state.modified = true;
  state.editState = EditState::Prohibited;
  state.characterSet = CharacterSet::Euc;
  state.atCaret = {0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x00};  // 1.0f in the first four
  struct Case {
    int item;
    std::string text;
  };
  const Case cases[] = {
      {status::kInsertOverwrite, "挿入"},     {status::kEditState, "編禁"},
      {status::kModified, "更新"},            {status::kSizeDecimal, "4096 Bytes"},
      {status::kSizeHex, "0x00001000 Bytes"}, {status::kAddressDecimal, "4660"},
      {status::kAddressHex, "0x00001234"},    {status::kByteDecimal, "B : 0"},
      {status::kWordHex, "W : 0x0000"},       {status::kDwordHex, "DW : 0x3F800000"},
      {status::kDwordDecimal, "DW : 1065353216"}, {status::kFloat, "f : 1"},
      {status::kDouble, "d : 5.26354424712089e-315"}, {status::kCharacterSet, "EUC"},
      {status::kByteOrder, "LittleEndian"},
  };
  for (const Case& c : cases) EXPECT_EQ(StatusItemText(c.item, state), c.text) << c.item;

  state.byteOrder = ByteOrder::BigEndian;
  EXPECT_EQ(StatusItemText(status::kDwordHex, state), "DW : 0x0000803F");
  state.atCaret = {0xAB};
  EXPECT_EQ(StatusItemText(status::kByteHex, state), "B : 0xAB");
  EXPECT_EQ(StatusItemText(status::kWordHex, state), "");  // needs two bytes
  state.insertMode = false;
  state.editState = EditState::Editable;
  EXPECT_EQ(StatusItemText(status::kInsertOverwrite, state), "上書");
  EXPECT_EQ(StatusItemText(status::kEditState, state), "");
  state.documentActive = false;
  EXPECT_EQ(StatusItemText(status::kInsertOverwrite, state), "");
}

}  // namespace
}  // namespace vantrell
