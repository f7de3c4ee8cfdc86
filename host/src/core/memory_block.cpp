#include "host/memory_block.h"

#include <new>
#include <stdexcept>
#include <string>

#include "host/exception.h"

namespace host {

const ClassDescription& MemoryBlock::Class() {
  static const ClassDescription description = [] {
    ClassDescription d;
    d.name = "MemoryBlock";
    return d;
  }();
  return description;
}

MemoryBlock::MemoryBlock(std::size_t size) : Object(Class()), bytes_(size, 0) {}

Ref<MemoryBlock> MemoryBlock::Make(std::int64_t size) {
  if (size < 0) {
    Raise("OutOfBoundsException",
          "a memory block cannot have a negative size (" + std::to_string(size) + " bytes)");
  }
  try {
    return Ref<MemoryBlock>::Adopt(new MemoryBlock(static_cast<std::size_t>(size)));
  } catch (const std::bad_alloc&) {
    Raise("OutOfMemoryException", "no memory for a block of " + std::to_string(size) + " bytes");
  } catch (const std::length_error&) {
    Raise("OutOfMemoryException", "no memory for a block of " + std::to_string(size) + " bytes");
  }
}

std::size_t MemoryBlock::CheckedOffset(std::int64_t offset) const {
  if (offset < 0 || offset >= Size()) {
    Raise("OutOfBoundsException", "offset " + std::to_string(offset) +
                                      " is outside the memory block of " + std::to_string(Size()) +
                                      " bytes");
  }
  return static_cast<std::size_t>(offset);
}

std::uint8_t MemoryBlock::Byte(std::int64_t offset) const {
  return bytes_[CheckedOffset(offset)];
}

void MemoryBlock::SetByte(std::int64_t offset, std::int64_t value) {
  bytes_[CheckedOffset(offset)] = static_cast<std::uint8_t>(value & 0xFF);
}

Ref<String> MemoryBlock::ToString() const {
  return String::Make(std::string(bytes_.begin(), bytes_.end()), kEncodingUnknown);
}

}  // namespace host
