// The program's tables: zero-filled, indexed from 0, bounds-checked. A table declared with
// the upper bound N holds N + 1 entries; an upper bound of -1 gives an empty table. Bytes are
// stored one byte an entry, so a 100001 x 141 byte table takes about 14 MB. The entries come
// from memory the system hands over already zeroed, so a table's pages cost nothing until
// they are written.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <type_traits>

#include "host/exception.h"
#include "host/object.h"

namespace host {

namespace array_detail {
const ClassDescription& ArrayClass();
// Raises OutOfBoundsException naming the index and the upper bound.
[[noreturn]] void RaiseOutOfBounds(std::int64_t index, std::int64_t upperBound);
// Entries of a table with these upper bounds; raises OutOfBoundsException for an upper
// bound below -1 and OutOfMemoryException when the entries can't be held.
std::size_t EntryCount(std::int64_t upper0, std::int64_t upper1);
// count zeroed entries of entrySize bytes (nullptr for none); raises OutOfMemoryException
// when the system can't give them.
void* ZeroedEntries(std::size_t count, std::size_t entrySize);
struct FreeEntries {
  void operator()(void* entries) const { std::free(entries); }
};
// Zero bits must read as the value 0, and the entries need no construction.
template <class T>
class Storage {
  static_assert(std::is_arithmetic_v<T>);

 public:
  explicit Storage(std::size_t count)
      : count_(count), entries_(static_cast<T*>(ZeroedEntries(count, sizeof(T)))) {}
  T& operator[](std::size_t i) { return entries_.get()[i]; }
  const T& operator[](std::size_t i) const { return entries_.get()[i]; }
  std::span<T> All() { return {entries_.get(), count_}; }
  std::span<const T> All() const { return {entries_.get(), count_}; }

 private:
  std::size_t count_;
  std::unique_ptr<T[], FreeEntries> entries_;
};
inline std::size_t Checked(std::int64_t index, std::int64_t upperBound) {
  if (index < 0 || index > upperBound)
    RaiseOutOfBounds(index, upperBound);
  return static_cast<std::size_t>(index);
}
}  // namespace array_detail

template <class T>
class Array1D : public Object {
 public:
  static const ClassDescription& Class() { return array_detail::ArrayClass(); }
  explicit Array1D(std::int64_t upperBound)
      : Object(Class()),
        upperBound_(upperBound),
        entries_(array_detail::EntryCount(upperBound, 0)) {}

  std::int64_t UBound() const { return upperBound_; }
  T Get(std::int64_t i) const { return entries_[array_detail::Checked(i, upperBound_)]; }
  void Set(std::int64_t i, T value) { entries_[array_detail::Checked(i, upperBound_)] = value; }
  std::span<T> Entries() { return entries_.All(); }
  std::span<const T> Entries() const { return entries_.All(); }

 private:
  std::int64_t upperBound_;
  array_detail::Storage<T> entries_;
};

template <class T>
class Array2D : public Object {
 public:
  static const ClassDescription& Class() { return array_detail::ArrayClass(); }
  Array2D(std::int64_t upperBound0, std::int64_t upperBound1)
      : Object(Class()),
        upperBound0_(upperBound0),
        upperBound1_(upperBound1),
        entries_(array_detail::EntryCount(upperBound0, upperBound1)) {}

  // dimension 1 or 2.
  std::int64_t UBound(int dimension) const { return dimension == 1 ? upperBound0_ : upperBound1_; }
  T Get(std::int64_t i, std::int64_t j) const { return entries_[Offset(i, j)]; }
  void Set(std::int64_t i, std::int64_t j, T value) { entries_[Offset(i, j)] = value; }
  // Row i as one contiguous run of UBound(2) + 1 entries, for loops that touch many.
  std::span<T> Row(std::int64_t i) { return entries_.All().subspan(RowStart(i), RowLength()); }
  std::span<const T> Row(std::int64_t i) const {
    return entries_.All().subspan(RowStart(i), RowLength());
  }

 private:
  std::size_t RowLength() const { return static_cast<std::size_t>(upperBound1_ + 1); }
  std::size_t RowStart(std::int64_t i) const {
    return array_detail::Checked(i, upperBound0_) * RowLength();
  }
  std::size_t Offset(std::int64_t i, std::int64_t j) const {
    return RowStart(i) + array_detail::Checked(j, upperBound1_);
  }

  std::int64_t upperBound0_;
  std::int64_t upperBound1_;
  array_detail::Storage<T> entries_;
};

using ByteArray = Array1D<std::uint8_t>;
using ByteArray2D = Array2D<std::uint8_t>;
using IntegerArray = Array1D<std::int64_t>;
using IntegerArray2D = Array2D<std::int64_t>;

// CreateArray<std::uint8_t>(100000, 140) or CreateArray<std::int64_t>(100).
template <class T>
Ref<Array1D<T>> CreateArray(std::int64_t upperBound) {
  return Ref<Array1D<T>>::Adopt(new Array1D<T>(upperBound));
}
template <class T>
Ref<Array2D<T>> CreateArray(std::int64_t upperBound0, std::int64_t upperBound1) {
  return Ref<Array2D<T>>::Adopt(new Array2D<T>(upperBound0, upperBound1));
}

}  // namespace host
