// Tables of layout properties: for each name its declared type and how to apply a value.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "host/layout_properties.h"

namespace host::framework {

template <class C>
struct PropertyRow {
  std::string_view name;
  LayoutValueType type;
  void (*apply)(C& target, const LayoutValue& value);
};

template <class C>
const PropertyRow<C>* FindProperty(std::span<const PropertyRow<C>> rows, std::string_view name) {
  for (const PropertyRow<C>& row : rows) {
    if (row.name == name)
      return &row;
  }
  return nullptr;
}

inline std::int64_t AsInteger(const LayoutValue& v) {
  return std::get<std::int64_t>(v);
}
inline double AsDouble(const LayoutValue& v) {
  return std::get<double>(v);
}
inline float AsSingle(const LayoutValue& v) {
  return std::get<float>(v);
}
inline bool AsBoolean(const LayoutValue& v) {
  return std::get<bool>(v);
}
inline Color AsColor(const LayoutValue& v) {
  return std::get<Color>(v);
}
inline std::string AsString(const LayoutValue& v) {
  return std::get<std::string>(v);
}
inline std::uint8_t AsFontUnit(const LayoutValue& v) {
  return std::get<std::uint8_t>(v);
}

using LVT = LayoutValueType;

}  // namespace host::framework
