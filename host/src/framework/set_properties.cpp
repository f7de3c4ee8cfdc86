#include "host/exception.h"
#include "host/layout_properties.h"

namespace host {

void _SetProperties(Object& target, std::span<const std::uint8_t> stream) {
  auto* properties = dynamic_cast<LayoutPropertyTarget*>(&target);
  if (!properties) {
    Raise("UnsupportedFormatException",
          "a " + target.Class().name + " takes no layout properties; nothing was applied");
  }
  std::vector<LayoutEntry> entries;
  try {
    // The whole stream is checked before anything is applied: a refused stream leaves the
    // target as it was.
    entries = ParseLayoutStream(stream, [properties](std::string_view name) {
      return properties->LayoutPropertyType(name);
    });
  } catch (const LayoutStreamError& error) {
    Raise("UnsupportedFormatException",
          std::string(error.what()) + "; nothing of it applied to " + target.Class().name);
  }
  for (const LayoutEntry& entry : entries)
    properties->SetLayoutProperty(entry.name, entry.value);
}

void _SetProperties(Object& target, std::string_view stream) {
  _SetProperties(target,
                 std::span(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size()));
}

}  // namespace host
