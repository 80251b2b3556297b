#include "core/base/portable/ByteBuffer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

TEST(ByteBuffer, AppendsAndStaysTerminated) {
  ByteBuffer buffer;
  EXPECT_EQ(buffer.data(), nullptr);
  EXPECT_EQ(buffer.view(), "");
  ASSERT_TRUE(buffer.Append("ab", 2));
  ASSERT_TRUE(buffer.Append("", 0));
  ASSERT_TRUE(buffer.Append("c\0d", 3));
  EXPECT_EQ(buffer.size(), 5u);
  EXPECT_EQ(buffer.view(), std::string_view("abc\0d", 5));
  EXPECT_EQ(buffer.data()[5], '\0');

  ByteBuffer moved;
  ASSERT_TRUE(moved.Append("x", 1));
  moved = std::move(buffer);  // frees "x", takes the five bytes
  EXPECT_EQ(buffer.data(), nullptr);
  EXPECT_EQ(buffer.size(), 0u);
  EXPECT_EQ(moved.size(), 5u);
  char* block = moved.Release();
  EXPECT_TRUE(moved.empty());
  EXPECT_EQ(moved.data(), nullptr);
  EXPECT_STREQ(block, "abc");
  std::free(block);
}

TEST(ByteBuffer, AllocateReplacesTheBlock) {
  ByteBuffer buffer;
  ASSERT_TRUE(buffer.Append("old", 3));
  ASSERT_TRUE(buffer.Allocate(4));
  EXPECT_EQ(buffer.size(), 4u);
  EXPECT_EQ(buffer.data()[4], '\0');
  ASSERT_TRUE(buffer.Allocate(0));  // an empty file still has a block
  EXPECT_NE(buffer.data(), nullptr);
  EXPECT_STREQ(buffer.data(), "");
  // A size that cannot be allocated leaves the buffer empty, not half-made.
  EXPECT_FALSE(buffer.Allocate(SIZE_MAX));
  EXPECT_EQ(buffer.data(), nullptr);
  EXPECT_EQ(buffer.size(), 0u);
}
