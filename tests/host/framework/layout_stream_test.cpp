// The layout stream reader on its own: what it reads and what it refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "host/layout_properties.h"

namespace {

using host::LayoutValueType;
using Bytes = std::vector<std::uint8_t>;

const std::map<std::string, LayoutValueType, std::less<>> kTypes = {
    {"RunMode", LayoutValueType::Integer}, {"Period", LayoutValueType::Integer},
    {"Enabled", LayoutValueType::Boolean}, {"Value", LayoutValueType::Double},
    {"FontSize", LayoutValueType::Single}, {"TextColor", LayoutValueType::Color},
    {"Text", LayoutValueType::String},     {"FontUnit", LayoutValueType::FontUnits},
};

std::optional<LayoutValueType> TypeOf(std::string_view name) {
  const auto found = kTypes.find(name);
  if (found == kTypes.end())
    return std::nullopt;
  return found->second;
}

std::vector<host::LayoutEntry> Parse(const Bytes& stream) {
  return host::ParseLayoutStream(stream, TypeOf);
}

void Append(Bytes& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}
void AppendLE(Bytes& out, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i)
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// The refusal of a stream, or a failure when it was accepted.
host::LayoutStreamError Refusal(const Bytes& stream) {
  try {
    Parse(stream);
  } catch (const host::LayoutStreamError& error) {
    return error;
  }
  ADD_FAILURE() << "the stream was accepted";
  return host::LayoutStreamError("", "", 0);
}

const Bytes kTimerStream = {0x52, 0x75, 0x6E, 0x4D, 0x6F, 0x64, 0x65, 0x20, 0x02, 0x00,
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x50, 0x65, 0x72, 0x69,
                            0x6F, 0x64, 0x20, 0x4C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                            0x00, 0x45, 0x6E, 0x61, 0x62, 0x6C, 0x65, 0x64, 0x20, 0x01};

TEST(LayoutStream, ReadsTheTimersFortyBytesAsThreeEntries) {
  const auto entries = Parse(kTimerStream);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "RunMode");
  EXPECT_EQ(std::get<std::int64_t>(entries[0].value), 2);
  EXPECT_EQ(entries[1].name, "Period");
  EXPECT_EQ(std::get<std::int64_t>(entries[1].value), 76);
  EXPECT_EQ(entries[1].offset, 16u);
  EXPECT_EQ(entries[2].name, "Enabled");
  EXPECT_TRUE(std::get<bool>(entries[2].value));
}

TEST(LayoutStream, DecodesEveryTypeLittleEndian) {
  Bytes stream;
  Append(stream, "Period ");
  AppendLE(stream, 0xFFFFFFFF80000000ull, 8);  // -2147483648
  Append(stream, "Value ");
  AppendLE(stream, 0x4059000000000000ull, 8);  // 100.0
  Append(stream, "FontSize ");
  AppendLE(stream, 0x41500000u, 4);  // 13.0f
  Append(stream, "TextColor ");
  stream.insert(stream.end(), {0x00, 0xFF, 0xFF, 0x00});  // &h00FFFF00
  Append(stream, "Text ");
  AppendLE(stream, 0, 4);
  Append(stream, "FontUnit ");
  stream.push_back(0);
  Append(stream, "Text ");
  AppendLE(stream, 6, 4);
  Append(stream, "System");

  const auto entries = Parse(stream);
  ASSERT_EQ(entries.size(), 7u);
  EXPECT_EQ(std::get<std::int64_t>(entries[0].value), -2147483648LL);
  EXPECT_EQ(std::get<double>(entries[1].value), 100.0);
  EXPECT_EQ(std::get<float>(entries[2].value), 13.0f);
  EXPECT_EQ(std::get<host::Color>(entries[3].value), 0x00FFFF00u);
  EXPECT_EQ(std::get<std::string>(entries[4].value), "");
  EXPECT_EQ(std::get<std::uint8_t>(entries[5].value), 0);
  EXPECT_EQ(std::get<std::string>(entries[6].value), "System");
}

TEST(LayoutStream, AnEmptyStreamHasNoEntries) {
  EXPECT_TRUE(Parse({}).empty());
}

TEST(LayoutStream, RefusesEveryTruncationOfAValidStream) {
  // Each cut falls inside a name or a value, never on an entry boundary.
  for (std::size_t length : {1u, 7u, 8u, 15u, 22u, 23u, 30u, 39u}) {
    const Bytes cut(kTimerStream.begin(), kTimerStream.begin() + length);
    const auto error = Refusal(cut);
    EXPECT_LE(error.Offset(), length) << "cut at " << length;
  }
}

TEST(LayoutStream, RefusesAValueCutShortNamingThePropertyAndOffset) {
  Bytes stream;
  Append(stream, "Period ");
  AppendLE(stream, 76, 3);
  const auto error = Refusal(stream);
  EXPECT_EQ(error.Property(), "Period");
  EXPECT_EQ(error.Offset(), 7u);
  EXPECT_NE(std::string(error.what()).find("8 bytes"), std::string::npos);
}

TEST(LayoutStream, RefusesAnUnknownName) {
  Bytes stream = kTimerStream;
  Append(stream, "Colour ");
  stream.push_back(1);
  const auto error = Refusal(stream);
  EXPECT_EQ(error.Property(), "Colour");
  EXPECT_EQ(error.Offset(), 40u);
}

TEST(LayoutStream, RefusesANameWithoutItsBlank) {
  EXPECT_EQ(Refusal(Bytes{'E', 'n', 'a', 'b', 'l', 'e', 'd'}).Property(), "Enabled");
  // A value byte where the blank belongs.
  const auto error = Refusal(Bytes{'E', 'n', 'a', 'b', 'l', 'e', 'd', 0x01});
  EXPECT_EQ(error.Offset(), 7u);
  // A blank with no name before it.
  EXPECT_EQ(Refusal(Bytes{' ', 0x01}).Offset(), 0u);
}

TEST(LayoutStream, RefusesAStringLongerThanWhatIsLeft) {
  Bytes stream;
  Append(stream, "Text ");
  AppendLE(stream, 7, 4);
  Append(stream, "System");
  const auto error = Refusal(stream);
  EXPECT_EQ(error.Property(), "Text");
  EXPECT_NE(std::string(error.what()).find("7 bytes"), std::string::npos);

  // A length near 2^32 must not wrap around any bound check.
  Bytes huge;
  Append(huge, "Text ");
  AppendLE(huge, 0xFFFFFFFFu, 4);
  Refusal(huge);
}

TEST(LayoutStream, RefusesABooleanOtherThanZeroOrOne) {
  Bytes stream;
  Append(stream, "Enabled ");
  stream.push_back(2);
  EXPECT_EQ(Refusal(stream).Offset(), 8u);
}

TEST(LayoutStream, ANameGivenTwiceIsReadTwice) {
  Bytes stream;
  Append(stream, "Enabled ");
  stream.push_back(1);
  Append(stream, "Enabled ");
  stream.push_back(0);
  const auto entries = Parse(stream);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_FALSE(std::get<bool>(entries[1].value));
}

}  // namespace
