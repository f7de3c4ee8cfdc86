// The host entries, reached as the plugin reaches them: by name through the resolver.
#include <gtest/gtest.h>

#include <cstring>

#include "host/exception.h"
#include "host/memory_block.h"
#include "host/plugin_loader.h"
#include "host/string.h"

namespace {

template <class Fn>
Fn Entry(const char* name) {
  return reinterpret_cast<Fn>(host::HostResolveEntry(name));
}

host::String* StringOf(REALstring s) {
  return reinterpret_cast<host::String*>(s);
}

// Takes over the first reference an entry handed out.
host::Ref<host::String> Adopt(REALstring s) {
  return host::Ref<host::String>::Adopt(StringOf(s));
}

class Resolver : public ::testing::Test {
 protected:
  void TearDown() override { host::ClearPendingException(); }
};

TEST_F(Resolver, AnswersEveryEntryThePluginUsesAndNothingElse) {
  for (const char* name :
       {"REALGetRBVersion", "RegisterPluginVersion", "PluginRegisterClass", "PluginNewInstance",
        "REALUnlockObject", "REALLockString", "REALUnlockString", "StringGetCString",
        "REALLoadGlobalMethod", "memoryBlockGetPtr", "memoryBlockGetSize", "REALBuildString",
        "REALBuildStringWithEncoding", "REALSetStringEncoding", "REALConvertString",
        "REALSetPropValueString", "REALSetPropValueInteger", "RuntimeRaiseException"}) {
    EXPECT_NE(host::HostResolveEntry(name), nullptr) << name;
  }
  EXPECT_EQ(host::HostResolveEntry("REALGetRBVersion "), nullptr);
  EXPECT_EQ(host::HostResolveEntry("NoSuchEntry"), nullptr);
  EXPECT_EQ(host::HostResolveEntry(nullptr), nullptr);
}

TEST_F(Resolver, ReportsTheHostVersion) {
  EXPECT_EQ(Entry<REALGetRBVersionFn>("REALGetRBVersion")(), 2021.031);
}

TEST_F(Resolver, BuildsStringsWithAndWithoutEncoding) {
  auto s = Adopt(Entry<REALBuildStringWithEncodingFn>("REALBuildStringWithEncoding")(
      "a\0b", 3, host::kEncodingASCII));
  EXPECT_EQ(s->Bytes(), std::string("a\0b", 3));
  EXPECT_EQ(s->Encoding(), host::kEncodingASCII);
  EXPECT_EQ(s->RefCount(), 1);

  auto untagged = Adopt(Entry<REALBuildStringFn>("REALBuildString")("xy", 2));
  Entry<REALSetStringEncodingFn>("REALSetStringEncoding")(
      reinterpret_cast<REALstring>(untagged.get()), host::kEncodingMacRoman);
  EXPECT_EQ(untagged->Encoding(), host::kEncodingMacRoman);

  EXPECT_EQ(Entry<REALBuildStringFn>("REALBuildString")("xy", -1), nullptr);
  EXPECT_EQ(Entry<REALBuildStringFn>("REALBuildString")(nullptr, 2), nullptr);
}

TEST_F(Resolver, LocksUnlocksAndReadsStrings) {
  auto s = host::String::Make("hello");
  auto handle = reinterpret_cast<REALstring>(s.get());
  Entry<REALLockStringFn>("REALLockString")(handle);
  EXPECT_EQ(s->RefCount(), 2);
  Entry<REALUnlockStringFn>("REALUnlockString")(handle);
  EXPECT_EQ(s->RefCount(), 1);
  EXPECT_STREQ(Entry<StringGetCStringFn>("StringGetCString")(handle), "hello");
  Entry<REALUnlockStringFn>("REALUnlockString")(nullptr);
}

TEST_F(Resolver, ConvertsStringsOrLeavesTheReasonPending) {
  auto utf16 = host::String::Make(std::string("o\0k\0", 4), host::kEncodingUTF16);
  auto convert = Entry<REALConvertStringFn>("REALConvertString");
  auto converted = Adopt(convert(reinterpret_cast<REALstring>(utf16.get()), host::kEncodingUTF8));
  ASSERT_TRUE(converted);
  EXPECT_EQ(converted->Bytes(), "ok");
  EXPECT_FALSE(host::HasPendingException());

  auto accented = host::String::Make("\xC3\xA9", host::kEncodingUTF8);
  EXPECT_EQ(convert(reinterpret_cast<REALstring>(accented.get()), host::kEncodingASCII), nullptr);
  try {
    host::RaisePendingException();
    FAIL() << "nothing pending";
  } catch (const host::RaisedException& e) {
    EXPECT_EQ(e.ClassName(), "UnsupportedFormatException");
  }
}

TEST_F(Resolver, LoadsOnlyTheByteLengthMethod) {
  auto load = Entry<REALLoadGlobalMethodFn>("REALLoadGlobalMethod");
  auto lenB =
      reinterpret_cast<REALStringByteLengthFn>(load(nullptr, "LenB( s as string ) as integer"));
  ASSERT_NE(lenB, nullptr);
  auto s = host::String::Make(std::string("\xF0\0\xF7", 3));
  EXPECT_EQ(lenB(reinterpret_cast<REALstring>(s.get())), 3);
  EXPECT_EQ(lenB(nullptr), 0);
  EXPECT_EQ(load(nullptr, "Len( s as string ) as integer"), nullptr);
  EXPECT_EQ(load("Strings", "LenB( s as string ) as integer"), nullptr);
}

TEST_F(Resolver, GivesAMemoryBlocksBytesAndSize) {
  auto block = host::MemoryBlock::Make(5);
  auto handle = reinterpret_cast<REALmemoryBlock>(block.get());
  EXPECT_EQ(Entry<memoryBlockGetPtrFn>("memoryBlockGetPtr")(handle), block->Data());
  EXPECT_EQ(Entry<memoryBlockGetSizeFn>("memoryBlockGetSize")(handle), 5);
  EXPECT_EQ(Entry<memoryBlockGetPtrFn>("memoryBlockGetPtr")(nullptr), nullptr);
  EXPECT_EQ(Entry<memoryBlockGetSizeFn>("memoryBlockGetSize")(nullptr), 0);
}

TEST_F(Resolver, RaisesAnExceptionThePluginMadeAndFilled) {
  REALobject e = Entry<PluginNewInstanceFn>("PluginNewInstance")("OutOfBoundsException");
  ASSERT_NE(e, nullptr);
  auto message = host::String::Make("C++ reports range error.");
  Entry<REALSetPropValueStringFn>("REALSetPropValueString")(
      e, "Message", reinterpret_cast<REALstring>(message.get()));
  Entry<REALSetPropValueIntegerFn>("REALSetPropValueInteger")(e, "ErrorNumber", 0);
  Entry<RuntimeRaiseExceptionFn>("RuntimeRaiseException")(e);
  Entry<REALUnlockObjectFn>("REALUnlockObject")(e);
  try {
    host::RaisePendingException();
    FAIL() << "nothing pending";
  } catch (const host::RaisedException& raised) {
    EXPECT_EQ(raised.ClassName(), "OutOfBoundsException");
    EXPECT_EQ(raised.Exception()->message, "C++ reports range error.");
    EXPECT_EQ(raised.Exception()->errorNumber, 0);
    EXPECT_EQ(raised.Exception()->RefCount(), 1);
  }
}

TEST_F(Resolver, MessagesInOtherEncodingsArriveAsUtf8) {
  REALobject e = Entry<PluginNewInstanceFn>("PluginNewInstance")("RuntimeException");
  auto message = host::String::Make("caf\x8E", host::kEncodingMacRoman);
  Entry<REALSetPropValueStringFn>("REALSetPropValueString")(
      e, "Message", reinterpret_cast<REALstring>(message.get()));
  EXPECT_EQ(reinterpret_cast<host::ExceptionObject*>(e)->message, "caf\xC3\xA9");
  Entry<REALSetPropValueStringFn>("REALSetPropValueString")(e, "Message", nullptr);
  EXPECT_EQ(reinterpret_cast<host::ExceptionObject*>(e)->message, "");
  Entry<REALUnlockObjectFn>("REALUnlockObject")(e);
}

TEST_F(Resolver, NewInstanceKnowsNoOtherClassesThanExceptionsAndPluginClasses) {
  auto create = Entry<PluginNewInstanceFn>("PluginNewInstance");
  EXPECT_EQ(create("NoSuchClass"), nullptr);
  EXPECT_EQ(create("MemoryBlock"), nullptr);
  EXPECT_EQ(create(nullptr), nullptr);
}

TEST_F(Resolver, RaisingNilLeavesANilObjectException) {
  Entry<RuntimeRaiseExceptionFn>("RuntimeRaiseException")(nullptr);
  EXPECT_THROW(host::RaisePendingException(), host::RaisedException);
}

}  // namespace
