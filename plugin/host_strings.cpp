// Building host strings from bytes, and raising host exceptions.
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "host_entries.h"
#include "host_entry.h"
#include "host_text.h"

namespace {

constexpr std::uint32_t kMacRoman = 0;
constexpr std::uint32_t kUtf16 = 0x0100;
constexpr std::uint32_t kIsoLatin1 = 0x0201;
constexpr std::uint32_t kWindowsLatin1 = 0x0500;
constexpr std::uint32_t kNoEncoding = 0xFFFF;

constexpr std::int64_t kLongestText = 0x7FFFFFFF;
// Hosts from this version build a string and tag its encoding in one call.
constexpr double kHostWithEncodedBuild = 2012.0;

qrx::HostEntry<REALBuildStringFn> buildString{"REALBuildString"};
qrx::HostEntry<REALBuildStringWithEncodingFn> buildEncodedString{"REALBuildStringWithEncoding"};
qrx::HostEntry<REALSetStringEncodingFn> setStringEncoding{"REALSetStringEncoding"};
qrx::HostEntry<REALConvertStringFn> convertString{"REALConvertString"};
qrx::HostEntry<REALUnlockStringFn> unlockString{"REALUnlockString"};
qrx::HostEntry<PluginNewInstanceFn> newInstance{"PluginNewInstance"};
qrx::HostEntry<REALSetPropValueStringFn> setStringProperty{"REALSetPropValueString"};
qrx::HostEntry<REALSetPropValueIntegerFn> setIntegerProperty{"REALSetPropValueInteger"};
qrx::HostEntry<RuntimeRaiseExceptionFn> raiseException{"RuntimeRaiseException"};
qrx::HostEntry<REALUnlockObjectFn> unlockObject{"REALUnlockObject"};

// Set while RaiseException builds its message: a failure then must not raise again.
bool gRaising = false;

// A reference the plugin holds; released on every way out, never throwing.
template <class Handle, class UnlockFn>
class Held {
 public:
  Held(Handle handle, qrx::HostEntry<UnlockFn>& unlock) : handle_(handle), unlock_(unlock) {}
  ~Held() { ReleaseQuietly(); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  Handle Detach() { return std::exchange(handle_, nullptr); }
  // Releases now and lets a failure of the host's release through.
  void Release() {
    Handle handle = Detach();
    if (UnlockFn release = unlock_.Get())
      release(handle);
  }

 private:
  void ReleaseQuietly() noexcept {
    try {
      if (handle_)
        Release();
    } catch (...) {
    }
  }

  Handle handle_;
  qrx::HostEntry<UnlockFn>& unlock_;
};

using HeldString = Held<REALstring, REALUnlockStringFn>;
using HeldObject = Held<REALobject, REALUnlockObjectFn>;

// Text in a single-byte encoding that is all ASCII is tagged ASCII.
std::uint32_t TagFor(const unsigned char* bytes, std::int64_t length, std::uint32_t encoding) {
  if (encoding != kMacRoman && encoding != kIsoLatin1 && encoding != kWindowsLatin1 &&
      encoding != kNoEncoding) {
    return encoding;
  }
  for (std::int64_t i = 0; i < length; ++i) {
    if (bytes[i] >= 0x80)
      return encoding;
  }
  return kAsciiEncoding;
}

// A new string of the bytes tagged with the encoding, by whichever calls the host has.
REALstring BuildTagged(const void* bytes, std::int32_t length, std::uint32_t encoding) {
  if (qrx::HostVersion() >= kHostWithEncodedBuild) {
    REALBuildStringWithEncodingFn build = buildEncodedString.Get();
    return build ? build(bytes, length, encoding) : nullptr;
  }
  REALBuildStringFn build = buildString.Get();
  if (!build)
    return nullptr;
  HeldString built(build(bytes, length), unlockString);
  if (!built)
    return nullptr;
  if (REALSetStringEncodingFn setEncoding = setStringEncoding.Get()) {
    setEncoding(built.get(), encoding);
  }
  return built.Detach();
}

REALstring BuildFromUtf16(const void* bytes, std::int32_t length) {
  HeldString intermediate(BuildTagged(bytes, length, kUtf16), unlockString);
  if (!intermediate)
    return nullptr;
  REALConvertStringFn convert = convertString.Get();
  HeldString converted(convert ? convert(intermediate.get(), kUtf8Encoding) : nullptr,
                       unlockString);
  intermediate.Release();
  return converted.Detach();
}

std::string Described(const char* beginning, const char* description) {
  std::string message = beginning;
  if (description && *description) {
    message += ": ";
    message += description;
  } else {
    message += ".";
  }
  return message;
}

// Turns the failure of a host call into the host exception that stands for it.
void RaiseFor(const std::exception_ptr& failure) noexcept {
  if (gRaising)
    return;
  try {
    try {
      std::rethrow_exception(failure);
    } catch (const std::bad_alloc& e) {
      RaiseException("OutOfMemoryException",
                     Described("Failed to allocate memory", e.what()).c_str());
    } catch (const std::range_error& e) {
      RaiseException("OutOfBoundsException",
                     Described("C++ reports range error", e.what()).c_str());
    } catch (const std::out_of_range& e) {
      RaiseException("OutOfBoundsException",
                     Described("C++ reports range error", e.what()).c_str());
    } catch (const std::overflow_error& e) {
      RaiseException("OutOfBoundsException",
                     Described("C++ reports overflow error", e.what()).c_str());
    } catch (const std::underflow_error& e) {
      RaiseException("OutOfBoundsException",
                     Described("C++ reports underflow error", e.what()).c_str());
    } catch (const std::exception& e) {
      RaiseException("RuntimeException", Described("C++ Exception", e.what()).c_str());
    } catch (...) {
      RaiseException("RuntimeException", "Sorry, but there was an unnamed C++ Exception.");
    }
  } catch (...) {
    // Not even the message could be put together: nothing is raised.
  }
}

void RaiseGuarded(const char* className, const char* message) {
  const bool outermost = !std::exchange(gRaising, true);
  HeldString held(HostText(message, kUtf8Encoding), unlockString);
  if (outermost)
    gRaising = false;
  PluginNewInstanceFn create = newInstance.Get();
  if (!create)
    return;
  REALobject made = className ? create(className) : nullptr;
  if (!made)
    made = create("RuntimeException");
  HeldObject exception(made, unlockObject);
  if (!exception)
    return;
  if (REALSetPropValueStringFn set = setStringProperty.Get()) {
    set(exception.get(), "Message", held.get());
  }
  if (REALSetPropValueIntegerFn set = setIntegerProperty.Get()) {
    set(exception.get(), "ErrorNumber", 0);
  }
  if (RuntimeRaiseExceptionFn raise = raiseException.Get())
    raise(exception.get());
  exception.Release();
  held.Release();
}

}  // namespace

REALstring REALBuildUnicodeString(const void* bytes, std::int64_t length,
                                  std::uint32_t encoding) noexcept {
  if (!bytes || length < 1 || length > kLongestText)
    return nullptr;
  const auto count = static_cast<std::int32_t>(length);
  try {
    if (encoding == kUtf16)
      return BuildFromUtf16(bytes, count);
    return BuildTagged(bytes, count,
                       TagFor(static_cast<const unsigned char*>(bytes), length, encoding));
  } catch (...) {
    RaiseFor(std::current_exception());
    return nullptr;
  }
}

void RaiseException(const char* className, const char* message) noexcept {
  try {
    RaiseGuarded(className, message);
  } catch (...) {
    // A raise that fails inside the host leaves nothing pending; what was held is released.
  }
}
