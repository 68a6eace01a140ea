#include "document/block_cursor.h"

#include <gtest/gtest.h>

namespace vantrell {
namespace {

TEST(BlockStore, EmptyDocumentHasOneEmptyBlock) {
  BlockList list;
  list.ResetToEmptyDocument();
  EXPECT_EQ(list.BlockCount(), 1);
  EXPECT_EQ(list.TotalLength(), 0);
  EXPECT_EQ(list.CheckInvariants(), "");
}

}  // namespace
}  // namespace vantrell
