// Layout property streams: the byte strings that give a window or a control its initial
// properties by name. An entry is the property's name, one blank (0x20), then the value in
// the width of the property's declared type; there is no header, count or terminator.
// Numbers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/object.h"

namespace host {

// &hAARRGGBB; AA is the transparency (0x00 opaque, 0xFF invisible).
using Color = std::uint32_t;

enum class LayoutValueType : std::uint8_t {
  Integer,    // 8 bytes, signed (also the enumerations)
  Double,     // 8 bytes, IEEE 754 binary64
  Single,     // 4 bytes, IEEE 754 binary32
  Boolean,    // 1 byte, 0 or 1
  Color,      // 4 bytes, the 32-bit value
  String,     // u32 byte count, then the UTF-8 bytes
  FontUnits,  // 1 byte
};

// One alternative per type above, in the same order.
using LayoutValue =
    std::variant<std::int64_t, double, float, bool, Color, std::string, std::uint8_t>;

struct LayoutEntry {
  std::string name;
  LayoutValue value;
  std::size_t offset;  // where the entry's name starts in the stream
};

// The declared type of a property of the target, or nothing when it has no such property.
using LayoutTypeLookup = std::function<std::optional<LayoutValueType>(std::string_view name)>;

// A stream the reader refuses: what was wrong, the property concerned (empty when no name
// could be read) and the offset of the offending byte.
class LayoutStreamError : public std::runtime_error {
 public:
  LayoutStreamError(const std::string& message, std::string property, std::size_t offset)
      : std::runtime_error(message), property_(std::move(property)), offset_(offset) {}
  const std::string& Property() const { return property_; }
  std::size_t Offset() const { return offset_; }

 private:
  std::string property_;
  std::size_t offset_;
};

// Reads a whole stream without applying anything; throws LayoutStreamError for a name with
// no blank after it, an unknown name, a value cut short or a string longer than what is
// left. Never reads past the stream. Needs no GUI.
std::vector<LayoutEntry> ParseLayoutStream(std::span<const std::uint8_t> stream,
                                           const LayoutTypeLookup& typeOf);

// Implemented by the framework's windows and controls: their layout properties by name.
class LayoutPropertyTarget {
 public:
  virtual ~LayoutPropertyTarget() = default;
  virtual std::optional<LayoutValueType> LayoutPropertyType(std::string_view name) const = 0;
  // Called only with a name and a value of the type LayoutPropertyType gave.
  virtual void SetLayoutProperty(std::string_view name, const LayoutValue& value) = 0;
};

// Checks the whole stream against the target's properties, then applies every entry in
// order. A refused stream changes nothing and raises UnsupportedFormatException naming the
// property and the offset; a target with no layout properties raises the same.
void _SetProperties(Object& target, std::span<const std::uint8_t> stream);
void _SetProperties(Object& target, std::string_view stream);

}  // namespace host
