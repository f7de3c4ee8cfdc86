// The framework's runtime: start, initialisers, the event loop, the exit status, the report
// of unhandled exceptions and the application object. Everything here runs on the main
// thread, the thread that called RuntimeInit.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "host/exception.h"
#include "host/object.h"

namespace host {

// Creates the GUI application if none exists yet (QT_QPA_PLATFORM chooses the platform) and
// makes the calling thread the main thread. Safe to call more than once.
void RuntimeInit();

using Initializer = void (*)();
// Runs the executable's initialisers in their stored order.
void RuntimePerformInitializers(std::span<const Initializer> initializers);

// Runs the event loop until the application quits: its last window closed, or an unhandled
// exception was reported. Returns at once when no window is open or an unhandled exception
// was already reported. Answers the exit status.
int RuntimeRun();

// Lets go of what the framework still holds: open windows (their timers stopped first) and
// the application object.
void RuntimePerformFinalizers();

// The process's exit status: 0, or non-zero once an unhandled exception was reported.
int RuntimeExit();

// Tells the user, through the modal provider, which exception ended the program and its
// message; sets a non-zero exit status and quits the event loop (when none runs, the status
// is recorded and RuntimeRun won't start one). No handler runs after it.
void RuntimeUnhandledException(const RaisedException& error);

// Runs one event handler: an exception that leaves it goes to RuntimeUnhandledException.
// Does nothing once an unhandled exception has been reported, since the program is ending.
void RuntimeInvokeHandler(const std::function<void()>& handler);

// A cooperative yield point for loops inside handlers. It is deliberately empty of event
// processing: dispatching events here would let handlers re-enter one another.
void RuntimeBackgroundTask();

// True on the thread that called RuntimeInit.
bool RuntimeIsMainThread();
// Raises ThreadAccessingUIException naming the operation when called off the main thread.
void RuntimeCheckMainThread(std::string_view operation);

// Start-up switches. The GUI toolkit always scales for high resolution and follows the
// system's colour scheme; the framework records what the program asked for.
void ApplicationSetSupportsHiDPI(bool supported);
void DesktopApplication_SetUserDarkModeSupport(bool supported);
bool ApplicationSupportsHiDPI();
bool ApplicationSupportsUserDarkMode();

// The framework's own initialisation; calls lateStartup once.
void RunFrameworkInitialization(const std::function<void()>& lateStartup);

// The framework's classic application class. A program subclasses it and registers one
// object with RuntimeRegisterAppObject.
class Application : public Object {
 public:
  static const ClassDescription& Class();
  explicit Application(const ClassDescription& cls = Class());

  virtual void Constructor() {}

  void _x_SetVersionData(std::int64_t major, std::int64_t minor, std::int64_t bug,
                         std::int64_t nonReleaseVersion, std::int64_t stageCode, std::string text1,
                         std::string text2, std::string text3);
  std::int64_t MajorVersion() const { return major_; }
  std::int64_t MinorVersion() const { return minor_; }
  std::int64_t BugVersion() const { return bug_; }
  std::int64_t NonReleaseVersion() const { return nonReleaseVersion_; }
  std::int64_t StageCode() const { return stageCode_; }
  const std::array<std::string, 3>& VersionTexts() const { return versionTexts_; }

 private:
  std::int64_t major_ = 0;
  std::int64_t minor_ = 0;
  std::int64_t bug_ = 0;
  std::int64_t nonReleaseVersion_ = 0;
  std::int64_t stageCode_ = 0;
  std::array<std::string, 3> versionTexts_;
};

// The framework keeps the application object for the life of the process.
void RuntimeRegisterAppObject(Ref<Application> app);
// The registered application object; nil before registration.
Ref<Application> App();

// A new object of a framework or program class implemented in C++, with its first
// reference (RuntimeNewObject is for classes described only by a ClassDescription).
template <class T, class... Args>
Ref<T> New(Args&&... args) {
  return Ref<T>::Adopt(new T(std::forward<Args>(args)...));
}

// RuntimeCheckCast typed to a C++ class T that has a static Class(): T's object, nil for
// nil, IllegalCastException for an object of another class.
template <class T>
Ref<T> RuntimeCheckCastTo(Ref<Object> object) {
  Ref<Object> checked = RuntimeCheckCast(std::move(object), T::Class());
  return Ref<T>::Adopt(static_cast<T*>(checked.Detach()));
}

}  // namespace host
