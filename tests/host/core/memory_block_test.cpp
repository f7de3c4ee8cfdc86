#include "host/memory_block.h"

#include <gtest/gtest.h>

#include "host/exception.h"

namespace {

void ExpectOutOfBounds(const std::function<void()>& action) {
  try {
    action();
    ADD_FAILURE() << "no exception";
  } catch (const host::RaisedException& e) {
    EXPECT_EQ(e.ClassName(), "OutOfBoundsException");
  }
}

TEST(MemoryBlock, StartsZeroFilled) {
  auto block = host::MemoryBlock::Make(200);
  EXPECT_EQ(block->Size(), 200);
  for (std::int64_t i = 0; i < block->Size(); ++i)
    ASSERT_EQ(block->Byte(i), 0) << i;
  EXPECT_EQ(host::MemoryBlock::Make(0)->Size(), 0);
}

TEST(MemoryBlock, StoresTheLowByteOfAValue) {
  auto block = host::MemoryBlock::Make(2);
  block->SetByte(0, 0xF7);
  block->SetByte(1, 0x1F0);
  EXPECT_EQ(block->Byte(0), 0xF7);
  EXPECT_EQ(block->Byte(1), 0xF0);
  EXPECT_EQ(block->Data()[0], 0xF7);
}

TEST(MemoryBlock, RefusesOffsetsOutsideTheBlock) {
  auto block = host::MemoryBlock::Make(4);
  ExpectOutOfBounds([&] { block->Byte(-1); });
  ExpectOutOfBounds([&] { block->Byte(4); });
  ExpectOutOfBounds([&] { block->SetByte(4, 1); });
  ExpectOutOfBounds([] { host::MemoryBlock::Make(-1); });
}

TEST(MemoryBlock, BecomesAStringOfExactlyItsBytes) {
  auto block = host::MemoryBlock::Make(4);
  block->SetByte(0, 0xF0);
  block->SetByte(3, 0xF7);
  EXPECT_EQ(block->ToString()->Bytes(), std::string("\xF0\0\0\xF7", 4));
}

}  // namespace
