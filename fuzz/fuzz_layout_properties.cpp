// Feeds arbitrary bytes to the layout stream reader with the property types of a label: it
// must refuse or read them without reading past the end, and what it reads must account for
// every byte of the stream.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "host/layout_properties.h"

namespace {

using host::LayoutValueType;

const std::map<std::string, LayoutValueType, std::less<>>& LabelTypes() {
  static const auto* types = new std::map<std::string, LayoutValueType, std::less<>>{
      {"Name", LayoutValueType::String},     {"Index", LayoutValueType::Integer},
      {"Left", LayoutValueType::Integer},    {"Enabled", LayoutValueType::Boolean},
      {"TextColor", LayoutValueType::Color}, {"Text", LayoutValueType::String},
      {"FontSize", LayoutValueType::Single}, {"FontUnit", LayoutValueType::FontUnits},
      {"Value", LayoutValueType::Double},    {"A", LayoutValueType::String},
  };
  return *types;
}

std::size_t EncodedSize(const host::LayoutEntry& entry) {
  const std::size_t head = entry.name.size() + 1;
  return head + std::visit(
                    [](const auto& value) -> std::size_t {
                      using V = std::decay_t<decltype(value)>;
                      if constexpr (std::is_same_v<V, std::string>) {
                        return 4 + value.size();
                      } else {
                        return sizeof(V);
                      }
                    },
                    entry.value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto typeOf = [](std::string_view name) -> std::optional<LayoutValueType> {
    const auto found = LabelTypes().find(name);
    if (found == LabelTypes().end())
      return std::nullopt;
    return found->second;
  };
  try {
    const auto entries = host::ParseLayoutStream({data, size}, typeOf);
    std::size_t consumed = 0;
    for (const host::LayoutEntry& entry : entries) {
      if (entry.offset != consumed)
        std::abort();
      consumed += EncodedSize(entry);
    }
    if (consumed != size)
      std::abort();
  } catch (const host::LayoutStreamError& error) {
    if (error.Offset() > size)
      std::abort();
  }
  return 0;
}
