#include "LayoutStreamWriter.h"

#include <bit>

void LayoutStreamWriter::Name(std::string_view name) {
  bytes_.append(name);
  bytes_.push_back(' ');
}

void LayoutStreamWriter::LittleEndian(std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) {
    bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
}

LayoutStreamWriter& LayoutStreamWriter::Integer(std::string_view name, std::int64_t value) {
  Name(name);
  LittleEndian(static_cast<std::uint64_t>(value), 8);
  return *this;
}

LayoutStreamWriter& LayoutStreamWriter::Boolean(std::string_view name, bool value) {
  Name(name);
  bytes_.push_back(value ? '\x01' : '\x00');
  return *this;
}

LayoutStreamWriter& LayoutStreamWriter::Double(std::string_view name, double value) {
  Name(name);
  LittleEndian(std::bit_cast<std::uint64_t>(value), 8);
  return *this;
}

LayoutStreamWriter& LayoutStreamWriter::Single(std::string_view name, float value) {
  Name(name);
  LittleEndian(std::bit_cast<std::uint32_t>(value), 4);
  return *this;
}

LayoutStreamWriter& LayoutStreamWriter::Colour(std::string_view name, std::uint32_t value) {
  Name(name);
  LittleEndian(value, 4);
  return *this;
}

LayoutStreamWriter& LayoutStreamWriter::String(std::string_view name, std::string_view value) {
  Name(name);
  LittleEndian(value.size(), 4);
  bytes_.append(value);
  return *this;
}

LayoutStreamWriter& LayoutStreamWriter::FontUnit(std::string_view name, std::uint8_t value) {
  Name(name);
  bytes_.push_back(static_cast<char>(value));
  return *this;
}
