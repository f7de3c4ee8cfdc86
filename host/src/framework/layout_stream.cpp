// Reading layout property streams. Kept free of the GUI toolkit so the parser can be
// fuzzed and tested on its own.
#include <cstring>
#include <string>

#include "host/layout_properties.h"

namespace host {
namespace {

constexpr std::uint8_t kBlank = 0x20;

std::size_t FixedWidth(LayoutValueType type) {
  switch (type) {
    case LayoutValueType::Integer:
    case LayoutValueType::Double:
      return 8;
    case LayoutValueType::Single:
    case LayoutValueType::Color:
    case LayoutValueType::String:  // the byte count in front of the text
      return 4;
    case LayoutValueType::Boolean:
    case LayoutValueType::FontUnits:
      return 1;
  }
  return 0;
}

std::uint64_t LittleEndian(const std::uint8_t* bytes, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = width; i-- > 0;)
    value = (value << 8) | bytes[i];
  return value;
}

bool IsNameByte(std::uint8_t byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

class Reader {
 public:
  Reader(std::span<const std::uint8_t> stream, const LayoutTypeLookup& typeOf)
      : stream_(stream), typeOf_(typeOf) {}

  std::vector<LayoutEntry> ReadAll() {
    std::vector<LayoutEntry> entries;
    while (pos_ < stream_.size())
      entries.push_back(ReadEntry());
    return entries;
  }

 private:
  std::size_t Left() const { return stream_.size() - pos_; }

  [[noreturn]] void Fail(const std::string& what, const std::string& property,
                         std::size_t offset) const {
    std::string message = "layout stream refused at offset " + std::to_string(offset);
    if (!property.empty())
      message += " (property " + property + ")";
    throw LayoutStreamError(message + ": " + what, property, offset);
  }

  std::string ReadName() {
    const std::size_t start = pos_;
    while (pos_ < stream_.size() && IsNameByte(stream_[pos_]))
      ++pos_;
    std::string name(reinterpret_cast<const char*>(stream_.data() + start), pos_ - start);
    if (pos_ == stream_.size()) {
      Fail("the name has no blank after it before the stream ends", name, start);
    }
    if (stream_[pos_] != kBlank) {
      Fail("byte " + std::to_string(stream_[pos_]) + " where a letter or the blank after " +
               "the name belongs",
           name, pos_);
    }
    if (name.empty())
      Fail("an entry without a property name", name, start);
    ++pos_;  // the blank
    return name;
  }

  LayoutEntry ReadEntry() {
    const std::size_t start = pos_;
    std::string name = ReadName();
    const std::optional<LayoutValueType> type = typeOf_(name);
    if (!type)
      Fail("the target has no property of that name", name, start);
    const std::size_t width = FixedWidth(*type);
    if (Left() < width) {
      Fail("the value needs " + std::to_string(width) + " bytes but " + std::to_string(Left()) +
               " are left",
           name, pos_);
    }
    const std::uint8_t* bytes = stream_.data() + pos_;
    const std::size_t valueOffset = pos_;
    pos_ += width;
    return LayoutEntry{name, Decode(*type, bytes, width, name, valueOffset), start};
  }

  LayoutValue Decode(LayoutValueType type, const std::uint8_t* bytes, std::size_t width,
                     const std::string& name, std::size_t offset) {
    const std::uint64_t raw = LittleEndian(bytes, width);
    switch (type) {
      case LayoutValueType::Integer:
        return static_cast<std::int64_t>(raw);
      case LayoutValueType::Double: {
        double value;
        std::memcpy(&value, &raw, sizeof value);
        return value;
      }
      case LayoutValueType::Single: {
        const auto bits = static_cast<std::uint32_t>(raw);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
      }
      case LayoutValueType::Boolean:
        if (raw > 1)
          Fail("a Boolean must be 0 or 1, not " + std::to_string(raw), name, offset);
        return raw == 1;
      case LayoutValueType::Color:
        return static_cast<Color>(raw);
      case LayoutValueType::FontUnits:
        return static_cast<std::uint8_t>(raw);
      case LayoutValueType::String: {
        if (raw > Left()) {
          Fail("the text claims " + std::to_string(raw) + " bytes but " + std::to_string(Left()) +
                   " are left",
               name, offset);
        }
        std::string text(reinterpret_cast<const char*>(stream_.data() + pos_), raw);
        pos_ += raw;
        return text;
      }
    }
    Fail("a property of an unknown type", name, offset);
  }

  std::span<const std::uint8_t> stream_;
  const LayoutTypeLookup& typeOf_;
  std::size_t pos_ = 0;
};

}  // namespace

std::vector<LayoutEntry> ParseLayoutStream(std::span<const std::uint8_t> stream,
                                           const LayoutTypeLookup& typeOf) {
  return Reader(stream, typeOf).ReadAll();
}

}  // namespace host
