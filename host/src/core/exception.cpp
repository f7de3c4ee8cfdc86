#include "host/exception.h"

#include <array>
#include <utility>

#include "core_internal.h"

namespace host {
namespace {

ClassDescription Described(std::string name, const ClassDescription* super) {
  ClassDescription description;
  description.name = std::move(name);
  description.super = super;
  return description;
}

struct ExceptionClasses {
  ClassDescription runtime = Described("RuntimeException", nullptr);
  std::array<ClassDescription, 8> subclasses{{
      Described("NilObjectException", &runtime),
      Described("OutOfBoundsException", &runtime),
      Described("OutOfMemoryException", &runtime),
      Described("IllegalCastException", &runtime),
      Described("IOException", &runtime),
      Described("ThreadAccessingUIException", &runtime),
      Described("UnsupportedFormatException", &runtime),
      Described("PluginException", &runtime),
  }};
};

ExceptionClasses& Builtins() {
  static ExceptionClasses classes;
  return classes;
}

Ref<Object>& Pending() {
  static Ref<Object> pending;
  return pending;
}

}  // namespace

void core::DescribeBuiltinClasses() {
  static bool described = false;
  if (described)
    return;
  described = true;
  DescribeClass(Builtins().runtime);
  for (ClassDescription& c : Builtins().subclasses)
    DescribeClass(c);
}

const ClassDescription* ExceptionClass(std::string_view name) {
  ExceptionClasses& classes = Builtins();
  if (name == classes.runtime.name)
    return &classes.runtime;
  for (const ClassDescription& c : classes.subclasses) {
    if (name == c.name)
      return &c;
  }
  return nullptr;
}

Ref<ExceptionObject> MakeException(std::string_view className, std::string message,
                                   std::int64_t errorNumber) {
  const ClassDescription* cls = ExceptionClass(className);
  auto exception =
      Ref<ExceptionObject>::Adopt(new ExceptionObject(cls ? *cls : Builtins().runtime));
  exception->message = std::move(message);
  exception->errorNumber = errorNumber;
  return exception;
}

RaisedException::RaisedException(Ref<ExceptionObject> exception)
    : exception_(std::move(exception)) {
  what_ = exception_->Class().name;
  if (!exception_->message.empty())
    what_ += ": " + exception_->message;
}

const char* RaisedException::what() const noexcept {
  return what_.c_str();
}

void Raise(std::string_view className, std::string message, std::int64_t errorNumber) {
  throw RaisedException(MakeException(className, std::move(message), errorNumber));
}

void SetPendingException(Ref<Object> exception) {
  Pending() = std::move(exception);
}

bool HasPendingException() {
  return static_cast<bool>(Pending());
}

Ref<Object> TakePendingException() {
  return std::exchange(Pending(), nullptr);
}

void RaisePendingException() {
  Ref<Object> pending = TakePendingException();
  if (!pending)
    return;
  if (auto* exception = dynamic_cast<ExceptionObject*>(pending.get())) {
    throw RaisedException(Ref<ExceptionObject>::Retain(exception));
  }
  Raise("IllegalCastException",
        "an object of class " + pending->Class().name + " was raised, which is no exception");
}

void ClearPendingException() {
  Pending().Reset();
}

void RaiseNilObjectException() {
  Raise("NilObjectException", "an object was used where there was none (nil)");
}

}  // namespace host
