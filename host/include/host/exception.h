// The framework's exceptions. Inside the program an exception travels as a C++ exception
// (RaisedException); across the plugin boundary it is left pending and raised again by the
// caller once the plugin member has returned.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "host/object.h"

namespace host {

// An object of RuntimeException or one of its subclasses: NilObjectException,
// OutOfBoundsException, OutOfMemoryException, IllegalCastException, IOException,
// ThreadAccessingUIException, UnsupportedFormatException, PluginException.
class ExceptionObject : public Object {
 public:
  using Object::Object;
  std::string message;
  std::int64_t errorNumber = 0;
};

// The class of an exception by name; null for a name that is no exception class.
const ClassDescription* ExceptionClass(std::string_view name);
// A new exception object of the named class (RuntimeException when the name is none).
Ref<ExceptionObject> MakeException(std::string_view className, std::string message,
                                   std::int64_t errorNumber = 0);

class RaisedException : public std::exception {
 public:
  explicit RaisedException(Ref<ExceptionObject> exception);
  const char* what() const noexcept override;
  const Ref<ExceptionObject>& Exception() const { return exception_; }
  std::string_view ClassName() const { return exception_->Class().name; }

 private:
  Ref<ExceptionObject> exception_;
  std::string what_;
};

[[noreturn]] void Raise(std::string_view className, std::string message,
                        std::int64_t errorNumber = 0);

// The plugin's raise: the exception waits until the plugin member returns.
void SetPendingException(Ref<Object> exception);
bool HasPendingException();
// Throws the pending exception, if any, as a RaisedException and clears it.
void RaisePendingException();
// Drops a pending exception without raising it.
void ClearPendingException();
// Takes the pending exception, if any, away without raising it, leaving none pending.
Ref<Object> TakePendingException();

}  // namespace host
