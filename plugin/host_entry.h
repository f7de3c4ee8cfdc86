// One host entry, looked up by name through the resolver at its first use and kept; a
// missing entry is looked up again next time, and a new resolver drops what was kept.
#pragma once

#include <cstdint>

namespace qrx {

// Counts the resolvers REALPluginMain has been given, so kept entries know when they are
// stale.
std::uint64_t ResolverGeneration() noexcept;
// The entry's address from the current resolver, or null (also when there is no resolver).
void* ResolveHostEntry(const char* name);

template <class Fn>
class HostEntry {
 public:
  explicit constexpr HostEntry(const char* name) : name_(name) {}

  // May throw only when the resolver itself does.
  Fn Get() {
    if (generation_ != ResolverGeneration()) {
      address_ = nullptr;
      generation_ = ResolverGeneration();
    }
    if (!address_)
      address_ = reinterpret_cast<Fn>(ResolveHostEntry(name_));
    return address_;
  }

 private:
  const char* name_;
  Fn address_ = nullptr;
  std::uint64_t generation_ = 0;
};

}  // namespace qrx
