#include "host/array.h"

#include <cstdlib>
#include <limits>
#include <string>

#include "framework_internal.h"

namespace host::array_detail {

const ClassDescription& ArrayClass() {
  static const ClassDescription& cls = framework::DescribeFrameworkClass("Array", nullptr);
  return cls;
}

void RaiseOutOfBounds(std::int64_t index, std::int64_t upperBound) {
  Raise("OutOfBoundsException", "index " + std::to_string(index) +
                                    " is outside the table's bounds 0 to " +
                                    std::to_string(upperBound));
}

std::size_t EntryCount(std::int64_t upper0, std::int64_t upper1) {
  if (upper0 < -1 || upper1 < -1) {
    Raise("OutOfBoundsException",
          "a table can't have the upper bound " + std::to_string(upper0 < -1 ? upper0 : upper1));
  }
  const auto rows = static_cast<std::uint64_t>(upper0 + 1);
  const auto columns = static_cast<std::uint64_t>(upper1 + 1);
  // Caps far below what a vector could index, so that a wrong bound fails clearly.
  constexpr std::uint64_t kMostEntries = std::uint64_t{1} << 40;
  if (columns != 0 && rows > kMostEntries / columns) {
    Raise("OutOfMemoryException", "a table of " + std::to_string(rows) + " x " +
                                      std::to_string(columns) + " entries is too large");
  }
  return static_cast<std::size_t>(rows * columns);
}

// calloc takes large blocks straight from the kernel's zeroed pages without writing them.
void* ZeroedEntries(std::size_t count, std::size_t entrySize) {
  if (count == 0)
    return nullptr;
  void* entries = std::calloc(count, entrySize);
  if (!entries) {
    Raise("OutOfMemoryException", "a table of " + std::to_string(count) + " entries (" +
                                      std::to_string(count * entrySize) +
                                      " bytes) can't be held: the system has no memory for it");
  }
  return entries;
}

}  // namespace host::array_detail
