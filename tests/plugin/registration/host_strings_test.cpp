#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "host_entries.h"
#include "plugin_fixture.h"

namespace {

constexpr std::uint32_t kMacRoman = 0;
constexpr std::uint32_t kUtf16 = 0x0100;
constexpr std::uint32_t kIsoLatin1 = 0x0201;
constexpr std::uint32_t kWindowsLatin1 = 0x0500;
constexpr std::uint32_t kAscii = 0x0600;
constexpr std::uint32_t kUtf8 = 0x08000100;
constexpr std::uint32_t kNoEncoding = 0xFFFF;

class BuildUnicodeString : public PluginWithFakeHost {
 protected:
  REALstring Build(const std::string& bytes, std::uint32_t encoding) {
    return REALBuildUnicodeString(bytes.data(), static_cast<std::int64_t>(bytes.size()), encoding);
  }
  int HostStringCalls() const {
    return host.Calls("REALBuildString") + host.Calls("REALBuildStringWithEncoding");
  }
};

TEST_F(BuildUnicodeString, LengthsOutsideTheHostsRangeGiveNilWithoutAskingTheHost) {
  const char text[] = "abc";
  EXPECT_EQ(REALBuildUnicodeString(text, 0, kUtf8), nullptr);
  EXPECT_EQ(REALBuildUnicodeString(text, -1, kUtf8), nullptr);
  EXPECT_EQ(REALBuildUnicodeString(text, 0x80000000LL, kUtf8), nullptr);
  EXPECT_EQ(REALBuildUnicodeString(nullptr, 3, kUtf8), nullptr);
  EXPECT_EQ(HostStringCalls(), 0);
}

TEST_F(BuildUnicodeString, AllAsciiSingleByteTextIsTaggedAscii) {
  for (std::uint32_t encoding : {kMacRoman, kIsoLatin1, kWindowsLatin1, kNoEncoding}) {
    FakeString* s = host.AsString(Build("abc", encoding));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->encoding, kAscii) << encoding;
    EXPECT_EQ(s->bytes, "abc");
  }
}

TEST_F(BuildUnicodeString, SingleByteTextWithAnAccentKeepsItsEncoding) {
  EXPECT_EQ(host.AsString(Build("ab\xE9", kMacRoman))->encoding, kMacRoman);
  EXPECT_EQ(host.AsString(Build("\x80", kWindowsLatin1))->encoding, kWindowsLatin1);
}

TEST_F(BuildUnicodeString, Utf8AndAsciiArePassedOnUnchanged) {
  EXPECT_EQ(host.AsString(Build("abc", kUtf8))->encoding, kUtf8);
  EXPECT_EQ(host.AsString(Build("abc", kAscii))->encoding, kAscii);
}

TEST_F(BuildUnicodeString, Utf16IsConvertedToUtf8AndTheIntermediateReleased) {
  FakeString* s = host.AsString(Build(std::string("a\0", 2), kUtf16));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->bytes, "a");
  EXPECT_EQ(s->encoding, kUtf8);
  EXPECT_EQ(host.LiveStrings(), 1);
  EXPECT_EQ(host.Calls("REALUnlockString"), 1);
}

TEST_F(BuildUnicodeString, Utf16WithoutConversionGivesNilAndLeaksNothing) {
  host.Remove("REALConvertString");
  EXPECT_EQ(Build(std::string("a\0", 2), kUtf16), nullptr);
  EXPECT_EQ(host.LiveStrings(), 0);
}

TEST_F(BuildUnicodeString, OldHostsBuildThenTagTheString) {
  UseHostAtVersion(2011.9);
  FakeString* s = host.AsString(Build("x\xE9", kIsoLatin1));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->encoding, kIsoLatin1);
  EXPECT_EQ(host.Calls("REALBuildString"), 1);
  EXPECT_EQ(host.Calls("REALBuildStringWithEncoding"), 0);
}

TEST_F(BuildUnicodeString, OldHostsWithoutSetEncodingStillGetTheString) {
  UseHostAtVersion(2011.9);
  host.Remove("REALSetStringEncoding");
  FakeString* s = host.AsString(Build("abc", kUtf8));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->encoding, kNoEncoding);
}

TEST_F(BuildUnicodeString, AMissingBuilderGivesNil) {
  host.Remove("REALBuildStringWithEncoding");
  EXPECT_EQ(Build("abc", kUtf8), nullptr);
  UseHostAtVersion(2011.9);
  host.Remove("REALBuildString");
  EXPECT_EQ(Build("abc", kUtf8), nullptr);
}

TEST_F(BuildUnicodeString, AFailingSetEncodingOnAnOldHostReleasesTheBuiltString) {
  UseHostAtVersion(2011.9);
  host.FailOnce("REALSetStringEncoding", [] { throw std::runtime_error("tag refused"); });
  EXPECT_EQ(Build("abc", kUtf8), nullptr);
  EXPECT_EQ(host.LiveStrings(), 0);
  ASSERT_EQ(host.raised.size(), 1u);
  EXPECT_EQ(host.raised[0]->message, "C++ Exception: tag refused");
}

TEST_F(BuildUnicodeString, AFailingConversionReleasesTheIntermediate) {
  host.FailOn("REALConvertString", [] { throw std::bad_alloc(); });
  EXPECT_EQ(Build(std::string("a\0", 2), kUtf16), nullptr);
  ASSERT_EQ(host.raised.size(), 1u);
  EXPECT_EQ(host.raised[0]->className, "OutOfMemoryException");
  EXPECT_EQ(host.LiveStrings(), 0);
}

TEST_F(BuildUnicodeString, AFailingReleaseOfTheIntermediateReleasesTheResultToo) {
  host.FailOnce("REALUnlockString", [] { throw std::overflow_error(""); });
  EXPECT_EQ(Build(std::string("a\0", 2), kUtf16), nullptr);
  ASSERT_EQ(host.raised.size(), 1u);
  EXPECT_EQ(host.raised[0]->message, "C++ reports overflow error.");
  // The intermediate's release threw (and counts as done); the converted string went back.
  EXPECT_EQ(host.LiveStrings(), 1);
}

struct FailureCase {
  const char* name;
  std::function<void()> thrower;
  const char* exceptionClass;
  const char* message;
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
  *out << failure.name;
}

class BuildFailure : public BuildUnicodeString,
                     public ::testing::WithParamInterface<FailureCase> {};

TEST_P(BuildFailure, BecomesTheMatchingHostException) {
  host.FailOnce("REALBuildStringWithEncoding", GetParam().thrower);
  EXPECT_EQ(Build("abc", kUtf8), nullptr);
  ASSERT_EQ(host.raised.size(), 1u);
  EXPECT_EQ(host.raised[0]->className, GetParam().exceptionClass);
  EXPECT_EQ(host.raised[0]->message, GetParam().message);
  EXPECT_EQ(host.raised[0]->errorNumber, 0);
}

INSTANTIATE_TEST_SUITE_P(
    EachKind, BuildFailure,
    ::testing::Values(FailureCase{"BadAlloc", [] { throw std::bad_alloc(); },
                                  "OutOfMemoryException",
                                  "Failed to allocate memory: std::bad_alloc"},
                      FailureCase{"RangeError", [] { throw std::range_error("r"); },
                                  "OutOfBoundsException", "C++ reports range error: r"},
                      FailureCase{"OutOfRange", [] { throw std::out_of_range("index 9"); },
                                  "OutOfBoundsException", "C++ reports range error: index 9"},
                      FailureCase{"Overflow", [] { throw std::overflow_error("big"); },
                                  "OutOfBoundsException", "C++ reports overflow error: big"},
                      FailureCase{"UnderflowWithoutText", [] { throw std::underflow_error(""); },
                                  "OutOfBoundsException", "C++ reports underflow error."},
                      FailureCase{"OtherStandard", [] { throw std::logic_error("odd"); },
                                  "RuntimeException", "C++ Exception: odd"},
                      FailureCase{"NotStandard", [] { throw 42; }, "RuntimeException",
                                  "Sorry, but there was an unnamed C++ Exception."}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(BuildUnicodeString, AFailureWhileRaisingGivesOneExceptionWithAnEmptyMessage) {
  host.FailOn("REALBuildStringWithEncoding", [] { throw std::runtime_error("always"); });
  EXPECT_EQ(Build("abc", kUtf8), nullptr);
  ASSERT_EQ(host.raised.size(), 1u);
  EXPECT_EQ(host.Calls("RuntimeRaiseException"), 1);
  EXPECT_EQ(host.raised[0]->className, "RuntimeException");
  EXPECT_TRUE(host.raised[0]->messageSet);
  EXPECT_EQ(host.raised[0]->message, "");
}

using RaiseExceptionTest = PluginWithFakeHost;

TEST_F(RaiseExceptionTest, RaisesTheNamedClassWithItsMessageAndReleasesWhatItHeld) {
  RaiseException("NilObjectException", "memoryblock is nil");
  ASSERT_EQ(host.raised.size(), 1u);
  const FakeObject& raised = *host.raised[0];
  EXPECT_EQ(raised.className, "NilObjectException");
  EXPECT_EQ(raised.message, "memoryblock is nil");
  EXPECT_EQ(raised.errorNumber, 0);
  EXPECT_EQ(raised.refs, 1);  // the host's own reference only
  EXPECT_EQ(host.LiveStrings(), 0);
  EXPECT_EQ(host.strings.at(0)->encoding, kUtf8);
}

TEST_F(RaiseExceptionTest, AnUnknownClassRaisesRuntimeException) {
  RaiseException("NoSuchException", "what went wrong");
  ASSERT_EQ(host.raised.size(), 1u);
  EXPECT_EQ(host.raised[0]->className, "RuntimeException");
  EXPECT_EQ(host.raised[0]->message, "what went wrong");
  EXPECT_EQ(host.raised[0]->errorNumber, 0);
}

TEST_F(RaiseExceptionTest, NoMessageGivesAnEmptyOne) {
  RaiseException("OutOfBoundsException", nullptr);
  RaiseException("OutOfBoundsException", "");
  ASSERT_EQ(host.raised.size(), 2u);
  for (const FakeObject* raised : host.raised) {
    EXPECT_TRUE(raised->messageSet);
    EXPECT_EQ(raised->message, "");
  }
  EXPECT_EQ(host.Calls("REALBuildStringWithEncoding"), 0);
}

TEST_F(RaiseExceptionTest, WithoutObjectsNothingIsRaisedAndTheMessageIsReleased) {
  host.knownClasses.clear();
  RaiseException("NilObjectException", "lost");
  EXPECT_TRUE(host.raised.empty());
  EXPECT_EQ(host.LiveStrings(), 0);

  host.Remove("PluginNewInstance");
  RaiseException("NilObjectException", "lost");
  EXPECT_TRUE(host.raised.empty());
  EXPECT_EQ(host.LiveStrings(), 0);
}

TEST_F(RaiseExceptionTest, WithoutTheRaiseEntryTheObjectIsStillReleased) {
  host.Remove("RuntimeRaiseException");
  RaiseException("NilObjectException", "x");
  EXPECT_EQ(host.LiveObjects(), 0);
  EXPECT_EQ(host.LiveStrings(), 0);
}

TEST_F(RaiseExceptionTest, AThrowingHostKeepsItsExceptionAndLeaksNothing) {
  host.FailOn("RuntimeRaiseException", [] { throw std::runtime_error("raise refused"); });
  EXPECT_NO_THROW(RaiseException("NilObjectException", "x"));
  EXPECT_EQ(host.LiveObjects(), 0);
  EXPECT_EQ(host.LiveStrings(), 0);
}

}  // namespace
