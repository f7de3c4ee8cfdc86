#include "host/string.h"

#include <gtest/gtest.h>

#include "host/exception.h"

namespace {

using host::String;

std::string Converted(std::string bytes, std::uint32_t from, std::uint32_t to) {
  return String::Make(std::move(bytes), from)->ConvertedTo(to)->Bytes();
}

TEST(StringConversion, SingleByteEncodingsReachUtf8) {
  EXPECT_EQ(Converted("caf\x8E", host::kEncodingMacRoman, host::kEncodingUTF8), "caf\xC3\xA9");
  EXPECT_EQ(Converted("caf\xE9", host::kEncodingISOLatin1, host::kEncodingUTF8), "caf\xC3\xA9");
  EXPECT_EQ(Converted("\x80", host::kEncodingWindowsLatin1, host::kEncodingUTF8), "\xE2\x82\xAC");
  EXPECT_EQ(Converted("plain", host::kEncodingASCII, host::kEncodingUTF8), "plain");
}

TEST(StringConversion, Utf16IsLittleEndianUnlessMarked) {
  EXPECT_EQ(Converted(std::string("a\0b\0", 4), host::kEncodingUTF16, host::kEncodingUTF8), "ab");
  EXPECT_EQ(Converted(std::string("\xFE\xFF\0a", 4), host::kEncodingUTF16, host::kEncodingUTF8),
            "a");
  EXPECT_EQ(Converted(std::string("\xFF\xFE"
                                  "a\0",
                                  4),
                      host::kEncodingUTF16, host::kEncodingUTF8),
            "a");
  EXPECT_EQ(Converted("\xC3\xA9", host::kEncodingUTF8, host::kEncodingUTF16),
            std::string("\xE9\0", 2));
}

TEST(StringConversion, KeepsZeroBytesAndTheOriginal) {
  host::Ref<String> original = String::Make(std::string("a\0b", 3), host::kEncodingASCII);
  host::Ref<String> converted = original->ConvertedTo(host::kEncodingUTF8);
  EXPECT_EQ(converted->Bytes(), std::string("a\0b", 3));
  EXPECT_EQ(converted->Encoding(), host::kEncodingUTF8);
  EXPECT_EQ(original->Encoding(), host::kEncodingASCII);
  EXPECT_EQ(String::Make("", host::kEncodingMacRoman)->ConvertedTo(host::kEncodingUTF8)->Bytes(),
            "");
}

void ExpectUnsupported(std::string bytes, std::uint32_t from, std::uint32_t to) {
  try {
    Converted(std::move(bytes), from, to);
    ADD_FAILURE() << "converted from " << from << " to " << to;
  } catch (const host::RaisedException& e) {
    EXPECT_EQ(e.ClassName(), "UnsupportedFormatException");
  }
}

TEST(StringConversion, RefusesWhatCannotBeConverted) {
  ExpectUnsupported("caf\xC3\xA9", host::kEncodingUTF8, host::kEncodingASCII);
  ExpectUnsupported("\xFF\xFE\xFD", host::kEncodingUTF8, host::kEncodingUTF16);
  ExpectUnsupported("abc", host::kEncodingUnknown, host::kEncodingUTF8);
  ExpectUnsupported("abc", host::kEncodingUTF8, 0x1234);
}

TEST(StringDisplay, ShowsTextOfNoKnownEncodingByItsAscii) {
  EXPECT_EQ(String::Make("caf\x8E", host::kEncodingMacRoman)->ToUtf8(), "caf\xC3\xA9");
  EXPECT_EQ(String::Make("a\xFF", host::kEncodingUnknown)->ToUtf8(), "a\xEF\xBF\xBD");
}

TEST(StringReferences, TheLastReleaseFreesTheString) {
  host::Ref<String> s = String::Make("x");
  host::Ref<String> copy = s;
  EXPECT_EQ(s->RefCount(), 2);
  copy.Reset();
  EXPECT_EQ(s->RefCount(), 1);
  EXPECT_EQ(host::BytesOf(nullptr), "");
}

}  // namespace
