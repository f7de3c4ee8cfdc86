#include "host/object.h"

#include <gtest/gtest.h>

#include "host/exception.h"

namespace {

host::ClassDescription Described(std::string name, const host::ClassDescription* super = nullptr) {
  host::ClassDescription description;
  description.name = std::move(name);
  description.super = super;
  return description;
}

TEST(ObjectReferences, TheLastReleaseRunsTheDestructorHookOnce) {
  host::ClassDescription cls = Described("Counted");
  int destroyed = 0;
  cls.destructor = [&](host::Object&) { ++destroyed; };
  host::Ref<host::Object> first = host::RuntimeNewObject(cls);
  host::Ref<host::Object> second = first;
  EXPECT_EQ(first->RefCount(), 2);
  second.Reset();
  EXPECT_EQ(destroyed, 0);
  first.Reset();
  EXPECT_EQ(destroyed, 1);
}

TEST(ObjectReferences, ADestructorHookMayTakeAndDropReferences) {
  host::ClassDescription cls = Described("SelfReferencing");
  int destroyed = 0;
  cls.destructor = [&](host::Object& self) {
    ++destroyed;
    host::Ref<host::Object> again = host::Ref<host::Object>::Retain(&self);
  };
  host::RuntimeNewObject(cls).Reset();
  EXPECT_EQ(destroyed, 1);
}

TEST(ObjectReferences, AConstructorHookRunsOnTheNewObject) {
  host::ClassDescription cls = Described("Constructed");
  const host::Object* seen = nullptr;
  cls.constructor = [&](host::Object& self) { seen = &self; };
  host::Ref<host::Object> object = host::RuntimeNewObject(cls);
  EXPECT_EQ(seen, object.get());
  EXPECT_EQ(&object->Class(), &cls);
  EXPECT_EQ(object->InstanceData(), nullptr);
}

TEST(ObjectReferences, UsingNilRaisesNilObjectExceptionInsteadOfCrashing) {
  host::Ref<host::Object> nothing;
  try {
    (void)nothing->RefCount();
    FAIL() << "using nil did not raise";
  } catch (const host::RaisedException& e) {
    EXPECT_EQ(e.ClassName(), "NilObjectException");
  }
}

TEST(CheckCast, AcceptsNilTheClassAndItsSubclasses) {
  host::ClassDescription base = Described("CastBase");
  host::ClassDescription derived = Described("CastDerived", &base);
  EXPECT_FALSE(host::RuntimeCheckCast(nullptr, base));
  host::Ref<host::Object> object = host::RuntimeNewObject(derived);
  EXPECT_EQ(host::RuntimeCheckCast(object, base), object);
  EXPECT_EQ(object->RefCount(), 1);
}

TEST(CheckCast, RefusesAnObjectOfAnotherClass) {
  host::ClassDescription base = Described("CastBase2");
  host::ClassDescription other = Described("CastOther");
  host::Ref<host::Object> object = host::RuntimeNewObject(base);
  try {
    host::RuntimeCheckCast(object, other);
    FAIL() << "cast accepted";
  } catch (const host::RaisedException& e) {
    EXPECT_EQ(e.ClassName(), "IllegalCastException");
    EXPECT_EQ(e.Exception()->message, "an object of class CastBase2 is not a CastOther");
  }
}

TEST(ClassLookup, FindsDescribedAndExceptionClasses) {
  host::ClassDescription cls = Described("LookedUp");
  EXPECT_EQ(host::FindClass("LookedUp"), nullptr);
  host::DescribeClass(cls);
  EXPECT_EQ(host::FindClass("LookedUp"), &cls);
  ASSERT_NE(host::FindClass("OutOfBoundsException"), nullptr);
  EXPECT_TRUE(host::FindClass("OutOfBoundsException")->IsA(*host::FindClass("RuntimeException")));
  host::Ref<host::Object> exception =
      host::RuntimeNewObject(*host::FindClass("NilObjectException"));
  EXPECT_NE(dynamic_cast<host::ExceptionObject*>(exception.get()), nullptr);
}

}  // namespace
