// A block of raw bytes the program and the plugin share, e.g. one firmware message on its
// way to WriteSysEx.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/object.h"
#include "host/string.h"

namespace host {

class MemoryBlock : public Object {
 public:
  // A zero-filled block of that many bytes with its first reference; raises
  // OutOfBoundsException for a negative size.
  static Ref<MemoryBlock> Make(std::int64_t size);
  static const ClassDescription& Class();

  std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }
  // Both raise OutOfBoundsException for an offset outside the block.
  std::uint8_t Byte(std::int64_t offset) const;
  // Stores the low 8 bits of the value.
  void SetByte(std::int64_t offset, std::int64_t value);
  std::uint8_t* Data() { return bytes_.data(); }
  const std::uint8_t* Data() const { return bytes_.data(); }
  // A string of exactly the block's bytes, zero bytes included, in no known encoding.
  Ref<String> ToString() const;

 private:
  explicit MemoryBlock(std::size_t size);
  std::size_t CheckedOffset(std::int64_t offset) const;

  std::vector<std::uint8_t> bytes_;
};

}  // namespace host
