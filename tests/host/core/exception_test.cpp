#include "host/exception.h"

#include <gtest/gtest.h>

namespace {

TEST(ExceptionClasses, AllDescendFromRuntimeException) {
  const host::ClassDescription* runtime = host::ExceptionClass("RuntimeException");
  ASSERT_NE(runtime, nullptr);
  for (const char* name : {"NilObjectException", "OutOfBoundsException", "OutOfMemoryException",
                           "IllegalCastException", "IOException", "ThreadAccessingUIException",
                           "UnsupportedFormatException", "PluginException"}) {
    const host::ClassDescription* cls = host::ExceptionClass(name);
    ASSERT_NE(cls, nullptr) << name;
    EXPECT_TRUE(cls->IsA(*runtime)) << name;
  }
  EXPECT_EQ(host::ExceptionClass("Window"), nullptr);
}

TEST(ExceptionClasses, AnUnknownNameMakesARuntimeException) {
  auto e = host::MakeException("NoSuchException", "text", 7);
  EXPECT_EQ(e->Class().name, "RuntimeException");
  EXPECT_EQ(e->message, "text");
  EXPECT_EQ(e->errorNumber, 7);
}

TEST(RaisedExceptions, CarryTheObjectAndDescribeIt) {
  try {
    host::Raise("IOException", "disk gone");
  } catch (const host::RaisedException& e) {
    EXPECT_EQ(e.ClassName(), "IOException");
    EXPECT_STREQ(e.what(), "IOException: disk gone");
  }
}

TEST(PendingExceptions, AreRaisedOnceAndThenCleared) {
  EXPECT_FALSE(host::HasPendingException());
  EXPECT_NO_THROW(host::RaisePendingException());
  host::SetPendingException(host::MakeException("NilObjectException", "memoryblock is nil"));
  EXPECT_TRUE(host::HasPendingException());
  try {
    host::RaisePendingException();
    FAIL() << "nothing raised";
  } catch (const host::RaisedException& e) {
    EXPECT_EQ(e.ClassName(), "NilObjectException");
    EXPECT_EQ(e.Exception()->message, "memoryblock is nil");
  }
  EXPECT_FALSE(host::HasPendingException());
}

TEST(PendingExceptions, AnObjectThatIsNoExceptionRaisesIllegalCast) {
  host::ClassDescription plain;
  plain.name = "Plain";
  host::SetPendingException(host::RuntimeNewObject(plain));
  try {
    host::RaisePendingException();
    FAIL() << "nothing raised";
  } catch (const host::RaisedException& e) {
    EXPECT_EQ(e.ClassName(), "IllegalCastException");
  }
  EXPECT_FALSE(host::HasPendingException());
}

TEST(PendingExceptions, ClearingDropsWithoutRaising) {
  host::SetPendingException(host::MakeException("RuntimeException", ""));
  host::ClearPendingException();
  EXPECT_NO_THROW(host::RaisePendingException());
}

}  // namespace
