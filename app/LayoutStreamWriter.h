// Writes a layout property stream: entries of a property name, one blank and the value in
// its type's width, little-endian, back to back with no header or terminator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class LayoutStreamWriter {
 public:
  LayoutStreamWriter& Integer(std::string_view name, std::int64_t value);
  LayoutStreamWriter& Boolean(std::string_view name, bool value);
  LayoutStreamWriter& Double(std::string_view name, double value);
  LayoutStreamWriter& Single(std::string_view name, float value);
  // A colour &hAARRGGBB, AA being the transparency (0 is opaque).
  LayoutStreamWriter& Colour(std::string_view name, std::uint32_t value);
  LayoutStreamWriter& String(std::string_view name, std::string_view value);
  LayoutStreamWriter& FontUnit(std::string_view name, std::uint8_t value);

  const std::string& Bytes() const { return bytes_; }

 private:
  void Name(std::string_view name);
  void LittleEndian(std::uint64_t value, int width);

  std::string bytes_;
};
